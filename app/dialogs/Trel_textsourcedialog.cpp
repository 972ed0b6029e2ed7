#include "app/dialogs/Trel_textsourcedialog.h"

#include "framework/Fw_scope.h"

const char* const kDateTakenFallback = "A file without a date taken gives its Modified date.";

TTextSourceEnabling TextSourceEnabling(const TTextSourceDialogState& state, bool hasPosition) {
    const bool ok = (!state.CustomChecked || !state.CustomText.empty()) &&
                    (!state.FileDateChecked || (state.DateIndex >= 0 && !state.DateFormat.empty())) &&
                    state.PartIndex >= 0 && (!hasPosition || state.PositionIndex >= 0) &&
                    (!state.RegularExpression || PatternProblem(state.OldText, state.MatchCase).empty());
    return {state.CustomChecked, state.NumberChecked, ok, state.FileDateChecked};
}

void SetSourceState(TTextSourceDialogState& state, const TTextSrcSpecs& source) {
    state.CustomChecked = source.Kind == skCustom;
    state.NumberChecked = source.Kind == skNumber;
    state.ClipboardChecked = source.Kind == skClipboard;
    state.FileDateChecked = source.Kind == skFileDate;
    state.FolderNameChecked = source.Kind == skFolderName;
    state.CustomText = source.Specs.Custom.Text;
    state.DateIndex = static_cast<int>(source.Specs.FileDate.Date);
    state.DateFormat = source.Specs.FileDate.Pattern;
}

TTextSrcSpecs SourceFromState(const TTextSourceDialogState& state, const TNumberSrcLinesSpecs& numbers) {
    TTextSrcSpecs source;
    source.Kind = KindFromChecks(state.CustomChecked, state.NumberChecked, state.ClipboardChecked,
                                 state.FileDateChecked, state.FolderNameChecked);
    source.Specs.Custom.Text = state.CustomText;
    source.Specs.Number = numbers;
    // A dialog without the date's controls keeps the first use's values.
    if (state.DateIndex >= 0 || state.FileDateChecked)
        source.Specs.FileDate.Date = DateFromIndex(state.DateIndex);
    if (!state.DateFormat.empty())
        source.Specs.FileDate.Pattern = state.DateFormat;
    return source;
}

// ---------------------------------------------------------------- TTrelTextSourceDialog

TTrelTextSourceDialog::TTrelTextSourceDialog(const TFormDef& def)
    : TForm(def), FNumbersDialog(Application->Dialog<TTrelNumbersDialog>()) {}

void TTrelTextSourceDialog::BindControls(const TControlNames& names, bool partUpdates) {
    PartComboBox = &Control<TComboBox>(names.PartComboBox);
    if (names.PositionComboBox)
        PositionComboBox = &Control<TComboBox>(names.PositionComboBox);
    if (names.OldTextEdit)
        OldTextEdit = &Control<TEdit>(names.OldTextEdit);
    CustomRadioButton = &Control<TRadioButton>(names.CustomRadioButton);
    CustomEdit = &Control<TEdit>(names.CustomEdit);
    NumberRadioButton = &Control<TRadioButton>(names.NumberRadioButton);
    NumbersButton = &Control<TButton>(names.NumbersButton);
    ClipboardRadioButton = &Control<TRadioButton>(names.ClipboardRadioButton);
    if (names.MatchCaseCheckBox)
        MatchCaseCheckBox = &Control<TCheckBox>(names.MatchCaseCheckBox);
    if (names.FileDateRadioButton) {
        FileDateRadioButton = &Control<TRadioButton>(names.FileDateRadioButton);
        DateComboBox = &Control<TComboBox>(names.DateComboBox);
        DateFormatEdit = &Control<TEdit>(names.DateFormatEdit);
        FolderNameRadioButton = &Control<TRadioButton>(names.FolderNameRadioButton);
    }
    OkButton = &Control<TButton>("Button91");
    CancelButton = &Control<TButton>("Button92");
    PreviewLabel = &Control<TLabel>("Label81");
    FPreview = std::make_unique<TPreviewLine>(*PreviewLabel);
    FPreview->MakeStep = [this] { return StepOf(GetState(), FNumbersDialog.Values); };

    const TNotifyEvent update = [this](TObject*) { UpdateControls(); };
    PartComboBox->OnChange = partUpdates ? update : [this](TObject*) { FPreview->Changed(); };
    if (PositionComboBox)
        PositionComboBox->OnChange = update;
    if (OldTextEdit)
        OldTextEdit->OnChange = update;
    CustomEdit->OnChange = update;
    for (TRadioButton* radio : {CustomRadioButton, NumberRadioButton, ClipboardRadioButton})
        radio->OnClick = update;
    if (FileDateRadioButton) {
        FileDateRadioButton->OnClick = update;
        FolderNameRadioButton->OnClick = update;
        DateComboBox->OnChange = update;
        DateFormatEdit->OnChange = update;
    }
    if (MatchCaseCheckBox)
        MatchCaseCheckBox->OnClick = update;
    NumbersButton->OnClick = [this](TObject*) { EditNumbers(); };
}

void TTrelTextSourceDialog::EditNumbers() {
    TPreviewLine& preview = FNumbersDialog.Preview();
    preview.MakeStep = [this] { return StepOf(GetState(), NumbersDialogValues(FNumbersDialog.GetState())); };
    preview.SetNames(FPreview->Names(), FPreview->Entries());
    auto forget = ScopeExit([&preview] {
        preview.SetNames(nullptr);
        preview.MakeStep = nullptr;
    });
    // Its OK changes the numbers that this dialog keeps; its Cancel does not.
    if (FNumbersDialog.Execute())
        FPreview->Changed();
}

TTextSourceDialogState TTrelTextSourceDialog::GetState() const {
    TTextSourceDialogState state;
    state.PartIndex = PartComboBox->GetItemIndex();
    if (PositionComboBox)
        state.PositionIndex = PositionComboBox->GetItemIndex();
    if (OldTextEdit)
        state.OldText = OldTextEdit->GetText();
    state.CustomChecked = CustomRadioButton->IsChecked();
    state.CustomText = CustomEdit->GetText();
    state.NumberChecked = NumberRadioButton->IsChecked();
    state.ClipboardChecked = ClipboardRadioButton->IsChecked();
    if (FileDateRadioButton) {
        state.FileDateChecked = FileDateRadioButton->IsChecked();
        state.DateIndex = DateComboBox->GetItemIndex();
        state.DateFormat = DateFormatEdit->GetText();
        state.FolderNameChecked = FolderNameRadioButton->IsChecked();
    }
    if (MatchCaseCheckBox)
        state.MatchCase = MatchCaseCheckBox->IsChecked();
    if (RegularExpressionCheckBox)
        state.RegularExpression = RegularExpressionCheckBox->IsChecked();
    return state;
}

void TTrelTextSourceDialog::SetState(const TTextSourceDialogState& state) {
    PartComboBox->SetItemIndex(ItemIndexOf(state.PartIndex, PartComboBox->Count()));
    if (PositionComboBox)
        PositionComboBox->SetItemIndex(ItemIndexOf(state.PositionIndex, PositionComboBox->Count()));
    if (OldTextEdit)
        OldTextEdit->SetText(state.OldText);
    // Each on its own: a state may check none of them.
    CustomRadioButton->TButtonControl::SetChecked(state.CustomChecked);
    NumberRadioButton->TButtonControl::SetChecked(state.NumberChecked);
    ClipboardRadioButton->TButtonControl::SetChecked(state.ClipboardChecked);
    CustomEdit->SetText(state.CustomText);
    if (FileDateRadioButton) {
        FileDateRadioButton->TButtonControl::SetChecked(state.FileDateChecked);
        FolderNameRadioButton->TButtonControl::SetChecked(state.FolderNameChecked);
        DateComboBox->SetItemIndex(ItemIndexOf(state.DateIndex, DateComboBox->Count()));
        DateFormatEdit->SetText(state.DateFormat);
    }
    if (MatchCaseCheckBox)
        MatchCaseCheckBox->SetChecked(state.MatchCase);
    if (RegularExpressionCheckBox)
        RegularExpressionCheckBox->SetChecked(state.RegularExpression);
}

void TTrelTextSourceDialog::UpdateControls() {
    const TTextSourceEnabling enabling = TextSourceEnabling(GetState(), PositionComboBox != nullptr);
    CustomEdit->SetEnabled(enabling.CustomEdit);
    NumbersButton->SetEnabled(enabling.NumbersButton);
    if (FileDateRadioButton) {
        DateComboBox->SetEnabled(enabling.DateControls);
        DateFormatEdit->SetEnabled(enabling.DateControls);
    }
    OkButton->SetEnabled(enabling.Ok);
    FPreview->Changed();
}

bool TTrelTextSourceDialog::ShowWith(const TTextSourceDialogState& state,
                                     const TNumberSrcLinesSpecs& numbers) {
    SetState(state);
    FNumbersDialog.Values = numbers;
    UpdateControls();
    return ShowModal() == mrOk;
}

#include "app/dialogs/Trel_numbersdialog.h"

namespace {

const TControlDef kControls[] = {
    {ckLabel, "Label11", 10, 10, 121, 26, "&Prefix:", coCenterVertically},
    {ckEdit, "Edit11", 135, 10, 241, 23},
    {ckLabel, "Label21", 10, 40, 121, 26, "&Suffix:", coCenterVertically},
    {ckEdit, "Edit21", 135, 40, 241, 23},
    {ckLabel, "Label31", 10, 70, 121, 26, "&Initial:", coCenterVertically},
    {ckEdit, "Edit31", 135, 70, 241, 23},
    {ckLabel, "Label41", 10, 100, 121, 26, "I&ncrement:", coCenterVertically},
    {ckEdit, "Edit41", 135, 100, 241, 23},
    {ckLabel, "Label51", 10, 130, 121, 26, "&Digits:", coCenterVertically},
    {ckEdit, "Edit51", 135, 130, 241, 23},
    {ckLabel, "Label61", 10, 160, 121, 26, "&Padding:", coCenterVertically},
    {ckEdit, "Edit61", 135, 160, 241, 23},
    {ckLabel, "Label71", 10, 195, 366, 26, "", coNoPrefix | coCenterVertically},
    {ckButton, "Button91", 170, 230, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 275, 230, 101, 26, "Cancel", coCancel, mrCancel},
};

bool ReadsAsDigits(const std::string& text, int& digits) {
    return TryStrToInt(text, digits) && digits >= 0 && digits <= kMaxNumberDigits;
}

} // namespace

TNumbersDialogState NumbersDialogState(const TNumberSrcLinesSpecs& values) {
    return {values.Prefix,
            values.Suffix,
            IntToStr(values.Initial),
            IntToStr(values.Increment),
            IntToStr(values.Digits),
            std::string(1, values.Padding)};
}

bool NumbersDialogAcceptable(const TNumbersDialogState& state) {
    int number = 0;
    return TryStrToInt(state.Initial, number) && TryStrToInt(state.Increment, number) &&
           ReadsAsDigits(state.Digits, number) && state.Padding.size() == 1;
}

TNumberSrcLinesSpecs NumbersDialogValues(const TNumbersDialogState& state) {
    TNumberSrcLinesSpecs values;
    values.Prefix = state.Prefix;
    values.Suffix = state.Suffix;
    int number = 0;
    if (!TryStrToInt(state.Initial, number))
        throw EInvalidOperation("The initial number is not an integer.");
    values.Initial = number;
    if (!TryStrToInt(state.Increment, number))
        throw EInvalidOperation("The increment is not an integer.");
    values.Increment = number;
    if (!ReadsAsDigits(state.Digits, number))
        throw EInvalidOperation("The number of digits is not an integer from 0 to 255.");
    values.Digits = number;
    if (state.Padding.size() != 1)
        throw EInvalidOperation("The padding is not one character.");
    values.Padding = state.Padding[0];
    return values;
}

TTrelNumbersDialog::TTrelNumbersDialog() : TForm({"Numbers", 386, 266, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    PrefixEdit = &Control<TEdit>("Edit11");
    SuffixEdit = &Control<TEdit>("Edit21");
    InitialEdit = &Control<TEdit>("Edit31");
    IncrementEdit = &Control<TEdit>("Edit41");
    DigitsEdit = &Control<TEdit>("Edit51");
    PaddingEdit = &Control<TEdit>("Edit61");
    OkButton = &Control<TButton>("Button91");
    CancelButton = &Control<TButton>("Button92");
    PreviewLabel = &Control<TLabel>("Label71");
    FPreview = std::make_unique<TPreviewLine>(*PreviewLabel);
    // The prefix and the suffix take any text: they change the preview only.
    for (TEdit* edit : {InitialEdit, IncrementEdit, DigitsEdit, PaddingEdit})
        edit->OnChange = [this](TObject*) { UpdateControls(); };
    for (TEdit* edit : {PrefixEdit, SuffixEdit})
        edit->OnChange = [this](TObject*) { FPreview->Changed(); };
}

bool TTrelNumbersDialog::Execute() {
    SetState(NumbersDialogState(Values));
    UpdateControls();
    return ShowModal() == mrOk;
}

TNumbersDialogState TTrelNumbersDialog::GetState() const {
    return {PrefixEdit->GetText(),    SuffixEdit->GetText(), InitialEdit->GetText(),
            IncrementEdit->GetText(), DigitsEdit->GetText(), PaddingEdit->GetText()};
}

void TTrelNumbersDialog::SetState(const TNumbersDialogState& state) {
    PrefixEdit->SetText(state.Prefix);
    SuffixEdit->SetText(state.Suffix);
    InitialEdit->SetText(state.Initial);
    IncrementEdit->SetText(state.Increment);
    DigitsEdit->SetText(state.Digits);
    PaddingEdit->SetText(state.Padding);
}

void TTrelNumbersDialog::UpdateControls() {
    OkButton->SetEnabled(NumbersDialogAcceptable(GetState()));
    FPreview->Changed();
}

bool TTrelNumbersDialog::CloseQuery() {
    return CloseWithValues(*this, Values, [this] { return NumbersDialogValues(GetState()); });
}

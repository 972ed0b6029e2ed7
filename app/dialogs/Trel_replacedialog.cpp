#include "app/dialogs/Trel_replacedialog.h"

#include <commctrl.h>

namespace {

const TControlDef kControls[] = {
    {ckLabel, "Label11", 10, 10, 121, 26, "&Part:", coCenterVertically},
    {ckComboBox, "ComboBox11", 135, 10, 321, 23, kPartItems},
    {ckLabel, "Label21", 10, 40, 121, 26, "&Old text:", coCenterVertically},
    {ckEdit, "Edit21", 135, 40, 321, 23},
    {ckLabel, "Label31", 10, 70, 121, 26, "New text:", coCenterVertically},
    {ckRadioButton, "RadioButton31", 135, 70, 121, 26, "&Custom:"},
    {ckEdit, "Edit31", 260, 70, 196, 23},
    {ckRadioButton, "RadioButton41", 135, 95, 121, 26, "&Number:"},
    {ckButton, "Button41", 260, 95, 26, 26, "..."},
    {ckRadioButton, "RadioButton51", 135, 125, 321, 26, "Clip&board (a line per item)"},
    {ckCheckBox, "CheckBox61", 10, 155, 221, 26, "&Match case"},
    {ckCheckBox, "CheckBox71", 10, 185, 221, 26, "Regular e&xpression"},
    // Why the old text is no valid regular expression; two lines beside the
    // check boxes, empty while it is.
    {ckLabel, "Label71", 235, 155, 221, 56, "", coNoPrefix},
    {ckLabel, "Label81", 10, 220, 446, 26, "", coNoPrefix | coCenterVertically},
    {ckButton, "Button91", 255, 255, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 360, 255, 101, 26, "Cancel", coCancel, mrCancel},
};

// The part's list opens this many items tall.
constexpr int kPartListItems = 16;

} // namespace

TTextSourceDialogState ReplaceDialogState(const TTrelReplaceDialogValues& values) {
    TTextSourceDialogState state;
    state.PartIndex = values.Part;
    state.OldText = values.OldText;
    SetSourceState(state, values.Source);
    state.MatchCase = values.MatchCase;
    state.RegularExpression = values.RegularExpression;
    return state;
}

std::string ReplacePatternMessage(const TTextSourceDialogState& state) {
    return state.RegularExpression ? PatternProblem(state.OldText, state.MatchCase) : std::string();
}

TTrelReplaceDialogValues ReplaceDialogValues(const TTextSourceDialogState& state,
                                             const TNumberSrcLinesSpecs& numbers) {
    TTrelReplaceDialogValues values;
    values.Part = PartFromIndex(state.PartIndex);
    values.Source = SourceFromState(state, numbers);
    values.OldText = state.OldText;
    values.MatchCase = state.MatchCase;
    values.RegularExpression = state.RegularExpression;
    const std::string problem = ReplacePatternMessage(state);
    if (!problem.empty())
        throw EInvalidOperation(problem);
    return values;
}

TNameStep ReplaceStep(const TTrelReplaceDialogValues& values) {
    TNameStep step;
    step.Operation = noReplace;
    step.Part = values.Part;
    step.OldText = values.OldText;
    step.Source = values.Source;
    step.MatchCase = values.MatchCase;
    step.RegularExpression = values.RegularExpression;
    return step;
}

TTrelReplaceDialog::TTrelReplaceDialog()
    : TTrelTextSourceDialog({"Replace", 466, 291, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    BindControls({"ComboBox11", nullptr, "Edit21", "RadioButton31", "Edit31", "RadioButton41", "Button41",
                  "RadioButton51", "CheckBox61"},
                 false);
    RegularExpressionCheckBox = &Control<TCheckBox>("CheckBox71");
    PatternLabel = &Control<TLabel>("Label71");
    RegularExpressionCheckBox->OnClick = [this](TObject*) { UpdateControls(); };
    SendMessageA(PartComboBox->Handle(), CB_SETMINVISIBLE, kPartListItems, 0);
    Values.Source.Specs.Number = NumbersDialog().Values;
}

TNameStep TTrelReplaceDialog::StepOf(const TTextSourceDialogState& state,
                                      const TNumberSrcLinesSpecs& numbers) const {
    return ReplaceStep(ReplaceDialogValues(state, numbers));
}

bool TTrelReplaceDialog::Execute() {
    return ShowWith(ReplaceDialogState(Values), Values.Source.Specs.Number);
}

void TTrelReplaceDialog::UpdateControls() {
    TTrelTextSourceDialog::UpdateControls();
    PatternLabel->SetText(ReplacePatternMessage(GetState()));
}

bool TTrelReplaceDialog::CloseQuery() {
    return CloseWithValues(*this, Values,
                           [this] { return ReplaceDialogValues(GetState(), NumbersDialog().Values); });
}

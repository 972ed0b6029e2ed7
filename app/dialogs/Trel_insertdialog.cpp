#include "app/dialogs/Trel_insertdialog.h"

namespace {

const TControlDef kControls[] = {
    {ckLabel, "Label11", 10, 10, 121, 26, "&Part:", coCenterVertically},
    {ckComboBox, "ComboBox11", 135, 10, 321, 23, kPartItems},
    {ckLabel, "Label21", 10, 40, 121, 26, "P&osition:", coCenterVertically},
    {ckComboBox, "ComboBox21", 135, 40, 321, 23, kPositionItems},
    {ckLabel, "Label31", 10, 70, 121, 26, "Text:", coCenterVertically},
    {ckRadioButton, "RadioButton31", 135, 70, 121, 26, "&Custom:"},
    {ckEdit, "Edit31", 260, 70, 196, 23},
    {ckRadioButton, "RadioButton41", 135, 100, 121, 26, "&Number:"},
    {ckButton, "Button41", 260, 100, 26, 26, "..."},
    {ckRadioButton, "RadioButton51", 135, 130, 321, 26, "Clip&board (a line per item)"},
    {ckRadioButton, "RadioButton61", 135, 160, 121, 26, "File &date:"},
    {ckComboBox, "ComboBox61", 260, 160, 196, 23, kDateItems},
    {ckLabel, "Label62", 155, 190, 101, 26, "For&mat:", coCenterVertically},
    {ckEdit, "Edit62", 260, 190, 196, 23},
    {ckLabel, "Label63", 155, 220, 301, 26, kDateTakenFallback, coNoPrefix | coCenterVertically},
    {ckRadioButton, "RadioButton71", 135, 250, 321, 26, "&Folder name (of the entry's directory)"},
    {ckLabel, "Label81", 10, 285, 446, 26, "", coNoPrefix | coCenterVertically},
    {ckButton, "Button91", 250, 325, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 355, 325, 101, 26, "Cancel", coCancel, mrCancel},
};

} // namespace

TTextSourceDialogState InsertDialogState(const TTrelInsertDialogValues& values) {
    TTextSourceDialogState state;
    state.PartIndex = values.Part;
    state.PositionIndex = values.Position;
    SetSourceState(state, values.Source);
    return state;
}

TTrelInsertDialogValues InsertDialogValues(const TTextSourceDialogState& state,
                                           const TNumberSrcLinesSpecs& numbers) {
    TTrelInsertDialogValues values;
    values.Part = PartFromIndex(state.PartIndex);
    values.Position = PositionFromIndex(state.PositionIndex);
    values.Source = SourceFromState(state, numbers);
    return values;
}

TNameStep InsertStep(const TTrelInsertDialogValues& values) {
    TNameStep step;
    step.Operation = noInsert;
    step.Part = values.Part;
    step.Position = values.Position;
    step.Source = values.Source;
    return step;
}

TTrelInsertDialog::TTrelInsertDialog()
    : TTrelTextSourceDialog({"Insert", 466, 361, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    BindControls({"ComboBox11", "ComboBox21", nullptr, "RadioButton31", "Edit31", "RadioButton41", "Button41",
                  "RadioButton51", nullptr, "RadioButton61", "ComboBox61", "Edit62", "RadioButton71"},
                 true);
    Values.Source.Specs.Number = NumbersDialog().Values;
}

TNameStep TTrelInsertDialog::StepOf(const TTextSourceDialogState& state,
                                     const TNumberSrcLinesSpecs& numbers) const {
    return InsertStep(InsertDialogValues(state, numbers));
}

bool TTrelInsertDialog::Execute() {
    return ShowWith(InsertDialogState(Values), Values.Source.Specs.Number);
}

bool TTrelInsertDialog::CloseQuery() {
    return CloseWithValues(*this, Values,
                           [this] { return InsertDialogValues(GetState(), NumbersDialog().Values); });
}

#include "app/dialogs/Trel_overwritedialog.h"

namespace {

const TControlDef kControls[] = {
    {ckLabel, "Label11", 10, 10, 121, 26, "&Part:", coCenterVertically},
    {ckComboBox, "ComboBox11", 135, 10, 321, 23, kPartItems},
    {ckLabel, "Label21", 10, 40, 121, 26, "Text:", coCenterVertically},
    {ckRadioButton, "RadioButton21", 135, 40, 121, 26, "&Custom:"},
    {ckEdit, "Edit21", 260, 40, 196, 23},
    {ckRadioButton, "RadioButton31", 135, 70, 121, 26, "&Number:"},
    {ckButton, "Button31", 260, 70, 26, 26, "..."},
    {ckRadioButton, "RadioButton41", 135, 100, 321, 26, "Clip&board (a line per item)"},
    {ckRadioButton, "RadioButton51", 135, 130, 121, 26, "File &date:"},
    {ckComboBox, "ComboBox51", 260, 130, 196, 23, kDateItems},
    {ckLabel, "Label52", 155, 160, 101, 26, "For&mat:", coCenterVertically},
    {ckEdit, "Edit52", 260, 160, 196, 23},
    {ckLabel, "Label53", 155, 190, 301, 26, kDateTakenFallback, coNoPrefix | coCenterVertically},
    {ckRadioButton, "RadioButton61", 135, 220, 321, 26, "&Folder name (of the entry's directory)"},
    {ckLabel, "Label81", 10, 255, 446, 26, "", coNoPrefix | coCenterVertically},
    {ckButton, "Button91", 250, 295, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 355, 295, 101, 26, "Cancel", coCancel, mrCancel},
};

} // namespace

TTextSourceDialogState OverwriteDialogState(const TTrelOverwriteDialogValues& values) {
    TTextSourceDialogState state;
    state.PartIndex = values.Part;
    SetSourceState(state, values.Source);
    return state;
}

TTrelOverwriteDialogValues OverwriteDialogValues(const TTextSourceDialogState& state,
                                                 const TNumberSrcLinesSpecs& numbers) {
    TTrelOverwriteDialogValues values;
    values.Part = PartFromIndex(state.PartIndex);
    values.Source = SourceFromState(state, numbers);
    return values;
}

TNameStep OverwriteStep(const TTrelOverwriteDialogValues& values) {
    TNameStep step;
    step.Operation = noOverwrite;
    step.Part = values.Part;
    step.Source = values.Source;
    return step;
}

TTrelOverwriteDialog::TTrelOverwriteDialog()
    : TTrelTextSourceDialog({"Overwrite", 466, 331, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    BindControls({"ComboBox11", nullptr, nullptr, "RadioButton21", "Edit21", "RadioButton31", "Button31",
                  "RadioButton41", nullptr, "RadioButton51", "ComboBox51", "Edit52", "RadioButton61"},
                 true);
    Values.Source.Specs.Number = NumbersDialog().Values;
}

TNameStep TTrelOverwriteDialog::StepOf(const TTextSourceDialogState& state,
                                        const TNumberSrcLinesSpecs& numbers) const {
    return OverwriteStep(OverwriteDialogValues(state, numbers));
}

bool TTrelOverwriteDialog::Execute() {
    return ShowWith(OverwriteDialogState(Values), Values.Source.Specs.Number);
}

bool TTrelOverwriteDialog::CloseQuery() {
    return CloseWithValues(*this, Values,
                           [this] { return OverwriteDialogValues(GetState(), NumbersDialog().Values); });
}

#include "app/dialogs/Trel_capitalizedialog.h"

namespace {

const TControlDef kControls[] = {
    {ckLabel, "Label11", 10, 10, 121, 26, "&Part:", coCenterVertically},
    {ckComboBox, "ComboBox11", 135, 10, 321, 23, kPartItems},
    {ckLabel, "Label21", 10, 40, 121, 26, "&Case:", coCenterVertically},
    {ckComboBox, "ComboBox21", 135, 40, 321, 23, kCaseItems},
    {ckButton, "Button91", 250, 80, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 355, 80, 101, 26, "Cancel", coCancel, mrCancel},
};

} // namespace

TTrelCapitalizeDialog::TTrelCapitalizeDialog() : TForm({"Capitalize", 466, 116, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    PartComboBox = &Control<TComboBox>("ComboBox11");
    CaseComboBox = &Control<TComboBox>("ComboBox21");
    OkButton = &Control<TButton>("Button91");
    CancelButton = &Control<TButton>("Button92");
}

bool TTrelCapitalizeDialog::Execute() {
    PartComboBox->SetItemIndex(ItemIndexOf(Values.Part, PartComboBox->Count()));
    CaseComboBox->SetItemIndex(ItemIndexOf(Values.Case, CaseComboBox->Count()));
    // A drop-down list cannot lose its selection: the rule runs once.
    OkButton->SetEnabled(PartComboBox->GetItemIndex() >= 0 && CaseComboBox->GetItemIndex() >= 0);
    return ShowModal() == mrOk;
}

bool TTrelCapitalizeDialog::CloseQuery() {
    return CloseWithValues(*this, Values, [this] {
        return TTrelCapitalizeDialogValues{PartFromIndex(PartComboBox->GetItemIndex()),
                                           CaseFromIndex(CaseComboBox->GetItemIndex())};
    });
}

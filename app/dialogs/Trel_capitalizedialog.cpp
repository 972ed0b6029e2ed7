#include "app/dialogs/Trel_capitalizedialog.h"

namespace {

const TControlDef kControls[] = {
    {ckLabel, "Label11", 10, 10, 121, 26, "&Part:", coCenterVertically},
    {ckComboBox, "ComboBox11", 135, 10, 321, 23, kPartItems},
    {ckLabel, "Label21", 10, 40, 121, 26, "&Case:", coCenterVertically},
    {ckComboBox, "ComboBox21", 135, 40, 321, 23, kCaseItems},
    {ckLabel, "Label31", 10, 75, 446, 26, "", coNoPrefix | coCenterVertically},
    {ckButton, "Button91", 250, 110, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 355, 110, 101, 26, "Cancel", coCancel, mrCancel},
};

} // namespace

TNameStep CapitalizeStep(const TTrelCapitalizeDialogValues& values) {
    TNameStep step;
    step.Operation = noCapitalize;
    step.Part = values.Part;
    step.Case = values.Case;
    return step;
}

TTrelCapitalizeDialogValues CapitalizeDialogValues(int partIndex, int caseIndex) {
    return {PartFromIndex(partIndex), CaseFromIndex(caseIndex)};
}

TTrelCapitalizeDialog::TTrelCapitalizeDialog() : TForm({"Capitalize", 466, 146, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    PartComboBox = &Control<TComboBox>("ComboBox11");
    CaseComboBox = &Control<TComboBox>("ComboBox21");
    OkButton = &Control<TButton>("Button91");
    CancelButton = &Control<TButton>("Button92");
    PreviewLabel = &Control<TLabel>("Label31");
    FPreview = std::make_unique<TPreviewLine>(*PreviewLabel);
    FPreview->MakeStep = [this] {
        return CapitalizeStep(CapitalizeDialogValues(PartComboBox->GetItemIndex(), CaseComboBox->GetItemIndex()));
    };
    for (TComboBox* combo : {PartComboBox, CaseComboBox})
        combo->OnChange = [this](TObject*) { FPreview->Changed(); };
}

bool TTrelCapitalizeDialog::Execute() {
    PartComboBox->SetItemIndex(ItemIndexOf(Values.Part, PartComboBox->Count()));
    CaseComboBox->SetItemIndex(ItemIndexOf(Values.Case, CaseComboBox->Count()));
    // A drop-down list cannot lose its selection: the rule runs once.
    OkButton->SetEnabled(PartComboBox->GetItemIndex() >= 0 && CaseComboBox->GetItemIndex() >= 0);
    FPreview->Changed();
    return ShowModal() == mrOk;
}

bool TTrelCapitalizeDialog::CloseQuery() {
    return CloseWithValues(*this, Values, [this] {
        return CapitalizeDialogValues(PartComboBox->GetItemIndex(), CaseComboBox->GetItemIndex());
    });
}

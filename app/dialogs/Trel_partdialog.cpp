#include "app/dialogs/Trel_partdialog.h"

namespace {

const TControlDef kControls[] = {
    {ckLabel, "Label11", 10, 10, 121, 26, "&Part:", coCenterVertically},
    {ckComboBox, "ComboBox11", 135, 10, 321, 23, kPartItems},
    {ckButton, "Button91", 250, 50, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 355, 50, 101, 26, "Cancel", coCancel, mrCancel},
};

} // namespace

TTrelPartDialog::TTrelPartDialog() : TForm({"Part", 466, 86, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    PartComboBox = &Control<TComboBox>("ComboBox11");
    OkButton = &Control<TButton>("Button91");
    CancelButton = &Control<TButton>("Button92");
    PartComboBox->OnChange = [this](TObject*) { UpdateControls(); };
}

bool TTrelPartDialog::Execute() {
    PartComboBox->SetItemIndex(ItemIndexOf(Values, PartComboBox->Count()));
    UpdateControls();
    return ShowModal() == mrOk;
}

void TTrelPartDialog::UpdateControls() {
    OkButton->SetEnabled(PartComboBox->GetItemIndex() >= 0);
}

bool TTrelPartDialog::CloseQuery() {
    return CloseWithValues(*this, Values, [this] { return PartFromIndex(PartComboBox->GetItemIndex()); });
}

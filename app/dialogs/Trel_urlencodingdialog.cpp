#include "app/dialogs/Trel_urlencodingdialog.h"

namespace {

const TControlDef kControls[] = {
    {ckLabel, "Label11", 10, 10, 181, 26, "&Part:", coCenterVertically},
    {ckComboBox, "ComboBox11", 195, 10, 321, 23, kPartItems},
    {ckLabel, "Label21", 10, 40, 181, 26, "&Character encoding:", coCenterVertically},
    {ckComboBox, "ComboBox21", 195, 40, 321, 23, kEncodingItems},
    {ckButton, "Button91", 310, 80, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 415, 80, 101, 26, "Cancel", coCancel, mrCancel},
};

} // namespace

TTrelUrlEncodingDialog::TTrelUrlEncodingDialog()
    : TForm({"URL Encoding", 526, 116, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    PartComboBox = &Control<TComboBox>("ComboBox11");
    EncodingComboBox = &Control<TComboBox>("ComboBox21");
    OkButton = &Control<TButton>("Button91");
    CancelButton = &Control<TButton>("Button92");
}

bool TTrelUrlEncodingDialog::Execute() {
    PartComboBox->SetItemIndex(ItemIndexOf(Values.Part, PartComboBox->Count()));
    EncodingComboBox->SetItemIndex(ItemIndexOf(Values.Encoding, EncodingComboBox->Count()));
    // A drop-down list cannot lose its selection: the rule runs once. The
    // encoding is checked when the dialog closes.
    OkButton->SetEnabled(PartComboBox->GetItemIndex() >= 0);
    return ShowModal() == mrOk;
}

bool TTrelUrlEncodingDialog::CloseQuery() {
    return CloseWithValues(*this, Values, [this] {
        return TTrelUrlEncodingDialogValues{PartFromIndex(PartComboBox->GetItemIndex()),
                                            EncodingFromIndex(EncodingComboBox->GetItemIndex())};
    });
}

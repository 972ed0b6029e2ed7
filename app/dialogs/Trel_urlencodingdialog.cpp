#include "app/dialogs/Trel_urlencodingdialog.h"

namespace {

const TControlDef kControls[] = {
    {ckLabel, "Label11", 10, 10, 181, 26, "&Part:", coCenterVertically},
    {ckComboBox, "ComboBox11", 195, 10, 321, 23, kPartItems},
    {ckLabel, "Label21", 10, 40, 181, 26, "&Character encoding:", coCenterVertically},
    {ckComboBox, "ComboBox21", 195, 40, 321, 23, kEncodingItems},
    {ckLabel, "Label31", 10, 75, 506, 26, "", coNoPrefix | coCenterVertically},
    {ckButton, "Button91", 310, 110, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 415, 110, 101, 26, "Cancel", coCancel, mrCancel},
};

} // namespace

TTrelUrlEncodingDialogValues UrlEncodingDialogValues(int partIndex, int encodingIndex) {
    return {PartFromIndex(partIndex), EncodingFromIndex(encodingIndex)};
}

TNameStep UrlCodingStep(const TTrelUrlEncodingDialogValues& values, TNameOperation operation) {
    TNameStep step;
    step.Operation = operation;
    step.Part = values.Part;
    step.Encoding = values.Encoding;
    return step;
}

TTrelUrlEncodingDialog::TTrelUrlEncodingDialog()
    : TForm({"URL Encoding", 526, 146, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    PartComboBox = &Control<TComboBox>("ComboBox11");
    EncodingComboBox = &Control<TComboBox>("ComboBox21");
    OkButton = &Control<TButton>("Button91");
    CancelButton = &Control<TButton>("Button92");
    PreviewLabel = &Control<TLabel>("Label31");
    FPreview = std::make_unique<TPreviewLine>(*PreviewLabel);
    FPreview->MakeStep = [this] {
        return UrlCodingStep(UrlEncodingDialogValues(PartComboBox->GetItemIndex(), EncodingComboBox->GetItemIndex()),
                             Operation);
    };
    for (TComboBox* combo : {PartComboBox, EncodingComboBox})
        combo->OnChange = [this](TObject*) { FPreview->Changed(); };
}

bool TTrelUrlEncodingDialog::Execute() {
    PartComboBox->SetItemIndex(ItemIndexOf(Values.Part, PartComboBox->Count()));
    EncodingComboBox->SetItemIndex(ItemIndexOf(Values.Encoding, EncodingComboBox->Count()));
    // A drop-down list cannot lose its selection: the rule runs once. The
    // encoding is checked when the dialog closes.
    OkButton->SetEnabled(PartComboBox->GetItemIndex() >= 0);
    FPreview->Changed();
    return ShowModal() == mrOk;
}

bool TTrelUrlEncodingDialog::CloseQuery() {
    return CloseWithValues(*this, Values, [this] {
        return UrlEncodingDialogValues(PartComboBox->GetItemIndex(), EncodingComboBox->GetItemIndex());
    });
}

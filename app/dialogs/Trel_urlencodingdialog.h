// The URL Encoding dialog: the part and the character encoding of Name > URL
// Encode and Name > URL Decode, which share them.
#pragma once

#include "app/dialogs/Trel_namedialog.h"

struct TTrelUrlEncodingDialogValues {
    TPartKind Part = pkBaseName;
    TCharacterEncoding Encoding = ceUtf8;
};

// The values of the combo boxes' indexes; raises as PartFromIndex and
// EncodingFromIndex.
TTrelUrlEncodingDialogValues UrlEncodingDialogValues(int partIndex, int encodingIndex);
// URL Encode or URL Decode with the values.
TNameStep UrlCodingStep(const TTrelUrlEncodingDialogValues& values, TNameOperation operation);

class TTrelUrlEncodingDialog : public TForm {
public:
    TTrelUrlEncodingDialog();

    // Shows Values, then the dialog modally; true when it was closed with OK,
    // which has stored the controls' values in Values.
    bool Execute();
    bool CloseQuery() override;

    TTrelUrlEncodingDialogValues Values;
    // Which of the two the dialog is shown for: what its preview applies.
    TNameOperation Operation = noUrlEncode;
    TPreviewLine& Preview() const { return *FPreview; }

    TComboBox* PartComboBox;
    TComboBox* EncodingComboBox;
    TButton* OkButton;
    TButton* CancelButton;
    TLabel* PreviewLabel;

private:
    std::unique_ptr<TPreviewLine> FPreview;
};

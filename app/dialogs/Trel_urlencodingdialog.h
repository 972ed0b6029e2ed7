// The URL Encoding dialog: the part and the character encoding of Name > URL
// Encode and Name > URL Decode, which share them.
#pragma once

#include "app/dialogs/Trel_namedialog.h"

struct TTrelUrlEncodingDialogValues {
    TPartKind Part = pkBaseName;
    TCharacterEncoding Encoding = ceUtf8;
};

class TTrelUrlEncodingDialog : public TForm {
public:
    TTrelUrlEncodingDialog();

    // Shows Values, then the dialog modally; true when it was closed with OK,
    // which has stored the controls' values in Values.
    bool Execute();
    bool CloseQuery() override;

    TTrelUrlEncodingDialogValues Values;

    TComboBox* PartComboBox;
    TComboBox* EncodingComboBox;
    TButton* OkButton;
    TButton* CancelButton;
};

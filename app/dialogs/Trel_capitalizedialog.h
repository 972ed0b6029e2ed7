// The Capitalize dialog: the part and the character case of Name > Capitalize.
#pragma once

#include "app/dialogs/Trel_namedialog.h"

struct TTrelCapitalizeDialogValues {
    TPartKind Part = pkBaseName;
    TCharacterCase Case = ccLowerCase;
};

class TTrelCapitalizeDialog : public TForm {
public:
    TTrelCapitalizeDialog();

    // Shows Values, then the dialog modally; true when it was closed with OK,
    // which has stored the controls' values in Values.
    bool Execute();
    bool CloseQuery() override;

    TTrelCapitalizeDialogValues Values;

    TComboBox* PartComboBox;
    TComboBox* CaseComboBox;
    TButton* OkButton;
    TButton* CancelButton;
};

// The Part dialog: the part of the names that Name > Copy and Name > Free
// Edit work on.
#pragma once

#include "app/dialogs/Trel_namedialog.h"

class TTrelPartDialog : public TForm {
public:
    TTrelPartDialog();

    // Shows Values, then the dialog modally; true when it was closed with OK,
    // which has stored the chosen part in Values.
    bool Execute();
    // OK is enabled only while a part is chosen.
    void UpdateControls();
    bool CloseQuery() override;

    TPartKind Values = pkBaseName;

    TComboBox* PartComboBox;
    TButton* OkButton;
    TButton* CancelButton;
};

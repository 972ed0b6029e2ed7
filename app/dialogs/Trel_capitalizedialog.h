// The Capitalize dialog: the part and the character case of Name > Capitalize.
#pragma once

#include "app/dialogs/Trel_namedialog.h"

struct TTrelCapitalizeDialogValues {
    TPartKind Part = pkBaseName;
    TCharacterCase Case = ccLowerCase;
};

// The values of the combo boxes' indexes; raises as PartFromIndex and
// CaseFromIndex.
TTrelCapitalizeDialogValues CapitalizeDialogValues(int partIndex, int caseIndex);
TNameStep CapitalizeStep(const TTrelCapitalizeDialogValues& values);

class TTrelCapitalizeDialog : public TForm {
public:
    TTrelCapitalizeDialog();

    // Shows Values, then the dialog modally; true when it was closed with OK,
    // which has stored the controls' values in Values.
    bool Execute();
    bool CloseQuery() override;

    TTrelCapitalizeDialogValues Values;
    TPreviewLine& Preview() const { return *FPreview; }

    TComboBox* PartComboBox;
    TComboBox* CaseComboBox;
    TButton* OkButton;
    TButton* CancelButton;
    TLabel* PreviewLabel;

private:
    std::unique_ptr<TPreviewLine> FPreview;
};

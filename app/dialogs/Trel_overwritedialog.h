// The Overwrite dialog: the part and the source of the text that Name >
// Overwrite makes each selected name's part.
#pragma once

#include "app/dialogs/Trel_textsourcedialog.h"

struct TTrelOverwriteDialogValues {
    TPartKind Part = pkBaseName;
    TTextSrcSpecs Source;
};

TTextSourceDialogState OverwriteDialogState(const TTrelOverwriteDialogValues& values);
TTrelOverwriteDialogValues OverwriteDialogValues(const TTextSourceDialogState& state,
                                                 const TNumberSrcLinesSpecs& numbers);
TNameStep OverwriteStep(const TTrelOverwriteDialogValues& values);

class TTrelOverwriteDialog : public TTrelTextSourceDialog {
public:
    TTrelOverwriteDialog();

    // Shows Values, then the dialog modally; true when it was closed with OK,
    // which has stored the controls' values in Values.
    bool Execute();
    bool CloseQuery() override;
    TNameStep StepOf(const TTextSourceDialogState& state, const TNumberSrcLinesSpecs& numbers) const override;

    TTrelOverwriteDialogValues Values;
};

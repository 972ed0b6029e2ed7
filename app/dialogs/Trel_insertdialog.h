// The Insert dialog: the part, the position and the source of the text that
// Name > Insert puts at the head or tail of each selected name's part.
#pragma once

#include "app/dialogs/Trel_textsourcedialog.h"

struct TTrelInsertDialogValues {
    TPartKind Part = pkBaseName;
    TInsertPosition Position = ipHead;
    TTextSrcSpecs Source;
};

// The controls that show the values, and the values that the controls and
// the Numbers dialog's settings give (raising as the conversions do).
TTextSourceDialogState InsertDialogState(const TTrelInsertDialogValues& values);
TTrelInsertDialogValues InsertDialogValues(const TTextSourceDialogState& state,
                                           const TNumberSrcLinesSpecs& numbers);
// The operation the values give.
TNameStep InsertStep(const TTrelInsertDialogValues& values);

class TTrelInsertDialog : public TTrelTextSourceDialog {
public:
    TTrelInsertDialog();

    // Shows Values, then the dialog modally; true when it was closed with OK,
    // which has stored the controls' values in Values.
    bool Execute();
    bool CloseQuery() override;
    TNameStep StepOf(const TTextSourceDialogState& state, const TNumberSrcLinesSpecs& numbers) const override;

    TTrelInsertDialogValues Values;
};

// The Replace dialog: the part, the old text, the source of the new text and
// the match case of Name > Replace.
#pragma once

#include "app/dialogs/Trel_textsourcedialog.h"

#include <string>

struct TTrelReplaceDialogValues {
    TPartKind Part = pkBaseName;
    std::string OldText;
    TTextSrcSpecs Source;
    bool MatchCase = false;
};

TTextSourceDialogState ReplaceDialogState(const TTrelReplaceDialogValues& values);
TTrelReplaceDialogValues ReplaceDialogValues(const TTextSourceDialogState& state,
                                             const TNumberSrcLinesSpecs& numbers);

class TTrelReplaceDialog : public TTrelTextSourceDialog {
public:
    TTrelReplaceDialog();

    // Shows Values, then the dialog modally; true when it was closed with OK,
    // which has stored the controls' values in Values.
    bool Execute();
    bool CloseQuery() override;

    TTrelReplaceDialogValues Values;
};

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
    // The old text is a regular expression; line k replaces its matches.
    bool RegularExpression = false;
};

TTextSourceDialogState ReplaceDialogState(const TTrelReplaceDialogValues& values);
// Why the state's old text cannot be taken as a regular expression ("The
// regular expression is not valid: ..."); empty when it can or when the option
// is off.
std::string ReplacePatternMessage(const TTextSourceDialogState& state);
// Raises EInvalidOperation as the part and kind conversions, and with
// ReplacePatternMessage for a pattern that does not compile.
TTrelReplaceDialogValues ReplaceDialogValues(const TTextSourceDialogState& state,
                                             const TNumberSrcLinesSpecs& numbers);
TNameStep ReplaceStep(const TTrelReplaceDialogValues& values);

class TTrelReplaceDialog : public TTrelTextSourceDialog {
public:
    TTrelReplaceDialog();

    // Shows Values, then the dialog modally; true when it was closed with OK,
    // which has stored the controls' values in Values.
    bool Execute();
    bool CloseQuery() override;
    TNameStep StepOf(const TTextSourceDialogState& state, const TNumberSrcLinesSpecs& numbers) const override;
    // Also shows why the pattern is not valid, beside the check boxes.
    void UpdateControls() override;

    TTrelReplaceDialogValues Values;
    TLabel* PatternLabel = nullptr;
};

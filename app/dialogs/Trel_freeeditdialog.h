// The Free Edit dialog: the chosen part of every selected name, one per line
// of a memo, edited at once.
#pragma once

#include "app/dialogs/Trel_namedialog.h"

#include <cstdint>
#include <string>

struct TTrelFreeEditDialogValues {
    std::string Text;
    std::int32_t LineCount = 0;
};

// The text with every line end (CR, LF or CR LF) written CR LF, as the memo
// shows line ends.
std::string MemoLineBreaks(const std::string& text);
// The memo's text as the dialog accepts it: unchanged, when it has lineCount
// lines as the name handler splits it (TextLineCount); otherwise
// EInvalidOperation "The number of lines does not match.". (A line end other
// than CR LF pasted into the memo may not start a line of the control's.)
std::string FreeEditDialogText(const std::string& memoText, std::int32_t lineCount);

class TTrelFreeEditDialog : public TForm {
public:
    TTrelFreeEditDialog();

    // Shows Values.Text in the memo with the caret at the start. A text of
    // other than Values.LineCount lines raises EInvalidOperation "The number
    // of lines does not match." before anything is shown. Then shows the
    // dialog modally; true when it was closed with OK, which has stored the
    // memo's text in Values.Text.
    bool Execute();
    // OK is enabled only while the memo has Values.LineCount lines (counted
    // by the control: cheap enough for every key, whatever the text's length).
    void UpdateControls();
    bool CloseQuery() override;

    TTrelFreeEditDialogValues Values;

    TEdit* Memo;
    TButton* OkButton;
    TButton* CancelButton;
};

// The Numbers dialog: the settings of the number text source, edited for the
// Insert, Overwrite and Replace dialogs, each of which keeps its own.
#pragma once

#include "app/dialogs/Trel_namedialog.h"
#include "app/names/Trel_nameedit.h"
#include "framework/Fw_forms.h"

#include <memory>
#include <string>

// The texts of the dialog's six edits.
struct TNumbersDialogState {
    std::string Prefix;
    std::string Suffix;
    std::string Initial;
    std::string Increment;
    std::string Digits;
    std::string Padding;
};

// The texts that show the settings: the numbers in decimal, the padding as a
// one-character text.
TNumbersDialogState NumbersDialogState(const TNumberSrcLinesSpecs& values);
// Whether OK may close the dialog: Initial, Increment and Digits read as
// 32-bit integers, Digits from 0 to kMaxNumberDigits, Padding one byte.
bool NumbersDialogAcceptable(const TNumbersDialogState& state);
// The settings the texts give. Texts that are not acceptable raise
// EInvalidOperation with a sentence that names the first edit at fault.
TNumberSrcLinesSpecs NumbersDialogValues(const TNumbersDialogState& state);

class TTrelNumbersDialog : public TForm {
public:
    TTrelNumbersDialog();

    // Shows Values in the edits, then the dialog modally; true when it was
    // closed with OK, which has stored the edits' settings in Values.
    bool Execute();

    TNumbersDialogState GetState() const;
    void SetState(const TNumbersDialogState& state);
    // OK is enabled only while the texts are acceptable; the preview follows.
    void UpdateControls();
    // What the dialog that opened it would make of the names with these
    // numbers (that dialog sets it up).
    TPreviewLine& Preview() const { return *FPreview; }

    bool CloseQuery() override;

    // The settings of the last OK, or those a text-source dialog put here
    // before showing the dialog.
    TNumberSrcLinesSpecs Values;

    TEdit* PrefixEdit;
    TEdit* SuffixEdit;
    TEdit* InitialEdit;
    TEdit* IncrementEdit;
    TEdit* DigitsEdit;
    TEdit* PaddingEdit;
    TButton* OkButton;
    TButton* CancelButton;
    TLabel* PreviewLabel;

private:
    std::unique_ptr<TPreviewLine> FPreview;
};

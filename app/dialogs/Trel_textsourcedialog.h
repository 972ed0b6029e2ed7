// The frame of the three dialogs whose text comes from a custom text, from
// numbers or from the clipboard: Insert, Overwrite and Replace; Insert and
// Overwrite also from the entries' file dates and folder names.
#pragma once

#include "app/dialogs/Trel_namedialog.h"
#include "app/dialogs/Trel_numbersdialog.h"
#include "app/names/Trel_nameedit.h"
#include "framework/Fw_forms.h"

#include <memory>
#include <string>

// What the File date source's note tells.
extern const char* const kDateTakenFallback;

// The controls of a text-source dialog as plain values. A dialog without a
// position, an old text or a match case leaves those as they are here.
struct TTextSourceDialogState {
    int PartIndex = -1;
    int PositionIndex = -1;
    std::string OldText;
    bool CustomChecked = false;
    std::string CustomText;
    bool NumberChecked = false;
    bool ClipboardChecked = false;
    bool FileDateChecked = false;
    int DateIndex = -1;
    std::string DateFormat;
    bool FolderNameChecked = false;
    bool MatchCase = false;
    bool RegularExpression = false;
};

// Which controls of a text-source dialog are enabled.
struct TTextSourceEnabling {
    bool CustomEdit;
    bool NumbersButton;
    bool Ok;
    // The date's kind and format.
    bool DateControls = false;

    bool operator==(const TTextSourceEnabling&) const = default;
};

// The custom edit only while Custom is checked; "..." only while Number is;
// the date's controls only while File date is. OK unless Custom is checked
// with an empty text or File date without a date or with an empty format,
// and only with a part (and, when the dialog has one, a position) chosen. The old text may be empty: it
// matches nothing. As a regular expression it must compile.
TTextSourceEnabling TextSourceEnabling(const TTextSourceDialogState& state, bool hasPosition);

// The state that shows a source: its kind checked, its custom text.
void SetSourceState(TTextSourceDialogState& state, const TTextSrcSpecs& source);
// The source the state gives, with the number settings of the Numbers dialog;
// raises as KindFromChecks.
TTextSrcSpecs SourceFromState(const TTextSourceDialogState& state, const TNumberSrcLinesSpecs& numbers);

// The frame of the Insert, Overwrite and Replace dialogs: the part, the three
// kinds of source with the custom edit and "...", which edits this dialog's
// own number settings in the program's Numbers dialog.
class TTrelTextSourceDialog : public TForm {
public:
    TTextSourceDialogState GetState() const;
    void SetState(const TTextSourceDialogState& state);
    // Applies TextSourceEnabling to the controls; the preview follows.
    virtual void UpdateControls();
    TTrelNumbersDialog& NumbersDialog() const { return FNumbersDialog; }
    // The operation of the dialog with the state's values and the numbers;
    // raises as the conversion of the state does.
    virtual TNameStep StepOf(const TTextSourceDialogState& state, const TNumberSrcLinesSpecs& numbers) const = 0;
    TPreviewLine& Preview() const { return *FPreview; }

    TComboBox* PartComboBox = nullptr;
    // Insert only.
    TComboBox* PositionComboBox = nullptr;
    // Replace only.
    TEdit* OldTextEdit = nullptr;
    TRadioButton* CustomRadioButton = nullptr;
    TEdit* CustomEdit = nullptr;
    TRadioButton* NumberRadioButton = nullptr;
    TButton* NumbersButton = nullptr;
    TRadioButton* ClipboardRadioButton = nullptr;
    // Insert and Overwrite only.
    TRadioButton* FileDateRadioButton = nullptr;
    TComboBox* DateComboBox = nullptr;
    TEdit* DateFormatEdit = nullptr;
    TRadioButton* FolderNameRadioButton = nullptr;
    // Replace only.
    TCheckBox* MatchCaseCheckBox = nullptr;
    TCheckBox* RegularExpressionCheckBox = nullptr;
    TButton* OkButton = nullptr;
    TButton* CancelButton = nullptr;
    TLabel* PreviewLabel = nullptr;

protected:
    // The names of a dialog's controls in its table; null where it has none.
    struct TControlNames {
        const char* PartComboBox;
        const char* PositionComboBox;
        const char* OldTextEdit;
        const char* CustomRadioButton;
        const char* CustomEdit;
        const char* NumberRadioButton;
        const char* NumbersButton;
        const char* ClipboardRadioButton;
        const char* MatchCaseCheckBox;
        const char* FileDateRadioButton = nullptr;
        const char* DateComboBox = nullptr;
        const char* DateFormatEdit = nullptr;
        const char* FolderNameRadioButton = nullptr;
    };

    explicit TTrelTextSourceDialog(const TFormDef& def);
    // Finds the controls (after CreateControls; the preview is "Label81")
    // and hooks the enabling rule to their changes; a part change triggers
    // it only when partUpdates is set (the preview follows it always).
    void BindControls(const TControlNames& names, bool partUpdates);
    // Shows the state and puts the number settings into the Numbers dialog,
    // then shows the dialog modally; true when it was closed with OK.
    bool ShowWith(const TTextSourceDialogState& state, const TNumberSrcLinesSpecs& numbers);

private:
    // "...": the Numbers dialog, its preview the operation of this dialog
    // with the numbers it shows.
    void EditNumbers();

    TTrelNumbersDialog& FNumbersDialog;
    std::unique_ptr<TPreviewLine> FPreview;
};

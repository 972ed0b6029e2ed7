// What the Name menu's dialogs share: the items of their combo boxes, the
// conversions of control states into values, and the closing check.
#pragma once

#include "app/names/Trel_nameedit.h"
#include "app/names/Trel_namestep.h"
#include "framework/Fw_extctrls.h"
#include "framework/Fw_forms.h"

#include <functional>
#include <memory>
#include <utility>

// The combo-box index that shows a value: the value itself, or -1 (no item)
// for a value outside the count items.
int ItemIndexOf(int value, int count);

// The value that a combo box's item index selects. An index outside the items
// raises EInvalidOperation: "The part is not specified.", "The position is not
// specified.", "The case is not specified." or "The character encoding is not
// specified.", "The date is not specified.".
TPartKind PartFromIndex(int index);
TInsertPosition PositionFromIndex(int index);
TCharacterCase CaseFromIndex(int index);
TCharacterEncoding EncodingFromIndex(int index);
TFileDateKind DateFromIndex(int index);
// The kind of the first checked radio button of Custom, Number, Clipboard,
// File date and Folder name; none checked raises EInvalidOperation "The kind
// is not specified.".
TSrcLinesKind KindFromChecks(bool custom, bool number, bool clipboard, bool fileDate = false,
                             bool folderName = false);

// The closing check of a Name dialog: closed with OK, the controls are
// converted into a new values record (an error raises and keeps the dialog
// open) that replaces the stored one only if the form may close.
template <class TValues, class F>
bool CloseWithValues(TForm& form, TValues& stored, F&& convert) {
    if (form.GetModalResult() != mrOk)
        return form.TForm::CloseQuery();
    TValues values = convert();
    if (!form.TForm::CloseQuery())
        return false;
    stored = std::move(values);
    return true;
}

// The preview line of a Name dialog: what the step that the controls give
// would make of the selected names (see TStepPreview), or why the controls
// give none. It follows the controls once the typing pauses and is worked
// out a slice at a time, so that typing never waits for a large selection.
class TPreviewLine {
public:
    explicit TPreviewLine(TLabel& label);

    // The selected names (and entries), which must outlive the dialog's
    // showing; null: no preview (the line stays empty).
    void SetNames(const TNames* names, const TEntries* entries = nullptr);
    const TNames* Names() const { return FNames; }
    const TEntries* Entries() const { return FEntries; }
    // The step that the controls give now; raises with the reason when they
    // give none.
    std::function<TNameStep()> MakeStep;
    // Called with that step before it is worked out, to read what it needs
    // of the entries (the file dates of the first); raises as the reading.
    std::function<void(const TNameStep&)> ReadFor;
    // The controls changed.
    void Changed();
    // The line now.
    std::string Text() const { return FLabel.GetText(); }

private:
    void Tick();

    TLabel& FLabel;
    TTimer FTimer;
    const TNames* FNames = nullptr;
    const TEntries* FEntries = nullptr;
    std::unique_ptr<TStepPreview> FPreview;
};

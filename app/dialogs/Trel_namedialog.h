// What the Name menu's dialogs share: the items of their combo boxes, the
// conversions of control states into values, and the closing check.
#pragma once

#include "app/names/Trel_nameedit.h"
#include "framework/Fw_forms.h"

#include <utility>

// The items of the combo boxes, in the order of the enumerations' values.
extern const char* const kPartItems;
extern const char* const kPositionItems;
extern const char* const kCaseItems;
extern const char* const kEncodingItems;

// The combo-box index that shows a value: the value itself, or -1 (no item)
// for a value outside the count items.
int ItemIndexOf(int value, int count);

// The value that a combo box's item index selects. An index outside the items
// raises EInvalidOperation: "The part is not specified.", "The position is not
// specified.", "The case is not specified." or "The character encoding is not
// specified.".
TPartKind PartFromIndex(int index);
TInsertPosition PositionFromIndex(int index);
TCharacterCase CaseFromIndex(int index);
TCharacterEncoding EncodingFromIndex(int index);
// The kind of the first checked radio button of Custom, Number and Clipboard;
// none checked raises EInvalidOperation "The kind is not specified.".
TSrcLinesKind KindFromChecks(bool custom, bool number, bool clipboard);

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

#include "app/dialogs/Trel_namedialog.h"

const char* const kPartItems = "Name\nBase name\nExtension";
const char* const kPositionItems = "Head\nTail";
const char* const kCaseItems = "Lower case\nUpper case\nBook title";
const char* const kEncodingItems = "UTF-8\nANSI";

int ItemIndexOf(int value, int count) {
    return value >= 0 && value < count ? value : -1;
}

TPartKind PartFromIndex(int index) {
    if (index < pkName || index > pkExtension)
        throw EInvalidOperation("The part is not specified.");
    return static_cast<TPartKind>(index);
}

TInsertPosition PositionFromIndex(int index) {
    if (index < ipHead || index > ipTail)
        throw EInvalidOperation("The position is not specified.");
    return static_cast<TInsertPosition>(index);
}

TCharacterCase CaseFromIndex(int index) {
    if (index < ccLowerCase || index > ccBookTitle)
        throw EInvalidOperation("The case is not specified.");
    return static_cast<TCharacterCase>(index);
}

TCharacterEncoding EncodingFromIndex(int index) {
    if (index < ceUtf8 || index > ceAnsi)
        throw EInvalidOperation("The character encoding is not specified.");
    return static_cast<TCharacterEncoding>(index);
}

TSrcLinesKind KindFromChecks(bool custom, bool number, bool clipboard) {
    if (custom)
        return skCustom;
    if (number)
        return skNumber;
    if (clipboard)
        return skClipboard;
    throw EInvalidOperation("The kind is not specified.");
}

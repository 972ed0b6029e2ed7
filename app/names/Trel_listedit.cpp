#include "app/names/Trel_listedit.h"

#include <windows.h>

#include <commctrl.h>

#include <iterator>

namespace {

const char* const kTypeNotSupported = "The type is not supported.";
const char* const kResultNotSupported = "The result is not supported.";

struct TVocabulary {
    const char* Text;
    int ImageIndex;
};

const TVocabulary kTypes[] = {{"Directory", 1}, {"Regular file", 0}};
const TVocabulary kResults[] = {{"None", 2}, {"Succeeded", 3}, {"Failed", 4}, {"Skipped", 5}};

const TVocabulary& TypeEntry(TRenameItemType type) {
    const auto value = static_cast<size_t>(type);
    if (value >= std::size(kTypes))
        throw EListEditError(kTypeNotSupported);
    return kTypes[value];
}

const TVocabulary& ResultEntry(TRenameItemResult result) {
    const auto value = static_cast<size_t>(result);
    if (value >= std::size(kResults))
        throw EListEditError(kResultNotSupported);
    return kResults[value];
}

std::string NumberText(TRenameItemType type) {
    return IntToStr(static_cast<int>(type));
}

std::string NumberText(TRenameItemResult result) {
    return IntToStr(static_cast<int>(result));
}

} // namespace

std::string TypeText(TRenameItemType type) {
    return TypeEntry(type).Text;
}

std::string ResultText(TRenameItemResult result) {
    return ResultEntry(result).Text;
}

int TypeImageIndex(const TRenameItem& item) {
    return TypeEntry(item.Type).ImageIndex;
}

int ResultImageIndex(const TRenameItem& item) {
    return ResultEntry(item.Result).ImageIndex;
}

int CompareByDirectory(const TRenameItem& a, const TRenameItem& b) {
    return AnsiCompareStr(a.Directory, b.Directory);
}

int CompareByOldName(const TRenameItem& a, const TRenameItem& b) {
    return AnsiCompareStr(a.OldName, b.OldName);
}

int CompareByNewName(const TRenameItem& a, const TRenameItem& b) {
    return AnsiCompareStr(a.NewName, b.NewName);
}

int CompareByType(const TRenameItem& a, const TRenameItem& b) {
    return AnsiCompareStr(NumberText(a.Type), NumberText(b.Type));
}

int CompareByResult(const TRenameItem& a, const TRenameItem& b) {
    return AnsiCompareStr(NumberText(a.Result), NumberText(b.Result));
}

namespace {

// The sort key by LCMapStringA or, under UTF-8, LCMapStringW of the widened
// text: the A form would read the bytes in the locale's code page.
int MapSortKey(const std::string& text, char* key, int size) {
    // The system refuses a length of 0; the terminated empty text gives the
    // key of a text without weights, which is where the comparison puts it.
    if (IsUtf8CodePage()) {
        thread_local std::wstring wide;
        AnsiToWideLenient(text, wide);
        const wchar_t* source = wide.empty() ? L"" : wide.data();
        const int length = wide.empty() ? -1 : static_cast<int>(wide.size());
        return LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, source, length, reinterpret_cast<LPWSTR>(key),
                            size);
    }
    const char* source = text.empty() ? "" : text.data();
    const int length = text.empty() ? -1 : static_cast<int>(text.size());
    return LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, source, length, key, size);
}

} // namespace

std::string LocaleSortKey(const std::string& text) {
    std::string key(text.size() * 4 + 32, '\0');
    int size = MapSortKey(text, key.data(), static_cast<int>(key.size()));
    if (size == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        key.resize(static_cast<size_t>(MapSortKey(text, nullptr, 0)));
        size = MapSortKey(text, key.data(), static_cast<int>(key.size()));
    }
    if (size == 0) {
        // Without a key, fall back to the bytes, as the comparison does when
        // the system cannot compare; after every real key.
        return std::string(1, '\xFF') + text;
    }
    key.resize(static_cast<size_t>(size));
    return key;
}

std::string SortKeyByDirectory(const TRenameItem& item) {
    return LocaleSortKey(item.Directory);
}

std::string SortKeyByOldName(const TRenameItem& item) {
    return LocaleSortKey(item.OldName);
}

std::string SortKeyByNewName(const TRenameItem& item) {
    return LocaleSortKey(item.NewName);
}

std::string SortKeyByType(const TRenameItem& item) {
    return LocaleSortKey(NumberText(item.Type));
}

std::string SortKeyByResult(const TRenameItem& item) {
    return LocaleSortKey(NumberText(item.Result));
}

namespace {

const char* const kInfoCaptions[] = {"Size", "Modified", "Created", "Date taken"};

// The date a date column shows.
std::optional<TDateParts> InfoDate(const TRenameItem& item, TInfoColumn column) {
    switch (column) {
    case TInfoColumn::Modified:
        return item.GetDate(TFileDateKind::Modified);
    case TInfoColumn::Created:
        return item.GetDate(TFileDateKind::Created);
    case TInfoColumn::DateTaken:
        return item.GetDate(TFileDateKind::Taken);
    default:
        return std::nullopt;
    }
}

// The column's value as a number that orders as the values do.
std::optional<std::uint64_t> InfoValue(const TRenameItem& item, TInfoColumn column) {
    switch (column) {
    case TInfoColumn::Size:
        return item.Info.Size;
    case TInfoColumn::Modified:
        return item.Info.Modified ? std::optional<std::uint64_t>(item.Info.Modified) : std::nullopt;
    case TInfoColumn::Created:
        return item.Info.Created ? std::optional<std::uint64_t>(item.Info.Created) : std::nullopt;
    case TInfoColumn::DateTaken:
        return item.Info.Taken ? std::optional<std::uint64_t>(PackedDate(*item.Info.Taken)) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

const char* InfoColumnCaption(TInfoColumn column) {
    return kInfoCaptions[static_cast<size_t>(column)];
}

bool NeedsDateTaken(TInfoColumn column) {
    return column == TInfoColumn::DateTaken;
}

std::string InfoText(const TRenameItem& item, TInfoColumn column) {
    if (column == TInfoColumn::Size)
        return item.Info.Size ? KilobyteSizeText(*item.Info.Size) : std::string();
    const std::optional<TDateParts> date = InfoDate(item, column);
    return date ? ShortDateTimeText(*date) : std::string();
}

std::string SortKeyByInfo(const TRenameItem& item, TInfoColumn column) {
    const std::optional<std::uint64_t> value = InfoValue(item, column);
    // A first byte of 0 before the value, big-endian, so that the bytes
    // order as the numbers; 1 alone for no value.
    if (!value)
        return std::string(1, '\x01');
    std::string key(9, '\0');
    for (int i = 0; i < 8; ++i)
        key[static_cast<size_t>(8 - i)] = static_cast<char>((*value >> (8 * i)) & 0xFF);
    return key;
}

// ---------------------------------------------------------------- TRenameList

int TRenameList::Add(TRenameItem* item) {
    const int index = FModel.Count();
    Insert(index, item);
    return index;
}

void TRenameList::Insert(int index, TRenameItem* item) {
    FModel.Insert(index);
    FModel.Items(index)->SetData(item);
    FModel.Items(index)->SetState(LVIS_FOCUSED | LVIS_SELECTED);
}

int TRenameList::Remove(TRenameItem* item) {
    // Found and deleted in one step: inside a batch of the model the row is
    // only marked where it stands, whatever moved it since it was added.
    const int index = FModel.Remove(item);
    if (index < 0)
        throw EListEditError("The program cannot remove the item.");
    return index;
}

void TRenameList::Delete(int index) {
    FModel.Delete(index);
}

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

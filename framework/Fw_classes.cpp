#include "framework/Fw_classes.h"

#include <windows.h>

#include <algorithm>
#include <numeric>

// ---------------------------------------------------------------- TList

TList::~TList() {
    TList::Clear();
}

void TList::IndexError(int index) {
    throw EListError(Format("List index out of bounds (%d).", index));
}

void TList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        IndexError(index);
}

void TList::SetCount(int newCount) {
    if (newCount < 0)
        throw EListError(Format("List count out of bounds (%d).", newCount));
    if (newCount > Count())
        FItems.resize(FFirst + static_cast<size_t>(newCount), nullptr);
    else
        for (int i = Count() - 1; i >= newCount; --i)
            Delete(i);
}

void TList::SetCapacity(int newCapacity) {
    if (newCapacity < Count())
        throw EListError(Format("List capacity out of bounds (%d).", newCapacity));
    Compact();
    FItems.reserve(static_cast<size_t>(newCapacity));
}

void* TList::Items(int index) const {
    CheckIndex(index);
    return Slot(index);
}

void TList::Put(int index, void* item) {
    CheckIndex(index);
    void* old = Slot(index);
    if (old == item)
        return;
    Slot(index) = item;
    if (old)
        Notify(old, lnDeleted);
    if (item)
        Notify(item, lnAdded);
}

int TList::Add(void* item) {
    const int index = Count();
    FItems.push_back(item);
    if (item)
        Notify(item, lnAdded);
    return index;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > Count())
        IndexError(index);
    if (index == 0 && FFirst > 0)
        FItems[--FFirst] = item;
    else
        FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(FFirst) + index, item);
    if (item)
        Notify(item, lnAdded);
}

void TList::RemoveSlot(int index) {
    if (index == 0) {
        FItems[FFirst++] = nullptr;
        // Give the unused front back once it outweighs the items.
        if (FFirst == FItems.size())
            Compact();
        else if (FFirst >= 64 && FFirst * 2 >= FItems.size())
            Compact();
    } else {
        FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(FFirst) + index);
    }
}

void TList::Compact() {
    if (FFirst == 0)
        return;
    FItems.erase(FItems.begin(), FItems.begin() + static_cast<std::ptrdiff_t>(FFirst));
    FFirst = 0;
}

void TList::Delete(int index) {
    CheckIndex(index);
    void* item = Slot(index);
    RemoveSlot(index);
    if (item)
        Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

void* TList::Extract(void* item) {
    const int index = IndexOf(item);
    return index < 0 ? nullptr : ExtractAt(index);
}

void* TList::ExtractAt(int index) {
    CheckIndex(index);
    void* result = Slot(index);
    RemoveSlot(index);
    if (result)
        Notify(result, lnExtracted);
    return result;
}

int TList::IndexOf(void* item) const {
    const auto begin = FItems.begin() + static_cast<std::ptrdiff_t>(FFirst);
    const auto it = std::find(begin, FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - begin);
}

void TList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(Slot(index1), Slot(index2));
}

void TList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex)
        return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    const auto begin = FItems.begin() + static_cast<std::ptrdiff_t>(FFirst);
    const auto from = begin + curIndex;
    const auto to = begin + newIndex;
    if (curIndex < newIndex)
        std::rotate(from, from + 1, to + 1);
    else
        std::rotate(to, from, from + 1);
}

void TList::Clear() {
    // Delete from the end so that each notification sees a consistent list.
    while (Count() > 0)
        Delete(Count() - 1);
    std::vector<void*>().swap(FItems);
    FFirst = 0;
}

void TList::Sort(const TCompare& compare) {
    // A merge sort: stable, and safe with a comparison that is not a strict order.
    std::stable_sort(FItems.begin() + static_cast<std::ptrdiff_t>(FFirst), FItems.end(),
                     [&compare](void* a, void* b) { return compare(a, b) < 0; });
}

void TList::Notify(void*, TListNotification) {}

// ---------------------------------------------------------------- TObjectList

TObjectList::~TObjectList() {
    // Clear here: during the base destructor Notify no longer frees.
    TObjectList::Clear();
}

void TObjectList::Notify(void* item, TListNotification action) {
    if (FOwnsObjects && action == lnDeleted)
        delete static_cast<TObject*>(item);
    TList::Notify(item, action);
}

// ---------------------------------------------------------------- comparisons

namespace {

int CompareA(DWORD flags, const std::string& s1, const std::string& s2) {
    int result = 0;
    if (IsUtf8CodePage()) {
        // CompareStringA would read the bytes in the locale's code page.
        thread_local std::wstring wide1, wide2;
        AnsiToWideLenient(s1, wide1);
        AnsiToWideLenient(s2, wide2);
        result = CompareStringW(LOCALE_USER_DEFAULT, flags, wide1.data(), static_cast<int>(wide1.size()),
                                wide2.data(), static_cast<int>(wide2.size()));
        // Bytes that are not UTF-8 all widen to the same substitute: texts
        // that differ only there are kept apart by their bytes.
        if (result == CSTR_EQUAL && s1 != s2 && (!SurvivesWide(s1) || !SurvivesWide(s2)))
            return s1 < s2 ? -1 : 1;
    } else {
        result = CompareStringA(LOCALE_USER_DEFAULT, flags, s1.data(), static_cast<int>(s1.size()), s2.data(),
                                static_cast<int>(s2.size()));
    }
    // 0 means the call failed; order by bytes then, so that the order stays total.
    if (result == 0)
        return s1.compare(s2) < 0 ? -1 : (s1 == s2 ? 0 : 1);
    return result - CSTR_EQUAL;
}

} // namespace

int AnsiCompareStr(const std::string& s1, const std::string& s2) {
    return CompareA(0, s1, s2);
}

int AnsiCompareText(const std::string& s1, const std::string& s2) {
    return CompareA(NORM_IGNORECASE, s1, s2);
}

// ---------------------------------------------------------------- TStrings

void TStrings::IndexError(int index) {
    throw EStringListError(Format("List index out of bounds (%d).", index));
}

void TStrings::Put(int index, const std::string& s) {
    TObject* object = Objects(index);
    Delete(index);
    InsertObject(index, s, object);
}

TObject* TStrings::Objects(int) const {
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::SetCapacity(int) {}

int TStrings::Add(const std::string& s) {
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::Exchange(int index1, int index2) {
    const std::string s1 = Strings(index1);
    TObject* o1 = Objects(index1);
    Put(index1, Strings(index2));
    PutObject(index1, Objects(index2));
    Put(index2, s1);
    PutObject(index2, o1);
}

void TStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex)
        return;
    const std::string s = Strings(curIndex);
    TObject* object = Objects(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, object);
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Strings(i), s) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (Objects(i) == object)
            return i;
    return -1;
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this)
        return;
    Clear();
    FDelimiter = source.FDelimiter;
    FQuoteChar = source.FQuoteChar;
    FStrictDelimiter = source.FStrictDelimiter;
    AddStrings(source);
}

void TStrings::AddStrings(const TStrings& source) {
    SetCapacity(Count() + source.Count());
    for (int i = 0; i < source.Count(); ++i)
        AddObject(source.Strings(i), source.Objects(i));
}

std::string TStrings::Text() const {
    size_t size = 0;
    for (int i = 0; i < Count(); ++i)
        size += Strings(i).size() + 2;
    std::string result;
    result.reserve(size);
    for (int i = 0; i < Count(); ++i) {
        result += Strings(i);
        result += "\r\n";
    }
    return result;
}

void TStrings::SetText(const std::string& text) {
    Clear();
    const size_t end = std::min(text.size(), text.find('\0'));
    size_t p = 0;
    while (p < end) {
        const size_t start = p;
        while (p < end && text[p] != '\r' && text[p] != '\n')
            ++p;
        Add(text.substr(start, p - start));
        if (p < end && text[p] == '\r')
            ++p;
        if (p < end && text[p] == '\n')
            ++p;
    }
}

std::string TStrings::DelimitedText() const {
    std::string result;
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Strings(i);
        bool quote = false;
        for (const char c : s) {
            const auto u = static_cast<unsigned char>(c);
            if (c == FDelimiter || c == FQuoteChar || (!FStrictDelimiter && u <= ' ')) {
                quote = true;
                break;
            }
        }
        if (i > 0)
            result += FDelimiter;
        if (quote) {
            result += FQuoteChar;
            for (const char c : s) {
                result += c;
                if (c == FQuoteChar)
                    result += c;
            }
            result += FQuoteChar;
        } else {
            result += s;
        }
    }
    return result;
}

void TStrings::SetDelimitedText(const std::string& text) {
    Clear();
    const size_t end = std::min(text.size(), text.find('\0'));
    auto isBlank = [&](size_t p) {
        return p < end && static_cast<unsigned char>(text[p]) <= ' ' && !FStrictDelimiter;
    };
    size_t p = 0;
    while (isBlank(p))
        ++p;
    while (p < end) {
        std::string item;
        if (text[p] == FQuoteChar) {
            ++p;
            while (p < end) {
                if (text[p] == FQuoteChar) {
                    if (p + 1 < end && text[p + 1] == FQuoteChar) {
                        item += FQuoteChar;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const size_t start = p;
            while (p < end && text[p] != FDelimiter &&
                   (FStrictDelimiter || static_cast<unsigned char>(text[p]) > ' '))
                ++p;
            item = text.substr(start, p - start);
        }
        Add(item);
        while (isBlank(p))
            ++p;
        if (p < end && text[p] == FDelimiter) {
            ++p;
            if (p >= end)
                Add(std::string());
            while (isBlank(p))
                ++p;
        }
    }
}

std::string TStrings::CommaText() const {
    TStringList copy;
    copy.AddStrings(*this);
    copy.SetDelimiter(',');
    copy.SetQuoteChar('"');
    return copy.DelimitedText();
}

void TStrings::SetCommaText(const std::string& text) {
    const char delimiter = FDelimiter;
    const char quote = FQuoteChar;
    const bool strict = FStrictDelimiter;
    FDelimiter = ',';
    FQuoteChar = '"';
    FStrictDelimiter = false;
    try {
        SetDelimitedText(text);
    } catch (...) {
        FDelimiter = delimiter;
        FQuoteChar = quote;
        FStrictDelimiter = strict;
        throw;
    }
    FDelimiter = delimiter;
    FQuoteChar = quote;
    FStrictDelimiter = strict;
}

int TStrings::CompareStrings(const std::string& s1, const std::string& s2) const {
    return AnsiCompareText(s1, s2);
}

// ---------------------------------------------------------------- TStringList

TStringList::~TStringList() = default;

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        IndexError(index);
}

std::string TStringList::Strings(int index) const {
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].String;
}

void TStringList::Put(int index, const std::string& s) {
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list.");
    CheckIndex(index);
    FItems[static_cast<size_t>(index)].String = s;
}

TObject* TStringList::Objects(int index) const {
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Object;
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    FItems[static_cast<size_t>(index)].Object = object;
}

void TStringList::SetCapacity(int newCapacity) {
    if (newCapacity < Count())
        throw EStringListError(Format("List capacity out of bounds (%d).", newCapacity));
    FItems.reserve(static_cast<size_t>(newCapacity));
}

int TStringList::Add(const std::string& s) {
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const std::string& s, TObject* object) {
    int index;
    if (!FSorted) {
        index = Count();
    } else if (Find(s, index)) {
        switch (FDuplicates) {
        case dupIgnore:
            return index;
        case dupError:
            throw EStringListError("String list does not allow duplicates.");
        case dupAccept:
            break;
        }
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::Insert(int index, const std::string& s) {
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list.");
    if (index < 0 || index > Count())
        IndexError(index);
    InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
    FItems.insert(FItems.begin() + index, TItem{s, object});
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
}

void TStringList::Clear() {
    std::vector<TItem>().swap(FItems);
}

void TStringList::Exchange(int index1, int index2) {
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list.");
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
}

void TStringList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex)
        return;
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list.");
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    TItem item = std::move(FItems[static_cast<size_t>(curIndex)]);
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, std::move(item));
}

int TStringList::IndexOf(const std::string& s) const {
    if (!FSorted)
        return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

void TStringList::Assign(const TStrings& source) {
    if (&source == this)
        return;
    if (const auto* list = dynamic_cast<const TStringList*>(&source)) {
        FSorted = list->FSorted;
        FDuplicates = list->FDuplicates;
        FCaseSensitive = list->FCaseSensitive;
        Clear();
        FItems = list->FItems;
        SetDelimiter(list->Delimiter());
        SetQuoteChar(list->QuoteChar());
        SetStrictDelimiter(list->StrictDelimiter());
        return;
    }
    TStrings::Assign(source);
}

bool TStringList::Find(const std::string& s, int& index) const {
    // Lower bound: the first string not ordered before s.
    int low = 0;
    int high = Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CompareStrings(FItems[static_cast<size_t>(middle)].String, s) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    index = low;
    return low < Count() && CompareStrings(FItems[static_cast<size_t>(low)].String, s) == 0;
}

void TStringList::Sort() {
    CustomSort([](const TStringList& list, int i, int j) {
        return list.CompareStrings(list.FItems[static_cast<size_t>(i)].String,
                                   list.FItems[static_cast<size_t>(j)].String);
    });
}

void TStringList::CustomSort(const TCompare& compare) {
    if (Count() < 2)
        return;
    // Sort a permutation: the comparison receives indexes into the unchanged list.
    std::vector<int> order(FItems.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<TItem> sorted;
    sorted.reserve(FItems.capacity());
    for (const int i : order)
        sorted.push_back(std::move(FItems[static_cast<size_t>(i)]));
    FItems.swap(sorted);
}

void TStringList::SetSorted(bool value) {
    if (FSorted == value)
        return;
    if (value)
        Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (FCaseSensitive == value)
        return;
    FCaseSensitive = value;
    if (FSorted)
        Sort();
}

int TStringList::CompareStrings(const std::string& s1, const std::string& s2) const {
    return FCaseSensitive ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
}

#include "support/Vek_list.h"

#include <utility>

// ---------------------------------------------------------------- TListHelper

void TListHelper::AddList(TList& list) {
    const int count = list.Count();
    EnsureCapacity(FList.Count() + count);
    for (int i = 0; i < count; ++i)
        FList.Add(list.Items(i));
}

void TListHelper::SwapContents(TList& list) {
    if (&list == &FList)
        return;
    TList temporary;
    TListHelper(temporary).AddList(FList);
    while (FList.Count() > 0)
        ExtractLast();
    AddList(list);
    while (list.Count() > 0)
        TListHelper(list).ExtractLast();
    TListHelper(list).AddList(temporary);
}

void* TListHelper::ExtractFirst() {
    return Extract(0);
}

void* TListHelper::ExtractLast() {
    return Extract(FList.Count() - 1);
}

void* TListHelper::Extract(int index) {
    // Without the deletion notice: an owning list does not free what it hands out.
    return FList.ExtractAt(index);
}

void* TListHelper::Replace(int index, void* item) {
    void* old = FList.Items(index);
    FList.Put(index, item);
    return old;
}

void TListHelper::Reverse() {
    const int count = FList.Count();
    for (int i = 0; i < count / 2; ++i)
        FList.Exchange(i, count - 1 - i);
}

void TListHelper::EnsureCapacity(int count) {
    if (FList.Capacity() < count)
        FList.SetCapacity(count);
}

// ---------------------------------------------------------------- TObjectListHelper

namespace {

// Switches a list's ownership off for its lifetime.
class TOwnershipOff {
public:
    explicit TOwnershipOff(TObjectList& list, bool ownsObjects = false)
        : FList(list), FSaved(list.OwnsObjects()) {
        FList.SetOwnsObjects(ownsObjects);
    }
    TOwnershipOff(const TOwnershipOff&) = delete;
    TOwnershipOff& operator=(const TOwnershipOff&) = delete;
    ~TOwnershipOff() { FList.SetOwnsObjects(FSaved); }

private:
    TObjectList& FList;
    bool FSaved;
};

} // namespace

void TObjectListHelper::SwapObjects(TObjectList& list) {
    TOwnershipOff mine(Objects());
    TOwnershipOff theirs(list);
    SwapContents(list);
}

void TObjectListHelper::Clear(bool ownsObjects) {
    TOwnershipOff scope(Objects(), ownsObjects);
    FList.Clear();
}

TObject* TObjectListHelper::ExtractFirstObject() {
    return ExtractObject(0);
}

TObject* TObjectListHelper::ExtractLastObject() {
    return ExtractObject(FList.Count() - 1);
}

TObject* TObjectListHelper::ExtractObject(int index) {
    TOwnershipOff scope(Objects());
    return static_cast<TObject*>(Extract(index));
}

TObject* TObjectListHelper::ReplaceObject(int index, TObject* object) {
    TOwnershipOff scope(Objects());
    return static_cast<TObject*>(Replace(index, object));
}

// ---------------------------------------------------------------- TStringsHelper

void TStringsHelper::SwapContents(TStrings& strings) {
    if (&strings == &FStrings)
        return;
    TStringList temporary;
    temporary.AddStrings(FStrings);
    FStrings.Clear();
    FStrings.AddStrings(strings);
    strings.Clear();
    strings.AddStrings(temporary);
}

std::string TStringsHelper::ExtractFirst() {
    return Extract(0);
}

std::string TStringsHelper::ExtractLast() {
    return Extract(FStrings.Count() - 1);
}

std::string TStringsHelper::Extract(int index) {
    std::string s = FStrings.Strings(index);
    FStrings.Delete(index);
    return s;
}

std::string TStringsHelper::Replace(int index, const std::string& s) {
    std::string old = FStrings.Strings(index);
    FStrings.Put(index, s);
    return old;
}

TObject* TStringsHelper::ReplaceObject(int index, TObject* object) {
    TObject* old = FStrings.Objects(index);
    FStrings.PutObject(index, object);
    return old;
}

void TStringsHelper::Reverse() {
    const int count = FStrings.Count();
    for (int i = 0; i < count / 2; ++i)
        FStrings.Exchange(i, count - 1 - i);
}

int TStringsHelper::IndexOf(const std::string& s) {
    for (int i = 0; i < FStrings.Count(); ++i)
        if (FStrings.CompareStrings(FStrings.Strings(i), s) == 0)
            return i;
    return -1;
}

int TStringsHelper::IndexOfObject(TObject* object) {
    return FStrings.IndexOfObject(object);
}

void TStringsHelper::EnsureCapacity(int count) {
    if (FStrings.Capacity() < count)
        FStrings.SetCapacity(count);
}

// ---------------------------------------------------------------- TStringListHelper

int TStringListHelper::IndexOf(const std::string& s) {
    if (!List().Sorted())
        return TStringsHelper::IndexOf(s);
    int index;
    return List().Find(s, index) ? index : -1;
}

bool TStringListHelper::AddIfNew(const std::string& s) {
    const int count = FStrings.Count();
    FStrings.Add(s);
    return FStrings.Count() > count;
}

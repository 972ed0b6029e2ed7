// The base object, pointer and object lists, and string lists.
#pragma once

#include "framework/Fw_sysutils.h"

#include <functional>
#include <string>
#include <vector>

// The root of the program's object classes: created on the heap, owned by one
// owner, never copied.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// An event with the sender only.
using TNotifyEvent = std::function<void(TObject* Sender)>;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// A list of untyped pointers.
class TList : public TObject {
public:
    using TCompare = std::function<int(void* Item1, void* Item2)>;

    TList() = default;
    ~TList() override;

    int Count() const { return static_cast<int>(FItems.size() - FFirst); }
    // Growing adds null pointers; shrinking deletes the last items.
    void SetCount(int newCount);
    int Capacity() const { return static_cast<int>(FItems.capacity() - FFirst); }
    // Raises the capacity; a value below the count throws EListError, a lower
    // value above the count keeps the memory.
    void SetCapacity(int newCapacity);

    void* Items(int index) const;
    void Put(int index, void* item);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Removes the first occurrence; returns its index or -1.
    int Remove(void* item);
    // Takes the first occurrence out without the deletion notice; returns it or null.
    void* Extract(void* item);
    // Takes the item at the index out without the deletion notice and returns it.
    void* ExtractAt(int index);
    int IndexOf(void* item) const;
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    virtual void Clear();
    // Sorts by the comparison (negative, zero, positive). Items that compare
    // equal keep their relative order.
    void Sort(const TCompare& compare);

    // Direct access to the items, for loops that must not pay a range check.
    void** List() { return FItems.data() + FFirst; }
    void* const* List() const { return FItems.data() + FFirst; }

protected:
    // Called after an item was added, and before one is taken out (extracted)
    // or removed for good (deleted, also by Put and Clear).
    virtual void Notify(void* item, TListNotification action);
    [[noreturn]] static void IndexError(int index);
    void CheckIndex(int index) const;

private:
    void*& Slot(int index) { return FItems[FFirst + static_cast<size_t>(index)]; }
    void* Slot(int index) const { return FItems[FFirst + static_cast<size_t>(index)]; }
    // Removes the slot at the index; the first one in constant time.
    void RemoveSlot(int index);
    void Compact();

    // The items are FItems[FFirst ..]: a queue's worth of slots may lie unused
    // in front, so that taking the first item (as an invoker does with its
    // pending commands) does not move every other item.
    std::vector<void*> FItems;
    size_t FFirst = 0;
};

// A list of objects that frees the objects it deletes while OwnsObjects is set.
class TObjectList : public TList {
public:
    explicit TObjectList(bool ownsObjects = true) : FOwnsObjects(ownsObjects) {}
    ~TObjectList() override;

    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool value) { FOwnsObjects = value; }

    TObject* Items(int index) const { return static_cast<TObject*>(TList::Items(index)); }
    void Put(int index, TObject* item) { TList::Put(index, item); }
    TObject* First() const { return Items(0); }
    TObject* Last() const { return Items(Count() - 1); }
    int Add(TObject* item) { return TList::Add(item); }
    void Insert(int index, TObject* item) { TList::Insert(index, item); }
    int Remove(TObject* item) { return TList::Remove(item); }
    TObject* Extract(TObject* item) { return static_cast<TObject*>(TList::Extract(item)); }
    int IndexOf(TObject* item) const { return TList::IndexOf(item); }

protected:
    void Notify(void* item, TListNotification action) override;

private:
    bool FOwnsObjects;
};

// Locale-aware comparisons of the user's default locale.
int AnsiCompareStr(const std::string& s1, const std::string& s2);
int AnsiCompareText(const std::string& s1, const std::string& s2);

// The base of string lists: strings with an attached object each.
class TStrings : public TObject {
public:
    TStrings() = default;

    virtual int Count() const = 0;
    virtual std::string Strings(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* Objects(int index) const;
    virtual void PutObject(int index, TObject* object);
    std::string operator[](int index) const { return Strings(index); }

    virtual int Capacity() const { return Count(); }
    virtual void SetCapacity(int newCapacity);

    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* object);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void InsertObject(int index, const std::string& s, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);
    // Linear search by CompareStrings; -1 when absent.
    virtual int IndexOf(const std::string& s) const;
    int IndexOfObject(TObject* object) const;
    virtual void Assign(const TStrings& source);
    void AddStrings(const TStrings& source);

    // Every string followed by CR LF.
    virtual std::string Text() const;
    // Replaces the contents by the lines of the text: a line ends at CR, LF or
    // CR LF; a break at the very end starts no further line; the text ends at
    // its first zero byte.
    virtual void SetText(const std::string& text);

    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char c) { FDelimiter = c; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char c) { FQuoteChar = c; }
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool value) { FStrictDelimiter = value; }
    // The strings joined by the delimiter; a string holding the delimiter, the
    // quote character or (unless strict) a blank or control character is quoted.
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& text);
    // DelimitedText with the comma and the double quote.
    std::string CommaText() const;
    void SetCommaText(const std::string& text);

    virtual int CompareStrings(const std::string& s1, const std::string& s2) const;

protected:
    [[noreturn]] static void IndexError(int index);

private:
    char FDelimiter = ',';
    char FQuoteChar = '"';
    bool FStrictDelimiter = false;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// A string list that may keep itself sorted, with binary search and a choice
// of what a duplicate does. A derived list changes the order by overriding
// CompareStrings.
class TStringList : public TStrings {
public:
    using TCompare = std::function<int(const TStringList& list, int index1, int index2)>;

    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Strings(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* Objects(int index) const override;
    void PutObject(int index, TObject* object) override;
    int Capacity() const override { return static_cast<int>(FItems.capacity()); }
    void SetCapacity(int newCapacity) override;

    int Add(const std::string& s) override;
    int AddObject(const std::string& s, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    // Binary search when sorted, else linear.
    int IndexOf(const std::string& s) const override;
    void Assign(const TStrings& source) override;

    // Binary search of a sorted list: true when found; index is the first match
    // or the place where s would be inserted.
    virtual bool Find(const std::string& s, int& index) const;
    virtual void Sort();
    // Sorts by the comparison; equal strings keep their relative order.
    virtual void CustomSort(const TCompare& compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value);

    int CompareStrings(const std::string& s1, const std::string& s2) const override;

private:
    struct TItem {
        std::string String;
        TObject* Object;
    };
    void CheckIndex(int index) const;
    void InsertItem(int index, const std::string& s, TObject* object);

    std::vector<TItem> FItems;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
};

// Operations added to the framework's lists, without changing those classes.
// A helper is made on the stack around a list it does not own.
#pragma once

#include "framework/Fw_classes.h"
#include "support/Vek_autopointer.h"

#include <string>
#include <utility>

class TListHelper {
public:
    explicit TListHelper(TList& list) : FList(list) {}
    TListHelper(const TListHelper&) = delete;
    TListHelper& operator=(const TListHelper&) = delete;
    virtual ~TListHelper() = default;

    // Appends every pointer of the other list, in order.
    virtual void AddList(TList& list);
    virtual void SwapContents(TList& list);
    virtual void* ExtractFirst();
    virtual void* ExtractLast();
    virtual void* Extract(int index);
    // Stores the pointer at the index; returns the one it replaced.
    virtual void* Replace(int index, void* item);
    virtual void Reverse();
    // Raises the capacity to the count; never lowers it.
    virtual void EnsureCapacity(int count);

protected:
    TList& FList;
};

// The operations below switch the list's ownership off while they run (and
// back on, also when an error passes through), so no object is freed by them.
class TObjectListHelper : public TListHelper {
public:
    explicit TObjectListHelper(TObjectList& list) : TListHelper(list) {}

    virtual void SwapObjects(TObjectList& list);
    // Empties the list with its ownership set to ownsObjects for the duration.
    virtual void Clear(bool ownsObjects);
    virtual TObject* ExtractFirstObject();
    virtual TObject* ExtractLastObject();
    virtual TObject* ExtractObject(int index);
    virtual TObject* ReplaceObject(int index, TObject* object);

private:
    TObjectList& Objects() { return static_cast<TObjectList&>(FList); }
};

class TStringsHelper {
public:
    explicit TStringsHelper(TStrings& strings) : FStrings(strings) {}
    TStringsHelper(const TStringsHelper&) = delete;
    TStringsHelper& operator=(const TStringsHelper&) = delete;
    virtual ~TStringsHelper() = default;

    virtual void SwapContents(TStrings& strings);
    virtual std::string ExtractFirst();
    virtual std::string ExtractLast();
    virtual std::string Extract(int index);
    // Stores the string at the index; returns the one it replaced.
    virtual std::string Replace(int index, const std::string& s);
    // Attaches the object to the string at the index; returns the one it replaced.
    virtual TObject* ReplaceObject(int index, TObject* object);
    virtual void Reverse();
    // Linear search by the list's comparison; -1 when absent.
    virtual int IndexOf(const std::string& s);
    // Linear search by identity; -1 when absent.
    virtual int IndexOfObject(TObject* object);
    virtual void EnsureCapacity(int count);

protected:
    TStrings& FStrings;
};

class TStringListHelper : public TStringsHelper {
public:
    explicit TStringListHelper(TStringList& list) : TStringsHelper(list) {}

    // Binary search when the list is sorted.
    int IndexOf(const std::string& s) override;
    // Adds the string; true when the count grew (false for a duplicate that a
    // sorted, duplicate-ignoring list drops).
    virtual bool AddIfNew(const std::string& s);

private:
    TStringList& List() { return static_cast<TStringList&>(FStrings); }
};

// Makes an object of the class and hands it to an owning list; the object is
// freed if the list cannot take it.
template <class T, class... TArgs>
T* AddNew(TObjectList& list, TArgs&&... args) {
    TAutoPointer<T> object(new T(std::forward<TArgs>(args)...));
    list.Add(object.Get());
    return object.Release();
}

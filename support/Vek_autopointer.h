// Scope-bound owners: free an object or an array unless it has been handed on.
#pragma once

#include <cstddef>

// Holds a pointer; frees nothing itself. The pattern: create into an owner,
// do the work that may throw, then Release to the final owner.
template <class T>
class TCustomAutoPointer {
public:
    explicit TCustomAutoPointer(T* pointer = nullptr) : FPointer(pointer) {}
    TCustomAutoPointer(const TCustomAutoPointer&) = delete;
    TCustomAutoPointer& operator=(const TCustomAutoPointer&) = delete;

    T* Get() const { return FPointer; }
    T* operator->() const { return FPointer; }
    T& operator*() const { return *FPointer; }
    explicit operator bool() const { return FPointer != nullptr; }
    // Hands the pointer over; the owner then holds null.
    T* Release() {
        T* pointer = FPointer;
        FPointer = nullptr;
        return pointer;
    }

protected:
    ~TCustomAutoPointer() = default;
    T* FPointer;
};

// Frees the held object (through its virtual destructor).
template <class T>
class TAutoPointer : public TCustomAutoPointer<T> {
public:
    explicit TAutoPointer(T* object = nullptr) : TCustomAutoPointer<T>(object) {}
    ~TAutoPointer() {
        delete this->FPointer;
        this->FPointer = nullptr;
    }
};

// Frees the held array, made with array-new.
template <class T>
class TAutoArray : public TCustomAutoPointer<T> {
public:
    explicit TAutoArray(T* array = nullptr) : TCustomAutoPointer<T>(array) {}
    ~TAutoArray() {
        delete[] this->FPointer;
        this->FPointer = nullptr;
    }
    T& operator[](std::size_t index) const { return this->FPointer[index]; }
};

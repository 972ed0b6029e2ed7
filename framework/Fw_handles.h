// Owners of system handles: one non-copyable class per handle kind. Each frees
// its handle when it goes, unless the handle was detached because the system
// (or another owner) took it over.
#pragma once

#include <windows.h>

#include <utility>

// The owner template; Traits gives the handle type, its null value and the
// function that frees it.
template <class Traits>
class THandleOwner {
public:
    using THandle = typename Traits::THandle;

    THandleOwner() = default;
    explicit THandleOwner(THandle handle) : FHandle(handle) {}
    THandleOwner(const THandleOwner&) = delete;
    THandleOwner& operator=(const THandleOwner&) = delete;
    THandleOwner(THandleOwner&& other) noexcept : FHandle(other.Detach()) {}
    THandleOwner& operator=(THandleOwner&& other) noexcept {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }
    ~THandleOwner() { Reset(); }

    THandle Get() const { return FHandle; }
    bool IsNull() const { return FHandle == Traits::Null(); }
    explicit operator bool() const { return !IsNull(); }

    // Frees the handle held so far and takes the new one.
    void Attach(THandle handle) {
        if (handle != FHandle) {
            Reset();
            FHandle = handle;
        }
    }
    // Gives the handle up without freeing it.
    THandle Detach() { return std::exchange(FHandle, Traits::Null()); }
    void Reset() {
        if (!IsNull())
            Traits::Free(Detach());
    }

private:
    THandle FHandle = Traits::Null();
};

struct TKernelHandleTraits {
    using THandle = HANDLE;
    static HANDLE Null() { return nullptr; }
    static void Free(HANDLE h) { CloseHandle(h); }
};
// Threads, events and other kernel objects.
using TKernelHandle = THandleOwner<TKernelHandleTraits>;

struct TWindowHandleTraits {
    using THandle = HWND;
    static HWND Null() { return nullptr; }
    // A window that the system already destroyed (with its parent) is skipped.
    static void Free(HWND h) {
        if (IsWindow(h))
            DestroyWindow(h);
    }
};
using TWindowHandle = THandleOwner<TWindowHandleTraits>;

struct TFontHandleTraits {
    using THandle = HFONT;
    static HFONT Null() { return nullptr; }
    static void Free(HFONT h) { DeleteObject(h); }
};
using TFontHandle = THandleOwner<TFontHandleTraits>;

struct TIconHandleTraits {
    using THandle = HICON;
    static HICON Null() { return nullptr; }
    static void Free(HICON h) { DestroyIcon(h); }
};
using TIconHandle = THandleOwner<TIconHandleTraits>;

struct TBitmapHandleTraits {
    using THandle = HBITMAP;
    static HBITMAP Null() { return nullptr; }
    static void Free(HBITMAP h) { DeleteObject(h); }
};
using TBitmapHandle = THandleOwner<TBitmapHandleTraits>;

// A device context of the whole screen, released when it goes.
class TScreenDC {
public:
    TScreenDC() : FDC(GetDC(nullptr)) {}
    TScreenDC(const TScreenDC&) = delete;
    TScreenDC& operator=(const TScreenDC&) = delete;
    ~TScreenDC() {
        if (FDC)
            ReleaseDC(nullptr, FDC);
    }
    HDC Get() const { return FDC; }

private:
    HDC FDC;
};

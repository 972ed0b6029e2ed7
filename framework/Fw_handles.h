// Owners of system handles: one non-copyable owner per handle kind.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

// Owns one handle and frees it with TTraits::Free. Attach frees the handle
// held before; Detach hands the handle on without freeing it, for use once
// the system has taken ownership. Moving hands the handle to another owner.
template <typename TTraits>
class TOwnedHandle {
public:
    using THandleType = typename TTraits::THandleType;

    TOwnedHandle() = default;
    explicit TOwnedHandle(THandleType handle) : FHandle(handle) {}
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;
    TOwnedHandle(TOwnedHandle&& other) noexcept : FHandle(other.Detach()) {}
    TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }
    ~TOwnedHandle() { Attach(nullptr); }

    THandleType Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }

    void Attach(THandleType handle) {
        const THandleType old = std::exchange(FHandle, handle);
        if (old != nullptr && old != handle)
            TTraits::Free(old);
    }
    THandleType Detach() { return std::exchange(FHandle, nullptr); }
    // Frees the handle now.
    void Reset() { Attach(nullptr); }

private:
    THandleType FHandle = nullptr;
};

struct TWindowHandleTraits {
    using THandleType = HWND;
    static void Free(HWND handle) { DestroyWindow(handle); }
};
// A window, destroyed with DestroyWindow (on the thread that created it).
using TWindowHandle = TOwnedHandle<TWindowHandleTraits>;

struct TGlobalHandleTraits {
    using THandleType = HGLOBAL;
    static void Free(HGLOBAL handle) { GlobalFree(handle); }
};
// A global memory block, freed with GlobalFree.
using TGlobalHandle = TOwnedHandle<TGlobalHandleTraits>;

struct TKernelHandleTraits {
    using THandleType = HANDLE;
    static void Free(HANDLE handle) { CloseHandle(handle); }
};
// A thread, an event or another kernel object, closed with CloseHandle.
using TKernelHandle = TOwnedHandle<TKernelHandleTraits>;
// A file opened with CreateFileW. Attach only a valid handle: CreateFileW
// reports failure with INVALID_HANDLE_VALUE, not null.
using TFileHandle = TKernelHandle;

struct TFontHandleTraits {
    using THandleType = HFONT;
    static void Free(HFONT handle) { DeleteObject(handle); }
};
using TFontHandle = TOwnedHandle<TFontHandleTraits>;

struct TIconHandleTraits {
    using THandleType = HICON;
    static void Free(HICON handle) { DestroyIcon(handle); }
};
using TIconHandle = TOwnedHandle<TIconHandleTraits>;

struct TBitmapHandleTraits {
    using THandleType = HBITMAP;
    static void Free(HBITMAP handle) { DeleteObject(handle); }
};
using TBitmapHandle = TOwnedHandle<TBitmapHandleTraits>;

struct TMenuHandleTraits {
    using THandleType = HMENU;
    static void Free(HMENU handle) { DestroyMenu(handle); }
};
// A menu with its submenus. A menu bar that a window shows goes with the
// window: take it off the window first.
using TMenuHandle = TOwnedHandle<TMenuHandleTraits>;

struct TImageListHandleTraits {
    using THandleType = HIMAGELIST;
    static void Free(HIMAGELIST handle) { ImageList_Destroy(handle); }
};
using TImageListHandle = TOwnedHandle<TImageListHandleTraits>;

struct TDCHandleTraits {
    using THandleType = HDC;
    static void Free(HDC handle) { DeleteDC(handle); }
};
// A memory device context made with CreateCompatibleDC.
using TDCHandle = TOwnedHandle<TDCHandleTraits>;

// Locks a global memory block for the object's life. The block is not owned.
class TGlobalLock {
public:
    explicit TGlobalLock(HGLOBAL memory) : FMemory(memory), FData(GlobalLock(memory)) {}
    TGlobalLock(const TGlobalLock&) = delete;
    TGlobalLock& operator=(const TGlobalLock&) = delete;
    ~TGlobalLock() {
        if (FData != nullptr)
            GlobalUnlock(FMemory);
    }

    // Null when the block could not be locked.
    void* Data() const { return FData; }

private:
    HGLOBAL FMemory;
    void* FData;
};

// The device context of the whole screen for the object's life.
class TScreenDC {
public:
    TScreenDC() : FDC(GetDC(nullptr)) {}
    TScreenDC(const TScreenDC&) = delete;
    TScreenDC& operator=(const TScreenDC&) = delete;
    ~TScreenDC() {
        if (FDC != nullptr)
            ReleaseDC(nullptr, FDC);
    }

    // Null when the screen has no device context.
    HDC Get() const { return FDC; }

private:
    HDC FDC;
};

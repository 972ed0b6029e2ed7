// Owners of system handles: one non-copyable owner per handle kind.
#pragma once

#include <windows.h>

#include <utility>

// Owns one handle and frees it with TTraits::Free. Attach frees the handle
// held before; Detach hands the handle on without freeing it, for use once
// the system has taken ownership.
template <typename TTraits>
class TOwnedHandle {
public:
    using THandleType = typename TTraits::THandleType;

    TOwnedHandle() = default;
    explicit TOwnedHandle(THandleType handle) : FHandle(handle) {}
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;
    ~TOwnedHandle() { Attach(nullptr); }

    THandleType Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }

    void Attach(THandleType handle) {
        const THandleType old = std::exchange(FHandle, handle);
        if (old != nullptr && old != handle)
            TTraits::Free(old);
    }
    THandleType Detach() { return std::exchange(FHandle, nullptr); }

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

struct TFileHandleTraits {
    using THandleType = HANDLE;
    static void Free(HANDLE handle) { CloseHandle(handle); }
};
// A file opened with CreateFileA, closed with CloseHandle. Attach only a valid
// handle: CreateFileA reports failure with INVALID_HANDLE_VALUE, not null.
using TFileHandle = TOwnedHandle<TFileHandleTraits>;

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

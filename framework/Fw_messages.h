// Window messages as records, the main thread, and the utility windows that
// exist only to receive messages.
#pragma once

#include "framework/Fw_handles.h"

#include <windows.h>

#include <functional>

// One window message with its result, as a window procedure sees it.
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

// A method that handles every message of a utility window. It calls
// DefWindowProcA itself for the messages it leaves alone.
using TWndMethod = std::function<void(TMessage& Message)>;

// The thread that initialised the program: the one that owns the windows.
DWORD MainThreadID();
bool IsMainThread();

// Creates a hidden pop-up tool window of the framework's utility class whose
// procedure calls the method. Returns null when the system cannot create it.
// An exception thrown by the method goes to the application's exception display.
HWND AllocateHWnd(TWndMethod method);
// Destroys a window made by AllocateHWnd; a window that the system already
// destroyed is left alone.
void DeallocateHWnd(HWND window);

struct TUtilWindowHandleTraits {
    using THandleType = HWND;
    static void Free(HWND handle) { DeallocateHWnd(handle); }
};
// A window made by AllocateHWnd, released with DeallocateHWnd.
using TUtilWindowHandle = TOwnedHandle<TUtilWindowHandleTraits>;

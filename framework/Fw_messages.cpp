#include "framework/Fw_messages.h"

#include "framework/Fw_sysutils.h"

#include <memory>

namespace {

// Static initialisation runs on the thread that starts the program.
const DWORD GMainThreadID = GetCurrentThreadId();

const char* const UtilWindowClass = "TrelvaneUtilWindow";

// The method is bound once the window exists, so the creation messages go to
// the default procedure; DeallocateHWnd unbinds it before the destruction
// messages, so the method never sees its window being destroyed.
TWndMethod* BoundMethod(HWND window) {
    return reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

std::unique_ptr<TWndMethod> UnbindMethod(HWND window) {
    std::unique_ptr<TWndMethod> method(BoundMethod(window));
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return method;
}

LRESULT CALLBACK UtilWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        // Destroyed by the system rather than by DeallocateHWnd.
        UnbindMethod(window);
        return DefWindowProcA(window, msg, wParam, lParam);
    }
    TWndMethod* method = BoundMethod(window);
    if (!method)
        return DefWindowProcA(window, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    try {
        (*method)(message);
    } catch (...) {
        HandleExceptionSink();
    }
    return message.Result;
}

bool RegisterUtilWindowClass() {
    WNDCLASSA existing;
    if (GetClassInfoA(GetModuleHandleA(nullptr), UtilWindowClass, &existing))
        return true;
    WNDCLASSA wc{};
    wc.lpfnWndProc = UtilWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = UtilWindowClass;
    return RegisterClassA(&wc) != 0;
}

} // namespace

DWORD MainThreadID() {
    return GMainThreadID;
}

bool IsMainThread() {
    return GetCurrentThreadId() == GMainThreadID;
}

HWND AllocateHWnd(TWndMethod method) {
    if (!RegisterUtilWindowClass())
        return nullptr;
    auto owned = std::make_unique<TWndMethod>(std::move(method));
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, UtilWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window)
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owned.release()));
    return window;
}

void DeallocateHWnd(HWND window) {
    if (window && IsWindow(window)) {
        UnbindMethod(window);
        DestroyWindow(window);
    }
}

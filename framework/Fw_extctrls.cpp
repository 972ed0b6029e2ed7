#include "framework/Fw_extctrls.h"

namespace {

const char* const PanelWindowClass = "TrelvanePanel";

// The messages in which controls tell their parent something go on to the
// form, which dispatches them to the controls. The context-menu gesture too,
// still naming the control it was made on (the system would name the panel).
LRESULT CALLBACK PanelWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CONTEXTMENU:
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return SendMessageA(GetParent(window), msg, wParam, lParam);
    case WM_NOTIFYFORMAT:
        return NFR_ANSI;
    default:
        return DefWindowProcA(window, msg, wParam, lParam);
    }
}

const char* PanelClass() {
    static const ATOM atom = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = PanelWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = PanelWindowClass;
        return RegisterClassExA(&wc);
    }();
    if (!atom)
        throw EInvalidOperation("The program could not create a window.");
    return PanelWindowClass;
}

} // namespace

TPanel::TPanel(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, PanelClass(), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT) {}

// TTimer

namespace {

constexpr UINT_PTR kTimerId = 1;

} // namespace

TTimer::TTimer() {
    FWindow.Attach(AllocateHWnd([this](TMessage& message) {
        if (message.Msg == WM_TIMER && OnTimer)
            OnTimer(this);
        else
            message.Result = DefWindowProcA(FWindow.Get(), message.Msg, message.WParam, message.LParam);
    }));
    if (!FWindow)
        throw EInvalidOperation("The program could not create a window.");
}

TTimer::~TTimer() {
    Stop();
}

void TTimer::Start(unsigned interval) {
    if (SetTimer(FWindow.Get(), kTimerId, interval, nullptr) == 0)
        throw EInvalidOperation("The program could not start a timer.");
}

// Killing a timer that is not set does nothing.
void TTimer::Stop() {
    KillTimer(FWindow.Get(), kTimerId);
}

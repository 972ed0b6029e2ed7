#include "framework/Fw_screen.h"

namespace {

TScreen GScreen;

} // namespace

TScreen* const Screen = &GScreen;

HCURSOR TScreen::CursorHandle() const {
    switch (FCursor) {
    case crArrow:
        return LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    case crHourGlass:
        return LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)); // IDC_WAIT
    default:
        return nullptr;
    }
}

void TScreen::SetCursor(TCursor value) {
    FCursor = value;
    if (value != crDefault) {
        ::SetCursor(CursorHandle());
        return;
    }
    // The window under the mouse chooses its cursor again, as a move of the
    // mouse would make it do.
    POINT point;
    if (!GetCursorPos(&point))
        return;
    HWND window = WindowFromPoint(point);
    if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        ::SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
        return;
    }
    const LRESULT hitTest = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(static_cast<WORD>(hitTest), WM_MOUSEMOVE));
}

bool TScreen::ApplyCursor(LPARAM hitTestAndMessage) const {
    if (FCursor == crDefault || LOWORD(hitTestAndMessage) != HTCLIENT)
        return false;
    ::SetCursor(CursorHandle());
    return true;
}

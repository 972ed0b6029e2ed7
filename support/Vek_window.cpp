#include "support/Vek_window.h"

#include "support/Vek_rect.h"

static_assert(sizeof(WINDOWPLACEMENT) == 44, "the placement structure is 44 bytes long");

namespace {

// For calls whose result cannot tell a failure from a legitimate zero: the
// last-error value is cleared before and read after.
void ClearLastError() {
    SetLastError(ERROR_SUCCESS);
}

void CheckLastError(const char* message) {
    if (GetLastError() != ERROR_SUCCESS)
        throw EWindowError(message);
}

const char kGetLongError[] = "The program could not get the long-type attributes of the window.";
const char kSetLongError[] = "The program could not set the long-type attributes of the window.";
const char kGetPlacementError[] = "The program could not get the placement of the window.";
const char kSetPlacementError[] = "The program could not set the placement of the window.";

} // namespace

// ---------------------------------------------------------------- TWindow

HWND TWindow::GetParent() const {
    return ::GetParent(FHandle);
}

void TWindow::SetParent(HWND parent) {
    ClearLastError();
    ::SetParent(FHandle, parent);
    CheckLastError("The program could not set the parent window.");
}

HWND TWindow::GetOwner() const {
    return GetRelatedWindow(GW_OWNER);
}

HWND TWindow::GetRelatedWindow(UINT relation) const {
    ClearLastError();
    HWND related = GetWindow(FHandle, relation);
    CheckLastError("The program could not get the handle of the window.");
    return related;
}

bool TWindow::IsEnabled() const {
    return IsWindowEnabled(FHandle) != FALSE;
}

void TWindow::SetEnabled(bool value) {
    ClearLastError();
    EnableWindow(FHandle, value ? TRUE : FALSE);
    CheckLastError("The program could not enable the window.");
}

bool TWindow::IsVisible() const {
    return IsWindowVisible(FHandle) != FALSE;
}

void TWindow::SetVisible(bool value) {
    const LONG style = GetLong(GWL_STYLE);
    SetLong(GWL_STYLE, value ? (style | WS_VISIBLE) : (style & ~static_cast<LONG>(WS_VISIBLE)));
}

LONG TWindow::GetLong(int index) const {
    ClearLastError();
    const LONG value = GetWindowLongA(FHandle, index);
    CheckLastError(kGetLongError);
    return value;
}

void TWindow::SetLong(int index, LONG value) {
    ClearLastError();
    SetWindowLongA(FHandle, index, value);
    CheckLastError(kSetLongError);
}

WORD TWindow::GetWord(int index) const {
    ClearLastError();
    const WORD value = GetWindowWord(FHandle, index);
    CheckLastError("The program could not get the word-type attributes of the window.");
    return value;
}

void TWindow::SetWord(int index, WORD value) {
    ClearLastError();
    SetWindowWord(FHandle, index, value);
    CheckLastError("The program could not set the word-type attributes of the window.");
}

bool TWindow::IsWindow() const {
    return ::IsWindow(FHandle) != FALSE;
}

bool TWindow::IsChildOf(HWND parent) const {
    return IsChild(parent, FHandle) != FALSE;
}

bool TWindow::IsParentOf(HWND child) const {
    return IsChild(FHandle, child) != FALSE;
}

// ---------------------------------------------------------------- TTopLevelWindow

POINT TTopLevelWindow::GetMinPosition() const {
    return TPointHelper(GetPlacement().ptMinPosition).GetPoint();
}

void TTopLevelWindow::SetMinPosition(POINT point) {
    WINDOWPLACEMENT placement = GetPlacement();
    placement.ptMinPosition = TPointHelper(point).GetPoint();
    // Without the flag the system ignores the minimized position.
    placement.flags |= WPF_SETMINPOSITION;
    SetPlacement(placement);
}

POINT TTopLevelWindow::GetMaxPosition() const {
    return TPointHelper(GetPlacement().ptMaxPosition).GetPoint();
}

void TTopLevelWindow::SetMaxPosition(POINT point) {
    WINDOWPLACEMENT placement = GetPlacement();
    placement.ptMaxPosition = TPointHelper(point).GetPoint();
    SetPlacement(placement);
}

RECT TTopLevelWindow::GetNormalBounds() const {
    return TRectHelper(GetPlacement().rcNormalPosition).GetRect();
}

void TTopLevelWindow::SetNormalBounds(RECT bounds) {
    WINDOWPLACEMENT placement = GetPlacement();
    placement.rcNormalPosition = TRectHelper(bounds).GetRect();
    SetPlacement(placement);
}

RECT TTopLevelWindow::GetBounds() const {
    RECT bounds{};
    if (!GetWindowRect(Handle(), &bounds))
        throw EWindowError("The program could not get the bounds of the window.");
    return bounds;
}

void TTopLevelWindow::SetBounds(RECT bounds) {
    if (!MoveWindow(Handle(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                    TRUE))
        throw EWindowError("The program could not set the bounds of the window.");
}

UINT TTopLevelWindow::GetShowCommand() const {
    return GetPlacement().showCmd;
}

void TTopLevelWindow::SetShowCommand(UINT showCommand) {
    WINDOWPLACEMENT placement = GetPlacement();
    placement.showCmd = showCommand;
    SetPlacement(placement);
}

WINDOWPLACEMENT TTopLevelWindow::GetPlacement() const {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(Handle(), &placement))
        throw EWindowError(kGetPlacementError);
    return placement;
}

void TTopLevelWindow::SetPlacement(const WINDOWPLACEMENT& placement) {
    if (!SetWindowPlacement(Handle(), &placement))
        throw EWindowError(kSetPlacementError);
}

// ---------------------------------------------------------------- TMessageWindow

TMessageWindow::TMessageWindow() {
    FHandle.Attach(AllocateHWnd([this](TMessage& message) { WndProc(message); }));
    if (!::IsWindow(FHandle.Get()))
        throw EWindowError("The program could not create a window.");
}

TMessageWindow::~TMessageWindow() {
    // DeallocateHWnd leaves a window alone that the system already destroyed.
    FHandle.Reset();
}

void TMessageWindow::WndProc(TMessage& Message) {
    if (!HandleMessage(Message))
        Message.Result = DefWindowProcA(FHandle.Get(), Message.Msg, Message.WParam, Message.LParam);
}

bool TMessageWindow::HandleMessage(TMessage& Message) {
    bool handled = false;
    if (OnMessage)
        OnMessage(this, Message, handled);
    return handled;
}

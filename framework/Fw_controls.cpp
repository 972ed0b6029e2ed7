#include "framework/Fw_controls.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

int ScaleDesign(int value, int pixelsPerInch) {
    return MulDiv(value, pixelsPerInch, DesignPixelsPerInch);
}

// TControlHost

TControlHost::~TControlHost() {
    FreeControls();
}

void TControlHost::FreeControls() {
    while (!FControls.empty())
        FControls.pop_back();
}

TControl& TControlHost::Controls(int index) const {
    if (index < 0 || index >= ControlCount())
        throw EListError(Format("List index out of bounds (%d).", index));
    return *FControls[static_cast<size_t>(index)];
}

TControl* TControlHost::FindControl(const std::string& name) const {
    for (const auto& control : FControls)
        if (control->Name() == name)
            return control.get();
    return nullptr;
}

TControl* TControlHost::ControlOfHandle(HWND window) const {
    if (!window)
        return nullptr;
    for (const auto& control : FControls)
        if (control->Handle() == window)
            return control.get();
    return nullptr;
}

void TControlHost::RealignControls() {
    RECT client;
    if (!Handle() || !GetClientRect(Handle(), &client))
        return;
    AlignWithin(nullptr, client);
}

void TControlHost::AlignWithin(const TControl* parent, RECT area) {
    const auto place = [](TControl& control, int left, int top, int right, int bottom) {
        MoveWindow(control.Handle(), left, top, std::max(right - left, 0), std::max(bottom - top, 0), TRUE);
    };
    for (const auto& control : FControls) {
        if (control->ParentControl() != parent || !control->IsVisible())
            continue;
        if (control->Align() == alTop) {
            const int height = std::min<int>(control->PreferredHeight(), area.bottom - area.top);
            place(*control, area.left, area.top, area.right, area.top + height);
            area.top += height;
        } else if (control->Align() == alBottom) {
            const int height = std::min<int>(control->PreferredHeight(), area.bottom - area.top);
            place(*control, area.left, area.bottom - height, area.right, area.bottom);
            area.bottom -= height;
        }
    }
    for (const auto& control : FControls)
        if (control->ParentControl() == parent && control->Align() == alClient && control->IsVisible())
            place(*control, area.left, area.top, area.right, area.bottom);
    for (const auto& control : FControls) {
        RECT inside;
        if (control->ParentControl() == parent && control->IsContainer() &&
            GetClientRect(control->Handle(), &inside))
            AlignWithin(control.get(), inside);
    }
}

namespace {

DWORD CommonStyle(const TControlDef& def) {
    DWORD style = WS_CHILD;
    if (!(def.Options & coHidden))
        style |= WS_VISIBLE;
    if (def.Options & coDisabled)
        style |= WS_DISABLED;
    return style;
}

} // namespace

TControl::TControl(TControlHost& host, const TControlDef& def, const RECT& designBounds,
                   const char* className, DWORD style, DWORD exStyle)
    : FHost(host), FName(def.Name ? def.Name : ""), FKind(def.Kind), FDesignBounds(designBounds),
      FParentName(def.Parent ? def.Parent : ""), FParent(def.Parent ? host.FindControl(def.Parent) : nullptr),
      FAlign(def.Align), FID(host.FNextID++) {
    HWND parentWindow = FParent && FParent->IsContainer() ? FParent->Handle() : host.Handle();
    // The real place comes with ApplyScale, once the form knows its resolution.
    HWND handle =
        CreateWindowExA(exStyle, className, def.Caption ? def.Caption : "", style | CommonStyle(def), 0, 0, 0,
                        0, parentWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(FID)),
                        GetModuleHandleA(nullptr), nullptr);
    if (!handle)
        throw EInvalidOperation(Format("The program could not create the control %s.", FName.c_str()));
    FHandle.Attach(handle);
}

TControl::~TControl() = default;

std::string ControlText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return std::string();
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, wide.data(), length + 1);
    wide.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    std::string text;
    if (!TryWideToAnsi(wide, text))
        throw EConvertError("The text holds a character that the system's code page cannot represent.");
    return text;
}

std::string TControl::GetText() const {
    return ControlText(Handle());
}

void TControl::SetText(const std::string& text) {
    SetWindowTextA(Handle(), text.c_str());
}

bool TControl::IsEnabled() const {
    return IsWindowEnabled(Handle()) != FALSE;
}

void TControl::SetEnabled(bool value) {
    if (!value && IsFocused()) {
        // A disabled window cannot keep the focus; pass it on as Tab would.
        HWND next = GetNextDlgTabItem(FHost.Handle(), Handle(), FALSE);
        SetFocus(next && next != Handle() ? next : FHost.Handle());
    }
    EnableWindow(Handle(), value ? TRUE : FALSE);
}

bool TControl::IsVisible() const {
    return (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void TControl::SetVisible(bool value) {
    ShowWindow(Handle(), value ? SW_SHOWNA : SW_HIDE);
    if (FAlign != alNone)
        FHost.RealignControls();
}

bool TControl::CanFocus() const {
    const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

void TControl::Focus() {
    SetFocus(Handle());
}

bool TControl::IsFocused() const {
    HWND focus = GetFocus();
    return focus && (focus == Handle() || IsChild(Handle(), focus));
}

void TControl::Notify(WORD /*code*/) {}

void TControl::HandleNotify(TMessage& /*Message*/) {}

bool TControl::ContextMenu(POINT /*screenPoint*/) {
    return false;
}

void TControl::ApplyScale() {
    const int left = FHost.Scale(FDesignBounds.left);
    const int top = FHost.Scale(FDesignBounds.top);
    const int width = FHost.Scale(FDesignBounds.right - FDesignBounds.left);
    const int height = FHost.Scale(FDesignBounds.bottom - FDesignBounds.top);
    MoveWindow(Handle(), left, top, width, height, TRUE);
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FHost.Font()), TRUE);
}

int TControl::PreferredHeight() const {
    return FHost.Scale(FDesignBounds.bottom - FDesignBounds.top);
}

TLabel::TLabel(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, "STATIC",
               SS_LEFT | ((def.Options & coNoPrefix) ? SS_NOPREFIX : 0) |
                   ((def.Options & coCenterVertically) ? SS_CENTERIMAGE : 0),
               0) {}

TButton::TButton(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, "BUTTON",
               WS_TABSTOP | WS_GROUP | ((def.Options & coDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0),
      FDefault((def.Options & coDefault) != 0), FCancel((def.Options & coCancel) != 0),
      FModalResult(def.ModalResult) {}

void TButton::Click() {
    if (FModalResult != mrNone)
        Host().SetModalResult(FModalResult);
    if (OnClick)
        OnClick(this);
}

void TButton::Notify(WORD code) {
    if (code == BN_CLICKED)
        Click();
}

bool TButtonControl::IsChecked() const {
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TButtonControl::SetChecked(bool value) {
    SendMessageA(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

TCheckBox::TCheckBox(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TButtonControl(host, def, designBounds, "BUTTON", WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0) {}

void TCheckBox::Notify(WORD code) {
    if (code == BN_CLICKED && OnClick)
        OnClick(this);
}

TRadioButton::TRadioButton(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TButtonControl(host, def, designBounds, "BUTTON", WS_TABSTOP | BS_RADIOBUTTON, 0) {
    // A run of radio buttons is one group for the arrow keys.
    const int count = host.ControlCount();
    if (count == 0 || host.Controls(count - 1).Kind() != ckRadioButton)
        SetWindowLongPtrA(Handle(), GWL_STYLE, GetWindowLongPtrA(Handle(), GWL_STYLE) | WS_GROUP);
}

void TRadioButton::SetChecked(bool value) {
    if (value) {
        for (int i = 0; i < Host().ControlCount(); ++i) {
            auto* other = dynamic_cast<TRadioButton*>(&Host().Controls(i));
            if (other && other != this && other->ParentName() == ParentName())
                other->TButtonControl::SetChecked(false);
        }
    }
    TButtonControl::SetChecked(value);
}

void TRadioButton::Notify(WORD code) {
    if (code != BN_CLICKED)
        return;
    SetChecked(true);
    if (OnClick)
        OnClick(this);
}

TGroupBox::TGroupBox(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, "BUTTON", BS_GROUPBOX, WS_EX_TRANSPARENT) {}

TProgressBar::TProgressBar(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, PROGRESS_CLASSA, 0, 0) {
    SendMessageA(Handle(), PBM_SETRANGE32, 0, 100);
}

int TProgressBar::GetPosition() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}

void TProgressBar::SetPosition(int value) {
    SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

TImage::TImage(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, "STATIC", SS_ICON | SS_CENTERIMAGE, 0) {}

TImage::~TImage() {
    // The control lets go of the icon before the icon goes.
    if (Handle())
        SendMessageA(Handle(), STM_SETICON, 0, 0);
}

void TImage::SetIcon(TIconHandle icon) {
    SendMessageA(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    FIcon = std::move(icon);
}

TEdit::TEdit(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, "EDIT",
               WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL |
                   ((def.Options & coMultiLine)
                        ? (ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL)
                        : 0),
               WS_EX_CLIENTEDGE) {
    // The system's default limit (32767 characters) would stop typing in a
    // memo that holds a longer text: a memo takes as much as the system allows.
    if (def.Options & coMultiLine)
        SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);
}

void TEdit::Notify(WORD code) {
    if (code == EN_CHANGE && OnChange)
        OnChange(this);
}

// ---- the memo

bool TEdit::IsMultiLine() const {
    return (GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_MULTILINE) != 0;
}

int TEdit::LineCount() const {
    // Reading the lines one by one would cost the square of their number on
    // systems that find a line by walking from the first.
    const auto lines = static_cast<int>(SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0));
    const LRESULT lastStart = SendMessageA(Handle(), EM_LINEINDEX, static_cast<WPARAM>(lines - 1), 0);
    const bool lastEmpty = SendMessageA(Handle(), EM_LINELENGTH, static_cast<WPARAM>(lastStart), 0) == 0;
    return lastEmpty ? lines - 1 : lines;
}

void TEdit::SetSelection(int start, int end) {
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void TEdit::ScrollCaret() {
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

int TextLineCount(const std::string& text) {
    const size_t end = std::min(text.size(), text.find('\0'));
    int lines = 0;
    for (size_t p = 0; p < end; ++p) {
        if (text[p] == '\r') {
            ++lines;
            if (p + 1 < end && text[p + 1] == '\n')
                ++p;
        } else if (text[p] == '\n') {
            ++lines;
        }
    }
    // A last line without its line end.
    if (end > 0 && text[end - 1] != '\r' && text[end - 1] != '\n')
        ++lines;
    return lines;
}

// ---- end of the memo

TComboBox::TComboBox(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, "COMBOBOX", WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST,
               0) {
    // The caption lists the items; the window text of a drop-down list is the
    // selected item.
    const std::string items = def.Caption ? def.Caption : "";
    size_t start = 0;
    while (start < items.size()) {
        size_t end = items.find('\n', start);
        if (end == std::string::npos)
            end = items.size();
        AddItem(items.substr(start, end - start));
        start = end + 1;
    }
}

int TComboBox::Count() const {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

int TComboBox::AddItem(const std::string& item) {
    return static_cast<int>(SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

std::string TComboBox::Item(int index) const {
    const LRESULT length = SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        throw EListError(Format("List index out of bounds (%d).", index));
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<size_t>(length));
}

int TComboBox::GetItemIndex() const {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int index) {
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TComboBox::Notify(WORD code) {
    if (code == CBN_SELCHANGE && OnChange)
        OnChange(this);
}

void TComboBox::ApplyScale() {
    TControl::ApplyScale();
    // The window's height is that of the opened list; the closed box keeps
    // the height its font gives it.
    const RECT& design = DesignBounds();
    MoveWindow(Handle(), Host().Scale(design.left), Host().Scale(design.top),
               Host().Scale(design.right - design.left), Host().Scale(8 * (design.bottom - design.top)),
               TRUE);
}

#include "framework/Fw_forms.h"

#include "framework/Fw_scope.h"
#include "framework/Fw_thread.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

TApplication GApplication;

const char* const FormWindowClass = "TrelvaneForm";
ATOM GFormAtom = 0;

int SystemPixelsPerInch() {
    TScreenDC dc;
    const int ppi = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 0;
    return ppi > 0 ? ppi : 96;
}

// The resolution of the monitor the window is on (per-monitor awareness);
// the system's where the system cannot tell.
int WindowPixelsPerInch(HWND window) {
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<TGetDpiForWindow>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return SystemPixelsPerInch();
}

void InitControlClasses() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX),
                                 ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

// The message font of the system at 9 points: 15 pixels at the design resolution.
TFontHandle CreateFormFont(int pixelsPerInch) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTA font{};
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font = metrics.lfMessageFont;
    else
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfHeight = -MulDiv(9, pixelsPerInch, 72);
    font.lfWidth = 0;
    return TFontHandle(CreateFontIndirectA(&font));
}

void FormStyles(TBorderStyle borderStyle, DWORD& style, DWORD& exStyle) {
    if (borderStyle == bsDialog) {
        style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
        exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
    } else {
        style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
    }
}

// The control's design bounds in the form's client area, or in its panel's
// when it has one.
RECT DesignBoundsOf(const TForm& form, const TControlDef& def) {
    RECT design{def.Left, def.Top, def.Left + def.Width, def.Top + def.Height};
    if (def.Parent) {
        const TControl& parent = form.Control<TControl>(def.Parent);
        // Inside a group box in the form's coordinates; inside a panel in the
        // panel's, whose child window it is.
        if (!parent.IsContainer())
            OffsetRect(&design, parent.DesignBounds().left, parent.DesignBounds().top);
    }
    return design;
}

// A new control of the definition's kind at its design bounds.
std::unique_ptr<TControl> NewControl(TControlHost& host, const TControlDef& def, const RECT& design) {
    switch (def.Kind) {
    case ckLabel:
        return std::make_unique<TLabel>(host, def, design);
    case ckButton:
        return std::make_unique<TButton>(host, def, design);
    case ckProgressBar:
        return std::make_unique<TProgressBar>(host, def, design);
    case ckGroupBox:
        return std::make_unique<TGroupBox>(host, def, design);
    case ckImage:
        return std::make_unique<TImage>(host, def, design);
    case ckEdit:
        return std::make_unique<TEdit>(host, def, design);
    case ckComboBox:
        return std::make_unique<TComboBox>(host, def, design);
    case ckCheckBox:
        return std::make_unique<TCheckBox>(host, def, design);
    case ckRadioButton:
        return std::make_unique<TRadioButton>(host, def, design);
    case ckPanel:
        return std::make_unique<TPanel>(host, def, design);
    case ckToolBar:
        return std::make_unique<TToolBar>(host, def, design);
    case ckStatusBar:
        return std::make_unique<TStatusBar>(host, def, design);
    case ckListView:
        return std::make_unique<TListView>(host, def, design);
    }
    throw EInvalidOperation("The kind of the control is not supported.");
}

} // namespace

TApplication* const Application = &GApplication;

// TForm

TForm::TForm(const TFormDef& def)
    : FDesignClientWidth(def.ClientWidth), FDesignClientHeight(def.ClientHeight), FBorderStyle(def.BorderStyle),
      FPosition(def.Position) {
    FPixelsPerInch = SystemPixelsPerInch();
    InitControlClasses();
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!GFormAtom) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = FormWindowProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = FormWindowClass;
        GFormAtom = RegisterClassExA(&wc);
        if (!GFormAtom)
            throw EInvalidOperation("The program could not create a window.");
    }
    DWORD style = 0;
    DWORD exStyle = 0;
    FormStyles(FBorderStyle, style, exStyle);
    RECT bounds{0, 0, Scale(FDesignClientWidth), Scale(FDesignClientHeight)};
    AdjustWindowRectEx(&bounds, style, FALSE, exStyle);
    const int x = FPosition == poDefault ? CW_USEDEFAULT : 0;
    const int y = FPosition == poDefault ? CW_USEDEFAULT : 0;
    // WM_NCCREATE binds the window to this object.
    HWND window = CreateWindowExA(exStyle, FormWindowClass, def.Caption ? def.Caption : "", style, x, y,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
                                  instance, this);
    if (!window) {
        FHandle.Detach();
        throw EInvalidOperation("The program could not create a window.");
    }
    try {
        ApplyScale(WindowPixelsPerInch(window));
    } catch (...) {
        // No message may reach an object that was never completed.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        throw;
    }
}

TForm::~TForm() {
    Application->FormDestroyed(this);
    if (FIdleHandler)
        Application->RemoveIdleHandler(FIdleHandler);
    if (Handle())
        SetWindowLongPtrA(Handle(), GWLP_USERDATA, 0);
    // The controls go before the components they show (actions, images), and
    // both before the window that holds them.
    FreeControls();
    FActionLists.clear();
    FMenu = nullptr;
    while (!FComponents.empty())
        FComponents.pop_back();
    FHandle.Reset();
}

TForm* TForm::FromHandle(HWND window) {
    if (!window || !GFormAtom || static_cast<ATOM>(GetClassLongPtrA(window, GCW_ATOM)) != GFormAtom)
        return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        return nullptr;
    return reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK TForm::FormWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* form = static_cast<TForm*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->FHandle.Attach(window);
    }
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcA(window, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    try {
        form->WndProc(message);
    } catch (...) {
        Application->HandleException();
    }
    if (msg == WM_NCDESTROY) {
        // Destroyed by the system (with its owner, say): the object stays
        // without a window.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        form->FHandle.Detach();
    }
    return message.Result;
}

void TForm::MissingControl(const std::string& name) {
    throw EInvalidOperation(Format("The form has no control named %s.", name.c_str()));
}

std::string TForm::GetCaption() const {
    const int length = GetWindowTextLengthA(Handle());
    std::string caption(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    const int copied = GetWindowTextA(Handle(), caption.data(), static_cast<int>(caption.size()));
    caption.resize(static_cast<size_t>(std::max(copied, 0)));
    return caption;
}

void TForm::SetCaption(const std::string& caption) {
    SetWindowTextA(Handle(), caption.c_str());
}

void TForm::Show() {
    if (Application->GetMainForm() != this) {
        HWND owner = Application->ActiveOwner();
        SetOwner(owner != Handle() ? owner : nullptr);
    }
    ShowAndFocus();
}

void TForm::Hide() {
    ShowWindow(Handle(), SW_HIDE);
    // A hidden form has no owner, so that the owner's end does not take the
    // form's window with it.
    SetOwner(nullptr);
}

bool TForm::IsVisible() const {
    return Handle() && IsWindowVisible(Handle());
}

void TForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    if (Application->GetMainForm() == this)
        Application->Terminate();
    Hide();
}

int TForm::ShowModal() {
    if (FModal || IsVisible())
        throw EInvalidOperation("The window is already shown.");
    HWND owner = Application->ActiveOwner();
    const bool disableOwner = owner && IsWindowEnabled(owner);
    SetOwner(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);
    FModal = true;
    FModalResult = mrNone;
    Application->FModalForms.push_back(this);
    {
        auto endModal = ScopeExit([&] {
            // The owner is enabled before the form hides, so that it becomes
            // the active window again.
            if (disableOwner)
                EnableWindow(owner, TRUE);
            Hide();
            auto& modal = Application->FModalForms;
            modal.erase(std::remove(modal.begin(), modal.end(), this), modal.end());
            FModal = false;
            // The work that opened the form goes on under the screen cursor
            // again, before the mouse moves.
            if (modal.empty() && Screen->GetCursor() != crDefault)
                ::SetCursor(Screen->CursorHandle());
        });
        ShowAndFocus();
        while (FModalResult == mrNone) {
            Application->HandleMessage();
            if (Application->Terminated()) {
                FModalResult = mrCancel;
                break;
            }
            if (FModalResult != mrNone)
                CloseModal();
        }
    }
    return FModalResult;
}

void TForm::CloseModal() {
    try {
        if (!CloseQuery())
            FModalResult = mrNone;
    } catch (...) {
        FModalResult = mrNone;
        Application->HandleException();
    }
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

TControl& TForm::AddControl(const TControlDef& def) {
    std::unique_ptr<TControl> control = NewControl(*this, def, DesignBoundsOf(*this, def));
    control->ApplyScale();
    FControls.push_back(std::move(control));
    if (def.Align != alNone)
        RealignControls();
    return *FControls.back();
}

TControl* TForm::ActiveControl() const {
    for (const auto& control : FControls)
        if (control->IsFocused())
            return control.get();
    return nullptr;
}

TButton* TForm::DefaultButton() const {
    for (const auto& control : FControls)
        if (auto* button = dynamic_cast<TButton*>(control.get()); button && button->IsDefault())
            return button;
    return nullptr;
}

TButton* TForm::CancelButton() const {
    for (const auto& control : FControls)
        if (auto* button = dynamic_cast<TButton*>(control.get()); button && button->IsCancel())
            return button;
    return nullptr;
}

void TForm::FocusFirstControl() {
    if (!FocusFirstFocusable())
        SetFocus(Handle());
}

bool TForm::FocusFirstFocusable() {
    for (const auto& control : FControls) {
        if (control->CanFocus()) {
            control->Focus();
            return true;
        }
    }
    return false;
}

bool TForm::IsShortCut(const MSG& msg) {
    const TShortCut shortCut = ShortCutOfKeyMessage(msg);
    if (shortCut == scNone)
        return false;
    if (FMenu && FMenu->IsShortCut(shortCut))
        return true;
    // A copy: an action may change the form's lists.
    const std::vector<TActionList*> lists = FActionLists;
    for (TActionList* list : lists)
        if (list->IsShortCut(shortCut))
            return true;
    return false;
}

void TForm::SetMainMenu(TMainMenu* menu) {
    RECT client;
    GetClientRect(Handle(), &client);
    if (FMenu && FMenu != menu)
        FMenu->AttachTo(nullptr);
    FMenu = menu;
    if (FMenu)
        FMenu->AttachTo(Handle());
    // The menu bar takes its height from the frame, not from the client area.
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FMenu != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
    SetWindowPos(Handle(), nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::AddActionList(TActionList& actions) {
    if (std::find(FActionLists.begin(), FActionLists.end(), &actions) != FActionLists.end())
        return;
    FActionLists.push_back(&actions);
    if (!FIdleHandler)
        FIdleHandler = Application->AddIdleHandler([this](TObject*, bool&) { UpdateActions(); });
}

void TForm::UpdateActions() {
    const std::vector<TActionList*> lists = FActionLists;
    for (TActionList* list : lists)
        list->UpdateActions();
}

bool TForm::ExecuteCommand(int commandId) {
    const std::vector<TActionList*> lists = FActionLists;
    for (TActionList* list : lists)
        if (list->ExecuteCommand(commandId))
            return true;
    return false;
}

void TForm::WndProc(TMessage& Message) {
    Dispatch(Message);
}

void TForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_COMMAND:
        HandleCommand(Message);
        break;
    case WM_NEXTDLGCTL:
        HandleNextControl(Message);
        break;
    case DM_GETDEFID:
        HandleGetDefaultId(Message);
        break;
    case WM_CLOSE:
        Close();
        break;
    case WM_ACTIVATE:
        HandleActivate(Message);
        break;
    case WM_SETFOCUS:
        // The form passes the focus on to a control, if it has one that can
        // take it; otherwise it keeps it.
        if (FSavedFocus && IsWindow(FSavedFocus) && IsChild(Handle(), FSavedFocus))
            SetFocus(FSavedFocus);
        else
            FocusFirstFocusable();
        break;
    case WM_DPICHANGED:
        HandleDpiChanged(Message);
        break;
    case WM_SIZE:
        if (Message.WParam != SIZE_MINIMIZED)
            RealignControls();
        DefaultHandler(Message);
        break;
    case WM_NOTIFY:
        HandleNotify(Message);
        break;
    case WM_CONTEXTMENU:
        HandleContextMenu(Message);
        break;
    case WM_INITMENUPOPUP:
        // The menu shows the states of this moment.
        UpdateActions();
        DefaultHandler(Message);
        break;
    case WM_SETCURSOR:
        // The screen cursor (the hourglass) wins over every window's own,
        // except while a modal form waits for the user.
        if (Application->FModalForms.empty() && Screen->ApplyCursor(Message.LParam))
            Message.Result = TRUE;
        else
            DefaultHandler(Message);
        break;
    default:
        DefaultHandler(Message);
    }
}

void TForm::DefaultHandler(TMessage& Message) {
    Message.Result = DefWindowProcA(Handle(), Message.Msg, Message.WParam, Message.LParam);
}

void TForm::HandleCommand(TMessage& Message) {
    TControl* control = ControlOfHandle(reinterpret_cast<HWND>(Message.LParam));
    if (control && control->ID() == LOWORD(Message.WParam)) {
        control->Notify(HIWORD(Message.WParam));
        return;
    }
    // A menu item, a tool button or a post chose an action.
    if (ExecuteCommand(LOWORD(Message.WParam)))
        return;
    if (control) {
        control->Notify(HIWORD(Message.WParam));
        return;
    }
    if (LOWORD(Message.WParam) == IDCANCEL) {
        // Esc: the cancel button answers it as if it were clicked.
        TButton* button = CancelButton();
        if (button && button->IsEnabled() && button->IsVisible())
            button->Click();
        return;
    }
    DefaultHandler(Message);
}

void TForm::HandleNotify(TMessage& Message) {
    const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (TControl* control = header ? ControlOfHandle(header->hwndFrom) : nullptr) {
        control->HandleNotify(Message);
        return;
    }
    DefaultHandler(Message);
}

void TForm::HandleContextMenu(TMessage& Message) {
    const POINT point{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    // The gesture on a control, or on a window inside one (its header); a
    // control without a menu leaves it to the panel that holds it.
    for (HWND window = reinterpret_cast<HWND>(Message.WParam); window && window != Handle();
         window = GetParent(window))
        if (TControl* control = ControlOfHandle(window); control && control->ContextMenu(point))
            return;
    DefaultHandler(Message);
}

void TForm::HandleNextControl(TMessage& Message) {
    HWND target = nullptr;
    if (LOWORD(Message.LParam)) {
        target = reinterpret_cast<HWND>(Message.WParam);
    } else {
        HWND focus = GetFocus();
        if (focus && !IsChild(Handle(), focus))
            focus = nullptr;
        target = GetNextDlgTabItem(Handle(), focus, Message.WParam != 0);
    }
    if (target) {
        SetFocus(target);
        if (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            SendMessageA(target, EM_SETSEL, 0, -1);
    }
    Message.Result = 0;
}

void TForm::HandleGetDefaultId(TMessage& Message) {
    // Enter clicks the focused push button, else the default button.
    TButton* button = dynamic_cast<TButton*>(ActiveControl());
    if (!button)
        button = DefaultButton();
    Message.Result = button ? MAKELONG(button->ID(), DC_HASDEFID) : 0;
}

void TForm::HandleActivate(TMessage& Message) {
    if (LOWORD(Message.WParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus))
            FSavedFocus = focus;
    } else if (!HIWORD(Message.WParam)) {
        // Back to the control that had the focus when the form lost it.
        if (FSavedFocus && IsWindow(FSavedFocus) && IsChild(Handle(), FSavedFocus) &&
            IsWindowEnabled(FSavedFocus))
            SetFocus(FSavedFocus);
        else
            FocusFirstControl();
    }
    Message.Result = 0;
}

void TForm::HandleDpiChanged(TMessage& Message) {
    ApplyScale(LOWORD(Message.WParam));
    if (const auto* suggested = reinterpret_cast<const RECT*>(Message.LParam))
        SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Message.Result = 0;
}

void TForm::ApplyScale(int pixelsPerInch) {
    FPixelsPerInch = pixelsPerInch > 0 ? pixelsPerInch : DesignPixelsPerInch;
    // The controls drop the old font before it goes.
    TFontHandle oldFont = std::move(FFont);
    FFont = CreateFormFont(FPixelsPerInch);
    SetClientSize();
    for (const auto& control : FControls)
        control->ApplyScale();
    RealignControls();
}

void TForm::SetClientSize() {
    RECT bounds{0, 0, Scale(FDesignClientWidth), Scale(FDesignClientHeight)};
    AdjustWindowRectEx(&bounds, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)),
                       ::GetMenu(Handle()) != nullptr, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
    SetWindowPos(Handle(), nullptr, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::PlaceOnScreen() {
    if (FPosition == poDefault)
        return;
    RECT window;
    GetWindowRect(Handle(), &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    HWND center = nullptr;
    if (FPosition == poMainFormCenter) {
        TForm* mainForm = Application->GetMainForm();
        if (mainForm && mainForm != this && mainForm->IsVisible() && !IsIconic(mainForm->Handle()))
            center = mainForm->Handle();
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromWindow(center ? center : Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT area = monitor.rcWork;
    if (center)
        GetWindowRect(center, &area);
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    // Never out of the work area, the caption least of all.
    x = std::max<int>(monitor.rcWork.left, std::min<int>(x, monitor.rcWork.right - width));
    y = std::max<int>(monitor.rcWork.top, std::min<int>(y, monitor.rcWork.bottom - height));
    SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetOwner(HWND owner) {
    SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

void TForm::ShowAndFocus() {
    PlaceOnScreen();
    FSavedFocus = nullptr;
    // A window already maximized (a placement restored before it was shown)
    // stays so; a normal show would restore it.
    ShowWindow(Handle(), IsZoomed(Handle()) ? SW_SHOW : SW_SHOWNORMAL);
    SetForegroundWindow(Handle());
    FocusFirstControl();
}

// TApplication

TApplication::TApplication() {
    // Windows, threads and cleanups of every unit hand what they catch here.
    SetExceptionSink([](std::exception_ptr error) noexcept { GApplication.HandleException(error); });
}

TApplication::~TApplication() {
    FreeForms();
}

void TApplication::FreeForms() {
    while (!FForms.empty()) {
        std::unique_ptr<TForm> form = std::move(FForms.back());
        FForms.pop_back();
        form.reset();
    }
}

void TApplication::FormDestroyed(TForm* form) {
    if (FMainForm == form)
        FMainForm = nullptr;
    FModalForms.erase(std::remove(FModalForms.begin(), FModalForms.end(), form), FModalForms.end());
}

void TApplication::Run() {
    if (FMainForm)
        FMainForm->Show();
    while (!FTerminated)
        HandleMessage();
    FreeForms();
}

void TApplication::HandleMessage() {
    try {
        if (!ProcessMessage())
            Idle();
    } catch (...) {
        HandleException();
    }
}

void TApplication::ProcessMessages() {
    for (;;) {
        try {
            if (!ProcessMessage())
                return;
        } catch (...) {
            HandleException();
        }
    }
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    if (!PreProcessMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

bool TApplication::PreProcessMessage(MSG& msg) {
    if (!msg.hwnd)
        return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    TForm* form = TForm::FromHandle(root);
    if (!form)
        return false;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && form->IsShortCut(msg))
        return true;
    if (msg.message == WM_KEYUP && msg.wParam == VK_APPS) {
        // The menu key opens the context menu as Shift+F10 does. Systems
        // differ in making it do so (Wine does not), so the form does it.
        SendMessageA(msg.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(msg.hwnd), MAKELPARAM(-1, -1));
        return true;
    }
    return form->GetDialogKeys() && IsDialogMessageA(root, &msg);
}

unsigned TApplication::AddIdleHandler(TIdleEvent handler) {
    FIdleHandlers.emplace_back(++FLastIdleHandler, std::make_shared<TIdleEvent>(std::move(handler)));
    return FLastIdleHandler;
}

void TApplication::RemoveIdleHandler(unsigned id) {
    FIdleHandlers.erase(std::remove_if(FIdleHandlers.begin(), FIdleHandlers.end(),
                                       [id](const auto& entry) { return entry.first == id; }),
                        FIdleHandlers.end());
}

void TApplication::Idle() {
    bool done = true;
    if (OnIdle) {
        // A copy: the handler may replace or clear the event.
        TIdleEvent handler = OnIdle;
        handler(this, done);
    }
    // A copy: a handler may add or remove handlers; a removed one is not
    // called any more.
    const auto handlers = FIdleHandlers;
    for (const auto& [id, handler] : handlers) {
        const bool present = std::any_of(FIdleHandlers.begin(), FIdleHandlers.end(),
                                         [id = id](const auto& entry) { return entry.first == id; });
        if (!present)
            continue;
        bool handlerDone = true;
        try {
            (*handler)(this, handlerDone);
        } catch (...) {
            HandleException();
        }
        done = done && handlerDone;
    }
    // A handler that ended the innermost modal loop must not wait for a
    // message before the loop sees it.
    const bool modalEnding = !FModalForms.empty() && FModalForms.back()->GetModalResult() != mrNone;
    if (done && !modalEnding)
        WaitMessage();
}

void TApplication::HandleException(std::exception_ptr error) noexcept {
    if (!error)
        return;
    if (!IsMainThread()) {
        try {
            TThread::Queue([error] { Application->HandleException(error); });
            return;
        } catch (...) {
            // The main thread cannot be reached: show it from here.
        }
    }
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // The silent abort: the operation ended, nothing to show.
    } catch (const Exception& e) {
        ReportException(e);
    } catch (...) {
        static const Exception unexpected(UnexpectedErrorMessage);
        ReportException(unexpected);
    }
}

void TApplication::ReportException(const Exception& e) noexcept {
    try {
        if (OnException) {
            TExceptionEvent handler = OnException;
            handler(this, e);
        } else {
            ShowException(e);
        }
    } catch (...) {
        // The display failed itself: a plain box without an owner.
        MessageBoxA(nullptr, e.what(), nullptr, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
}

void TApplication::ShowException(const Exception& e) {
    MsgBox(e.Message(), MB_OK | MB_ICONERROR);
}

int TApplication::MsgBox(const std::string& text, UINT flags) {
    return MessageBoxA(ActiveOwner(), text.c_str(), FTitle.empty() ? nullptr : FTitle.c_str(), flags);
}

int TApplication::MsgBox(const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxA(ActiveOwner(), text.c_str(), caption.c_str(), flags);
}

HWND TApplication::ActiveOwner() const {
    if (!FModalForms.empty())
        return FModalForms.back()->Handle();
    if (FMainForm && FMainForm->IsVisible())
        return FMainForm->Handle();
    return nullptr;
}

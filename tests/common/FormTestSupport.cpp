#include "tests/common/FormTestSupport.h"

#include "framework/Fw_scope.h"

#include <algorithm>
#include <cstring>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

TIdleScript::TIdleScript(std::vector<std::function<void()>> steps, UINT watchdogMilliseconds)
    : FSteps(std::move(steps)) {
    Application->OnIdle = [this](TObject*, bool& done) {
        if (FNext < FSteps.size())
            FSteps[FNext++]();
        // The next step comes once the messages of this one are handled,
        // whether it left any or not.
        done = FNext >= FSteps.size();
    };
    FTimer = SetTimer(nullptr, 0, watchdogMilliseconds, Watchdog);
}

TIdleScript::~TIdleScript() {
    Application->OnIdle = nullptr;
    if (FTimer)
        KillTimer(nullptr, FTimer);
}

void CALLBACK TIdleScript::Watchdog(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    ADD_FAILURE() << "the modal loop did not end";
    if (TForm* form = TForm::FromHandle(Application->ActiveOwner())) {
        form->OnCloseQuery = nullptr;
        form->SetModalResult(mrWatchdog);
    }
}

void ExpectScaledLayout(TForm& form, int clientWidth, int clientHeight,
                        const std::vector<TDesignPlace>& places) {
    for (int pixelsPerInch : {96, 120, 144}) {
        RECT window;
        GetWindowRect(form.Handle(), &window);
        SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(pixelsPerInch, pixelsPerInch),
                     reinterpret_cast<LPARAM>(&window));
        SCOPED_TRACE(testing::Message() << pixelsPerInch << " pixels per inch");
        RECT client;
        GetClientRect(form.Handle(), &client);
        EXPECT_EQ(client.right, ScaleDesign(clientWidth, pixelsPerInch));
        EXPECT_EQ(client.bottom, ScaleDesign(clientHeight, pixelsPerInch));
        for (const TDesignPlace& place : places) {
            SCOPED_TRACE(place.Control->Name());
            const RECT actual = ChildBounds(place.Control->Handle());
            const RECT& design = place.Design;
            EXPECT_EQ(actual.left, ScaleDesign(design.left, pixelsPerInch));
            EXPECT_EQ(actual.top, ScaleDesign(design.top, pixelsPerInch));
            EXPECT_EQ(actual.right - actual.left, ScaleDesign(design.right - design.left, pixelsPerInch));
            if (place.Control->Kind() != ckComboBox) {
                EXPECT_EQ(actual.bottom - actual.top, ScaleDesign(design.bottom - design.top, pixelsPerInch));
            }
        }
    }
}

RECT ChildBounds(HWND child) {
    RECT bounds;
    GetWindowRect(child, &bounds);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

void PostKey(WORD virtualKey, HWND target) {
    const UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

void PostAltKey(char letter) {
    // Context code (bit 29): Alt is down.
    PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), 1 | (1 << 29));
}

void PostEscapeToModal() {
    TForm* form = TForm::FromHandle(Application->ActiveOwner());
    if (!form) {
        ADD_FAILURE() << "no modal form to press Esc in";
        return;
    }
    HWND target = GetFocus();
    if (!target || GetAncestor(target, GA_ROOT) != form->Handle())
        target = form->CancelButton() ? form->CancelButton()->Handle() : form->Handle();
    PostKey(VK_ESCAPE, target);
}

void ClickControl(const TControl* control) {
    if (!control->IsEnabled()) {
        ADD_FAILURE() << control->Name() << " is disabled: it cannot be clicked";
        return;
    }
    PostMessageA(control->Handle(), BM_CLICK, 0, 0);
}

void PostText(HWND target, const std::string& text) {
    for (const char c : text)
        PostMessageA(target, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void Retype(TEdit* edit, const std::string& text) {
    edit->Focus();
    SendMessageA(edit->Handle(), EM_SETSEL, 0, -1);
    if (text.empty())
        PostKey(VK_DELETE, edit->Handle());
    else
        PostText(edit->Handle(), text);
}

std::vector<std::string> TabOrder(const TForm& form) {
    std::vector<std::string> names;
    for (int i = 0; i < form.ControlCount(); ++i)
        if (GetWindowLongPtrA(form.Controls(i).Handle(), GWL_STYLE) & WS_TABSTOP)
            names.push_back(form.Controls(i).Name());
    return names;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

bool TBoxSeen::Shows(const std::string& text) const {
    return std::find(Texts.begin(), Texts.end(), text) != Texts.end();
}

TBoxCloser::TBoxCloser(int answer) : FAnswer(answer) {
    FWindow.Attach(AllocateHWnd([this](TMessage& message) {
        if (message.Msg == WM_APP)
            CloseBox();
        else
            message.Result = DefWindowProcA(FWindow.Get(), message.Msg, message.WParam, message.LParam);
    }));
    PostMessageA(FWindow.Get(), WM_APP, 0, 0);
}

HWND FindThreadBox() {
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            if (ClassOf(window) != "#32770" || !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(data) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    return box;
}

namespace {

BOOL CALLBACK RecordBoxChild(HWND child, LPARAM data) {
    auto* seen = reinterpret_cast<TBoxSeen*>(data);
    char text[256] = "";
    GetWindowTextA(child, text, sizeof(text));
    seen->Texts.push_back(text);
    if (!IsWindowVisible(child))
        return TRUE;
    if (ClassOf(child) == "Button")
        seen->Buttons.push_back(GetDlgCtrlID(child));
    else if (ClassOf(child) == "Static" && (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        seen->Icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    return TRUE;
}

} // namespace

void TBoxCloser::CloseBox() {
    HWND box = FindThreadBox();
    if (!box) {
        PostMessageA(FWindow.Get(), WM_APP, 0, 0);
        return;
    }
    Seen.Found = true;
    char caption[256] = "";
    GetWindowTextA(box, caption, sizeof(caption));
    Seen.Caption = caption;
    Seen.Owner = GetWindow(box, GW_OWNER);
    EnumChildWindows(box, RecordBoxChild, reinterpret_cast<LPARAM>(&Seen));
    HWND button = GetDlgItem(box, FAnswer);
    if (!button) {
        ADD_FAILURE() << "the message box has no button " << FAnswer;
        button = GetDlgItem(box, IDOK);
    }
    PostMessageA(button, BM_CLICK, 0, 0);
}

bool RunLoopUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds) {
    // The timer wakes the loop's wait for a message.
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
    auto stopTimer = ScopeExit([timer] { KillTimer(nullptr, timer); });
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMilliseconds)
            return false;
        Application->HandleMessage();
    }
    return true;
}

void Settle() {
    bool idle = false;
    const unsigned id = Application->AddIdleHandler([&](TObject*, bool&) {
        const TForm* owner = TForm::FromHandle(Application->ActiveOwner());
        if (!owner || !owner->IsModal())
            idle = true;
    });
    auto remove = ScopeExit([id] { Application->RemoveIdleHandler(id); });
    EXPECT_TRUE(RunLoopUntil([&] { return idle; }));
}

void Press(TShortCut shortCut, HWND target) {
    TModifiers modifiers(shortCut & (scShift | scCtrl | scAlt));
    const WORD key = shortCut & 0xFF;
    const UINT scan = MapVirtualKeyA(key, 0);
    const bool alt = (shortCut & scAlt) != 0;
    const bool system = alt || key == VK_F10;
    const LPARAM context = alt ? 1 << 29 : 0;
    PostMessageA(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | (scan << 16) | context);
    PostMessageA(target, system ? WM_SYSKEYUP : WM_KEYUP, key, 1 | (scan << 16) | (3u << 30) | context);
    Settle();
}

TModifiers::TModifiers(TShortCut modifiers) {
    GetKeyboardState(FSaved);
    BYTE keys[256];
    std::memcpy(keys, FSaved, sizeof(keys));
    keys[VK_SHIFT] = (modifiers & scShift) ? 0x80 : 0;
    keys[VK_CONTROL] = (modifiers & scCtrl) ? 0x80 : 0;
    keys[VK_MENU] = (modifiers & scAlt) ? 0x80 : 0;
    SetKeyboardState(keys);
}

TModifiers::~TModifiers() {
    SetKeyboardState(FSaved);
}

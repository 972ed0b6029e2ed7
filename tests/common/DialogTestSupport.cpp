#include "tests/common/DialogTestSupport.h"

#include "framework/Fw_sysutils.h"
#include "tests/common/FormTestSupport.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

namespace {

// How often the answerer looks for a dialog, and how long an answered dialog
// may take to close before the test gives up on it.
constexpr UINT kLookEveryMs = 20;
constexpr ULONGLONG kClosePatienceMs = 15000;
// How long the folder chooser may take to find a folder to select: it finds
// it within a second when it finds it at all.
constexpr ULONGLONG kSelectPatienceMs = 5000;

std::string WindowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// The edit box a user types a name into.
HWND FindNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, kFileNameCombo))
        if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr))
            return edit;
    if (HWND edit = GetDlgItem(dialog, kFileNameEdit))
        return edit;
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            if (ClassOf(child) != "Edit" || !IsWindowVisible(child))
                return TRUE;
            *reinterpret_cast<HWND*>(data) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The thread's dialogs whose WM_INITDIALOG has returned. A dialog may show,
// and run messages, while it is still setting itself up (the folder chooser
// does, filling its tree); an answer then would find it half made.
thread_local std::vector<HWND> tInitialized;

LRESULT CALLBACK AfterWindowProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (call->message == WM_INITDIALOG)
            tInitialized.push_back(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool IsInitialized(HWND dialog) {
    return std::find(tInitialized.begin(), tInitialized.end(), dialog) != tInitialized.end();
}

// The text as the system's own conversions bring it back from the code page.
std::wstring ThroughCodePage(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, narrow.data(), length, nullptr, 0);
    std::wstring back(static_cast<size_t>(wideLength > 0 ? wideLength : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), length, back.data(), wideLength);
    return back;
}

// Whether the folder chooser's tree has the folder's item selected.
bool ShowsSelected(HWND dialog, const std::wstring& folder) {
    HWND tree = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            if (ClassOf(child) != "SysTreeView32")
                return TRUE;
            *reinterpret_cast<HWND*>(data) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&tree));
    if (!tree)
        return false;
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item)
        return false;
    wchar_t text[MAX_PATH] = L"";
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = MAX_PATH;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)))
        return false;
    // The tree shows the folder's own name; Wine's shows it as it comes
    // back through the code page.
    const std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
    return name == text || ThroughCodePage(name) == text;
}

void PressButton(HWND dialog, int button) {
    if (HWND control = GetDlgItem(dialog, button))
        PostMessageA(control, BM_CLICK, 0, 0);
    else
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

} // namespace

bool TDialogSeen::Shows(const std::string& text) const {
    return std::find(Texts.begin(), Texts.end(), text) != Texts.end();
}

TDialogAnswerer::TDialogAnswerer(std::vector<TDialogAnswer> answers) : FAnswers(std::move(answers)) {
    FWindow.Attach(AllocateHWnd([this](TMessage& message) {
        if (message.Msg == WM_TIMER)
            Check();
        else
            message.Result = DefWindowProcA(FWindow.Get(), message.Msg, message.WParam, message.LParam);
    }));
    FHook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterWindowProc, nullptr, GetCurrentThreadId());
    EXPECT_NE(FHook, nullptr);
    SetTimer(FWindow.Get(), 1, kLookEveryMs, nullptr);
}

TDialogAnswerer::~TDialogAnswerer() {
    KillTimer(FWindow.Get(), 1);
    if (FHook)
        UnhookWindowsHookEx(FHook);
    tInitialized.clear();
    EXPECT_TRUE(FAnswers.empty()) << FAnswers.size() << " dialogs expected but not shown";
}

void TDialogAnswerer::Check() {
    HWND dialog = FindThreadBox();
    if (!dialog || !IsInitialized(dialog))
        return;
    if (dialog == FAnswered) {
        if (GetTickCount64() - FAnsweredAt > kClosePatienceMs) {
            ADD_FAILURE() << "the dialog \"" << WindowText(dialog) << "\" did not close";
            PressButton(dialog, IDCANCEL);
            FAnsweredAt = GetTickCount64();
        }
        return;
    }
    // A folder to select first: asked for again at each look until the
    // tree shows it selected (the shell may not find it while it still
    // reads the tree), and the answer waits for that.
    if (!FAnswers.empty() && !FAnswers.front().Select.empty() &&
        !ShowsSelected(dialog, FAnswers.front().Select)) {
        if (FSelectingSince == 0)
            FSelectingSince = GetTickCount64();
        if (GetTickCount64() - FSelectingSince < kSelectPatienceMs) {
            SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                         reinterpret_cast<LPARAM>(FAnswers.front().Select.c_str()));
            return;
        }
        // Now and then Wine's shell never finds a folder made just before
        // the chooser opened: the chooser is cancelled, and the caller,
        // seeing SelectionsMissed, may open it again.
        ++SelectionsMissed;
        FSelectingSince = 0;
        FAnswers.erase(FAnswers.begin());
        FAnswered = dialog;
        FAnsweredAt = GetTickCount64();
        PressButton(dialog, IDCANCEL);
        return;
    }
    FSelectingSince = 0;
    FAnswered = dialog;
    FAnsweredAt = GetTickCount64();
    if (FAnswers.empty()) {
        std::string texts;
        EnumChildWindows(
            dialog,
            [](HWND child, LPARAM data) -> BOOL {
                *reinterpret_cast<std::string*>(data) += " \"" + WindowText(child) + "\"";
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&texts));
        ADD_FAILURE() << "an unexpected dialog \"" << WindowText(dialog) << "\", showing" << texts;
        PressButton(dialog, IDCANCEL);
        return;
    }
    const TDialogAnswer answer = FAnswers.front();
    FAnswers.erase(FAnswers.begin());
    TDialogSeen seen;
    seen.Caption = WindowText(dialog);
    seen.Owner = GetWindow(dialog, GW_OWNER);
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            reinterpret_cast<TDialogSeen*>(data)->Texts.push_back(WindowText(child));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    HWND box = FindNameBox(dialog);
    if (box)
        seen.NameBox = WindowText(box);
    Seen.push_back(seen);
    if (answer.Filter > 0) {
        HWND filters = GetDlgItem(dialog, kFilterCombo);
        if (!filters) {
            ADD_FAILURE() << "the dialog has no list of filters";
        } else {
            // As a choice in the list does: the selection, then its notices.
            SendMessageA(filters, CB_SETCURSEL, static_cast<WPARAM>(answer.Filter - 1), 0);
            for (const WORD notice : {CBN_SELCHANGE, CBN_SELENDOK})
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kFilterCombo, notice),
                             reinterpret_cast<LPARAM>(filters));
        }
    }
    std::wstring typed = answer.TypedWide;
    if (typed.empty() && !answer.Typed.empty() && !TryAnsiToWide(answer.Typed, typed))
        ADD_FAILURE() << "the answer is no text of the code page: " << answer.Typed;
    if (!typed.empty()) {
        if (!box) {
            ADD_FAILURE() << "the dialog has no name box";
        } else {
            // As UTF-16 characters, so that a character of several bytes
            // arrives whole under every code page.
            SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            for (const wchar_t c : typed)
                PostMessageW(box, WM_CHAR, static_cast<WPARAM>(c), 1);
        }
    }

    PressButton(dialog, answer.Button);
}

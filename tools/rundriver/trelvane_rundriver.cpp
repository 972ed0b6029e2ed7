// Drives a running Trelvane from outside, for a picture of its window taken
// on a virtual display:
//   trelvane_rundriver wait ROWS   waits until the main window is shown and
//                                  its list holds ROWS rows (or a message box
//                                  of the program shows), and has painted;
//                                  prints the window's geometry (WxH+X+Y)
//   trelvane_rundriver menu KEYS   opens the menu bar's menu of the first
//                                  key (Alt and the key), then presses the
//                                  other keys in it ("np": Name > Presets)
//   trelvane_rundriver exit        answers a message box that shows, chooses
//                                  File > Exit with the keys, confirms the question that
//                                  follows and waits until the window is gone
// Exits 0 when done, 1 when the program did not get there in time.
#include <windows.h>

#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// How long the program may take for each stage; a first start of Wine in a
// new prefix is the slow case.
constexpr DWORD kTimeoutMilliseconds = 60000;
constexpr DWORD kPollMilliseconds = 100;
// A menu opened by a key has drawn itself by then (the picture waits for it).
constexpr DWORD kMenuOpenMilliseconds = 700;

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

HWND MainWindow() {
    HWND window = FindWindowA("TrelvaneForm", "Trelvane");
    return window && IsWindowVisible(window) ? window : nullptr;
}

HWND FindChildOfClass(HWND parent, const char* className) {
    struct TSearch {
        const char* Name;
        HWND Found;
    } search{className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(data);
            if (ClassOf(child) != s->Name)
                return TRUE;
            s->Found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// A visible message box of the process that owns the window, or null.
HWND MessageBoxOf(HWND window) {
    struct TSearch {
        DWORD Process;
        HWND Found;
    } search{0, nullptr};
    GetWindowThreadProcessId(window, &search.Process);
    EnumWindows(
        [](HWND candidate, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(candidate, &process);
            if (process != s->Process || ClassOf(candidate) != "#32770" || !IsWindowVisible(candidate))
                return TRUE;
            s->Found = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

template <class F>
bool WaitFor(F&& condition) {
    const ULONGLONG start = GetTickCount64();
    while (!condition()) {
        if (GetTickCount64() - start > kTimeoutMilliseconds)
            return false;
        Sleep(kPollMilliseconds);
    }
    return true;
}

// Returns once the window's thread has handled everything sent before.
void WaitUntilAnswered(HWND window) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMilliseconds, &result);
}

int Wait(int rows) {
    HWND window = nullptr;
    if (!WaitFor([&] { return (window = MainWindow()) != nullptr; })) {
        std::fprintf(stderr, "The program's window did not show.\n");
        return 1;
    }
    HWND list = FindChildOfClass(window, "SysListView32");
    const bool ready = WaitFor([&] {
        const int count = list ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
        return count >= rows || MessageBoxOf(window) != nullptr;
    });
    if (!ready) {
        std::fprintf(stderr, "The program's list did not get its %d rows.\n", rows);
        return 1;
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    WaitUntilAnswered(window);
    // The window's place on the screen, as a geometry for cropping a picture.
    RECT bounds{};
    GetWindowRect(window, &bounds);
    std::printf("%ldx%ld+%ld+%ld\n", bounds.right - bounds.left, bounds.bottom - bounds.top, bounds.left,
                bounds.top);
    return 0;
}

void Press(HWND box, int button) {
    if (HWND control = GetDlgItem(box, button))
        PostMessageA(control, BM_CLICK, 0, 0);
    else
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

void PressKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

// Alt+F opens the File menu, X chooses Exit: the keys a user presses.
void ChooseFileExit(HWND window) {
    SetForegroundWindow(window);
    WaitUntilAnswered(window);
    PressKey(VK_MENU, true);
    PressKey('F', true);
    PressKey('F', false);
    PressKey(VK_MENU, false);
    WaitUntilAnswered(window);
    PressKey('X', true);
    PressKey('X', false);
}

void TapKey(WORD key) {
    PressKey(key, true);
    PressKey(key, false);
}

int Menu(const char* keys) {
    HWND window = MainWindow();
    if (!window || !*keys) {
        std::fprintf(stderr, "The program's window is not shown.\n");
        return 1;
    }
    SetForegroundWindow(window);
    WaitUntilAnswered(window);
    PressKey(VK_MENU, true);
    TapKey(static_cast<WORD>(std::toupper(static_cast<unsigned char>(keys[0]))));
    PressKey(VK_MENU, false);
    for (const char* key = keys + 1; *key; ++key) {
        // The menu opens (a submenu too) before its next key.
        Sleep(kMenuOpenMilliseconds);
        TapKey(static_cast<WORD>(std::toupper(static_cast<unsigned char>(*key))));
    }
    Sleep(kMenuOpenMilliseconds);
    return 0;
}

int Exit() {
    HWND window = MainWindow();
    if (!window) {
        std::fprintf(stderr, "The program's window is not shown.\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    // A message box (an error about the command line) is answered first.
    if (HWND box = MessageBoxOf(window)) {
        Press(box, IDOK);
        WaitFor([&] { return MessageBoxOf(window) == nullptr; });
    }
    // A dialog that the menu keys opened is cancelled: while it shows, the
    // main window is disabled.
    WaitFor([&] {
        if (IsWindowEnabled(window))
            return true;
        TapKey(VK_ESCAPE);
        Sleep(kMenuOpenMilliseconds);
        return false;
    });
    ChooseFileExit(window);
    // With entries in the list the program asks before it clears them.
    const bool closed = WaitFor([&] {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        if (HWND box = MessageBoxOf(window))
            Press(box, IDOK);
        return false;
    });
    if (!closed) {
        std::fprintf(stderr, "The program did not close.\n");
        return 1;
    }
    std::printf("Closed the program with File > Exit.\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "wait") == 0)
        return Wait(argc >= 3 ? std::atoi(argv[2]) : 0);
    if (argc >= 3 && std::strcmp(argv[1], "menu") == 0)
        return Menu(argv[2]);
    if (argc >= 2 && std::strcmp(argv[1], "exit") == 0)
        return Exit();
    std::fprintf(stderr, "usage: trelvane_rundriver wait ROWS | menu KEYS | exit\n");
    return 2;
}

#include "tests/FormTestSupport.h"

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

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// Helpers for tests of forms and modal loops under the virtual display.
#pragma once

#include "framework/Fw_forms.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Runs one step at each idle moment of the message loop, so a test can act
// inside a modal loop (press keys, click buttons) after the form has shown.
// A watchdog ends the innermost modal form, with a failure, if the steps never
// let it end.
class TIdleScript {
public:
    explicit TIdleScript(std::vector<std::function<void()>> steps, UINT watchdogMilliseconds = 20000);
    TIdleScript(const TIdleScript&) = delete;
    TIdleScript& operator=(const TIdleScript&) = delete;
    ~TIdleScript();

    // How many steps have run.
    size_t StepsRun() const { return FNext; }

private:
    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD);

    std::vector<std::function<void()>> FSteps;
    size_t FNext = 0;
    UINT_PTR FTimer = 0;
};

// The modal result the watchdog gives a form that never ended.
constexpr int mrWatchdog = 99;

// A window's place in its parent's client coordinates.
RECT ChildBounds(HWND child);
// Posts a key press (down and up) to the window, by default the one with the
// focus.
void PostKey(WORD virtualKey, HWND target = GetFocus());
// Posts an Alt+letter accelerator to the window with the focus.
void PostAltKey(char letter);
std::string ClassOf(HWND window);

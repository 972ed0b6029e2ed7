// Helpers for tests of forms and modal loops under the virtual display.
#pragma once

#include "framework/Fw_actnlist.h"
#include "framework/Fw_forms.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Every test starts with the program's dialogs not yet created, as in a
// program that has just started, and leaves none behind.
class TFreshDialogsTest : public testing::Test {
protected:
    void SetUp() override { Application->FreeForms(); }
    void TearDown() override { Application->FreeForms(); }
};

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

// What a message box showed, read from inside its own modal loop.
struct TBoxSeen {
    bool Found = false;
    std::string Caption;
    // The texts of its child windows: the message and the buttons' captions.
    std::vector<std::string> Texts;
    // The IDs of its visible buttons (IDOK, IDCANCEL...), in window order.
    std::vector<int> Buttons;
    // The icon it shows, or null.
    HICON Icon = nullptr;
    HWND Owner = nullptr;

    bool Shows(const std::string& text) const;
};

// The thread's visible message box (or other system dialog), or null.
HWND FindThreadBox();

// Answers the thread's next message box by clicking its button with the given
// ID, and records what the box showed. The box's own modal loop runs the
// answer; a box that is not showing yet is looked for again.
class TBoxCloser {
public:
    explicit TBoxCloser(int answer = IDOK);
    TBoxCloser(const TBoxCloser&) = delete;
    TBoxCloser& operator=(const TBoxCloser&) = delete;

    TBoxSeen Seen;

private:
    void CloseBox();

    int FAnswer;
    TUtilWindowHandle FWindow;
};

// A control and its place in design pixels, in the form's client coordinates.
struct TDesignPlace {
    const TControl* Control;
    RECT Design;
};
// Moves the form to 96, 120 and 144 pixels per inch in turn (as a move to
// another monitor does) and expects at each its client size and every
// control's place scaled from the design values (a combo box's height is
// left out: a closed drop-down list is as high as its font makes it).
void ExpectScaledLayout(TForm& form, int clientWidth, int clientHeight,
                        const std::vector<TDesignPlace>& places);

// A window's place in its parent's client coordinates.
RECT ChildBounds(HWND child);
// Posts a key press (down and up) to the window, by default the one with the
// focus.
void PostKey(WORD virtualKey, HWND target = GetFocus());
// Posts Esc to the innermost modal form: to its control with the focus, or
// to its Cancel button when the focus is elsewhere (under Wine a form shown
// anew may not have it yet).
void PostEscapeToModal();
// Posts an Alt+letter accelerator to the window with the focus.
void PostAltKey(char letter);
// Posts a click of a button, check box or radio button, as the user clicks
// it; a disabled control cannot be clicked, and the test fails.
void ClickControl(const TControl* control);
// Posts the text to the window as typed characters, one WM_CHAR a byte.
void PostText(HWND target, const std::string& text);
// Replaces an edit's text as the user does: select all, then type.
void Retype(TEdit* edit, const std::string& text);
// The names of the form's controls that Tab stops at, in tab order.
std::vector<std::string> TabOrder(const TForm& form);
std::string ClassOf(HWND window);

// Runs the application's own loop (shortcuts, dialog keys, idle handlers)
// until the condition holds; false when it did not within the time.
bool RunLoopUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds = 10000);

// Runs the loop until the main loop goes idle (the deferred update included).
// An idle moment inside a modal loop (a command's progress dialog) does not
// count: the command that opened it has not ended yet.
void Settle();

// Presses the shortcut's key on the window as the keyboard does (with Alt,
// and F10, as a system key), its modifiers held, and settles the loop.
void Press(TShortCut shortCut, HWND target);

// Holds modifier keys down in the thread's keyboard state, as GetKeyState
// sees it while posted keys are handled.
class TModifiers {
public:
    explicit TModifiers(TShortCut modifiers);
    TModifiers(const TModifiers&) = delete;
    TModifiers& operator=(const TModifiers&) = delete;
    ~TModifiers();

private:
    BYTE FSaved[256];
};

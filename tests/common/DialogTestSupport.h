// Answers the system's common dialogs (the open-file dialog, the folder
// chooser) as a user does: type into the name box, press a button.
#pragma once

#include "framework/Fw_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// One answer to one appearance of a dialog: the filter chosen in the file
// dialog's list of filters (counted from 1; 0 leaves it), the text typed into
// its name box (none when empty), and the button pressed. A name that the
// code page cannot hold is typed as UTF-16 instead (TypedWide); the folder
// chooser has no name box, and Select is the folder selected in its tree.
struct TDialogAnswer {
    std::string Typed;
    int Button = IDOK;
    int Filter = 0;
    std::wstring TypedWide{};
    std::wstring Select{};
};

// What a dialog showed when it was answered.
struct TDialogSeen {
    std::string Caption;
    // The texts of its child windows.
    std::vector<std::string> Texts;
    // What its name box held when it appeared.
    std::string NameBox;
    HWND Owner = nullptr;

    bool Shows(const std::string& text) const;
};

// Answers the thread's next dialogs, one answer per appearance, from inside
// their own modal loops. A dialog still showing after the answers ran out, or
// long after it appeared, is cancelled and the test fails.
class TDialogAnswerer {
public:
    explicit TDialogAnswerer(std::vector<TDialogAnswer> answers);
    TDialogAnswerer(const TDialogAnswerer&) = delete;
    TDialogAnswerer& operator=(const TDialogAnswerer&) = delete;
    ~TDialogAnswerer();

    // One entry per dialog answered.
    std::vector<TDialogSeen> Seen;
    // Folder choosers cancelled because the shell never selected the folder
    // to select.
    int SelectionsMissed = 0;

private:
    void Check();

    std::vector<TDialogAnswer> FAnswers;
    HHOOK FHook = nullptr;
    HWND FAnswered = nullptr;
    ULONGLONG FAnsweredAt = 0;
    ULONGLONG FSelectingSince = 0;
    TUtilWindowHandle FWindow;
};

// Control IDs of the open-file dialog's name box (the combo box of the
// Explorer-style dialog, and the older edit box).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;
// The open-file dialog's list of filters.
constexpr int kFilterCombo = 0x470;

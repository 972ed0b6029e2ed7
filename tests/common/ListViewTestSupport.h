// A real owner-data list-view control for the tests of the list-view model
// and of the commands that write to it; and the rows of any list view as text.
#pragma once

#include "framework/Fw_handles.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

// A hidden top-level window holding a report-style owner-data list view.
class TTestListView {
public:
    explicit TTestListView(bool multiSelect = true);
    TTestListView(const TTestListView&) = delete;
    TTestListView& operator=(const TTestListView&) = delete;

    HWND Handle() const { return FListView; }
    int Count() const;
    // Sets the row count and then each row's state bits (mask 0xF).
    void SetStates(const std::vector<int>& states) const;
    // Each row's focused and selected bits: all an owner-data control keeps
    // (Wine reports undefined values for the others).
    std::vector<int> States() const;
    int FocusIndex() const;
    int SelectedCount() const;
    int SelectionMark() const;
    int TopIndex() const;
    bool MultiSelect() const;
    void SetMultiSelect(bool value) const;
    // Everything the tests compare between two controls, as text.
    std::string Describe() const;

private:
    TWindowHandle FParent; // destroys the list view with it
    HWND FListView = nullptr;
};

// Sets one row's state bits (index -1: every row), as a caller of the control does.
void SetListViewItemState(HWND listView, int index, int state, int mask);

// The rows of a list-view control in one line, for comparing with a table:
// each row's name, blank-separated, then "*" when the control has the row
// selected and "!" when it has the focus (of the marks asked for). A row is
// named by its text in the column, or by the name given for it ("?" past them).
constexpr UINT kRowMarks = LVIS_SELECTED | LVIS_FOCUSED;
std::string ListRows(HWND listView, int column, UINT marks = kRowMarks);
std::string ListRows(HWND listView, const std::vector<std::string>& names, UINT marks = kRowMarks);
// The row's text in the column, as the control shows it in room characters
// (260 where it draws a row), given to a caller whose buffer held "untouched".
std::string ListText(HWND listView, int row, int column, int room = 1024);

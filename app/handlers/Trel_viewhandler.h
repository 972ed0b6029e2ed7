// The View menu: the toolbar and the status bar, the orders of the list, and
// the main window's remembered placement and column widths.
#pragma once

#include "app/handlers/Trel_handler.h"
#include "framework/Fw_comctrls.h"
#include "framework/Fw_forms.h"

#include <windows.h>

// Carries out the View menu. It changes the order and the look of the list,
// never the entries, so nothing it does is an undoable command.
class TViewHandler : public THandler {
public:
    TViewHandler(TListViewModel& model, TObjectList& itemList, TInvoker& invoker);

    // The main window and the controls it shows and hides; none is owned.
    // Given once, right after construction and before any other call: the
    // window's normal rectangle and show command at that moment are its first
    // ones, where a stored placement that cannot be used sends it back.
    void SetControls(TForm& form, TToolBar& toolBar, TStatusBar& statusBar, TListView& listView);

    // The controls' own visibility; setting it lays the window out again.
    bool GetToolbarVisible() const;
    void SetToolbarVisible(bool value);
    bool GetStatusBarVisible() const;
    void SetStatusBarVisible(bool value);

    // Whether LoadSettings applies the stored placement and column widths.
    // The main window's Remember Placement action reads and writes it.
    bool RememberPlacement = true;

    // The list's client width in equal shares, one per column and one more:
    // the first column (the new name) takes two, every other column one.
    void ResetColumnWidths();

    // The whole list ascending by a column, stable, the selection and the
    // focus staying with their entries; names in the locale's case-sensitive
    // order, types directories first, results None, Succeeded, Failed, Skipped.
    void SortByNewName();
    void SortByOldName();
    void SortByDirectory();
    void SortByType();
    void SortByResult();
    // The whole list in reverse order.
    void Invert();
    // The selected entries one place up (down). One at that edge stays, and
    // so do the selected entries next to it; the focused entry is scrolled
    // into view.
    void MoveUp();
    void MoveDown();

    // "ShowToolbar", "ShowStatusBar", "RememberPlacement"; then, when
    // remembering, "Form" with "Bounds" ("Left", "Top", "Right", "Bottom")
    // and "State", and "ListView", "Column", "0"... with "Width". Missing keys
    // change nothing; a placement that would leave the window out of reach,
    // a minimized state and column widths out of sight are mended (see the
    // functions below). SaveSettings writes every key, remembering or not.
    void LoadSettings(TMemIniFile& iniFile, TIniSection& section) override;
    void SaveSettings(TMemIniFile& iniFile, TIniSection& section) override;

private:
    TForm& Form() const;
    TToolBar& ToolBar() const;
    TStatusBar& StatusBar() const;
    TListView& ListView() const;
    // The rows and selection taken from the list control, changed, and handed back.
    template <class F>
    void Rearrange(F&& change);
    void LoadPlacement(TMemIniFile& iniFile, TIniSection& section);
    void LoadColumnWidths(TMemIniFile& iniFile, TIniSection& section);

    TForm* FForm = nullptr;
    TToolBar* FToolBar = nullptr;
    TStatusBar* FStatusBar = nullptr;
    TListView* FListView = nullptr;
    RECT FFirstBounds{};
};

// Whether a window with this normal rectangle (workspace coordinates, as a
// window placement holds it) can be reached by the user: a size above zero
// both ways, and enough of its caption on the work area of a monitor that
// exists now to take it with the mouse.
bool IsReachablePlacement(const RECT& normalBounds);

// The show command to start with for a stored one: maximized stays
// maximized; normal and every minimized form start normal (a window that
// starts minimized is rarely what the user wants); anything else is no show
// command the placement stores and keeps the current one.
UINT StartShowCommand(int stored, UINT current);

// A stored column width brought into sight: no narrower than can be seen and
// grabbed, no wider than all screens together.
int VisibleColumnWidth(int width);

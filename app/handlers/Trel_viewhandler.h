// The View menu: the toolbar and the status bar, the orders of the list, and
// the main window's remembered placement and column widths.
#pragma once

#include "app/handlers/Trel_handler.h"
#include "app/names/Trel_listedit.h"
#include "framework/Fw_comctrls.h"
#include "framework/Fw_forms.h"

#include <windows.h>

#include <optional>
#include <vector>

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
    // The whole list ascending by a column of what the disk tells, stable,
    // the entries without a value last. The values the rows lack are read
    // first (see ReadFileInfo); a Cancel there sorts nothing (the silent
    // abort) and keeps the values read.
    void SortByInfo(TInfoColumn column);
    // The whole list in reverse order.
    void Invert();
    // The selected entries one place up (down). One at that edge stays, and
    // so do the selected entries next to it; the focused entry is scrolled
    // into view.
    void MoveUp();
    void MoveDown();

    // View > Columns: the columns of what the disk tells, after the list's
    // own columns in their fixed order, each with the width it last had.
    // Showing one reads what the rows lack for the shown columns; a Cancel
    // there leaves the column with the values read.
    bool IsInfoColumnShown(TInfoColumn column) const { return FInfoShown[static_cast<int>(column)]; }
    void SetInfoColumnShown(TInfoColumn column, bool shown);
    // The shown ones in the list's order: the rows' texts after the five
    // columns of the list's own.
    const std::vector<TInfoColumn>& ShownInfoColumns() const { return FInfoInList; }
    // The one at a position of the list, if any.
    std::optional<TInfoColumn> InfoColumnAt(int position) const;
    // Reads the values that the rows lack for the shown columns: new rows,
    // renamed ones. The main window calls it after each command.
    void ReadShownFileInfo();
    // View > Refresh: every row's values are read again (now for the shown
    // columns, the others when asked for).
    void Refresh();

    // "ShowToolbar", "ShowStatusBar", "RememberPlacement"; then, when
    // remembering, "Form" with "Bounds" ("Left", "Top", "Right", "Bottom")
    // and "State", and "ListView", "Column", "0"... with "Width" (the info
    // columns "5" to "8" in their fixed order, whether shown or not, with
    // "Visible", which applies remembering or not). Missing keys
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
    void LoadInfoColumns(TMemIniFile& iniFile, TIniSection& section);
    void SaveColumns(TMemIniFile& iniFile, TIniSection& section);
    // The list's own columns: those before the info columns.
    int FixedColumnCount() const;
    // The widths of the info columns in the list kept for when they are
    // shown again or saved.
    void RememberInfoWidths();
    // The shown info columns put in the list after its own, in their order,
    // each with its kept width.
    void PutInInfoColumns();
    // Reads what the rows lack (taken: the date taken too) and stores it
    // (see ReadAndStoreFileInfo); false when cancelled.
    bool ReadFileInfo(bool taken);

    TForm* FForm = nullptr;
    TToolBar* FToolBar = nullptr;
    TStatusBar* FStatusBar = nullptr;
    TListView* FListView = nullptr;
    RECT FFirstBounds{};
    bool FInfoShown[kInfoColumnCount] = {};
    // In pixels; the share of a column until set.
    int FInfoWidth[kInfoColumnCount] = {};
    std::vector<TInfoColumn> FInfoInList;
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

// The common controls of a main window: the toolbar, the status bar and the
// virtual report-style list view.
#pragma once

#include "framework/Fw_actnlist.h"
#include "framework/Fw_controls.h"
#include "framework/Fw_imglist.h"
#include "framework/Fw_menus.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A row of tool buttons, each bound to an action: its image and hint are the
// action's, it is enabled and checked as the action is, and a click chooses
// the action (the form receives the action's command). It takes the height
// of its buttons.
class TToolBar : public TControl {
public:
    TToolBar(TControlHost& host, const TControlDef& def, const RECT& designBounds);
    ~TToolBar() override;

    // The images of the buttons, indexed by the actions' image indexes.
    void SetImages(TImageList* images);
    // One button per action name from left to right; null or "-" is a separator.
    template <size_t N>
    void SetButtons(TActionList& actions, const char* const (&names)[N]) {
        SetButtons(actions, names, N);
    }
    void SetButtons(TActionList& actions, const char* const* names, size_t count);
    int ButtonCount() const;
    // The action of the button at the index, or null for a separator.
    TAction* ButtonAction(int index) const;

    void HandleNotify(TMessage& Message) override;
    void ApplyScale() override;
    int PreferredHeight() const override;

private:
    class TToolButton;
    void ApplyImages();

    TImageList* FImages = nullptr;
    std::vector<std::unique_ptr<TToolButton>> FButtons;
};

// A status bar with one simple panel that shows one text.
class TStatusBar : public TControl {
public:
    TStatusBar(TControlHost& host, const TControlDef& def, const RECT& designBounds);

    std::string SimpleText() const;
    void SetSimpleText(const std::string& text);

    int PreferredHeight() const override;
};

// A column of a list view's table: the caption and the width in design pixels.
struct TListColumnDef {
    const char* Caption;
    int Width;
};

// What the list asks of one row: the handler sets what the row shows. What it
// leaves unset stays as the control had it.
class TListItemData {
public:
    explicit TListItemData(int index) : FIndex(index) {}

    int Index() const { return FIndex; }
    void SetCaption(std::string caption) { FCaption = std::move(caption); }
    // -1: no image.
    void SetImageIndex(int index) { FImageIndex = index; }
    // The image of the state image list before the caption; -1: none.
    void SetStateIndex(int index) { FStateIndex = index; }
    void ReserveSubItems(int count) { FSubItems.reserve(static_cast<size_t>(count)); }
    void AddSubItem(std::string text) { FSubItems.push_back(std::move(text)); }

    // The text of column `subItem` (0 the caption), or null when not set.
    const std::string* Text(int subItem) const;
    const std::optional<int>& ImageIndex() const { return FImageIndex; }
    const std::optional<int>& StateIndex() const { return FStateIndex; }

private:
    int FIndex;
    std::optional<std::string> FCaption;
    std::optional<int> FImageIndex;
    std::optional<int> FStateIndex;
    std::vector<std::string> FSubItems;
};

class TListView;

using TListDataEvent = std::function<void(TListView& Sender, TListItemData& Item)>;
// The selection or focus of rows First to Last changed; -1, -1: of all rows.
using TListChangeEvent = std::function<void(TListView& Sender, int First, int Last)>;
using TListColumnClickEvent = std::function<void(TListView& Sender, int Column)>;
using TListEditingEvent = std::function<void(TListView& Sender, int Index, bool& AllowEdit)>;
using TListEditedEvent = std::function<void(TListView& Sender, int Index, const std::string& Text)>;
using TListToggleEvent = std::function<void(TListView& Sender, int Index)>;

// A report-style list view in virtual (owner-data) mode: it holds no rows of
// its own and asks OnData for what it shows. Its window is what
// TListViewModel works on (Handle()).
class TListView : public TControl {
public:
    TListView(TControlHost& host, const TControlDef& def, const RECT& designBounds);
    ~TListView() override;

    template <size_t N>
    void AddColumns(const TListColumnDef (&defs)[N]) {
        for (const TListColumnDef& def : defs)
            AddColumn(def.Caption, def.Width);
    }
    void AddColumn(const std::string& caption, int designWidth);
    // The columns after it move one place to the left.
    void DeleteColumn(int column);
    int ColumnCount() const;
    std::string ColumnCaption(int column) const;
    // In pixels.
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    int ClientWidth() const;

    int ItemCount() const;
    void SetItemCount(int count);
    int SelectedCount() const;
    // -1 when no row has the focus.
    int FocusedIndex() const;
    void ClearSelection();
    // Makes the row the only selected one and the focused one, in view.
    void Select(int index);
    // Scrolls the row wholly into view.
    void EnsureVisible(int index);
    // Draws the rows again from OnData.
    void UpdateItems(int first, int last);
    // Draws the rows in sight again from OnData: the control does not walk
    // every row, as UpdateItems over a long list does.
    void UpdateVisibleItems();

    // Both may be one list. The list view never frees them.
    void SetSmallImages(TImageList* images);
    void SetStateImages(TImageList* images);
    // Shown by the context-menu gesture (right click, Shift+F10, the menu key).
    void SetPopupMenu(TPopupMenu* menu) { FPopupMenu = menu; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }

    // Opens the in-place edit of the row's caption.
    void EditLabel(int index);
    // Whether the in-place edit box is open.
    bool IsEditing() const;
    // The in-place edit box, or null.
    HWND EditHandle() const;

    TListDataEvent OnData;
    TListChangeEvent OnChange;
    TListColumnClickEvent OnColumnClick;
    // Before an in-place edit opens; AllowEdit false keeps it closed.
    TListEditingEvent OnEditing;
    // An in-place edit was accepted (not for a cancelled one), also when the
    // list's own gesture opened it.
    TListEditedEvent OnEdited;
    // A row's mark is to change: a click on its state image, or Space on the
    // focused row (a list whose state images are check boxes).
    TListToggleEvent OnToggle;

    void HandleNotify(TMessage& Message) override;
    bool ContextMenu(POINT screenPoint) override;
    void ApplyScale() override;

private:
    void FillDisplayInfo(NMLVDISPINFOA& info);
    // A click on a state image or Space: OnToggle.
    void HandleToggle(const NMHDR& header);
    void HandleEndLabelEdit(const LVITEMA& item);
    void GiveText(const std::string& text, LVITEMA& item);
    void ApplyImages();

    TImageList* FSmallImages = nullptr;
    TImageList* FStateImages = nullptr;
    TPopupMenu* FPopupMenu = nullptr;
    // The resolution at which the column widths were set.
    int FColumnPixelsPerInch;
    // The box of the in-place edit under way: Wine no longer reports it
    // while it tells the edit's end.
    HWND FLabelEdit = nullptr;
    // The last texts handed to the control by address (see GiveText).
    static constexpr int kDisplayTextsKept = 3;
    std::string FDisplayTexts[kDisplayTextsKept];
    int FNextDisplayText = 0;
};

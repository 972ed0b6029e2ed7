// Main and pop-up menus built from tables, their items bound to actions, and
// the text of shortcuts.
#pragma once

#include "framework/Fw_actnlist.h"
#include "framework/Fw_handles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// The shortcut as a menu shows it: "Ctrl+Shift+U", "Shift+Ins", "Del", "F2".
std::string ShortCutToText(TShortCut shortCut);

// One row of a menu table. Level 0 items are those of the menu bar (or of the
// pop-up menu itself); an item followed by items one level deeper opens them
// as its submenu.
struct TMenuItemDef {
    int Level;
    // "-" for a separator; null for the action's caption.
    const char* Caption;
    // The action the item shows and chooses. A submenu item has no state of
    // its action: the action is what the item's own shortcut chooses.
    const char* Action = nullptr;
    // The item's own shortcut (the one of a submenu item); other items show
    // and answer their action's.
    TShortCut ShortCut = scNone;
};

class TMenu;

class TMenuItem : public TActionLink {
public:
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;
    ~TMenuItem() override;

    TMenu& Menu() const { return FMenu; }
    // Null for the menu's root.
    TMenuItem* Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem& Items(int index) const;
    // The submenu that the item opens, or null.
    HMENU SubMenu() const { return FSubMenu; }
    bool IsSeparator() const { return FSeparator; }

    // The item's own caption, else its action's.
    std::string Caption() const;
    // The item's own shortcut, else its action's.
    TShortCut ShortCut() const;
    // The text the menu shows: the caption, and after a tab the shortcut.
    std::string Text() const;
    // The action's command identifier; 0 for an item without an action.
    int CommandId() const;

    // The item chosen from the keyboard or the menu: its action's Choose.
    // False when it has no action or the action is disabled.
    bool Click();

    // The item whose shortcut this is, here or in a submenu, or null.
    TMenuItem* FindByShortCut(TShortCut shortCut);

    // Items of a submenu that change while the program runs: an item that
    // shows the action (null: a separator) put at the index, and the item at
    // the index taken out and freed. Only for items that open a submenu.
    TMenuItem& InsertItem(int index, TAction* action);
    void DeleteItem(int index);

protected:
    void ActionChanged() override;

private:
    friend class TMenu;
    TMenuItem(TMenu& menu, TMenuItem* parent, HMENU subMenu);
    // Writes the caption and the states into the menu that holds the item.
    void Refresh();
    int Position() const;

    TMenu& FMenu;
    TMenuItem* FParent;
    HMENU FSubMenu;
    std::string FCaption;
    bool FOwnCaption = false;
    TShortCut FShortCut = scNone;
    bool FSeparator = false;
    std::vector<std::unique_ptr<TMenuItem>> FItems;
};

// A menu built from a table over an action list. It owns its menu handle and
// every submenu's.
class TMenu : public TObject {
public:
    ~TMenu() override;

    HMENU Handle() const { return FHandle.Get(); }
    // The root, whose items are the menu's first level.
    TMenuItem& Items() const { return *FRoot; }
    bool ShowsShortCuts() const { return FShowShortCuts; }
    // Chooses the enabled item of the shortcut; false when none took it.
    bool IsShortCut(TShortCut shortCut);

protected:
    TMenu(bool popup, bool showShortCuts, const TMenuItemDef* defs, size_t count, TActionList& actions);
    // The menu bar needs redrawing after a change of its own items.
    virtual void ItemsChanged() {}

private:
    friend class TMenuItem;
    void Build(const TMenuItemDef* defs, size_t count, TActionList& actions);
    // Puts the item into the parent's menu at the index; returns it.
    TMenuItem& Insert(TMenuItem& parent, size_t index, std::unique_ptr<TMenuItem> item);

    TMenuHandle FHandle;
    std::unique_ptr<TMenuItem> FRoot;
    bool FShowShortCuts;
};

// The menu bar of a form (TForm::SetMainMenu).
class TMainMenu : public TMenu {
public:
    template <size_t N>
    TMainMenu(const TMenuItemDef (&defs)[N], TActionList& actions) : TMenu(false, true, defs, N, actions) {}
    // Takes itself off its window first, which would destroy it otherwise.
    ~TMainMenu() override;

    HWND Window() const { return FWindow; }
    // Shows the menu bar in the window (null: in none).
    void AttachTo(HWND window);

protected:
    void ItemsChanged() override;

private:
    HWND FWindow = nullptr;
};

// A context menu: the actions without their shortcuts.
class TPopupMenu : public TMenu {
public:
    template <size_t N>
    TPopupMenu(const TMenuItemDef (&defs)[N], TActionList& actions) : TMenu(true, false, defs, N, actions) {}

    // Shows the menu at a point of the screen until the user chooses or
    // cancels; the chosen item's command goes to the owner as WM_COMMAND.
    void Popup(HWND owner, POINT screenPoint);

    // Before the menu shows.
    TNotifyEvent OnPopup;
};

#include "framework/Fw_menus.h"

#include <vector>

namespace {

// The names that menus give keys, as Windows programs spell them.
const char* KeyName(WORD key) {
    switch (key) {
    case VK_BACK: return "Bksp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_MULTIPLY: return "Num *";
    case VK_DIVIDE: return "Num /";
    default: return nullptr;
    }
}

std::string KeyText(WORD key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24)
        return "F" + std::to_string(key - VK_F1 + 1);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return "Num " + std::to_string(key - VK_NUMPAD0);
    if (const char* name = KeyName(key))
        return name;
    // Punctuation as the keyboard layout prints it.
    const UINT character = MapVirtualKeyA(key, MAPVK_VK_TO_CHAR) & 0x7FFF;
    if (character > ' ' && character < 0x7F)
        return std::string(1, static_cast<char>(character));
    return Format("Key %u", static_cast<unsigned>(key));
}

void CheckMenuCall(BOOL result) {
    if (!result)
        throw EInvalidOperation("The program could not build a menu.");
}

} // namespace

std::string ShortCutToText(TShortCut shortCut) {
    const WORD key = shortCut & 0xFF;
    if (key == 0)
        return std::string();
    std::string text;
    if (shortCut & scCtrl)
        text += "Ctrl+";
    if (shortCut & scShift)
        text += "Shift+";
    if (shortCut & scAlt)
        text += "Alt+";
    return text + KeyText(key);
}

// TMenuItem

TMenuItem::TMenuItem(TMenu& menu, TMenuItem* parent, HMENU subMenu)
    : FMenu(menu), FParent(parent), FSubMenu(subMenu) {}

TMenuItem::~TMenuItem() = default;

TMenuItem& TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d).", index));
    return *FItems[static_cast<size_t>(index)];
}

std::string TMenuItem::Caption() const {
    if (FOwnCaption || !Action())
        return FCaption;
    return Action()->Caption();
}

TShortCut TMenuItem::ShortCut() const {
    if (FShortCut != scNone || !Action() || FSubMenu)
        return FShortCut;
    return Action()->ShortCut();
}

std::string TMenuItem::Text() const {
    std::string text = Caption();
    // The menu bar shows captions only.
    const bool inMenuBar = FParent && !FParent->FParent;
    if (FMenu.ShowsShortCuts() && !inMenuBar && ShortCut() != scNone)
        text += "\t" + ShortCutToText(ShortCut());
    return text;
}

int TMenuItem::CommandId() const {
    return Action() && !FSubMenu ? Action()->CommandId() : 0;
}

TMenuItem& TMenuItem::InsertItem(int index, TAction* action) {
    if (!FSubMenu || index < 0 || index > Count())
        throw EListError(Format("List index out of bounds (%d).", index));
    auto item = std::unique_ptr<TMenuItem>(new TMenuItem(FMenu, this, nullptr));
    item->FSeparator = action == nullptr;
    item->TActionLink::SetAction(action);
    return FMenu.Insert(*this, static_cast<size_t>(index), std::move(item));
}

void TMenuItem::DeleteItem(int index) {
    Items(index);
    RemoveMenu(FSubMenu, static_cast<UINT>(index), MF_BYPOSITION);
    FItems.erase(FItems.begin() + index);
}

bool TMenuItem::Click() {
    return Action() && Action()->Choose();
}

TMenuItem* TMenuItem::FindByShortCut(TShortCut shortCut) {
    if (FParent && !FSeparator && shortCut != scNone && ShortCut() == shortCut)
        return this;
    for (const auto& item : FItems)
        if (TMenuItem* found = item->FindByShortCut(shortCut))
            return found;
    return nullptr;
}

void TMenuItem::ActionChanged() {
    Refresh();
}

int TMenuItem::Position() const {
    if (!FParent)
        return -1;
    for (size_t i = 0; i < FParent->FItems.size(); ++i)
        if (FParent->FItems[i].get() == this)
            return static_cast<int>(i);
    return -1;
}

void TMenuItem::Refresh() {
    // Before the item is in its menu, the insertion writes all this.
    const int position = Position();
    if (position < 0 || FSeparator)
        return;
    HMENU holder = FParent->FParent ? FParent->FSubMenu : FMenu.Handle();
    const std::string text = Text();
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_STATE;
    info.dwTypeData = const_cast<char*>(text.c_str());
    // A submenu item opens its submenu whatever its action's state.
    const bool followsAction = Action() && !FSubMenu;
    info.fState = (followsAction && !Action()->Enabled() ? MFS_DISABLED : MFS_ENABLED) |
                  (followsAction && Action()->Checked() ? MFS_CHECKED : MFS_UNCHECKED);
    SetMenuItemInfoA(holder, static_cast<UINT>(position), TRUE, &info);
    if (!FParent->FParent)
        FMenu.ItemsChanged();
}

// TMenu

TMenu::TMenu(bool popup, bool showShortCuts, const TMenuItemDef* defs, size_t count, TActionList& actions)
    : FShowShortCuts(showShortCuts) {
    FHandle.Attach(popup ? CreatePopupMenu() : CreateMenu());
    if (!FHandle)
        throw EInvalidOperation("The program could not build a menu.");
    FRoot.reset(new TMenuItem(*this, nullptr, nullptr));
    Build(defs, count, actions);
}

TMenu::~TMenu() {
    // The items let go of their actions before the menu handles go.
    FRoot.reset();
}

void TMenu::Build(const TMenuItemDef* defs, size_t count, TActionList& actions) {
    // The open submenus: path[level] holds the items of that level.
    std::vector<TMenuItem*> path{FRoot.get()};
    for (size_t i = 0; i < count; ++i) {
        const TMenuItemDef& def = defs[i];
        if (def.Level < 0 || static_cast<size_t>(def.Level) >= path.size())
            throw EInvalidOperation(Format("The menu item %d is not inside a submenu.", static_cast<int>(i)));
        path.resize(static_cast<size_t>(def.Level) + 1);
        TMenuItem* parent = path.back();
        const bool opensSubMenu = i + 1 < count && defs[i + 1].Level == def.Level + 1;
        const bool separator = def.Caption && std::string(def.Caption) == "-";
        if (!separator && !opensSubMenu && !def.Action)
            throw EInvalidOperation(Format("The menu item %s has no action.", def.Caption ? def.Caption : ""));

        TMenuHandle subMenu;
        if (opensSubMenu) {
            subMenu.Attach(CreatePopupMenu());
            if (!subMenu)
                throw EInvalidOperation("The program could not build a menu.");
        }
        auto item = std::unique_ptr<TMenuItem>(new TMenuItem(*this, parent, subMenu.Get()));
        item->FSeparator = separator;
        item->FOwnCaption = def.Caption != nullptr;
        item->FCaption = def.Caption ? def.Caption : "";
        item->FShortCut = def.ShortCut;
        if (def.Action && !separator)
            item->TActionLink::SetAction(&actions.Action(def.Action));

        Insert(*parent, parent->FItems.size(), std::move(item));
        // The menu destroys its submenus with it from now on.
        subMenu.Detach();
        if (opensSubMenu)
            path.push_back(parent->FItems.back().get());
    }
}

TMenuItem& TMenu::Insert(TMenuItem& parent, size_t index, std::unique_ptr<TMenuItem> item) {
    HMENU holder = &parent == FRoot.get() ? Handle() : parent.FSubMenu;
    const std::string text = item->Text();
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | (item->FSeparator ? 0 : MIIM_STRING);
    info.fType = item->FSeparator ? MFT_SEPARATOR : MFT_STRING;
    info.wID = static_cast<UINT>(item->CommandId());
    info.hSubMenu = item->FSubMenu;
    info.dwTypeData = const_cast<char*>(text.c_str());
    const bool followsAction = item->Action() && !item->FSubMenu;
    info.fState = (followsAction && !item->Action()->Enabled() ? MFS_DISABLED : MFS_ENABLED) |
                  (followsAction && item->Action()->Checked() ? MFS_CHECKED : MFS_UNCHECKED);
    CheckMenuCall(InsertMenuItemA(holder, static_cast<UINT>(index), TRUE, &info));
    parent.FItems.insert(parent.FItems.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    return *parent.FItems[index];
}

bool TMenu::IsShortCut(TShortCut shortCut) {
    if (!FShowShortCuts)
        return false;
    TMenuItem* item = FRoot->FindByShortCut(shortCut);
    return item && item->Click();
}

// TMainMenu

TMainMenu::~TMainMenu() {
    AttachTo(nullptr);
}

void TMainMenu::AttachTo(HWND window) {
    if (FWindow && IsWindow(FWindow) && GetMenu(FWindow) == Handle())
        SetMenu(FWindow, nullptr);
    FWindow = window;
    if (FWindow)
        SetMenu(FWindow, Handle());
}

void TMainMenu::ItemsChanged() {
    if (FWindow)
        DrawMenuBar(FWindow);
}

// TPopupMenu

void TPopupMenu::Popup(HWND owner, POINT screenPoint) {
    if (OnPopup)
        OnPopup(this);
    TrackPopupMenuEx(Handle(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, owner,
                     nullptr);
}

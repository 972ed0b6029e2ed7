// The framework's form controls: actions with a main and a pop-up menu,
// shortcuts, the toolbar, the status bar, a panel holding a virtual list view,
// image lists, the screen cursor, idle handlers and dropped files. A small
// form built from a table, driven as a user drives it, under the virtual
// display.
#include "framework/Fw_forms.h"
#include "framework/Fw_scope.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/ListViewTestSupport.h"
#include "tests/common/TestSupport.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

const TFormDef kFrameDef{"Frame", 525, 402, bsSizeable, poDefault};

const TControlDef kFrameControls[] = {
    {ckToolBar, "ToolBar1", 0, 0, 525, 30, "", coNone, mrNone, nullptr, alTop},
    {ckStatusBar, "StatusBar1", 0, 380, 525, 22, "Ready", coNone, mrNone, nullptr, alBottom},
    {ckPanel, "Panel1", 0, 30, 525, 350, "", coNone, mrNone, nullptr, alClient},
    {ckListView, "ListView1", 0, 0, 525, 350, "", coMultiSelect | coRowSelect | coEditLabels, mrNone, "Panel1",
     alClient},
};

const TListColumnDef kColumns[] = {{"New name  ", 100}, {"Old name", 100}, {"Directory", 100}};

const TActionDef kActions[] = {
    {"FileNewAc", "&New", ShortCut('N', scCtrl), 0, "New"},
    {"EditDeleteAc", "D&elete", ShortCut(VK_DELETE), 1, "Delete"},
    {"EditSelectAllAc", "Select &All", ShortCut('A', scCtrl), 0},
    {"EditAddDirectoryAc", "&Directory...", ShortCut(VK_INSERT, scShift)},
    {"NameUrlDecodeAc", "UR&L Decode...", ShortCut('U', scCtrl | scShift)},
    {"NameEnterAc", "&Enter", ShortCut(VK_F2)},
    {"ViewToolbarAc", "&Toolbar", scNone, -1, nullptr, aoAutoCheck | aoChecked},
    {"HelpContentsAc", "&Contents"},
};

const TMenuItemDef kMainMenu[] = {
    {0, "&File"},
    {1, nullptr, "FileNewAc"},
    {0, "&Edit"},
    {1, nullptr, "EditDeleteAc"},
    {1, "-"},
    {1, nullptr, "EditSelectAllAc"},
    {1, "A&dd"},
    {2, nullptr, "EditAddDirectoryAc"},
    {0, "&Name"},
    {1, nullptr, "NameUrlDecodeAc"},
    {1, nullptr, "NameEnterAc"},
    {0, "&View"},
    {1, nullptr, "ViewToolbarAc"},
    {0, "&Help", "HelpContentsAc", ShortCut(VK_F1)},
    {1, nullptr, "HelpContentsAc"},
};

const TMenuItemDef kPopupMenu[] = {
    {0, nullptr, "EditDeleteAc"},
    {0, "-"},
    {0, "A&dd"},
    {1, nullptr, "EditAddDirectoryAc"},
    {0, nullptr, "EditSelectAllAc"},
};

const char* const kButtons[] = {"FileNewAc", nullptr, "EditDeleteAc", "EditSelectAllAc"};

// Two 16-pixel images in a drawn strip: a filled square and a frame.
void DrawTestImage(HDC dc, int size, int index) {
    HBRUSH brush = CreateSolidBrush(index == 0 ? RGB(0, 128, 0) : RGB(0, 0, 128));
    RECT inner{2, 2, size - 2, size - 2};
    if (index == 0)
        FillRect(dc, &inner, brush);
    else
        FrameRect(dc, &inner, brush);
    DeleteObject(brush);
}

class TFrameForm : public TForm {
public:
    TFrameForm()
        : TForm(kFrameDef), Actions(CreateComponent<TActionList>()),
          Menu(CreateComponent<TMainMenu>(kMainMenu, (Actions.AddActions(kActions), Actions))),
          Popup(CreateComponent<TPopupMenu>(kPopupMenu, Actions)), Images(CreateComponent<TImageList>()),
          ToolBar((CreateControls(kFrameControls), Control<TToolBar>("ToolBar1"))),
          StatusBar(Control<TStatusBar>("StatusBar1")), Panel(Control<TPanel>("Panel1")),
          List(Control<TListView>("ListView1")) {
        AddActionList(Actions);
        SetMainMenu(&Menu);
        Images.AddDrawn(2, DrawTestImage);
        ToolBar.SetImages(&Images);
        ToolBar.SetButtons(Actions, kButtons);
        List.AddColumns(kColumns);
        List.SetSmallImages(&Images);
        List.SetStateImages(&Images);
        List.SetPopupMenu(&Popup);
        for (int i = 0; i < Actions.Count(); ++i)
            Actions.Actions(i).OnExecute = [this](TAction& action) {
                Log.push_back(action.Name() + (action.AutoCheck() ? (action.Checked() ? " on" : " off") : ""));
            };
        List.OnData = [this](TListView&, TListItemData& item) {
            if (item.Index() < 0 || item.Index() >= static_cast<int>(Rows.size()))
                return;
            item.SetCaption(Rows[static_cast<size_t>(item.Index())]);
            item.ReserveSubItems(2);
            item.AddSubItem("old " + std::to_string(item.Index()));
            item.AddSubItem("C:\\dir");
            item.SetImageIndex(item.Index() % 2);
            item.SetStateIndex(1);
        };
    }

    void SetRows(std::vector<std::string> rows) {
        Rows = std::move(rows);
        List.SetItemCount(static_cast<int>(Rows.size()));
    }

    // Every shortcut refused while a caption is edited in place, as in the program's main window.
    bool IsShortCut(const MSG& msg) override { return !List.IsEditing() && TForm::IsShortCut(msg); }

    TActionList& Actions;
    TMainMenu& Menu;
    TPopupMenu& Popup;
    TImageList& Images;
    TToolBar& ToolBar;
    TStatusBar& StatusBar;
    TPanel& Panel;
    TListView& List;
    std::vector<std::string> Rows;
    // The actions executed, a check item with its state at the time.
    std::vector<std::string> Log;
    std::vector<std::string> Dropped;

protected:
    void Dispatch(TMessage& Message) override {
        if (Message.Msg != WM_DROPFILES) {
            TForm::Dispatch(Message);
            return;
        }
        auto drop = reinterpret_cast<HDROP>(Message.WParam);
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char path[MAX_PATH] = "";
            DragQueryFileA(drop, i, path, MAX_PATH);
            Dropped.push_back(path);
        }
        DragFinish(drop);
    }
};

// A shown frame for the duration of a test.
class TShownFrame : public TFrameForm {
public:
    TShownFrame() {
        Show();
        List.Focus();
    }
};

// Lets the loop handle what is queued, idle moments included.
void RunLoopFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    RunLoopUntil([&] { return GetTickCount() - start >= milliseconds; });
}

// The menu that the action's menu loop shows, noted and closed from inside
// that loop; null when none showed within two seconds.
HMENU MenuShownBy(const std::function<void()>& act) {
    static HMENU shown;
    shown = nullptr;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu && IsWindowVisible(menu)) {
            shown = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
            EndMenu();
        }
    });
    auto stop = ScopeExit([timer] { KillTimer(nullptr, timer); });
    act();
    RunLoopUntil([] { return shown != nullptr; }, 2000);
    return shown;
}

struct TMenuItemSeen {
    std::string Text;
    bool Enabled;
    bool Checked;
    UINT ID;
};

TMenuItemSeen MenuItemAt(HMENU menu, int position) {
    char text[256] = "";
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_STATE | MIIM_ID;
    info.dwTypeData = text;
    info.cch = sizeof(text);
    EXPECT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) << position;
    return {text, !(info.fState & MFS_DISABLED), (info.fState & MFS_CHECKED) != 0, info.wID};
}

// The menu of a path of positions, from the root.
HMENU SubMenuAt(HMENU menu, std::initializer_list<int> path) {
    for (int position : path)
        menu = GetSubMenu(menu, position);
    return menu;
}

POINT CenterOf(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Click(HWND window, POINT point, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) {
    PostMessageA(window, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(point.x, point.y));
    PostMessageA(window, up, 0, MAKELPARAM(point.x, point.y));
}

} // namespace

TEST(ShortCut, TextsAsWindowsMenusShowThem) {
    const struct {
        TShortCut shortCut;
        const char* text;
    } cases[] = {
        {ShortCut('U', scCtrl | scShift), "Ctrl+Shift+U"},
        {ShortCut(VK_INSERT, scShift), "Shift+Ins"},
        {ShortCut(VK_INSERT), "Ins"},
        {ShortCut(VK_DELETE), "Del"},
        {ShortCut(VK_F2), "F2"},
        {ShortCut(VK_F1), "F1"},
        {ShortCut('Z', scCtrl), "Ctrl+Z"},
        {ShortCut('7', scAlt), "Alt+7"},
        {ShortCut(VK_F4, scCtrl | scAlt), "Ctrl+Alt+F4"},
        {ShortCut(VK_NEXT), "PgDn"},
        {ShortCut(VK_RETURN, scCtrl), "Ctrl+Enter"},
        {ShortCut(VK_NUMPAD5), "Num 5"},
        {scNone, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortCutToText(c.shortCut), c.text);
}

TEST(Action, CategoryIsTheFirstWordAndHintDefaultsToTheCaption) {
    TActionList actions;
    actions.AddActions(kActions);
    const struct {
        const char* name;
        const char* category;
        const char* hint;
    } cases[] = {
        {"FileNewAc", "File", "New"},
        {"EditAddDirectoryAc", "Edit", "Directory..."},
        {"NameUrlDecodeAc", "Name", "URL Decode..."},
        {"HelpContentsAc", "Help", "Contents"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(actions.Action(c.name).Category(), c.category);
        EXPECT_EQ(actions.Action(c.name).Hint(), c.hint);
    }
    EXPECT_ERROR_MESSAGE(EInvalidOperation, actions.Action("FileOpenAc"),
                         "The action list has no action named FileOpenAc.");
}

TEST(FormControls, MenusShowCaptionsShortCutsAndStates) {
    TFrameForm form;
    form.Actions.Action("EditDeleteAc").SetEnabled(false);
    const HMENU bar = form.Menu.Handle();
    EXPECT_EQ(GetMenu(form.Handle()), bar);
    const struct {
        HMENU menu;
        int position;
        TMenuItemSeen expected;
        const char* action;
    } cases[] = {
        {bar, 0, {"&File", true, false, 0}, nullptr},
        {bar, 4, {"&Help", true, false, 0}, nullptr},
        {SubMenuAt(bar, {0}), 0, {"&New\tCtrl+N", true, false, 0}, "FileNewAc"},
        {SubMenuAt(bar, {1}), 0, {"D&elete\tDel", false, false, 0}, "EditDeleteAc"},
        {SubMenuAt(bar, {1}), 2, {"Select &All\tCtrl+A", true, false, 0}, "EditSelectAllAc"},
        {SubMenuAt(bar, {1}), 3, {"A&dd", true, false, 0}, nullptr},
        {SubMenuAt(bar, {1, 3}), 0, {"&Directory...\tShift+Ins", true, false, 0}, "EditAddDirectoryAc"},
        {SubMenuAt(bar, {2}), 0, {"UR&L Decode...\tCtrl+Shift+U", true, false, 0}, "NameUrlDecodeAc"},
        {SubMenuAt(bar, {2}), 1, {"&Enter\tF2", true, false, 0}, "NameEnterAc"},
        {SubMenuAt(bar, {3}), 0, {"&Toolbar", true, true, 0}, "ViewToolbarAc"},
        // The pop-up menu: the same actions without their shortcuts.
        {form.Popup.Handle(), 0, {"D&elete", false, false, 0}, "EditDeleteAc"},
        {SubMenuAt(form.Popup.Handle(), {2}), 0, {"&Directory...", true, false, 0}, "EditAddDirectoryAc"},
        {form.Popup.Handle(), 3, {"Select &All", true, false, 0}, "EditSelectAllAc"},
    };
    for (const auto& c : cases) {
        const TMenuItemSeen seen = MenuItemAt(c.menu, c.position);
        SCOPED_TRACE(c.expected.Text);
        EXPECT_EQ(seen.Text, c.expected.Text);
        EXPECT_EQ(seen.Enabled, c.expected.Enabled);
        EXPECT_EQ(seen.Checked, c.expected.Checked);
        EXPECT_EQ(seen.ID, c.action ? static_cast<UINT>(form.Actions.Action(c.action).CommandId()) : 0u);
    }
    // Items follow their action's changes at once.
    TAction& enter = form.Actions.Action("NameEnterAc");
    enter.SetCaption("&Edit in Place");
    enter.SetEnabled(false);
    const TMenuItemSeen changed = MenuItemAt(SubMenuAt(bar, {2}), 1);
    EXPECT_EQ(changed.Text, "&Edit in Place\tF2");
    EXPECT_FALSE(changed.Enabled);
}

TEST(FormControls, KeepsItsDesignClientSizeBesideTheMenuBar) {
    TFrameForm form;
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, form.Scale(525));
    EXPECT_EQ(client.bottom, form.Scale(402));
    const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_THICKFRAME, WS_THICKFRAME);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, WS_MAXIMIZEBOX);
}

TEST(FormControls, PostedCommandIdsChooseEnabledActionsOnly) {
    TShownFrame form;
    const struct {
        const char* action;
        bool enabled;
        std::vector<std::string> log;
    } cases[] = {
        {"FileNewAc", true, {"FileNewAc"}},
        {"EditAddDirectoryAc", true, {"EditAddDirectoryAc"}},
        {"EditDeleteAc", false, {}},
        // A check item flips before its execute handler runs.
        {"ViewToolbarAc", true, {"ViewToolbarAc off"}},
        {"ViewToolbarAc", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        form.Log.clear();
        TAction& action = form.Actions.Action(c.action);
        action.SetEnabled(c.enabled);
        PostMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(action.CommandId(), 0), 0);
        RunLoopFor(30);
        EXPECT_EQ(form.Log, c.log);
    }
    EXPECT_FALSE(form.Actions.Action("ViewToolbarAc").Checked());
    EXPECT_FALSE(MenuItemAt(SubMenuAt(form.Menu.Handle(), {3}), 0).Checked);
}

TEST(FormControls, ListUpdateAtIdleReportedHandledLeavesTheActionsAlone) {
    TShownFrame form;
    for (bool handled : {true, false}) {
        SCOPED_TRACE(handled);
        int listUpdates = 0;
        int actionUpdates = 0;
        form.Actions.OnUpdate = [&](TActionList&, bool& h) {
            ++listUpdates;
            h = handled;
        };
        form.Actions.Action("EditDeleteAc").OnUpdate = [&](TAction& action) {
            ++actionUpdates;
            action.SetEnabled(false);
        };
        form.Actions.Action("EditDeleteAc").SetEnabled(true);
        EXPECT_TRUE(RunLoopUntil([&] { return listUpdates > 0; }));
        EXPECT_EQ(actionUpdates > 0, !handled);
        EXPECT_EQ(form.Actions.Action("EditDeleteAc").Enabled(), handled);
    }
}

TEST(FormControls, ShortCutsChooseTheirEnabledActions) {
    TShownFrame form;
    const struct {
        TShortCut shortCut;
        const char* disabled;
        std::vector<std::string> log;
    } cases[] = {
        {ShortCut('N', scCtrl), nullptr, {"FileNewAc"}},
        {ShortCut('U', scCtrl | scShift), nullptr, {"NameUrlDecodeAc"}},
        {ShortCut(VK_INSERT, scShift), nullptr, {"EditAddDirectoryAc"}},
        {ShortCut(VK_DELETE), nullptr, {"EditDeleteAc"}},
        {ShortCut('U', scCtrl), nullptr, {}},
        {ShortCut('N'), nullptr, {}},
        // A disabled action lets its key go on to the control.
        {ShortCut(VK_DELETE), "EditDeleteAc", {}},
        // The Help menu's own shortcut.
        {ShortCut(VK_F1), nullptr, {"HelpContentsAc"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ShortCutToText(c.shortCut));
        form.Log.clear();
        for (int i = 0; i < form.Actions.Count(); ++i)
            form.Actions.Actions(i).SetEnabled(!c.disabled || form.Actions.Actions(i).Name() != c.disabled);
        Press(c.shortCut, form.List.Handle());
        EXPECT_EQ(form.Log, c.log);
    }
}

TEST(FormControls, InPlaceEditGetsTheKeysThatAreShortCutsElsewhere) {
    TShownFrame form;
    form.SetRows({"alpha.txt", "beta.txt"});
    std::vector<std::pair<int, std::string>> edited;
    form.List.OnEdited = [&](TListView&, int index, const std::string& text) { edited.emplace_back(index, text); };
    form.List.EditLabel(1);
    ASSERT_TRUE(form.List.IsEditing());
    HWND edit = form.List.EditHandle();
    EXPECT_EQ(GetWindowTextLengthA(edit), 8);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    Press(ShortCut(VK_DELETE), edit);
    Press(ShortCut('A', scCtrl), edit);
    EXPECT_TRUE(form.Log.empty()) << form.Log.front();
    EXPECT_EQ(GetWindowTextLengthA(edit), 0);
    SetWindowTextA(edit, "gamma.txt");
    PostKey(VK_RETURN, edit);
    EXPECT_TRUE(RunLoopUntil([&] { return !form.List.IsEditing(); }));
    RunLoopFor(30);
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0], std::make_pair(1, std::string("gamma.txt")));
    // Closed again, the keys are shortcuts again.
    Press(ShortCut(VK_DELETE), form.List.Handle());
    EXPECT_EQ(form.Log, std::vector<std::string>{"EditDeleteAc"});
}

TEST(FormControls, CancelledInPlaceEditRaisesNoEvent) {
    TShownFrame form;
    form.SetRows({"alpha.txt", "beta.txt"});
    int edits = 0;
    form.List.OnEdited = [&](TListView&, int, const std::string&) { ++edits; };
    form.List.EditLabel(0);
    ASSERT_TRUE(form.List.IsEditing());
    SetWindowTextA(form.List.EditHandle(), "changed.txt");
    PostKey(VK_ESCAPE, form.List.EditHandle());
    EXPECT_TRUE(RunLoopUntil([&] { return !form.List.IsEditing(); }));
    RunLoopFor(30);
    EXPECT_EQ(edits, 0);
    EXPECT_EQ(ListText(form.List.Handle(), 0, 0), "alpha.txt");
}

TEST(FormControls, ListsOwnGestureOpensTheSameInPlaceEdit) {
    TShownFrame form;
    form.SetRows({"alpha.txt", "beta.txt"});
    std::vector<std::pair<int, std::string>> edited;
    form.List.OnEdited = [&](TListView&, int index, const std::string& text) { edited.emplace_back(index, text); };
    SetListViewItemState(form.List.Handle(), 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageA(form.List.Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label));
    Click(form.List.Handle(), CenterOf(label));
    ASSERT_TRUE(RunLoopUntil([&] { return form.List.IsEditing(); }));
    SetWindowTextA(form.List.EditHandle(), "delta.txt");
    PostKey(VK_RETURN, form.List.EditHandle());
    EXPECT_TRUE(RunLoopUntil([&] { return !form.List.IsEditing(); }));
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0], std::make_pair(0, std::string("delta.txt")));
}

TEST(FormControls, ListRowsComeFromTheRowContentEvent) {
    TFrameForm form;
    form.SetRows({"alpha.txt", "beta.txt", std::string(300, 'x')});
    const HWND list = form.List.Handle();
    const struct {
        int row;
        int column;
        std::string text;
    } cases[] = {
        {0, 0, "alpha.txt"}, {1, 0, "beta.txt"},  {1, 1, "old 1"}, {1, 2, "C:\\dir"},
        {2, 0, std::string(259, 'x')},
        // A row the event leaves untouched keeps what the caller's buffer had.
        {3, 0, "untouched"},
    };
    // As the control draws a row, in 260 characters.
    for (const auto& c : cases)
        EXPECT_EQ(ListText(list, c.row, c.column, 260), c.text) << c.row << "," << c.column;
    if (IsDoubleByteCodePage()) {
        // A caption of more bytes than that but fewer characters shows whole;
        // one cut to the room never ends in half a character.
        const std::string wide = "\x82\xa0";
        form.SetRows({std::string(258, 'x') + wide, std::string(259, 'x') + wide});
        EXPECT_EQ(ListText(list, 0, 0, 260), std::string(258, 'x') + wide);
        EXPECT_EQ(ListText(list, 1, 0, 260), std::string(259, 'x'));
    }
    LVITEMA item{};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.iItem = 1;
    item.stateMask = LVIS_STATEIMAGEMASK;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.iImage, 1);
    EXPECT_EQ(item.state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
    EXPECT_EQ(form.List.ColumnCount(), 3);
    EXPECT_EQ(form.List.ColumnCaption(0), "New name  ");
    EXPECT_EQ(form.List.ColumnWidth(1), form.Scale(100));
    form.List.SetColumnWidth(1, 77);
    EXPECT_EQ(form.List.ColumnWidth(1), 77);
}

TEST(FormControls, TheStateChangeEventSeesSelectionFocusAndRanges) {
    TShownFrame form;
    form.SetRows({"a", "b", "c", "d", "e"});
    std::vector<std::pair<int, int>> changes;
    form.List.OnChange = [&](TListView&, int first, int last) { changes.emplace_back(first, last); };
    SetListViewItemState(form.List.Handle(), 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    EXPECT_FALSE(changes.empty());
    EXPECT_EQ(form.List.SelectedCount(), 1);
    EXPECT_EQ(form.List.FocusedIndex(), 1);
    changes.clear();
    // Shift+End selects a range: the owner-data list tells it as one change.
    Press(ShortCut(VK_END, scShift), form.List.Handle());
    EXPECT_EQ(form.List.SelectedCount(), 4);
    const bool sawRange = std::any_of(changes.begin(), changes.end(),
                                      [](const auto& c) { return c.second > c.first; });
    EXPECT_TRUE(sawRange);
    changes.clear();
    form.List.ClearSelection();
    EXPECT_EQ(form.List.SelectedCount(), 0);
    EXPECT_FALSE(changes.empty());
}

TEST(FormControls, ColumnClickTellsTheColumn) {
    TShownFrame form;
    form.SetRows({"a", "b"});
    std::vector<int> clicked;
    form.List.OnColumnClick = [&](TListView&, int column) { clicked.push_back(column); };
    HWND header = reinterpret_cast<HWND>(SendMessageA(form.List.Handle(), LVM_GETHEADER, 0, 0));
    for (int column : {2, 0, 2}) {
        RECT r{};
        SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
        Click(header, CenterOf(r));
        RunLoopFor(30);
    }
    EXPECT_EQ(clicked, (std::vector<int>{2, 0, 2}));
}

TEST(FormControls, ToolButtonsFollowTheirActions) {
    TShownFrame form;
    const HWND bar = form.ToolBar.Handle();
    ASSERT_EQ(form.ToolBar.ButtonCount(), 4);
    EXPECT_EQ(form.ToolBar.ButtonAction(1), nullptr);
    TAction& remove = form.Actions.Action("EditDeleteAc");
    const WPARAM id = static_cast<WPARAM>(remove.CommandId());
    for (bool enabled : {false, true, false}) {
        remove.SetEnabled(enabled);
        EXPECT_EQ(SendMessageA(bar, TB_ISBUTTONENABLED, id, 0) != 0, enabled);
    }
    // The hint is the tool tip.
    HWND tips = reinterpret_cast<HWND>(SendMessageA(bar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    char text[80] = "";
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = bar;
    tool.uId = id;
    tool.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Delete");
    // A click on a disabled button does nothing; on an enabled one it chooses.
    for (bool enabled : {false, true}) {
        form.Log.clear();
        remove.SetEnabled(enabled);
        RECT r{};
        SendMessageA(bar, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
        Click(bar, CenterOf(r));
        RunLoopFor(50);
        EXPECT_EQ(form.Log.size(), enabled ? 1u : 0u);
    }
    // The toolbar is as high as its buttons with their margins.
    const DWORD size = static_cast<DWORD>(SendMessageA(bar, TB_GETBUTTONSIZE, 0, 0));
    const RECT bounds = ChildBounds(bar);
    EXPECT_GE(bounds.bottom - bounds.top, HIWORD(size));
    EXPECT_LE(bounds.bottom - bounds.top, HIWORD(size) + 8);
    EXPECT_EQ(LOWORD(size), static_cast<WORD>(form.Images.Size() + 2 * MulDiv(4, form.PixelsPerInch(), 96)));
}

TEST(FormControls, StatusBarShowsOneText) {
    TFrameForm form;
    EXPECT_EQ(form.StatusBar.SimpleText(), "Ready");
    for (const char* text : {"3 items", "2 items selected", ""}) {
        form.StatusBar.SetSimpleText(text);
        EXPECT_EQ(form.StatusBar.SimpleText(), text);
    }
}

TEST(FormControls, TheListFillsWhatTheVisibleBarsLeave) {
    TShownFrame form;
    const struct {
        bool toolBar;
        bool statusBar;
    } cases[] = {{true, true}, {false, true}, {true, false}, {false, false}, {true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "toolbar " << c.toolBar << ", status bar " << c.statusBar);
        form.ToolBar.SetVisible(c.toolBar);
        form.StatusBar.SetVisible(c.statusBar);
        RECT client;
        GetClientRect(form.Handle(), &client);
        const RECT bar = ChildBounds(form.ToolBar.Handle());
        const RECT status = ChildBounds(form.StatusBar.Handle());
        const int top = c.toolBar ? bar.bottom : 0;
        const int bottom = c.statusBar ? status.top : client.bottom;
        if (c.toolBar) {
            EXPECT_EQ(bar.top, 0);
        }
        if (c.statusBar) {
            EXPECT_EQ(status.bottom, client.bottom);
        }
        const RECT panel = ChildBounds(form.Panel.Handle());
        EXPECT_EQ(panel.left, 0);
        EXPECT_EQ(panel.top, top);
        EXPECT_EQ(panel.right, client.right);
        EXPECT_EQ(panel.bottom, bottom);
        // The list fills the panel.
        RECT inside;
        GetClientRect(form.Panel.Handle(), &inside);
        const RECT list = ChildBounds(form.List.Handle());
        EXPECT_EQ(list.left, 0);
        EXPECT_EQ(list.top, 0);
        EXPECT_EQ(list.right, inside.right);
        EXPECT_EQ(list.bottom, inside.bottom);
    }
    // A new size lays them out again.
    SetWindowPos(form.Handle(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(ChildBounds(form.Panel.Handle()).right, client.right);
    EXPECT_EQ(ChildBounds(form.StatusBar.Handle()).bottom, client.bottom);
}

TEST(FormControls, ImagesButtonsAndColumnsFollowTheResolution) {
    TShownFrame form;
    form.SetRows({"a"});
    const struct {
        int pixelsPerInch;
        int imageSize;
    } cases[] = {{144, 24}, {120, 20}, {96, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pixelsPerInch);
        RECT window;
        GetWindowRect(form.Handle(), &window);
        SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(c.pixelsPerInch, c.pixelsPerInch),
                     reinterpret_cast<LPARAM>(&window));
        EXPECT_EQ(form.Images.Size(), c.imageSize);
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(
                                  SendMessageA(form.List.Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
                              &width, &height);
        EXPECT_EQ(width, c.imageSize);
        const DWORD buttons = static_cast<DWORD>(SendMessageA(form.ToolBar.Handle(), TB_GETBUTTONSIZE, 0, 0));
        EXPECT_EQ(LOWORD(buttons), c.imageSize + 2 * MulDiv(4, c.pixelsPerInch, 96));
        EXPECT_EQ(form.List.ColumnWidth(0), ScaleDesign(100, c.pixelsPerInch));
        RECT client;
        GetClientRect(form.Handle(), &client);
        EXPECT_EQ(client.right, ScaleDesign(525, c.pixelsPerInch));
        EXPECT_EQ(client.bottom, ScaleDesign(402, c.pixelsPerInch));
        EXPECT_EQ(ChildBounds(form.Panel.Handle()).top, ChildBounds(form.ToolBar.Handle()).bottom);
        EXPECT_EQ(ChildBounds(form.StatusBar.Handle()).bottom, client.bottom);
    }
}

TEST(FormControls, TheHourglassShowsOverEveryControl) {
    TShownFrame form;
    const HCURSOR hourglass = LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));
    const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    auto restore = ScopeExit([] { Screen->SetCursor(crDefault); });
    const HWND windows[] = {form.List.Handle(), form.Panel.Handle(), form.ToolBar.Handle(), form.Handle()};
    for (TCursor cursor : {crHourGlass, crDefault}) {
        Screen->SetCursor(cursor);
        EXPECT_EQ(Screen->GetCursor(), cursor);
        for (HWND window : windows) {
            SetCursor(nullptr);
            SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(GetCursor(), cursor == crHourGlass ? hourglass : arrow) << ClassOf(window);
        }
    }
}

TEST(FormControls, AModalFormShowsItsOwnCursorsAndTheHourglassComesBackAfter) {
    TShownFrame form;
    const HCURSOR hourglass = LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));
    const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    auto restore = ScopeExit([] { Screen->SetCursor(crDefault); });
    Screen->SetCursor(crHourGlass);
    const TControlDef controls[] = {{ckButton, "OkButton", 10, 10, 101, 26, "OK", coDefault, mrOk}};
    TForm dialog({"Ask", 200, 60});
    dialog.CreateControls(controls);
    HCURSOR inside = nullptr;
    HCURSOR overOwner = nullptr;
    TIdleScript script({[&] {
        HWND button = dialog.FindControl("OkButton")->Handle();
        SendMessageA(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        inside = GetCursor();
        HWND list = form.List.Handle();
        SendMessageA(list, WM_SETCURSOR, reinterpret_cast<WPARAM>(list), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        overOwner = GetCursor();
        dialog.SetModalResult(mrOk);
    }});
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(inside, arrow);
    EXPECT_EQ(overOwner, arrow);
    EXPECT_EQ(GetCursor(), hourglass);
}

TEST(FormControls, AltAndALetterOpensTheMenuBar) {
    TShownFrame form;
    // What the keyboard makes of Alt+E on the focused list, through the
    // form's dialog keys.
    EXPECT_EQ(MenuShownBy([&] { PostMessageA(form.List.Handle(), WM_SYSCHAR, 'e', 1 | (1 << 29)); }),
              GetSubMenu(form.Menu.Handle(), 1));
}

TEST(FormControls, ContextMenuGesturesOpenThePopupMenu) {
    TShownFrame form;
    form.SetRows({"a", "b"});
    SetListViewItemState(form.List.Handle(), 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    int popups = 0;
    form.Popup.OnPopup = [&](TObject*) { ++popups; };
    const struct {
        const char* gesture;
        std::function<void()> act;
    } cases[] = {
        {"menu key", [&] { Press(ShortCut(VK_APPS), form.List.Handle()); }},
        {"Shift+F10", [&] { Press(ShortCut(VK_F10, scShift), form.List.Handle()); }},
        {"right click", [&] { Click(form.List.Handle(), POINT{30, 30}, WM_RBUTTONDOWN, WM_RBUTTONUP); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gesture);
        popups = 0;
        EXPECT_EQ(MenuShownBy(c.act), form.Popup.Handle());
        EXPECT_EQ(popups, 1);
    }
}

TEST(FormControls, DroppedFilesReachTheFormsDispatch) {
    TShownFrame form;
    const std::vector<std::string> paths = {"C:\\work\\b.txt", "C:\\work\\a.txt", "D:\\photos\\2019 summer"};
    PostMessageA(form.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropBlock(paths)), 0);
    EXPECT_TRUE(RunLoopUntil([&] { return !form.Dropped.empty(); }));
    EXPECT_EQ(form.Dropped, paths);
}

TEST(Application, IdleHandlersRunUntilRemovedAndAOneShotOnlyOnce) {
    int oneShot = 0;
    int steady = 0;
    unsigned oneShotId = 0;
    oneShotId = Application->AddIdleHandler([&](TObject*, bool&) {
        ++oneShot;
        Application->RemoveIdleHandler(oneShotId);
    });
    const unsigned steadyId = Application->AddIdleHandler([&](TObject*, bool&) { ++steady; });
    auto remove = ScopeExit([steadyId] { Application->RemoveIdleHandler(steadyId); });
    EXPECT_TRUE(RunLoopUntil([&] { return steady >= 3; }));
    EXPECT_EQ(oneShot, 1);
    Application->RemoveIdleHandler(steadyId);
    const int seen = steady;
    RunLoopFor(50);
    EXPECT_EQ(steady, seen);
}

TEST(Application, AnIdleHandlerThatThrowsLeavesTheOthersRunning) {
    TShownErrors shown;
    int after = 0;
    unsigned failing = 0;
    failing = Application->AddIdleHandler([&](TObject*, bool&) {
        Application->RemoveIdleHandler(failing);
        throw EInvalidOperation("The idle work failed.");
    });
    const unsigned counting = Application->AddIdleHandler([&](TObject*, bool&) { ++after; });
    auto cleanup = ScopeExit([counting] { Application->RemoveIdleHandler(counting); });
    EXPECT_TRUE(RunLoopUntil([&] { return after > 0; }));
    EXPECT_EQ(shown.Messages, std::vector<std::string>{"The idle work failed."});
}

TEST(ImageList, ResourceBitmapsScaleToTheResolution) {
    const struct {
        int pixelsPerInch;
        int size;
    } cases[] = {{96, 16}, {120, 20}, {144, 24}, {96, 16}};
    TImageList images;
    ASSERT_EQ(images.AddResourceBitmap(GetModuleHandleA(nullptr), 101), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pixelsPerInch);
        images.SetPixelsPerInch(c.pixelsPerInch);
        EXPECT_EQ(images.Size(), c.size);
        ASSERT_EQ(images.Count(), 2);
        // Drawn on white: the middle has the image's colour, the border stays white.
        void* bits = nullptr;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), c.size, -c.size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        TBitmapHandle canvas(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        TDCHandle dc(CreateCompatibleDC(nullptr));
        HGDIOBJ old = SelectObject(dc.Get(), canvas.Get());
        for (int index = 0; index < 2; ++index) {
            std::fill_n(static_cast<DWORD*>(bits), c.size * c.size, 0x00FFFFFFu);
            ImageList_Draw(images.Handle(), index, dc.Get(), 0, 0, ILD_NORMAL);
            GdiFlush();
            const DWORD* pixels = static_cast<const DWORD*>(bits);
            EXPECT_EQ(pixels[(c.size / 2) * c.size + c.size / 2] & 0xFFFFFF, index == 0 ? 0xFF0000u : 0x0000FFu);
            EXPECT_EQ(pixels[0] & 0xFFFFFF, 0xFFFFFFu);
        }
        SelectObject(dc.Get(), old);
    }
}

TEST(ImageList, AMissingBitmapIsDrawnByTheFallbackOrReported) {
    TImageList images;
    EXPECT_ERROR_MESSAGE(EInvalidOperation, images.AddResourceBitmap(GetModuleHandleA(nullptr), 999),
                         "The program could not load the image 999.");
    EXPECT_EQ(images.Count(), 0);
    int drawn = 0;
    EXPECT_EQ(images.AddResourceBitmap(GetModuleHandleA(nullptr), 999, 3,
                                       [&](HDC dc, int size, int index) {
                                           ++drawn;
                                           DrawTestImage(dc, size, index % 2);
                                       }),
              0);
    EXPECT_EQ(images.Count(), 3);
    EXPECT_EQ(drawn, 3);
    // A strip of another count than asked for is unfit too.
    EXPECT_EQ(images.AddResourceBitmap(GetModuleHandleA(nullptr), 101, 5, DrawTestImage), 3);
    EXPECT_EQ(images.Count(), 8);
    // Every source is made again at a new size.
    images.SetPixelsPerInch(144);
    EXPECT_EQ(images.Count(), 8);
    EXPECT_EQ(drawn, 6);
}

TEST(ImageList, IconsAndFillsAreAddedAtTheSize) {
    TImageList images(16);
    images.SetPixelsPerInch(120);
    EXPECT_ERROR_MESSAGE(EInvalidOperation, images.AddResourceIcon(GetModuleHandleA(nullptr), 998),
                         "The program could not load the image 998.");
    EXPECT_EQ(images.AddResourceIcon(GetModuleHandleA(nullptr), 102), 0);
    EXPECT_EQ(images.AddIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32516))), 1); // IDI_INFORMATION
    std::vector<int> sizes;
    EXPECT_EQ(images.AddImages([&](HIMAGELIST list, int size) {
        sizes.push_back(size);
        ImageList_AddIcon(list, LoadIconA(nullptr, MAKEINTRESOURCEA(32515))); // IDI_WARNING
        ImageList_AddIcon(list, LoadIconA(nullptr, MAKEINTRESOURCEA(32515)));
    }),
              2);
    EXPECT_EQ(images.Count(), 4);
    images.SetPixelsPerInch(96);
    EXPECT_EQ(images.Count(), 4);
    EXPECT_EQ(sizes, (std::vector<int>{20, 16}));
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images.Handle(), &width, &height);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
}

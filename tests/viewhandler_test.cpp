// The View handler in a window built as the main window builds it: the View
// actions, the column headers and the settings walk call the handler. Driven
// by posted menu commands and header clicks under the virtual display, with
// "Settings.ini" in a temporary folder.
#include "app/Trel_listedit.h"
#include "app/Trel_viewhandler.h"
#include "support/Vek_rect.h"
#include "support/Vek_window.h"
#include "tests/FormTestSupport.h"
#include "tests/TestSupport.h"

#include <commctrl.h>

#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const TFormDef kFormDef{"Trelvane", 525, 402, bsSizeable, poDefault};

const TControlDef kControls[] = {
    {ckToolBar, "ToolBar1", 0, 0, 525, 30, "", coNone, mrNone, nullptr, alTop},
    {ckStatusBar, "StatusBar1", 0, 380, 525, 22, "", coNone, mrNone, nullptr, alBottom},
    {ckPanel, "Panel1", 0, 30, 525, 350, "", coNone, mrNone, nullptr, alClient},
    {ckListView, "ListView1", 0, 0, 525, 350, "", coMultiSelect | coRowSelect, mrNone, "Panel1", alClient},
};

const TListColumnDef kColumns[] = {
    {"New name  ", 100}, {"Old name", 100}, {"Directory", 100}, {"Type", 100}, {"Result", 100}};

const TActionDef kActions[] = {
    {"ViewToolbarAc", "&Toolbar", scNone, -1, nullptr, aoAutoCheck | aoChecked},
    {"ViewStatusBarAc", "&Status Bar", scNone, -1, nullptr, aoAutoCheck | aoChecked},
    {"ViewRememberPlacementAc", "&Remember Placement", scNone, -1, nullptr, aoAutoCheck | aoChecked},
    {"ViewSortByNewNameAc", "&New Name"},
    {"ViewSortByOldNameAc", "&Old Name"},
    {"ViewSortByDirectoryAc", "&Directory"},
    {"ViewSortByTypeAc", "&Type"},
    {"ViewSortByResultAc", "&Result"},
    {"ViewInvertAc", "&Invert"},
    {"ViewMoveUpAc", "Move &Up"},
    {"ViewMoveDownAc", "Move &Down"},
};

const char* const kButtons[] = {"ViewMoveUpAc", "ViewMoveDownAc"};

// The Sort By action of each column, in column order.
const char* const kSortActions[] = {"ViewSortByNewNameAc", "ViewSortByOldNameAc", "ViewSortByDirectoryAc",
                                    "ViewSortByTypeAc", "ViewSortByResultAc"};

std::string Text(const RECT& rect) {
    return TRectHelper(rect).ToText();
}

// The main window's list, actions and View handler, wired as the main window
// wires them, over rename items of a temporary folder.
class TViewForm : public TForm {
public:
    TViewForm()
        : TForm(kFormDef), Actions(CreateComponent<TActionList>()),
          ToolBar((CreateControls(kControls), Control<TToolBar>("ToolBar1"))),
          StatusBar(Control<TStatusBar>("StatusBar1")), Panel(Control<TPanel>("Panel1")),
          List(Control<TListView>("ListView1")), Model(List.Handle()), Handler(Model, Items, Invoker) {
        Actions.AddActions(kActions);
        AddActionList(Actions);
        ToolBar.SetButtons(Actions, kButtons);
        List.AddColumns(kColumns);
        Handler.SetControls(*this, ToolBar, StatusBar, List);
        Handler.ResetColumnWidths();
        const std::pair<const char*, std::function<void(TAction&)>> calls[] = {
            {"ViewToolbarAc", [this](TAction& a) { Handler.SetToolbarVisible(a.Checked()); }},
            {"ViewStatusBarAc", [this](TAction& a) { Handler.SetStatusBarVisible(a.Checked()); }},
            {"ViewRememberPlacementAc", [this](TAction& a) { Handler.RememberPlacement = a.Checked(); }},
            {"ViewSortByNewNameAc", [this](TAction&) { Handler.SortByNewName(); }},
            {"ViewSortByOldNameAc", [this](TAction&) { Handler.SortByOldName(); }},
            {"ViewSortByDirectoryAc", [this](TAction&) { Handler.SortByDirectory(); }},
            {"ViewSortByTypeAc", [this](TAction&) { Handler.SortByType(); }},
            {"ViewSortByResultAc", [this](TAction&) { Handler.SortByResult(); }},
            {"ViewInvertAc", [this](TAction&) { Handler.Invert(); }},
            {"ViewMoveUpAc", [this](TAction&) { Handler.MoveUp(); }},
            {"ViewMoveDownAc", [this](TAction&) { Handler.MoveDown(); }},
        };
        for (const auto& [name, call] : calls)
            Actions.Action(name).OnExecute = call;
        Actions.OnUpdate = [this](TActionList&, bool& handled) {
            handled = true;
            Actions.Action("ViewToolbarAc").SetChecked(Handler.GetToolbarVisible());
            Actions.Action("ViewStatusBarAc").SetChecked(Handler.GetStatusBarVisible());
            Actions.Action("ViewRememberPlacementAc").SetChecked(Handler.RememberPlacement);
        };
        List.OnColumnClick = [this](TListView&, int column) {
            if (column >= 0 && column < static_cast<int>(std::size(kSortActions)))
                ExecuteCommand(Actions.Action(kSortActions[column]).CommandId());
        };
        List.OnData = [this](TListView&, TListItemData& row) {
            if (row.Index() >= 0 && row.Index() < Model.Count())
                row.SetCaption(Item(row.Index()).NewName);
        };
    }

    TRenameItem& Item(int row) { return *static_cast<TRenameItem*>(Model.Items(row)->GetData()); }

    // New names, blank-separated; "*" after a name marks the row selected, "!" focused.
    void SetRows(const std::string& rows) {
        Model.SetMultiSelect(true);
        Model.Clear();
        std::istringstream in(rows);
        for (std::string word; in >> word;) {
            int state = 0;
            for (; word.back() == '*' || word.back() == '!'; word.pop_back())
                state |= word.back() == '*' ? LVIS_SELECTED : LVIS_FOCUSED;
            auto* item = new TRenameItem(Dir.Path());
            Items.Add(item);
            item->NewName = word;
            const int row = Model.Add();
            Model.Items(row)->SetData(item);
            Model.Items(row)->SetState(state);
        }
        Model.WriteToView(true);
    }

    // The rows as the control shows them, marked as SetRows takes them.
    std::string Rows() const {
        std::string rows;
        for (int i = 0; i < List.ItemCount(); ++i) {
            char text[260] = "";
            LVITEMA item{};
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(List.Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
            const auto state = SendMessageA(List.Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(i),
                                            LVIS_SELECTED | LVIS_FOCUSED);
            rows += (rows.empty() ? "" : " ") + std::string(text) + ((state & LVIS_SELECTED) ? "*" : "") +
                    ((state & LVIS_FOCUSED) ? "!" : "");
        }
        return rows;
    }

    // Chooses the action from the menu as a user does, and lets it run.
    void Choose(const char* action) {
        PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(Actions.Action(action).CommandId(), 0), 0);
        PollUntil([] { return true; });
    }

    // Clicks the column's header; true when the rows then read as expected.
    bool ClickHeader(int column, const std::string& expected) {
        HWND header = reinterpret_cast<HWND>(SendMessageA(List.Handle(), LVM_GETHEADER, 0, 0));
        RECT r{};
        SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
        const LPARAM point = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(header, WM_LBUTTONUP, 0, point);
        return PollUntil([&] { return Rows() == expected; }, std::chrono::milliseconds(2000));
    }

    // The main window's settings walk, into and out of the file.
    void Load(const std::string& file) {
        TMemIniFile iniFile(file);
        TIniSection section;
        section.Push("MainForm");
        section.Push("ViewHandler");
        Handler.LoadSettings(iniFile, section);
        EXPECT_EQ(section.GetSectionName(), "MainForm,ViewHandler");
    }
    void Save(const std::string& file) {
        TMemIniFile iniFile(file);
        TIniSection section;
        section.Push("MainForm");
        section.Push("ViewHandler");
        Handler.SaveSettings(iniFile, section);
        iniFile.UpdateFile();
    }

    RECT NormalBounds() const { return TTopLevelWindow(Handle()).GetNormalBounds(); }

    TTempDir Dir;
    TActionList& Actions;
    TToolBar& ToolBar;
    TStatusBar& StatusBar;
    TPanel& Panel;
    TListView& List;
    // Freed as the main window frees them: the handler, the items, the history, the model.
    TListViewModel Model;
    TInvoker Invoker;
    TObjectList Items;
    TViewHandler Handler;
};

void WriteFile(const std::string& path, const std::string& text) {
    TMemIniFile iniFile(path);
    iniFile.SetText(text);
    iniFile.UpdateFile();
}

} // namespace

TEST(ViewHandler, SortByEachColumnFromTheMenuAndTheHeaderKeepsSelectionAndFocus) {
    TViewForm form;
    form.Show();
    using T = TRenameItemType;
    using R = TRenameItemResult;
    const struct {
        const char* oldName;
        const char* directory;
        TRenameItemType type;
        TRenameItemResult result;
    } fields[] = {
        {"z", "C:\\b", T::RegularFile, R::Failed},  {"y", "C:\\A", T::Directory, R::None},
        {"x", "C:\\a", T::RegularFile, R::Skipped}, {"w", "C:\\b", T::Directory, R::Succeeded},
        {"v", "C:\\c", T::RegularFile, R::None},
    };
    // Names in the locale's order (lower case first), ties in their old order.
    const struct {
        int column;
        int (*compare)(const TRenameItem&, const TRenameItem&);
        const char* expected;
    } cases[] = {
        {0, CompareByNewName, "a.txt A.txt b.txt* B.txt c*!"},
        {1, CompareByOldName, "A.txt c*! a.txt B.txt b.txt*"},
        {2, CompareByDirectory, "a.txt B.txt b.txt* c*! A.txt"},
        {3, CompareByType, "B.txt c*! b.txt* a.txt A.txt"},
        {4, CompareByResult, "B.txt A.txt c*! b.txt* a.txt"},
    };
    for (const auto& c : cases) {
        for (const bool byHeader : {false, true}) {
            SCOPED_TRACE(std::string(kSortActions[c.column]) + (byHeader ? " by header" : " from the menu"));
            form.SetRows("b.txt* B.txt a.txt c*! A.txt");
            for (int row = 0; row < 5; ++row) {
                form.Item(row).OldName = fields[row].oldName;
                form.Item(row).Directory = fields[row].directory;
                form.Item(row).Type = fields[row].type;
                form.Item(row).Result = fields[row].result;
            }
            if (byHeader)
                form.ClickHeader(c.column, c.expected);
            else
                form.Choose(kSortActions[c.column]);
            EXPECT_EQ(form.Rows(), c.expected);
            for (int row = 0; row + 1 < 5; ++row)
                EXPECT_LE(c.compare(form.Item(row), form.Item(row + 1)), 0) << row;
            form.Choose(kSortActions[c.column]);
            EXPECT_EQ(form.Rows(), c.expected) << "sorted again";
        }
    }
}

TEST(ViewHandler, InvertAndMoveKeepSelectionAndFocusWithTheirEntries) {
    TViewForm form;
    form.Show();
    const struct {
        const char* rows;
        const char* action;
        const char* expected;
    } cases[] = {
        {"A* B* C D* E", "ViewMoveUpAc", "A* B* D* C E"},
        {"A* B* C D* E", "ViewMoveDownAc", "C A* B* E D*"},
        {"A B C D* E*", "ViewMoveDownAc", "A B C D* E*"},
        {"A* B C* D E", "ViewMoveUpAc", "A* C* B D E"},
        {"A B C D E*!", "ViewMoveUpAc", "A B C E*! D"},
        {"A B*! C D*", "ViewMoveDownAc", "A C B*! D*"},
        {"A B C", "ViewMoveUpAc", "A B C"},
        {"A B* C D!", "ViewInvertAc", "D! C B* A"},
        {"A*!", "ViewInvertAc", "A*!"},
        {"", "ViewInvertAc", ""},
        {"", "ViewMoveDownAc", ""},
        {"", "ViewSortByNewNameAc", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.action) + " on " + c.rows);
        form.SetRows(c.rows);
        form.Choose(c.action);
        EXPECT_EQ(form.Rows(), c.expected);
        if (std::string(c.action) == "ViewInvertAc") {
            form.Choose(c.action);
            EXPECT_EQ(form.Rows(), c.rows) << "inverted twice";
        }
    }
}

TEST(ViewHandler, SavesEveryKeyInItsSectionInOrder) {
    TViewForm form;
    form.Save(form.Dir / "Settings.ini");
    TMemIniFile iniFile(form.Dir / "Settings.ini");
    TStringList sections;
    iniFile.ReadSections(sections);
    std::vector<std::string> seen;
    for (const std::string& name : Lines(sections)) {
        TStringList keys;
        iniFile.ReadSection(name, keys);
        std::string line = name + ":";
        for (const std::string& key : Lines(keys))
            line += " " + key;
        seen.push_back(line);
    }
    const std::vector<std::string> expected = {
        "MainForm,ViewHandler: ShowToolbar ShowStatusBar RememberPlacement",
        "MainForm,ViewHandler,Form,Bounds: Left Top Right Bottom",
        "MainForm,ViewHandler,Form: State",
        "MainForm,ViewHandler,ListView,Column,0: Width",
        "MainForm,ViewHandler,ListView,Column,1: Width",
        "MainForm,ViewHandler,ListView,Column,2: Width",
        "MainForm,ViewHandler,ListView,Column,3: Width",
        "MainForm,ViewHandler,ListView,Column,4: Width",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(iniFile.ReadString("MainForm,ViewHandler", "ShowToolbar", ""), "1");
    EXPECT_EQ(iniFile.ReadString("MainForm,ViewHandler,Form", "State", ""), "1");
}

TEST(ViewHandler, ToolbarAndStatusBarTogglesLayOutTheListAndPersist) {
    TTempDir dir;
    const std::string file = dir / "Settings.ini";
    for (const bool toolbar : {true, false}) {
        for (const bool statusBar : {true, false}) {
            SCOPED_TRACE(std::to_string(toolbar) + std::to_string(statusBar));
            auto expectLayout = [&](TViewForm& form) {
                EXPECT_EQ(form.Handler.GetToolbarVisible(), toolbar);
                EXPECT_EQ(form.Handler.GetStatusBarVisible(), statusBar);
                RECT client;
                GetClientRect(form.Handle(), &client);
                const RECT panel = ChildBounds(form.Panel.Handle());
                EXPECT_EQ(panel.top, toolbar ? ChildBounds(form.ToolBar.Handle()).bottom : 0);
                EXPECT_EQ(panel.bottom, statusBar ? ChildBounds(form.StatusBar.Handle()).top : client.bottom);
            };
            {
                TViewForm form;
                form.Show();
                if (!toolbar)
                    form.Choose("ViewToolbarAc");
                if (!statusBar)
                    form.Choose("ViewStatusBarAc");
                expectLayout(form);
                form.Save(file);
            }
            TViewForm form;
            form.Load(file);
            expectLayout(form);
            form.UpdateActions();
            EXPECT_EQ(form.Actions.Action("ViewToolbarAc").Checked(), toolbar);
            EXPECT_EQ(form.Actions.Action("ViewStatusBarAc").Checked(), statusBar);
        }
    }
}

TEST(ViewHandler, RememberPlacementDecidesWhetherARestartAppliesPlacementAndWidths) {
    const RECT placed{60, 70, 560, 470};
    for (const bool remember : {true, false}) {
        SCOPED_TRACE(remember);
        TTempDir dir;
        const std::string file = dir / "Settings.ini";
        {
            TViewForm form;
            form.Show();
            TTopLevelWindow(form.Handle()).SetNormalBounds(placed);
            form.List.SetColumnWidth(1, 150);
            if (!remember)
                form.Choose("ViewRememberPlacementAc");
            form.Choose("ViewToolbarAc");
            form.Save(file);
        }
        TViewForm form;
        const std::string first = Text(form.NormalBounds());
        const int firstWidth = form.List.ColumnWidth(1);
        form.Load(file);
        EXPECT_EQ(form.Handler.RememberPlacement, remember);
        EXPECT_FALSE(form.Handler.GetToolbarVisible()) << "applied either way";
        EXPECT_EQ(Text(form.NormalBounds()), remember ? Text(placed) : first);
        EXPECT_EQ(form.List.ColumnWidth(1), remember ? 150 : firstWidth);
        // Off, the file still keeps the placement up to date.
        form.Save(file);
        EXPECT_EQ(TMemIniFile(file).ReadInteger("MainForm,ViewHandler,Form,Bounds", "Left", 0),
                  remember ? placed.left : form.NormalBounds().left);
    }
}

TEST(ViewHandler, StoredBoundsApplyWhereInReachElseTheFirstBounds) {
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    auto keys = [](long long left, long long top, long long right, long long bottom) {
        return "Left=" + std::to_string(left) + "\nTop=" + std::to_string(top) +
               "\nRight=" + std::to_string(right) + "\nBottom=" + std::to_string(bottom);
    };
    const RECT current{30, 40, 430, 340};
    const RECT first{-1, -1, -1, -1}; // stands for the window's first bounds
    const struct {
        const char* what;
        std::string keys;
        RECT expected;
    } cases[] = {
        {"on screen", keys(100, 90, 600, 500), {100, 90, 600, 500}},
        {"partly off, caption in reach", keys(-300, -5, 200, 400), {-300, -5, 200, 400}},
        {"Bottom missing", "Left=50\nTop=60\nRight=450", {50, 60, 450, 340}},
        {"Top not a number", "Bottom=300\nTop=x", {30, 40, 430, 300}},
        {"no keys", "", current},
        {"zero width", keys(100, 90, 100, 500), first},
        {"negative height", keys(100, 500, 600, 90), first},
        {"on a monitor gone to the right", keys(w + 500, 90, w + 900, 500), first},
        {"caption above the screen", keys(100, -300, 600, 200), first},
        {"below the screen", keys(100, h + 10, 600, h + 400), first},
        {"caption edge only", keys(w - 10, 90, w + 490, 500), first},
        {"edges at the extremes", keys(-2147483648LL, -2147483648LL, 2147483647, 2147483647), first},
    };
    TTempDir dir;
    const std::string file = dir / "Settings.ini";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(file, "[MainForm,ViewHandler,Form,Bounds]\n" + c.keys + "\n");
        TViewForm form;
        const RECT firstBounds = form.NormalBounds();
        TTopLevelWindow(form.Handle()).SetNormalBounds(current);
        form.Load(file);
        EXPECT_EQ(Text(form.NormalBounds()), Text(c.expected.left == -1 ? firstBounds : c.expected));
    }
}

TEST(ViewHandler, StoredStateStartsMaximizedOrNormalAndRestoresTheNormalBounds) {
    const RECT normal{80, 90, 580, 490};
    const struct {
        const char* state;
        bool maximized;
    } cases[] = {
        {"3", true}, {"1", false}, {"2", false}, {"6", false}, {"0", false}, {"x", false},
    };
    TTempDir dir;
    const std::string file = dir / "Settings.ini";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        {
            // Closed maximized (or as the case says), the normal rectangle behind it.
            TViewForm form;
            form.Show();
            TTopLevelWindow(form.Handle()).SetNormalBounds(normal);
            ShowWindow(form.Handle(), SW_SHOWMAXIMIZED);
            form.Save(file);
            TMemIniFile iniFile(file);
            EXPECT_EQ(iniFile.ReadInteger("MainForm,ViewHandler,Form", "State", 0), SW_SHOWMAXIMIZED);
            iniFile.WriteString("MainForm,ViewHandler,Form", "State", c.state);
            iniFile.UpdateFile();
        }
        TViewForm form;
        form.Load(file);
        form.Show();
        EXPECT_EQ(IsZoomed(form.Handle()) != FALSE, c.maximized);
        EXPECT_FALSE(IsIconic(form.Handle()));
        EXPECT_TRUE(form.IsVisible());
        ShowWindow(form.Handle(), SW_RESTORE);
        EXPECT_EQ(Text(TTopLevelWindow(form.Handle()).GetBounds()), Text(normal))
            << "the work area starts at the screen's corner here";
    }
}

TEST(ViewHandler, ColumnWidthsStartInSharesAndStoredOnesAreBroughtIntoSight) {
    TTempDir dir;
    const std::string file = dir / "Settings.ini";
    const int screens = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const struct {
        const char* stored;
        int expected; // -1: the width it had
    } cases[] = {{"150", 150}, {"-5", 24}, {"0", 24}, {"1000000", screens}, {"wide", -1}};
    std::string text = "[MainForm,ViewHandler]\nShowToolbar=1\n";
    for (int column = 0; column < 5; ++column)
        text += "[MainForm,ViewHandler,ListView,Column," + std::to_string(column) +
                "]\nWidth=" + cases[column].stored + "\n";
    WriteFile(file, text);
    TViewForm form;
    const int share = form.List.ClientWidth() / 6;
    ASSERT_GT(share, 24);
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(form.List.ColumnWidth(column), column == 0 ? 2 * share : share) << column;
    form.Load(file);
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(form.List.ColumnWidth(column), cases[column].expected < 0 ? share : cases[column].expected)
            << cases[column].stored;
}

// The View menu of the program's main window: its commands chosen from the
// menu and by clicks on the column headers, its settings loaded at the start
// and written at close, with "Settings.ini" in a temporary folder. Rows,
// menus and windows are read back from the controls.
#include "app/dialogs/Trel_insertdialog.h"
#include "app/names/Trel_fileinfo.h"
#include "app/names/Trel_listedit.h"
#include "framework/Fw_inifiles.h"
#include "framework/Fw_scope.h"
#include "support/Vek_rect.h"
#include "support/Vek_window.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/MainFormTestSupport.h"

#include <commctrl.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The Sort By action of each column, in column order.
const char* const kSortActions[] = {"ViewSortByNewNameAc", "ViewSortByOldNameAc", "ViewSortByDirectoryAc",
                                    "ViewSortByTypeAc", "ViewSortByResultAc"};

std::string Text(const RECT& rect) {
    return TRectHelper(rect).ToText();
}

// The main window, with the View menu's own ways in and out.
class TViewBench : public TMainFormBench {
public:
    RECT NormalBounds() { return TTopLevelWindow(Form().Handle()).GetNormalBounds(); }

    // Gives the rows, in order, new names and states: blank-separated names,
    // "*" after a name marks it selected, "!" focused, as ListRows shows them.
    void Fill(const std::string& rows) {
        TListViewModel& model = Form().Model();
        model.ReadFromView(false);
        std::istringstream in(rows);
        int row = 0;
        for (std::string word; in >> word; ++row) {
            int state = 0;
            for (; word.back() == '*' || word.back() == '!'; word.pop_back())
                state |= word.back() == '*' ? LVIS_SELECTED : LVIS_FOCUSED;
            Item(row).NewName = word;
            model.Items(row)->SetState(state);
        }
        model.WriteToView(true);
    }

    // The rows by their new names, selection and focus marked.
    std::string NewNames() { return Rows(0, kRowMarks); }

    void ClickHeader(int column) {
        // The column in sight: the ones before it narrow.
        for (int before = 0; before < column; ++before)
            Form().ListView1.SetColumnWidth(before, 30);
        HWND header = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETHEADER, 0, 0));
        RECT r{};
        SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
        const LPARAM point = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(header, WM_LBUTTONUP, 0, point);
        Settle();
    }

    // Replaces the settings file by the text.
    void WriteSettings(const std::string& text) {
        TMemIniFile iniFile(SettingsFile());
        iniFile.SetText(text);
        iniFile.UpdateFile();
    }
};

} // namespace

TEST(ViewMenu, SortByEachColumnFromTheMenuAndTheHeaderKeepsSelectionAndFocus) {
    TViewBench bench;
    bench.Open(bench.Make("r0 r1 r2 r3 r4"));
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
            bench.Fill("b.txt* B.txt a.txt c*! A.txt");
            for (int row = 0; row < 5; ++row) {
                bench.Item(row).OldName = fields[row].oldName;
                bench.Item(row).Directory = fields[row].directory;
                bench.Item(row).Type = fields[row].type;
                bench.Item(row).Result = fields[row].result;
            }
            if (byHeader)
                bench.ClickHeader(c.column);
            else
                bench.Choose(kSortActions[c.column]);
            EXPECT_EQ(bench.NewNames(), c.expected);
            for (int row = 0; row + 1 < 5; ++row)
                EXPECT_LE(c.compare(bench.Item(row), bench.Item(row + 1)), 0) << row;
            bench.Choose(kSortActions[c.column]);
            EXPECT_EQ(bench.NewNames(), c.expected) << "sorted again";
        }
    }
}

TEST(ViewMenu, InvertAndMoveKeepSelectionAndFocusWithTheirEntries) {
    TViewBench bench;
    bench.Open(bench.Make("r0 r1 r2 r3 r4"));
    const struct {
        const char* rows;
        const char* action;
        const char* expected;
    } cases[] = {
        {"A* B* C D* E", "ViewMoveUpAc", "A* B* D* C E"}, {"A* B* C D* E", "ViewMoveDownAc", "C A* B* E D*"},
        {"A B C D* E*", "ViewMoveDownAc", "A B C D* E*"}, {"A* B C* D E", "ViewMoveUpAc", "A* C* B D E"},
        {"A B C D E*!", "ViewMoveUpAc", "A B C E*! D"},   {"A B*! C D* E", "ViewMoveDownAc", "A C B*! E D*"},
        {"A B* C D! E", "ViewInvertAc", "E D! C B* A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.action) + " on " + c.rows);
        bench.Fill(c.rows);
        bench.Choose(c.action);
        EXPECT_EQ(bench.NewNames(), c.expected);
        if (std::string(c.action) == "ViewInvertAc") {
            bench.Choose(c.action);
            EXPECT_EQ(bench.NewNames(), c.rows) << "inverted twice";
        }
    }
    // Nothing to sort, invert or move.
    TViewBench empty;
    empty.Open();
    for (const char* action : {"ViewInvertAc", "ViewSortByNewNameAc", "ViewSortByResultAc"}) {
        empty.Choose(action);
        EXPECT_EQ(empty.Form().ListView1.ItemCount(), 0);
    }
}

TEST(ViewMenu, SavesEveryKeyInItsSectionInOrder) {
    TViewBench bench;
    bench.Open();
    bench.Close();
    TMemIniFile iniFile(bench.SettingsFile());
    TStringList sections;
    iniFile.ReadSections(sections);
    std::vector<std::string> seen;
    for (const std::string& name : Lines(sections)) {
        if (name.rfind("MainForm,ViewHandler", 0) != 0)
            continue;
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
        "MainForm,ViewHandler,ListView,Column,5: Visible Width",
        "MainForm,ViewHandler,ListView,Column,6: Visible Width",
        "MainForm,ViewHandler,ListView,Column,7: Visible Width",
        "MainForm,ViewHandler,ListView,Column,8: Visible Width",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(iniFile.ReadString("MainForm,ViewHandler", "ShowToolbar", ""), "1");
    EXPECT_EQ(iniFile.ReadString("MainForm,ViewHandler,Form", "State", ""), "1");
}

TEST(ViewMenu, ToolbarAndStatusBarTogglesLayOutTheListAndPersist) {
    for (const bool toolbar : {true, false}) {
        for (const bool statusBar : {true, false}) {
            SCOPED_TRACE(std::to_string(toolbar) + std::to_string(statusBar));
            TViewBench bench;
            auto expectLayout = [&](TTrelMainForm& form) {
                EXPECT_EQ(form.ToolBar1.IsVisible(), toolbar);
                EXPECT_EQ(form.StatusBar1.IsVisible(), statusBar);
                EXPECT_EQ(bench.MenuChecked("ViewToolbarAc"), toolbar);
                EXPECT_EQ(bench.MenuChecked("ViewStatusBarAc"), statusBar);
                RECT client;
                GetClientRect(form.Handle(), &client);
                const RECT panel = ChildBounds(form.Panel1.Handle());
                EXPECT_EQ(panel.top, toolbar ? ChildBounds(form.ToolBar1.Handle()).bottom : 0);
                EXPECT_EQ(panel.bottom,
                          statusBar ? ChildBounds(form.StatusBar1.Handle()).top : client.bottom);
            };
            bench.Open();
            if (!toolbar)
                bench.Choose("ViewToolbarAc");
            if (!statusBar)
                bench.Choose("ViewStatusBarAc");
            expectLayout(bench.Form());
            bench.Close();
            expectLayout(bench.Open());
        }
    }
}

TEST(ViewMenu, RememberPlacementDecidesWhetherARestartAppliesPlacementAndWidths) {
    const RECT placed{60, 70, 560, 470};
    for (const bool remember : {true, false}) {
        SCOPED_TRACE(remember);
        TViewBench bench;
        TTrelMainForm& form = bench.Open();
        const RECT first = bench.NormalBounds();
        const int firstWidth = form.ListView1.ColumnWidth(1);
        TTopLevelWindow(form.Handle()).SetNormalBounds(placed);
        form.ListView1.SetColumnWidth(1, 150);
        if (!remember)
            bench.Choose("ViewRememberPlacementAc");
        bench.Choose("ViewToolbarAc");
        bench.Close();
        bench.Open();
        EXPECT_EQ(bench.MenuChecked("ViewRememberPlacementAc"), remember);
        EXPECT_FALSE(bench.MenuChecked("ViewToolbarAc")) << "applied either way";
        EXPECT_EQ(Text(bench.NormalBounds()), Text(remember ? placed : first));
        EXPECT_EQ(bench.Form().ListView1.ColumnWidth(1), remember ? 150 : firstWidth);
        // Off, the file still keeps the placement up to date.
        bench.Close();
        EXPECT_EQ(
            TMemIniFile(bench.SettingsFile()).ReadInteger("MainForm,ViewHandler,Form,Bounds", "Left", 0),
            remember ? placed.left : first.left);
    }
}

TEST(ViewMenu, StoredBoundsApplyWhereInReachElseTheFirstBounds) {
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    auto keys = [](long long left, long long top, long long right, long long bottom) {
        return "Left=" + std::to_string(left) + "\nTop=" + std::to_string(top) +
               "\nRight=" + std::to_string(right) + "\nBottom=" + std::to_string(bottom);
    };
    // An edge the window has from the start.
    constexpr LONG kFirst = LONG_MIN;
    const struct {
        const char* what;
        std::string keys;
        RECT expected;
    } cases[] = {
        {"on screen", keys(100, 90, 600, 500), {100, 90, 600, 500}},
        {"partly off, caption in reach", keys(-300, -5, 200, 400), {-300, -5, 200, 400}},
        {"Bottom missing", "Left=50\nTop=60\nRight=450", {50, 60, 450, kFirst}},
        {"Top not a number", "Bottom=300\nTop=x", {kFirst, kFirst, kFirst, 300}},
        {"zero width", keys(100, 90, 100, 500), {kFirst, kFirst, kFirst, kFirst}},
        {"negative height", keys(100, 500, 600, 90), {kFirst, kFirst, kFirst, kFirst}},
        {"on a monitor gone to the right", keys(w + 500, 90, w + 900, 500), {kFirst, kFirst, kFirst, kFirst}},
        {"caption above the screen", keys(100, -300, 600, 200), {kFirst, kFirst, kFirst, kFirst}},
        {"below the screen", keys(100, h + 10, 600, h + 400), {kFirst, kFirst, kFirst, kFirst}},
        {"caption edge only", keys(w - 10, 90, w + 490, 500), {kFirst, kFirst, kFirst, kFirst}},
        {"edges at the extremes",
         keys(LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX),
         {kFirst, kFirst, kFirst, kFirst}},
    };
    TViewBench bench;
    bench.Open();
    const RECT first = bench.NormalBounds();
    bench.Close();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bench.WriteSettings("[MainForm,ViewHandler,Form,Bounds]\n" + c.keys + "\n");
        bench.Open();
        auto edge = [](LONG expected, LONG firstEdge) { return expected == kFirst ? firstEdge : expected; };
        const RECT expected{edge(c.expected.left, first.left), edge(c.expected.top, first.top),
                            edge(c.expected.right, first.right), edge(c.expected.bottom, first.bottom)};
        EXPECT_EQ(Text(bench.NormalBounds()), Text(expected));
        bench.Close();
    }
}

TEST(ViewMenu, StoredStateStartsMaximizedOrNormalAndRestoresTheNormalBounds) {
    const RECT normal{80, 90, 580, 490};
    const struct {
        const char* state;
        bool maximized;
    } cases[] = {
        {"3", true}, {"1", false}, {"2", false}, {"6", false}, {"0", false}, {"x", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        TViewBench bench;
        // Closed maximized, the normal rectangle behind it.
        TTrelMainForm& first = bench.Open();
        TTopLevelWindow(first.Handle()).SetNormalBounds(normal);
        ShowWindow(first.Handle(), SW_SHOWMAXIMIZED);
        bench.Close();
        TMemIniFile iniFile(bench.SettingsFile());
        EXPECT_EQ(iniFile.ReadInteger("MainForm,ViewHandler,Form", "State", 0), SW_SHOWMAXIMIZED);
        iniFile.WriteString("MainForm,ViewHandler,Form", "State", c.state);
        iniFile.UpdateFile();
        TTrelMainForm& form = bench.Open();
        EXPECT_EQ(IsZoomed(form.Handle()) != FALSE, c.maximized);
        EXPECT_FALSE(IsIconic(form.Handle()));
        EXPECT_TRUE(form.IsVisible());
        ShowWindow(form.Handle(), SW_RESTORE);
        EXPECT_EQ(Text(TTopLevelWindow(form.Handle()).GetBounds()), Text(normal))
            << "the work area starts at the screen's corner here";
    }
}

TEST(ViewMenu, ColumnWidthsStartInSharesAndStoredOnesAreBroughtIntoSight) {
    TViewBench bench;
    TTrelMainForm& form = bench.Open();
    const int share = form.ListView1.ClientWidth() / 6;
    ASSERT_GT(share, 24);
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(form.ListView1.ColumnWidth(column), column == 0 ? 2 * share : share) << column;
    bench.Close();
    const int screens = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const struct {
        const char* stored;
        int expected; // -1: the width it had
    } cases[] = {{"150", 150}, {"-5", 24}, {"0", 24}, {"1000000", screens}, {"wide", -1}};
    std::string text;
    for (int column = 0; column < 5; ++column)
        text += "[MainForm,ViewHandler,ListView,Column," + std::to_string(column) +
                "]\nWidth=" + cases[column].stored + "\n";
    bench.WriteSettings(text);
    bench.Open();
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(bench.Form().ListView1.ColumnWidth(column),
                  cases[column].expected < 0 ? share : cases[column].expected)
            << cases[column].stored;
}

// ---------------------------------------------------------------- file information

namespace {

// The hour (UTC) of the day.
FILETIME Day(WORD year, WORD month, WORD day, WORD hour = 0) {
    const SYSTEMTIME time{year, month, 0, day, hour, 0, 0, 0};
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    return file;
}

void SetModified(const std::string& path, const FILETIME& time) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
}

std::string ShownDate(const FILETIME& time) {
    return ShortDateTimeText(*LocalFileTime(std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime));
}

} // namespace

TEST(ViewMenu, InfoColumnsShowTheDisksValuesSortPersistAndAreReadAgain) {
    TViewBench bench;
    TTempDir& dir = bench.Dir();
    const std::vector<std::string> paths = {
        dir.MakeFile("big.txt", std::string(5000, 'b')), dir.MakeFile("empty.txt"),
        dir.MakeFile("mid.txt", std::string(1500, 'm')), dir.MakeDir("sub")};
    const FILETIME days[] = {Day(2020, 1, 3), Day(2020, 1, 1), Day(2020, 1, 2), Day(2019, 6, 1)};
    for (size_t i = 0; i < paths.size(); ++i)
        SetModified(paths[i], days[i]);
    TTrelMainForm& form = bench.Open(paths);
    bench.Choose("ViewColumnSizeAc");
    bench.Choose("ViewColumnModifiedAc");
    EXPECT_TRUE(bench.MenuChecked("ViewColumnSizeAc"));
    ASSERT_EQ(form.ListView1.ColumnCount(), 7);
    EXPECT_EQ(form.ListView1.ColumnCaption(6), "Modified");
    const char* const sizes[] = {"5 KB", "0 KB", "2 KB", ""};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(bench.Text(row, 5), sizes[row]) << row;
        EXPECT_EQ(bench.Text(row, 6), ShownDate(days[row])) << row;
    }
    // Ascending, the folder without a size last; by the header as by the menu.
    bench.Choose("ViewSortBySizeAc");
    EXPECT_EQ(bench.Rows(1, 0), "empty.txt mid.txt big.txt sub");
    bench.ClickHeader(6);
    EXPECT_EQ(bench.Rows(1, 0), "sub empty.txt mid.txt big.txt");
    bench.Choose("ViewInvertAc");
    EXPECT_EQ(bench.Rows(1, 0), "big.txt mid.txt empty.txt sub");
    // Off, the next column takes its place; the choice and the widths are kept.
    bench.Choose("ViewColumnSizeAc");
    EXPECT_EQ(form.ListView1.ColumnCaption(5), "Modified");
    form.ListView1.SetColumnWidth(5, 140);
    {
        TBoxCloser clear(IDOK);
        bench.Close();
    }
    TTrelMainForm& again = bench.Open(paths);
    EXPECT_FALSE(bench.MenuChecked("ViewColumnSizeAc"));
    EXPECT_TRUE(bench.MenuChecked("ViewColumnModifiedAc"));
    EXPECT_EQ(again.ListView1.ColumnWidth(5), 140);
    // Read again: after a rename the renamed entry, after F5 every entry.
    SetModified(paths[1], Day(2018, 1, 1));
    SetModified(paths[2], Day(2018, 1, 2));
    bench.Item(1).NewName = "renamed.txt";
    bench.Choose("RenamePerformAc");
    EXPECT_EQ(bench.Text(1, 5), ShownDate(Day(2018, 1, 1)));
    EXPECT_EQ(bench.Text(2, 5), ShownDate(days[2]));
    Press(ShortCut(VK_F5), bench.List());
    EXPECT_EQ(bench.Text(2, 5), ShownDate(Day(2018, 1, 2)));
}

TEST(ViewMenu, DateTakenOfAFolderOfPhotosWithADamagedOneIsReadOnTheWorker) {
    TViewBench bench;
    const std::string jpeg = ResourceBytes("TAKEN_JPG");
    // More photos than are read without the progress dialog; the first one
    // cut off in its EXIF block, the last one no photo by its name.
    std::vector<std::string> paths = {bench.Dir().MakeFile("damaged.jpg", jpeg.substr(0, 120))};
    for (int i = 10; i < 80; ++i)
        paths.push_back(bench.Dir().MakeFile("photo" + std::to_string(i) + ".JPG", jpeg));
    paths.push_back(bench.Dir().MakeFile("photo.txt", jpeg));
    bench.Open(paths);
    bench.Choose("ViewColumnDateTakenAc");
    const std::string taken = ShortDateTimeText({2021, 7, 14, 9, 30, 5});
    EXPECT_EQ(bench.Text(0, 5), "");
    EXPECT_EQ(bench.Text(1, 5), taken);
    EXPECT_EQ(bench.Text(70, 5), taken);
    EXPECT_EQ(bench.Text(71, 5), "");
    bench.Choose("ViewSortByDateTakenAc");
    EXPECT_EQ(bench.Text(0, 1), "photo10.JPG");
    EXPECT_EQ(bench.Text(70, 1), "damaged.jpg");
    EXPECT_EQ(bench.Text(71, 1), "photo.txt");
}

// The dates come from the disk as the columns' do, read when the step is
// applied; a photo without a date taken gives its Modified date.
TEST(ViewMenu, FileDatesAndFolderNamesGoIntoNewNamesThroughTheInsertDialog) {
    Application->FreeForms();
    TViewBench bench;
    TShownErrors errors;
    const std::string jpeg = ResourceBytes("TAKEN_JPG");
    const std::vector<std::string> paths = {bench.Dir().MakeFile("a.jpg", jpeg),
                                            bench.Dir().MakeFile("b.jpg", jpeg.substr(0, 120)),
                                            bench.Dir().MakeFile("c.txt")};
    const FILETIME noon = Day(2020, 1, 2, 12);
    SetModified(paths[1], noon);
    SetModified(paths[2], noon);
    bench.Open(paths);
    bench.Select("0 1 2");
    TTrelInsertDialog& insert = Application->Dialog<TTrelInsertDialog>();
    std::string preview;
    {
        TIdleScript script({[&] { ClickControl(insert.FileDateRadioButton); },
                            [&] {
                                PostKey(VK_DOWN, insert.DateComboBox->Handle());
                                PostKey(VK_DOWN, insert.DateComboBox->Handle());
                            },
                            [&] { Retype(insert.DateFormatEdit, "yyyymmdd "); },
                            [&] {
                                EXPECT_TRUE(RunLoopUntil(
                                    [&] { return insert.Preview().Text().find("20") != std::string::npos; }));
                                preview = insert.Preview().Text();
                                ClickControl(insert.OkButton);
                            }});
        Press(ShortCut('D', scCtrl), bench.List());
    }
    EXPECT_EQ(preview, "a.jpg -> 20210714 a.jpg; the dates of the other 2 entries are read on OK.");
    EXPECT_EQ(bench.Rows(0), "20210714 a.jpg* 20200102 b.jpg* 20200102 c.txt*");
    // The folder's name, at the tail of the base name: a second undoable edit.
    insert.Values.Position = ipTail;
    insert.Values.Source.Kind = skFolderName;
    {
        TIdleScript script({[&] { ClickControl(insert.OkButton); }});
        Press(ShortCut('D', scCtrl), bench.List());
    }
    const std::string folder = TPath(bench.Dir().Path()).GetName();
    EXPECT_EQ(bench.Text(0, 0), "20210714 a" + folder + ".jpg");
    Press(ShortCut('Z', scCtrl), bench.List());
    EXPECT_EQ(bench.Text(0, 0), "20210714 a.jpg");
    EXPECT_TRUE(errors.Messages.empty());
    Application->FreeForms();
}

TEST(ViewMenu, ShownInfoColumnsComeBackWhetherPlacementIsRememberedOrNot) {
    TViewBench bench;
    const int share = bench.Open().ListView1.ClientWidth() / 6;
    bench.Close();
    bench.WriteSettings("[MainForm,ViewHandler]\nRememberPlacement=0\n"
                        "[MainForm,ViewHandler,ListView,Column,7]\nVisible=1\nWidth=90\n");
    TTrelMainForm& form = bench.Open();
    EXPECT_TRUE(bench.MenuChecked("ViewColumnCreatedAc"));
    ASSERT_EQ(form.ListView1.ColumnCount(), 6);
    EXPECT_EQ(form.ListView1.ColumnCaption(5), "Created");
    EXPECT_EQ(form.ListView1.ColumnWidth(5), share) << "the stored width is not applied";
}

TEST(FileInfo, ACancelKeepsWhatWasReadAndTheRestWaitsForARefreshOrARename) {
    TTempDir first, second;
    TRenameItem a(first.MakeFile("a.txt", "abc")), sub(first.MakeDir("sub")),
        gone(first.MakeFile("gone.txt"));
    TRenameItem b(second.MakeFile("b.txt", "abcde"));
    DeleteFileA((first / "gone.txt").c_str());
    std::vector<TFileInfoRequest> requests;
    for (TRenameItem* item : {&a, &sub, &gone, &b})
        requests.push_back(FileInfoRequest(*item, false));
    std::vector<TFileInfo> answers;
    // Stopped after the first directory.
    EXPECT_FALSE(ReadFileInfo(requests, answers, [](std::size_t answered) { return answered == 0; }));
    ApplyFileInfo(requests, answers);
    EXPECT_EQ(a.Info.Size.value_or(0), 3u);
    EXPECT_TRUE(!sub.Info.Size && sub.Info.Modified != 0) << "a directory has dates, no size";
    EXPECT_TRUE(!gone.Info.Size && gone.Info.Modified == 0);
    EXPECT_FALSE(b.Info.Size);
    EXPECT_FALSE(NeedsFileInfo(b, false));
    EXPECT_TRUE(NeedsFileInfo(b, true)) << "the date taken was not asked";
    a.OldName = "c.txt";
    EXPECT_TRUE(NeedsFileInfo(a, false));
}

TEST(FileInfo, SortKeysOrderAsTheValuesWithoutAValueLastAndPhotosGoByTheirExtension) {
    TTempDir dir;
    TRenameItem item(dir.MakeFile("a.txt"));
    auto sizeKey = [&](std::optional<std::uint64_t> size) {
        item.Info.Size = size;
        return SortKeyByInfo(item, TInfoColumn::Size);
    };
    const std::vector<std::string> ascending = {sizeKey(0),          sizeKey(255),
                                                sizeKey(256),        sizeKey(1ULL << 32),
                                                sizeKey(1ULL << 40), sizeKey(std::nullopt)};
    for (size_t i = 0; i + 1 < ascending.size(); ++i)
        EXPECT_LT(ascending[i], ascending[i + 1]) << i;
    item.Info.Taken = TDateParts{2021, 7, 14, 9, 30, 5};
    const std::string taken = SortKeyByInfo(item, TInfoColumn::DateTaken);
    item.Info.Taken = TDateParts{2021, 7, 14, 9, 30, 6};
    EXPECT_LT(taken, SortKeyByInfo(item, TInfoColumn::DateTaken));
    for (const char* name : {"a.JPG", "b.jpeg", "c.Tiff", "d.tif", "e.jfif"})
        EXPECT_TRUE(IsPhotoName(name)) << name;
    for (const char* name : {"a.png", "b.jpg.txt", "jpg", "c.heic"})
        EXPECT_FALSE(IsPhotoName(name)) << name;
}

// The Edit handler over a real list control, the real clipboard and the real
// system dialogs, answered as a user answers them.
#include "app/commands/Trel_actioncommand.h"
#include "app/commands/Trel_listeditcommand.h"
#include "app/commands/Trel_nameeditcommand.h"
#include "app/handlers/Trel_edithandler.h"
#include "tests/common/DialogTestSupport.h"
#include "tests/common/RenameTestSupport.h"

#include <commctrl.h>

#include <functional>
#include <sstream>

namespace {

// The main window's shared objects and its Edit handler, over a folder of
// files that is the current directory while the bench lives.
class TEditHandlerBench : public TListBench {
public:
    TEditHandlerBench() : FCurrent(FDir.Path()), FHandler(FModel, FItems, FInvoker) {}

    TEditHandler& Handler() { return FHandler; }

    // Makes the names (see MakeEntries) and adds them through AddPaths.
    void Add(const std::string& names) {
        TStringList paths;
        for (const std::string& path : FDir.MakeEntries(names))
            paths.Add(path);
        FHandler.AddPaths(paths);
    }

    // The rows by their old names, the selection marked.
    std::string Rows() { return RowsBy(&TRenameItem::OldName, LVIS_SELECTED); }
    // Rows, items and history in one line.
    std::string State() { return Rows() + " | " + std::to_string(FItems.Count()) + " items, " + History(); }

    // Selects exactly the rows at the blank-separated indexes, as a user does
    // in the control.
    void Select(const std::string& rows) {
        SetListViewItemState(FView.Handle(), -1, 0, LVIS_SELECTED);
        std::istringstream in(rows);
        for (int row; in >> row;)
            SetListViewItemState(FView.Handle(), row, LVIS_SELECTED, LVIS_SELECTED);
    }

private:
    TCurrentDirectory FCurrent;
    TEditHandler FHandler;
};

const char* const kCannotAdd = "The program can not add files to the list.";
const char* const kNothingToAdd = "No files to add to the list.";

// A command of the user's history that is not an edit, as a rename is.
class TOtherAction : public TActionCommand {
public:
    void Execute() override { Flags += kCommandDone; }
    void Undo() override { Flags += kCommandDone; }
    void Redo() override { Flags += kCommandDone; }
};

} // namespace

// ---------------------------------------------------------------- AddPaths

TEST(EditHandler, AddPathsAddsNewFilesOnceInTheGivenOrder) {
    const struct {
        const char* what;
        const char* existing; // added before, then deselected
        const char* files;    // made on disk only
        std::vector<std::string> lines;
        const char* error;
        const char* rows;
    } cases[] = {
        {"given order kept",
         "",
         "b.txt a.txt c.txt",
         {"b.txt", "a.txt", "c.txt"},
         "",
         "b.txt* a.txt* c.txt*"},
        {"relative to the current directory",
         "",
         "a.txt sub\\",
         {"a.txt", ".\\sub", "sub\\..\\a.txt"},
         "",
         "a.txt* sub*"},
        {"a duplicate in the batch, case differing",
         "",
         "a.txt b.txt",
         {"a.txt", "b.txt", "A.TXT", "B.txt"},
         "",
         "a.txt* b.txt*"},
        {"known entries skipped", "a.txt", "b.txt", {"A.TXT", "b.txt", "a.txt"}, "", "a.txt b.txt*"},
        {"everything known", "a.txt b.txt", "", {"B.txt", "a.TXT"}, kNothingToAdd, "a.txt b.txt"},
        {"nothing given", "a.txt", "", {}, kNothingToAdd, "a.txt"},
        {"an empty line adds nothing", "", "a.txt b.txt", {"a.txt", "", "b.txt"}, kCannotAdd, ""},
        {"a missing file adds nothing", "", "a.txt", {"a.txt", "missing.txt"}, kCannotAdd, ""},
        {"an invalid character", "", "a.txt", {"a.txt", "a?.txt"}, kCannotAdd, ""},
        {"260 characters", "", "a.txt", {"a.txt", std::string(256, 'x') + ".txt"}, kCannotAdd, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEditHandlerBench bench;
        if (*c.existing) {
            bench.Add(c.existing);
            bench.Select("");
        }
        bench.Dir().MakeEntries(c.files);
        const int items = bench.Items().Count();
        const int undo = bench.Invoker().UndoCommands().Count();
        TStringList lines;
        for (const std::string& line : c.lines)
            lines.Add(line);
        EXPECT_EQ(ErrorOf([&] { bench.Handler().AddPaths(lines); }), c.error);
        EXPECT_EQ(bench.Rows(), c.rows);
        // A failed batch leaves no item and no step behind; a good one adds
        // one item per row and one step.
        const bool failed = *c.error != '\0';
        EXPECT_EQ(bench.Items().Count(), failed ? items : bench.Model().Count());
        EXPECT_EQ(bench.Invoker().UndoCommands().Count(), failed ? undo : undo + 1);
    }
}

TEST(EditHandler, AddedEntriesAreLongFullPathsWithTheirType) {
    TEditHandlerBench bench;
    bench.Dir().MakeEntries("dir\\ file.txt");
    char shortPath[MAX_PATH] = "";
    ASSERT_NE(GetShortPathNameA((bench.Dir() / "file.txt").c_str(), shortPath, MAX_PATH), 0u);
    TStringList lines;
    lines.Add("dir");
    lines.Add(shortPath);
    bench.Handler().AddPaths(lines);
    ASSERT_EQ(bench.Model().Count(), 2);
    EXPECT_EQ(bench.Item(0)->GetPath().GetPath(), bench.Dir() / "dir");
    EXPECT_EQ(bench.Item(0)->Type, TRenameItemType::Directory);
    EXPECT_EQ(bench.Item(1)->GetPath().GetPath(), bench.Dir() / "file.txt");
    EXPECT_EQ(bench.Item(1)->Type, TRenameItemType::RegularFile);
    EXPECT_EQ(bench.Item(1)->NewName, "file.txt");
}

TEST(EditHandler, ADuplicateIsJudgedByTheEntriesCurrentPaths) {
    const struct {
        const char* what;
        std::function<void(TRenameItem&)> change;
        const char* line;
        const char* rows;
    } cases[] = {
        {"a new name is no path", [](TRenameItem& item) { item.NewName = "b.txt"; }, "b.txt", "a.txt b.txt*"},
        {"a renamed entry no longer holds its old path",
         [](TRenameItem& item) {
             EXPECT_TRUE(MoveFileA(item.GetPath().GetPath().c_str(), (item.Directory + "\\c.txt").c_str()));
             item.OldName = "c.txt";
         },
         "a.txt", "c.txt a.txt*"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEditHandlerBench bench;
        bench.Add("a.txt");
        c.change(*bench.Item(0));
        bench.Dir().MakeEntries(c.line);
        TStringList lines;
        lines.Add(c.line);
        bench.Handler().AddPaths(lines);
        EXPECT_EQ(bench.Rows(), c.rows);
    }
}

TEST(EditHandler, SelectNewPathsComparesNamesAsTheFileSystemDoes) {
    const struct {
        const char* what;
        std::vector<std::string> known;
        std::vector<std::string> candidates;
        std::vector<bool> added;
        // Bytes of code page 1252, which are no text under UTF-8.
        bool legacyOnly = false;
    } cases[] = {
        {"letter case",
         {"C:\\d\\a.txt"},
         {"c:\\D\\A.TXT", "C:\\d\\b.txt", "C:\\D\\B.txt"},
         {false, true, false}},
        {"first of the batch wins", {}, {"C:\\x", "C:\\y", "C:\\X", "C:\\x"}, {true, true, false, false}},
        // Names a locale's collation takes for equal are still two files.
        {"sharp s and ss",
         {"C:\\d\\Stra\xDF"
          "e.txt"},
         {"C:\\d\\Strasse.txt", "C:\\d\\STRA\xDF"
                                "E.TXT"},
         {true, false}},
        {"ligature and letters", {"C:\\d\\\xE6on"}, {"C:\\d\\aeon", "C:\\d\\\xC6ON"}, {true, false}, true},
        {"soft hyphen",
         {"C:\\d\\ab"},
         {"C:\\d\\a\xAD"
          "b"},
         {true}},
        {"nothing known", {}, {}, {}},
    };
    for (const auto& c : cases) {
        if (!c.legacyOnly || GetACP() != CP_UTF8) {
            EXPECT_EQ(SelectNewPaths(c.known, c.candidates), c.added) << c.what;
        }
    }
}

// ---------------------------------------------------------------- clipboard

TEST(EditHandler, PasteSplitsTheClipboardIntoLines) {
    const struct {
        const char* what;
        std::string text;
        const char* error;
        const char* rows;
    } cases[] = {
        {"CR LF", "a.txt\r\nb.txt\r\n", "", "a.txt* b.txt*"},
        {"LF", "a.txt\nb.txt\n", "", "a.txt* b.txt*"},
        {"lone CR", "a.txt\rb.txt", "", "a.txt* b.txt*"},
        {"no break at the end", "a.txt\r\nb.txt", "", "a.txt* b.txt*"},
        {"an empty middle line", "a.txt\r\n\r\nb.txt\r\n", kCannotAdd, ""},
        {"two breaks at the end", "a.txt\n\n", kCannotAdd, ""},
        {"blanks are kept", " a.txt\r\n", kCannotAdd, ""},
        {"the same path twice", "a.txt\r\nA.TXT\r\n", "", "a.txt*"},
        {"no text", "", kNothingToAdd, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEditHandlerBench bench;
        bench.Dir().MakeEntries("a.txt b.txt");
        SetClipboardText(c.text);
        EXPECT_EQ(ErrorOf([&] { bench.Handler().Paste(); }), c.error);
        EXPECT_EQ(bench.Rows(), c.rows);
    }
}

TEST(EditHandler, CopyPutsTheSelectedPathsInListOrder) {
    const struct {
        const char* selected;
        std::vector<std::string> names;
    } cases[] = {
        {"0 2 4", {"a", "c", "e"}},
        {"3", {"d"}},
        {"4 0 1 2 3", {"a", "b", "c", "d", "e"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected);
        TEditHandlerBench bench;
        bench.Add("a b c d e");
        std::string expected;
        for (const std::string& name : c.names)
            expected += bench.Dir() / name + "\r\n";
        bench.Select(c.selected);
        bench.Handler().Copy();
        EXPECT_EQ(ClipboardText(), expected);
        EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 1) << "a copy is no step";
    }
}

TEST(EditHandler, CutCopiesAndDeletesInOneStep) {
    TEditHandlerBench bench;
    bench.Add("a b c");
    bench.Select("0 2");
    bench.Handler().Cut();
    EXPECT_EQ(ClipboardText(), bench.Dir() / "a" + "\r\n" + bench.Dir() / "c" + "\r\n");
    EXPECT_EQ(bench.State(), "b | 3 items, 2 undo, 0 redo");
    bench.Handler().Undo();
    EXPECT_EQ(bench.State(), "b a* c* | 3 items, 1 undo, 1 redo");
}

// ---------------------------------------------------------------- delete and history

TEST(EditHandler, DeleteOfScatteredRowsIsOneStep) {
    TEditHandlerBench bench;
    bench.Add("a b c d e f");
    bench.Select("1 4");
    bench.Handler().Delete();
    EXPECT_EQ(bench.State(), "a c d f | 6 items, 2 undo, 0 redo");
    bench.Handler().Undo();
    EXPECT_EQ(bench.State(), "a c d f b* e* | 6 items, 1 undo, 1 redo");
    bench.Handler().Redo();
    EXPECT_EQ(bench.State(), "a c d f | 6 items, 2 undo, 0 redo");
}

TEST(EditHandler, UndoAndRedoActOnlyOnEdits) {
    const struct {
        const char* what;
        std::function<void(TEditHandlerBench&)> prepare;
        bool canUndo;
        bool canRedo;
    } cases[] = {
        {"nothing done", [](TEditHandlerBench&) {}, false, false},
        {"an add undone",
         [](TEditHandlerBench& b) {
             b.Add("a");
             b.Handler().Undo();
         },
         false, true},
        {"a name edit",
         [](TEditHandlerBench& b) {
             b.Add("a");
             auto* command = new TNameEditCommand(b.Model());
             command->SubCommands().PendingCommands().Add(new TSetSubCommand(b.Item(0), "b"));
             b.Run(command);
         },
         true, false},
        {"another action on top",
         [](TEditHandlerBench& b) {
             b.Add("a");
             b.Run(new TOtherAction());
         },
         false, false},
        {"another action undone",
         [](TEditHandlerBench& b) {
             b.Add("a");
             b.Run(new TOtherAction());
             b.Invoker().Undo();
         },
         true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEditHandlerBench bench;
        c.prepare(bench);
        EXPECT_EQ(bench.Handler().CanUndo(), c.canUndo);
        EXPECT_EQ(bench.Handler().CanRedo(), c.canRedo);
        const std::string before = bench.State();
        if (!c.canUndo) {
            EXPECT_ERROR_MESSAGE(EHandlerError, bench.Handler().Undo(), "The program cannot undo anything.");
            EXPECT_EQ(bench.State(), before);
        }
        if (!c.canRedo) {
            EXPECT_ERROR_MESSAGE(EHandlerError, bench.Handler().Redo(), "The program cannot redo anything.");
            EXPECT_EQ(bench.State(), before);
        }
    }
}

// ---------------------------------------------------------------- selection

TEST(EditHandler, SelectionCommandsReplaceTheSelection) {
    const struct {
        const char* what;
        std::function<void(TEditHandler&)> command;
        const char* rows;
    } cases[] = {
        {"all", [](TEditHandler& h) { h.SelectAll(); }, "d1* f1* d2* f2* f3*"},
        {"reverse", [](TEditHandler& h) { h.ReverseSelection(); }, "d1* f1 d2* f2* f3"},
        {"directories", [](TEditHandler& h) { h.SelectByType(TRenameItemType::Directory); },
         "d1* f1 d2* f2 f3"},
        {"files", [](TEditHandler& h) { h.SelectByType(TRenameItemType::RegularFile); }, "d1 f1* d2 f2* f3*"},
        {"succeeded", [](TEditHandler& h) { h.SelectByResult(TRenameItemResult::Succeeded); },
         "d1 f1* d2 f2 f3*"},
        {"failed", [](TEditHandler& h) { h.SelectByResult(TRenameItemResult::Failed); }, "d1 f1 d2* f2 f3"},
        {"skipped, none there", [](TEditHandler& h) { h.SelectByResult(TRenameItemResult::Skipped); },
         "d1 f1 d2 f2 f3"},
        {"none", [](TEditHandler& h) { h.SelectByResult(TRenameItemResult::None); }, "d1* f1 d2 f2* f3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEditHandlerBench bench;
        bench.Add("d1\\ f1 d2\\ f2 f3");
        const TRenameItemResult results[] = {TRenameItemResult::None, TRenameItemResult::Succeeded,
                                             TRenameItemResult::Failed, TRenameItemResult::None,
                                             TRenameItemResult::Succeeded};
        for (int row = 0; row < 5; ++row)
            bench.Item(row)->Result = results[row];
        bench.Select("1 4");
        c.command(bench.Handler());
        EXPECT_EQ(bench.Rows(), c.rows);
        EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 1) << "a selection is no step";
    }
}

// ---------------------------------------------------------------- settings

TEST(EditHandler, SettingsRoundTrip) {
    // Read into a handler whose filter index is 2 and whose shortcuts are not
    // followed; then written back.
    const struct {
        const char* what;
        const char* text;
        bool dereference;
        int filterIndex;
    } cases[] = {
        {"nothing stored", "", false, 2},
        {"both stored",
         "[MainForm,EditHandler]\nDereferenceShortcuts=1\n"
         "[MainForm,EditHandler,AddRegularFilesDialog]\nFilterIndex=4\n",
         true, 4},
        {"any non-zero is true", "[MainForm,EditHandler]\nDereferenceShortcuts=7\n", true, 2},
        {"zero is false", "[MainForm,EditHandler]\nDereferenceShortcuts=0\n", false, 2},
        {"not numbers",
         "[MainForm,EditHandler]\nDereferenceShortcuts=yes\n"
         "[MainForm,EditHandler,AddRegularFilesDialog]\nFilterIndex=two\n",
         false, 2},
        {"keys of another section", "[MainForm]\nDereferenceShortcuts=1\nFilterIndex=5\n", false, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEditHandlerBench bench;
        TIniSection section;
        section.Push("MainForm");
        section.Push("EditHandler");
        TMemIniFile start(bench.Dir() / "Start.ini");
        start.SetText("[MainForm,EditHandler]\nDereferenceShortcuts=0\n"
                      "[MainForm,EditHandler,AddRegularFilesDialog]\nFilterIndex=2\n");
        bench.Handler().LoadSettings(start, section);
        TMemIniFile ini(bench.Dir() / "Settings.ini");
        ini.SetText(c.text);
        bench.Handler().LoadSettings(ini, section);
        EXPECT_EQ(bench.Handler().GetDereferenceShortcuts(), c.dereference);
        EXPECT_EQ((bench.Handler().AddDialog().Options() & ofNoDereferenceLinks) == 0, c.dereference);
        EXPECT_EQ(bench.Handler().AddDialog().FilterIndex(), c.filterIndex);
        TMemIniFile saved(bench.Dir() / "Saved.ini");
        bench.Handler().SaveSettings(saved, section);
        EXPECT_EQ(saved.GetText(),
                  Format("[MainForm,EditHandler,AddRegularFilesDialog]\r\nFilterIndex=%d\r\n\r\n"
                         "[MainForm,EditHandler]\r\nDereferenceShortcuts=%d\r\n",
                         c.filterIndex, c.dereference ? 1 : 0));
        EXPECT_EQ(section.GetSectionName(), "MainForm,EditHandler") << "the stack comes back as it went";
    }
}

// ---------------------------------------------------------------- the dialogs

TEST(EditHandler, AddRegularFilesAddsTheChosenFiles) {
    TEditHandlerBench bench;
    bench.Add("old.txt");
    bench.Dir().MakeEntries("a.txt b.txt");
    TDialogAnswerer answerer({{"\"b.txt\" \"a.txt\""}, {"old.txt"}});
    bench.Handler().AddRegularFiles();
    EXPECT_EQ(bench.State(), "old.txt b.txt* a.txt* | 3 items, 2 undo, 0 redo");
    EXPECT_EQ(ErrorOf([&] { bench.Handler().AddRegularFiles(); }), kNothingToAdd);
    ASSERT_EQ(answerer.Seen.size(), 2u);
    EXPECT_EQ(answerer.Seen[0].Caption, "Add");
    EXPECT_EQ(answerer.Seen[1].NameBox, "") << "the last choice is not offered again";
}

TEST(EditHandler, CancelledDialogsChangeNothing) {
    const struct {
        const char* what;
        std::function<void(TEditHandler&)> command;
    } cases[] = {
        {"regular files", [](TEditHandler& h) { h.AddRegularFiles(); }},
        {"directory", [](TEditHandler& h) { h.AddDirectory(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEditHandlerBench bench;
        bench.Add("a.txt");
        const std::string before = bench.State();
        const std::string directory = CurrentDirectory();
        TDialogAnswerer answerer({{"", IDCANCEL}});
        EXPECT_EQ(ErrorOf([&] { c.command(bench.Handler()); }), "abort");
        EXPECT_EQ(bench.State(), before);
        EXPECT_EQ(CurrentDirectory(), directory);
    }
}

TEST(EditHandler, AddDirectoryAddsTheChosenDirectoryItself) {
    TEditHandlerBench bench;
    bench.Dir().MakeEntries("photos\\ photos\\inside.txt");
    const TCurrentDirectory start(bench.Dir() / "photos");
    TDialogAnswerer answerer({TDialogAnswer{}});
    bench.Handler().AddDirectory();
    EXPECT_EQ(bench.State(), "photos* | 1 items, 1 undo, 0 redo");
    EXPECT_EQ(bench.Item(0)->Type, TRenameItemType::Directory);
    EXPECT_EQ(bench.Item(0)->Directory, bench.Dir().Path());
    EXPECT_EQ(CurrentDirectory(), bench.Dir() / "photos");
    ASSERT_EQ(answerer.Seen.size(), 1u);
    EXPECT_TRUE(answerer.Seen[0].Shows(AddDirectoryCaption));
}

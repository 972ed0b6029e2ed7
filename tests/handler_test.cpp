// The File and Help handlers, over a real list control
// and real message boxes answered by clicking their buttons.
#include "app/Trel_filehandler.h"
#include "app/Trel_helphandler.h"
#include "app/Trel_listeditcommand.h"
#include "tests/FormTestSupport.h"
#include "tests/ListViewTestSupport.h"
#include "tests/TestSupport.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <sstream>
#include <vector>

namespace {

// A rename item that reports its end, so a test sees when the item list
// frees it and what still pointed at it then.
class TWatchedItem : public TRenameItem {
public:
    TWatchedItem(const std::string& path, std::function<void()> onFree)
        : TRenameItem(path), FOnFree(std::move(onFree)) {}
    ~TWatchedItem() override { FOnFree(); }

private:
    std::function<void()> FOnFree;
};

// The main window's shared objects, freed in its order (items, invoker,
// model), and its file and help handlers.
class THandlerBench {
public:
    THandlerBench()
        : FModel(FView.Handle()), FFileHandler(FModel, FItems, FInvoker),
          FHelpHandler(FModel, FItems, FInvoker) {
        Application->SetTitle("Trelvane");
    }
    ~THandlerBench() { Application->SetTitle(""); }

    TTempDir& Dir() { return FDir; }
    TTestListView& View() { return FView; }
    TListViewModel& Model() { return FModel; }
    TInvoker& Invoker() { return FInvoker; }
    TObjectList& Items() { return FItems; }
    TFileHandler& FileHandler() { return FFileHandler; }
    THelpHandler& HelpHandler() { return FHelpHandler; }

    // What each freed item found still pointing at items when it went.
    std::vector<std::string> FreedItems;

    // As the Edit menu adds paths: new files, one add sub-command each.
    void Add(const std::string& names) {
        auto command = std::make_unique<TListEditCommand>(FModel);
        std::istringstream in(names);
        for (std::string name; in >> name;) {
            auto* item = new TWatchedItem(FDir.MakeFile(name, name), [this, name] {
                FreedItems.push_back(
                    name + ": " + std::to_string(FModel.Count()) + " rows, " +
                    std::to_string(FInvoker.UndoCommands().Count() + FInvoker.RedoCommands().Count()) +
                    " commands");
            });
            FItems.Add(item);
            command->SubCommands().PendingCommands().Add(new TAddSubCommand(FModel, item));
        }
        Run(command.release());
    }

    // As the Edit menu deletes: every row, from the last to the first.
    void DeleteAll() {
        FModel.ReadFromView(true);
        auto command = std::make_unique<TListEditCommand>(FModel);
        for (int i = FModel.Count() - 1; i >= 0; --i)
            command->SubCommands().PendingCommands().Add(new TDeleteSubCommand(FModel, i));
        Run(command.release());
    }

    void Run(TCommand* command) {
        FInvoker.PendingCommands().Add(command);
        FInvoker.Execute();
    }

    // Rows, items and history in one line.
    std::string State() {
        return std::to_string(FView.Count()) + " shown, " + std::to_string(FModel.Count()) + " rows, " +
               std::to_string(FItems.Count()) + " items, " + std::to_string(FInvoker.UndoCommands().Count()) +
               " undo, " + std::to_string(FInvoker.RedoCommands().Count()) + " redo";
    }

private:
    TTempDir FDir;
    TTestListView FView;
    TListViewModel FModel;
    TInvoker FInvoker;
    TObjectList FItems;
    TFileHandler FFileHandler;
    THelpHandler FHelpHandler;
};

const std::vector<int> kOkCancel = {IDOK, IDCANCEL};

} // namespace

// ---------------------------------------------------------------- File > New

TEST(FileHandler, NewWithNothingToClearAsksNothing) {
    for (const bool confirm : {true, false}) {
        THandlerBench bench;
        TBoxCloser closer;
        bench.FileHandler().New(confirm);
        EXPECT_FALSE(closer.Seen.Found);
        EXPECT_EQ(bench.State(), "0 shown, 0 rows, 0 items, 0 undo, 0 redo");
    }
}

TEST(FileHandler, NewAcceptedClearsRowsHistoryAndThenItems) {
    const struct {
        const char* what;
        std::function<void(THandlerBench&)> prepare;
        const char* before;
        bool confirm;
    } cases[] = {
        {"rows added", [](THandlerBench& b) { b.Add("a.txt b.txt"); },
         "2 shown, 2 rows, 2 items, 1 undo, 0 redo", true},
        {"all rows deleted",
         [](THandlerBench& b) {
             b.Add("a.txt b.txt c.txt");
             b.DeleteAll();
         },
         "0 shown, 0 rows, 3 items, 2 undo, 0 redo", true},
        {"everything undone",
         [](THandlerBench& b) {
             b.Add("a.txt");
             b.Invoker().Undo();
         },
         "0 shown, 0 rows, 1 items, 0 undo, 1 redo", true},
        {"without confirmation", [](THandlerBench& b) { b.Add("a.txt"); },
         "1 shown, 1 rows, 1 items, 1 undo, 0 redo", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        THandlerBench bench;
        c.prepare(bench);
        ASSERT_EQ(bench.State(), c.before);
        const int items = bench.Items().Count();
        {
            TBoxCloser closer(IDOK);
            bench.FileHandler().New(c.confirm);
            EXPECT_EQ(closer.Seen.Found, c.confirm);
            if (c.confirm) {
                EXPECT_EQ(closer.Seen.Caption, "Trelvane");
                EXPECT_TRUE(
                    closer.Seen.Shows("The program clears the history of edit and rename operations."));
                EXPECT_EQ(closer.Seen.Buttons, kOkCancel);
                EXPECT_EQ(closer.Seen.Icon, LoadIconA(nullptr, IDI_EXCLAMATION));
            }
        }
        EXPECT_EQ(bench.State(), "0 shown, 0 rows, 0 items, 0 undo, 0 redo");
        EXPECT_FALSE(bench.Invoker().CanUndo());
        EXPECT_FALSE(bench.Invoker().CanRedo());
        // Every item went last, after the rows and the commands that pointed at it.
        ASSERT_EQ(static_cast<int>(bench.FreedItems.size()), items);
        for (const std::string& freed : bench.FreedItems)
            EXPECT_NE(freed.find(": 0 rows, 0 commands"), std::string::npos) << freed;
        // Nothing left to clear: the next New asks nothing.
        TBoxCloser closer;
        bench.FileHandler().New(true);
        EXPECT_FALSE(closer.Seen.Found);
    }
}

TEST(FileHandler, NewDeclinedChangesNothingAndAsksAgain) {
    THandlerBench bench;
    bench.Add("a.txt b.txt c.txt");
    bench.DeleteAll();
    const std::string before = bench.State();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE(attempt);
        TBoxCloser closer(IDCANCEL);
        EXPECT_THROW(bench.FileHandler().New(true), EAbort);
        EXPECT_TRUE(closer.Seen.Found);
        EXPECT_EQ(bench.State(), before);
        EXPECT_TRUE(bench.FreedItems.empty());
    }
    // The history still works: the deletion comes undone.
    bench.Invoker().Undo();
    EXPECT_EQ(bench.State(), "3 shown, 3 rows, 3 items, 1 undo, 1 redo");
}

// ---------------------------------------------------------------- Help

TEST(HelpHandler, OpensTheHelpInstalledBesideTheExecutable) {
    THandlerBench bench;
    TTempDir elsewhere;
    const std::string saved = TFiles().GetWorkingDirectory();
    TFiles().SetWorkingDirectory(elsewhere.Path());
    THelpHandler handler(bench.Model(), bench.Items(), bench.Invoker());
    TFiles().SetWorkingDirectory(saved);
    const std::string& helpFile = handler.HelpFile;
    ASSERT_GT(helpFile.size(), 16u);
    EXPECT_EQ(helpFile.substr(helpFile.size() - 16), "\\Help\\index.html");
    EXPECT_EQ(helpFile.substr(0, helpFile.size() - 15), ProgramDirectory());
    EXPECT_TRUE(EntryExists(helpFile)) << "the build installs the page: " << helpFile;
}

TEST(HelpHandler, ContentsReportsAHelpThatCannotBeOpened) {
    THandlerBench bench;
    TTempDir& dir = bench.Dir();
    dir.MakeDir("Empty");
    const struct {
        const char* what;
        std::string helpFile;
    } cases[] = {
        {"no Help directory", dir / "Help\\index.html"},
        {"no page in the Help directory", dir / "Empty\\index.html"},
        {"no program for the file type", dir.MakeFile("index.trelvane-no-such-type", "<html></html>")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bench.HelpHandler().HelpFile = c.helpFile;
        TBoxCloser closer;
        EXPECT_ERROR_MESSAGE(EHandlerError, bench.HelpHandler().Contents(),
                             "The program could not open the help.");
        EXPECT_FALSE(closer.Seen.Found) << "the shell showed a box of its own";
    }
}

TEST(HelpHandler, AboutShowsTheVersionAnEmptyLineAndTheNotice) {
    std::vector<std::string> lines;
    std::istringstream in(AboutText());
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Trelvane version " TRELVANE_VERSION);
    EXPECT_EQ(lines[1], "");
    EXPECT_NE(lines[2], "");

    THandlerBench bench;
    TBoxCloser closer;
    bench.HelpHandler().About();
    EXPECT_TRUE(closer.Seen.Found);
    EXPECT_EQ(closer.Seen.Caption, "About");
    EXPECT_TRUE(closer.Seen.Shows(AboutText()));
    EXPECT_EQ(closer.Seen.Buttons, std::vector<int>{IDOK});
    EXPECT_EQ(closer.Seen.Icon, nullptr);
}

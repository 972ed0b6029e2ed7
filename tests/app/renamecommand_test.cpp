// The rename command and its tasks on real files, through the user's invoker
// and the program's progress dialog: progress, skips, failures, cancels and
// the history that each leaves.
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamecommand.h"
#include "app/rename/Trel_renametask.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/RenameTestSupport.h"
#include "tests/common/TestSupport.h"

#include <string>
#include <vector>

namespace {

using R = TRenameItemResult;

// A command that only sits on the user's history, below the renames.
class TOlderCommand : public TCommand {
public:
    void Execute() override { Flags += kCommandDone; }
    void Undo() override { Flags += kCommandDone; }
    void Redo() override { Flags += kCommandDone; }
};

// Puts one older command on the user's undo stack.
void AddOlderCommand(TInvoker& invoker) {
    invoker.PendingCommands().Add(new TOlderCommand());
    invoker.Execute();
}

// The files of a directory as "name=contents", sorted by name.
std::vector<std::string> Contents(const TTempDir& dir) {
    std::vector<std::string> contents;
    for (const std::string& name : ListDirectory(dir.Path()))
        contents.push_back(name + "=" + ReadFileText(dir / name));
    return contents;
}

// Files f0 .. f<n-1> with contents c0 .., each to be renamed to g<i>; the
// rows whose index is in unchanged keep their names.
void AddRenames(TRenameBench& bench, const TTempDir& dir, int n, const std::vector<int>& unchanged = {}) {
    for (int i = 0; i < n; ++i) {
        const std::string name = "f" + std::to_string(i);
        bool keep = false;
        for (const int u : unchanged)
            keep = keep || u == i;
        bench.AddItem(dir.MakeFile(name, "c" + std::to_string(i)), keep ? name : "g" + std::to_string(i));
    }
}

std::vector<int> Range(int first, int last) {
    std::vector<int> values;
    for (int v = first; v <= last; ++v)
        values.push_back(v);
    return values;
}

} // namespace

TEST(RenameCommand, ReportsEachChangedPercentageOnce) {
    // Entries with unchanged names still count as steps; many items may stand
    // for one file, so the long list costs no disk work.
    const struct {
        int entries;
        std::vector<int> percents;
    } cases[] = {
        {0, {100}},           {1, {100}},           {3, {33, 66, 100}}, {7, {14, 28, 42, 57, 71, 85, 100}},
        {200, Range(1, 100)}, {450, Range(1, 100)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entries << " entries");
        TTempDir dir;
        TRenameBench bench;
        const std::string path = dir.MakeFile("same.txt", "x");
        for (int i = 0; i < c.entries; ++i)
            bench.AddItem(path, "same.txt");
        EXPECT_EQ(bench.Perform(), "");
        EXPECT_EQ(bench.Probe.Percents, c.percents);
        EXPECT_TRUE(bench.Probe.DialogAsExpected);
        EXPECT_EQ(bench.Results(), std::string(c.entries, 'K'));
        ASSERT_NE(bench.LastRename(), nullptr);
        EXPECT_EQ(bench.LastRename()->Flags, kCommandDone);
        EXPECT_EQ(bench.LastRename()->SubCommands().UndoCommands().Count(), c.entries);
        EXPECT_EQ(Application->Dialog<TTrelProgressDialog>().GetPosition(), 100);
        EXPECT_FALSE(Application->Dialog<TTrelProgressDialog>().IsVisible());
    }
}

TEST(RenameCommand, RenamesInRowOrderAndRestoresEveryName) {
    TTempDir dir;
    TRenameBench bench;
    AddOlderCommand(bench.Invoker());
    AddRenames(bench, dir, 3, {1});
    // A changed new name after the rename is not what a restore or a
    // repetition uses.
    EXPECT_EQ(bench.Perform(), "");
    EXPECT_EQ(bench.Probe.Percents, (std::vector<int>{33, 66, 100}));
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"f1=c1", "g0=c0", "g2=c2"}));
    EXPECT_EQ(bench.Results(), "SKS");
    EXPECT_EQ(bench.Item(0)->OldName, "g0");
    bench.Item(0)->NewName = "other";

    EXPECT_EQ(bench.Restore(), "");
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"f0=c0", "f1=c1", "f2=c2"}));
    EXPECT_EQ(bench.Results(), "SKS");
    EXPECT_EQ(bench.Item(0)->OldName, "f0");
    EXPECT_EQ(bench.Item(0)->NewName, "other");
    EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 1) << "a complete restore keeps the older history";
    EXPECT_EQ(bench.Invoker().RedoCommands().Count(), 1);

    EXPECT_EQ(bench.Repeat(), "");
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"f1=c1", "g0=c0", "g2=c2"}));
    EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 2);
}

TEST(RenameCommand, AChangeOfLetterCaseOnlyIsOneRename) {
    TTempDir dir;
    TRenameBench bench;
    TRenameItem* item = bench.AddItem(dir.MakeFile("a.txt", "a"), "A.TXT");
    EXPECT_EQ(bench.Perform(), "");
    EXPECT_EQ(item->Result, R::Succeeded);
    EXPECT_EQ(item->OldName, "A.TXT");
    EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"A.TXT"}));
    EXPECT_EQ(bench.Restore(), "");
    EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"a.txt"}));
}

TEST(RenameCommand, NamesAreNeverSwapped) {
    TTempDir dir;
    TRenameBench bench;
    AddOlderCommand(bench.Invoker());
    bench.AddItem(dir.MakeFile("a", "1"), "b");
    bench.AddItem(dir.MakeFile("b", "2"), "a");
    // One failure, one message: the run stops at the first.
    EXPECT_EQ(bench.Perform(), RenameFailedOutcome());
    EXPECT_EQ(bench.Results(), "FN");
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"a=1", "b=2"}));
    EXPECT_EQ(bench.Probe.Percents, std::vector<int>{});
    // Recorded all the same, with the older history.
    ASSERT_NE(bench.LastRename(), nullptr);
    EXPECT_EQ(bench.LastRename()->Flags, (TCommandFlags{cfUndoable, cfRedoable}));
    EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 2);
    EXPECT_EQ(bench.LastRename()->SubCommands().UndoCommands().Count(), 0);
    EXPECT_EQ(bench.LastRename()->SubCommands().PendingCommands().Count(), 0);
}

TEST(RenameCommand, RefusedNamesFailTheirEntry) {
    const std::string names[] = {"",    "x\\y", "x:y", "x*",  "x?",  "x\x01", "x/y", "x|y", "x<y", "x>y", "x\"y",
                                 "x\x1F", std::string(256, 'n'), std::string(300, 'n') + ".txt"};
    for (const std::string& name : names) {
        SCOPED_TRACE(testing::Message() << "new name \"" << name.substr(0, 20) << "\" of " << name.size());
        TTempDir dir;
        TRenameBench bench;
        bench.AddItem(dir.MakeFile("a", "1"), "b");
        bench.AddItem(dir.MakeFile("c", "2"), name);
        bench.AddItem(dir.MakeFile("d", "3"), "e");
        // A name too long for the disk is refused with the limit.
        const std::string tooLong =
            "rename: The name \"" + name + "\" is too long: the disk takes names of at most 255 characters.";
        EXPECT_EQ(bench.Perform(), name.size() > 255 ? tooLong : RenameFailedOutcome());
        EXPECT_EQ(bench.Results(), "SFN");
        EXPECT_EQ(Contents(dir), (std::vector<std::string>{"b=1", "c=2", "d=3"}));
        EXPECT_EQ(bench.Probe.Percents, std::vector<int>{33});
    }
}

TEST(RenameCommand, UnchangedNamesAreSkippedAndKeepTheHistory) {
    TTempDir dir;
    TRenameBench bench;
    AddOlderCommand(bench.Invoker());
    AddRenames(bench, dir, 4, {0, 1, 2, 3});
    bench.Item(0)->Result = R::Failed;
    EXPECT_EQ(bench.Perform(), "");
    EXPECT_EQ(bench.Results(), "KKKK");
    EXPECT_EQ(Application->Dialog<TTrelProgressDialog>().GetPosition(), 100);
    EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 2);
    EXPECT_EQ(bench.LastRename()->Flags, kCommandDone);
    // Skipped again on restore.
    EXPECT_EQ(bench.Restore(), "");
    EXPECT_EQ(bench.Results(), "KKKK");
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"f0=c0", "f1=c1", "f2=c2", "f3=c3"}));
}

TEST(RenameCommand, ACancelStopsBeforeTheNextStepAndLeavesTheDoneOnesRestorable) {
    TTempDir dir;
    TRenameBench bench;
    AddOlderCommand(bench.Invoker());
    AddRenames(bench, dir, 10, {2});
    bench.Probe.CancelAt = 40;
    EXPECT_EQ(bench.Perform(), AbortOutcome());
    EXPECT_EQ(bench.Probe.Percents, (std::vector<int>{10, 20, 30, 40}));
    EXPECT_EQ(bench.Probe.CloseAllowed, std::vector<bool>{false});
    EXPECT_TRUE(bench.Probe.DialogAsExpected);
    EXPECT_EQ(bench.Results(), "SSKSNNNNNN");
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"f2=c2", "f4=c4", "f5=c5", "f6=c6", "f7=c7", "f8=c8",
                                                       "f9=c9", "g0=c0", "g1=c1", "g3=c3"}));
    ASSERT_NE(bench.LastRename(), nullptr);
    EXPECT_EQ(bench.LastRename()->Flags, (TCommandFlags{cfUndoable, cfRedoable}));
    EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 2);
    TInvoker& steps = bench.LastRename()->SubCommands();
    EXPECT_EQ(steps.UndoCommands().Count(), 4);
    EXPECT_EQ(steps.PendingCommands().Count(), 0);

    // The restore brings back exactly the four done before the cancel.
    bench.Probe.CancelAt = -1;
    EXPECT_EQ(bench.Restore(), "");
    EXPECT_EQ(bench.Probe.Percents, (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(bench.Results(), "SSKSNNNNNN");
    std::vector<std::string> original;
    for (int i = 0; i < 10; ++i)
        original.push_back("f" + std::to_string(i) + "=c" + std::to_string(i));
    EXPECT_EQ(Contents(dir), original);
}

TEST(RenameCommand, CancelPressedTwiceCountsOnce) {
    TTempDir dir;
    TRenameBench bench;
    AddRenames(bench, dir, 5);
    bench.Probe.CancelAt = 40;
    bench.Probe.Presses = 2;
    EXPECT_EQ(bench.Perform(), AbortOutcome());
    EXPECT_EQ(bench.Probe.CloseAllowed, (std::vector<bool>{false, false}));
    EXPECT_EQ(bench.Probe.EnabledAfterPress, (std::vector<bool>{false, false}));
    EXPECT_EQ(bench.Probe.Percents, (std::vector<int>{20, 40}));
    EXPECT_EQ(bench.Results(), "SSNNN");
    EXPECT_FALSE(Application->Dialog<TTrelProgressDialog>().IsVisible());
    // The next run has its button back.
    bench.Probe.CancelAt = -1;
    EXPECT_EQ(bench.Restore(), "");
    EXPECT_TRUE(bench.Probe.DialogAsExpected);
}

TEST(RenameCommand, ACancelAfterTheLastStepChangesNothing) {
    TTempDir dir;
    TRenameBench bench;
    AddOlderCommand(bench.Invoker());
    AddRenames(bench, dir, 2);
    bench.Probe.CancelAt = 100;
    EXPECT_EQ(bench.Perform(), "");
    EXPECT_EQ(bench.Results(), "SS");
    EXPECT_EQ(bench.LastRename()->Flags, kCommandDone);
    EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 2);
}

TEST(RenameCommand, AFailureOnTheThirdOfFiveThenRestore) {
    TTempDir dir;
    TRenameBench bench;
    AddOlderCommand(bench.Invoker());
    AddRenames(bench, dir, 5, {1});
    dir.MakeFile("g2", "in the way");
    EXPECT_EQ(bench.Perform(), RenameFailedOutcome());
    EXPECT_EQ(bench.Probe.Percents, (std::vector<int>{20, 40}));
    EXPECT_EQ(bench.Results(), "SKFNN");
    EXPECT_EQ(Contents(dir),
              (std::vector<std::string>{"f1=c1", "f2=c2", "f3=c3", "f4=c4", "g0=c0", "g2=in the way"}));
    ASSERT_NE(bench.LastRename(), nullptr);
    TRenameCommand* rename = bench.LastRename();
    EXPECT_EQ(rename->SubCommands().UndoCommands().Count(), 2);
    EXPECT_EQ(rename->SubCommands().PendingCommands().Count(), 0);

    EXPECT_EQ(bench.Restore(), "");
    EXPECT_EQ(bench.Probe.Percents, (std::vector<int>{50, 100}));
    EXPECT_EQ(bench.Results(), "SKNNN");
    EXPECT_EQ(Contents(dir),
              (std::vector<std::string>{"f0=c0", "f1=c1", "f2=c2", "f3=c3", "f4=c4", "g2=in the way"}));
    EXPECT_EQ(bench.Invoker().RedoCommands().Count(), 1);
    EXPECT_EQ(bench.Invoker().GetLastRedo(), rename);
    EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 1);
}

TEST(RenameCommand, AFailedRestoreEmptiesBothPrivateStacks) {
    TTempDir dir;
    TRenameBench bench;
    AddOlderCommand(bench.Invoker());
    AddRenames(bench, dir, 3);
    EXPECT_EQ(bench.Perform(), "");
    TRenameCommand* rename = bench.LastRename();
    // The restore undoes the last row first; the second row's old name is taken meanwhile.
    dir.MakeFile("f1", "in the way");
    EXPECT_EQ(bench.Restore(), RenameFailedOutcome());
    EXPECT_EQ(bench.Results(), "NFS");
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"f1=in the way", "f2=c2", "g0=c0", "g1=c1"}));
    EXPECT_EQ(rename->SubCommands().UndoCommands().Count(), 0);
    EXPECT_EQ(rename->SubCommands().RedoCommands().Count(), 0);
    // On the redo stack, and the older history is gone.
    EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 0);
    ASSERT_EQ(bench.Invoker().RedoCommands().Count(), 1);
    EXPECT_EQ(bench.Invoker().GetLastRedo(), rename);

    // Nothing is left to repeat: no step, every result None, one report of 100.
    EXPECT_EQ(bench.Repeat(), "");
    EXPECT_EQ(bench.Probe.Percents, std::vector<int>{100});
    EXPECT_EQ(bench.Results(), "NNN");
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"f1=in the way", "f2=c2", "g0=c0", "g1=c1"}));
}

TEST(RenameCommand, ACancelledRestoreDropsWhatItDidNotUndo) {
    TTempDir dir;
    TRenameBench bench;
    AddOlderCommand(bench.Invoker());
    AddRenames(bench, dir, 4);
    EXPECT_EQ(bench.Perform(), "");
    TRenameCommand* rename = bench.LastRename();
    bench.Probe.CancelAt = 50;
    EXPECT_EQ(bench.Restore(), AbortOutcome());
    // Undone last row first: the two last rows are back.
    EXPECT_EQ(bench.Results(), "NNSS");
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"f2=c2", "f3=c3", "g0=c0", "g1=c1"}));
    EXPECT_EQ(rename->SubCommands().UndoCommands().Count(), 0);
    EXPECT_EQ(rename->SubCommands().RedoCommands().Count(), 2);
    EXPECT_EQ(bench.Invoker().UndoCommands().Count(), 0);
    EXPECT_EQ(bench.Invoker().GetLastRedo(), rename);

    // Performing again redoes exactly those two.
    bench.Probe.CancelAt = -1;
    EXPECT_EQ(bench.Repeat(), "");
    EXPECT_EQ(bench.Probe.Percents, (std::vector<int>{50, 100}));
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"g0=c0", "g1=c1", "g2=c2", "g3=c3"}));
    EXPECT_EQ(bench.Results(), "NNSS");
}

TEST(RenameCommand, ARunThatCannotStartLeavesTheHistoryAsItWas) {
    TTempDir dir;
    TRenameBench bench;
    AddRenames(bench, dir, 2);
    EXPECT_EQ(bench.Perform(), "");
    TRenameCommand* rename = bench.LastRename();
    TTrelProgressDialog& dialog = Application->Dialog<TTrelProgressDialog>();
    // A dialog that is already shown cannot be shown modally.
    dialog.Show();
    EXPECT_EQ(bench.Restore(), "other: The window is already shown.");
    dialog.Hide();
    EXPECT_EQ(dialog.OnStart, nullptr);
    EXPECT_EQ(dialog.OnCloseQuery, nullptr);
    EXPECT_EQ(bench.Invoker().GetLastUndo(), rename);
    EXPECT_EQ(bench.Invoker().RedoCommands().Count(), 0);
    EXPECT_EQ(rename->SubCommands().UndoCommands().Count(), 2);
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"g0=c0", "g1=c1"}));
    EXPECT_EQ(bench.Results(), "SS");
    // The start message it left behind starts nothing.
    Application->ProcessMessages();
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"g0=c0", "g1=c1"}));

    EXPECT_EQ(bench.Restore(), "");
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"f0=c0", "f1=c1"}));
    EXPECT_EQ(bench.Probe.Percents, (std::vector<int>{50, 100}));
}

TEST(RenameCommand, ALoopEndedBeforeTheFinishWaitsForTheTask) {
    // As when the program is told to end during a run: the modal loop ends
    // while the worker still runs. The command stops the task and waits for
    // it; how far the task got depends on the threads' timing.
    class TEndingRenameCommand : public TRenameCommand {
    public:
        using TRenameCommand::TRenameCommand;

    protected:
        void DoProgress(TTrelProgressDialog& dialog, int percent) override {
            TRenameCommand::DoProgress(dialog, percent);
            if (percent == 25) {
                dialog.OnCloseQuery = nullptr;
                dialog.SetModalResult(mrCancel);
            }
        }
    };
    TTempDir dir;
    TRenameBench bench;
    AddRenames(bench, dir, 8);
    auto* command = new TEndingRenameCommand(bench.Model());
    command->JournalFolders = {bench.Journals()};
    bench.Invoker().PendingCommands().Add(command);
    const std::string outcome = Outcome([&] { bench.Invoker().Execute(); });
    int done = 0;
    while (done < 8 && bench.Item(done)->Result == R::Succeeded)
        ++done;
    EXPECT_GE(done, 2);
    EXPECT_EQ(outcome, done < 8 ? AbortOutcome() : "");
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const std::string name = (i < done ? "g" : "f") + std::to_string(i);
        EXPECT_EQ(ReadFileText(dir / name), "c" + std::to_string(i));
        EXPECT_EQ(bench.Item(i)->Result, i < done ? R::Succeeded : R::None);
    }
    ASSERT_NE(bench.LastRename(), nullptr);
    EXPECT_EQ(bench.LastRename()->SubCommands().UndoCommands().Count(), done);
    EXPECT_EQ(bench.Restore(), "");
    EXPECT_EQ(Contents(dir), (std::vector<std::string>{"f0=c0", "f1=c1", "f2=c2", "f3=c3", "f4=c4", "f5=c5",
                                                       "f6=c6", "f7=c7"}));
}

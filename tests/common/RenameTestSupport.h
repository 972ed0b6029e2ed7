// The main window's shared objects over a test list control, for the suites
// of its handlers and commands; and a rename command whose progress a test
// can watch and cancel at a chosen percentage.
#pragma once

#include "app/dialogs/Trel_progressdialog.h"
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamecommand.h"
#include "support/Vek_command.h"
#include "support/Vek_listviewmodel.h"
#include "tests/common/ListViewTestSupport.h"
#include "tests/common/TestSupport.h"

#include <functional>
#include <string>
#include <vector>

// What a test asks of the runs of its rename commands, and what they reported.
struct TRenameProbe {
    // The percentage at which Cancel is pressed (-1: never), and how often.
    int CancelAt = -1;
    int Presses = 1;
    // Each percentage reported, as the dialog's bar showed it.
    std::vector<int> Percents;
    // Every report found the dialog shown modally as a rename, Cancel enabled
    // until pressed.
    bool DialogAsExpected = true;
    // Whether the close query allowed the dialog to close when Cancel was
    // pressed (it never should), and the button's state after each press.
    std::vector<bool> CloseAllowed;
    std::vector<bool> EnabledAfterPress;
};

// Presses the dialog's button as the user does: the click, then the close
// query that the modal loop makes of it. Both run before the worker goes on,
// so the cancel is seen before the next step.
bool PressCancel(TTrelProgressDialog& dialog);

// A rename command that reports its progress to a probe and presses Cancel
// when the probe says.
class TProbeRenameCommand : public TRenameCommand {
public:
    TProbeRenameCommand(TListViewModel& model, TRenameProbe& probe) : TRenameCommand(model), FProbe(probe) {}

protected:
    void DoProgress(TTrelProgressDialog& dialog, int percent) override;

private:
    TRenameProbe& FProbe;
};

// The main window's shared objects over a test list control: the model, the
// user's invoker and the item list that owns every item, freed in the
// window's order (the items first); and a folder for the items' files.
class TListBench {
public:
    TListBench();

    TTempDir& Dir() { return FDir; }
    // Where the bench's rename runs keep their journals.
    const std::string& Journals() const { return FJournals.Path(); }
    TTestListView& View() { return FView; }
    TListViewModel& Model() { return FModel; }
    TInvoker& Invoker() { return FInvoker; }
    TObjectList& Items() { return FItems; }
    TRenameItem* Item(int row) { return static_cast<TRenameItem*>(FModel.Items(row)->GetData()); }
    // The item with the old name, shown or not.
    TRenameItem* Item(const std::string& oldName);

    // Runs the command through the user's invoker, as a menu command does.
    void Run(TCommand* command);
    // The rows as the control shows them (see ListRows), named by their items'
    // new or old names.
    std::string RowsBy(std::string TRenameItem::*name, UINT marks);
    // The user's history: "<n> undo, <m> redo".
    std::string History();
    // The rows' results, one letter each: None, Succeeded, Failed, Skipped.
    std::string Results();

protected:
    TTempDir FDir;
    TTempDir FJournals;
    TTestListView FView;
    TListViewModel FModel;
    TInvoker FInvoker;
    TObjectList FItems;
};

// The list with rename commands whose runs a probe watches.
class TRenameBench : public TListBench {
public:
    TRenameProbe Probe;
    // The order of the next Perform (given to its command).
    TRenamePlan Plan;

    // A new item for the path, shown as the last row, with the new name.
    TRenameItem* AddItem(const std::string& path, const std::string& newName);

    // Rename > Perform, Restore and perform again through the user's invoker,
    // with a fresh record in Probe. Each returns what was thrown: empty, or the
    // error class ("abort", "rename" or "other") and the message.
    std::string Perform();
    std::string Restore();
    std::string Repeat();
    // The rename command on top of the user's undo stack (or null).
    TRenameCommand* LastRename();

private:
    template <class F>
    std::string Probed(F&& step);
};

// What a call threw, for comparing outcomes in tables: empty, or the error
// class ("abort", "rename" or "other") and the message. A watchdog ends a
// modal loop that the call never lets end.
std::string Outcome(const std::function<void()>& call);
// "abort: ...", "rename: ..." or empty, for comparing outcomes in tables.
std::string AbortOutcome();
std::string RenameFailedOutcome();

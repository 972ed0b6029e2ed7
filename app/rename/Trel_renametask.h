// The tasks that perform, restore and repeat a rename on the worker thread.
#pragma once

#include "app/rename/Trel_renamejournal.h"
#include "app/rename/Trel_renameplan.h"
#include "app/rename/Trel_renamesubcommand.h"
#include "support/Vek_command.h"
#include "support/Vek_listviewmodel.h"
#include "support/Vek_task.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The percentage of the steps done, 0 to 100.

// Drives the private invoker of one rename command step by step and turns the
// steps done into a percentage. It renames nothing itself: the invoker's
// sub-commands do. Neither the model nor the invoker is owned; the main thread
// leaves both alone while the task runs.
class TRenameTask : public TTask {
public:
    // The marks are the rename command's: the run lends them its journal.
    TRenameTask(TListViewModel& model, TInvoker& invoker, TMoveMarks& marks)
        : FModel(model), FInvoker(invoker), FMarks(marks) {}

    // Resets the result of every row to None, then runs one step per command
    // that the invoker holds, counted once before the first step. A cancel is
    // seen before each step (the framework's abort); the last report is 100.
    void Run() override;

    // Where the run's journal goes, in order of preference; empty: no journal.
    std::vector<std::string> JournalFolders;

protected:
    // One unit of work on the invoker.
    virtual void Step() = 0;
    // Aborts when a cancel was asked for.
    void CheckCancelled() const;
    // The common run.
    void RunSteps();
    // The common run of the commands that the run works through, in the order
    // and direction of the kind of run. First the journal of their moves is
    // written, and lent to the marks for the run; one that cannot be written
    // ends the run with ERenameNotStarted before anything has changed. On any
    // later exception the commands are freed before the exception passes on.
    // The journal is removed however the run ends.
    void RunWorkingThrough(TObjectList& commands, TJournalRun run);

    TListViewModel& FModel;
    TInvoker& FInvoker;
    TMoveMarks& FMarks;
};

// Perform: makes one rename sub-command per row in the rows' current order,
// or, with a plan for the rows, one per entry and one per cycle in the
// plan's order; then executes them. On any exception the commands still
// pending are freed.
class TDoRenameTask : public TRenameTask {
public:
    // The plan is not owned; an empty one keeps the rows' order.
    TDoRenameTask(TListViewModel& model, TInvoker& invoker, TMoveMarks& marks, const TRenamePlan& plan)
        : TRenameTask(model, invoker, marks), FPlan(plan) {}

    void Run() override;

protected:
    void Step() override;

private:
    void BuildSubCommands();

    const TRenamePlan& FPlan;
};

// Restore: undoes the done sub-commands, last first. On any exception the
// ones not yet undone are freed: they can no longer be restored.
class TUndoRenameTask : public TRenameTask {
public:
    using TRenameTask::TRenameTask;

    void Run() override;

protected:
    void Step() override;
};

// Perform again after a restore: redoes the undone sub-commands. On any
// exception the ones not yet redone are freed.
class TRedoRenameTask : public TRenameTask {
public:
    using TRenameTask::TRenameTask;

    void Run() override;

protected:
    void Step() override;
};

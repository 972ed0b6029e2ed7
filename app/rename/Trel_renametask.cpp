#include "app/rename/Trel_renametask.h"

#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamesubcommand.h"
#include "framework/Fw_scope.h"
#include "support/Vek_list.h"

#include <algorithm>
#include <memory>

namespace {

// The journal of the moves that the commands make, in the order the run
// works through them: a perform from the first, a restore and a repetition
// from the top of their stack.
std::unique_ptr<TRenameJournal> BeginJournal(const std::vector<std::string>& folders,
                                             const TObjectList& commands, TJournalRun run) {
    if (folders.empty())
        return nullptr;
    const int count = commands.Count();
    const bool fromLast = run != TJournalRun::Perform;
    const bool forward = run != TJournalRun::Restore;
    std::vector<TJournalStep> steps;
    steps.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        static_cast<const TRenameSubCommand*>(commands.Items(fromLast ? count - 1 - i : i))
            ->AppendJournalSteps(forward, steps);
    // A run that renames nothing needs no journal.
    const bool renames = std::any_of(steps.begin(), steps.end(),
                                     [](const TJournalStep& step) { return step.From != step.To; });
    if (!renames)
        return nullptr;
    std::string lastDirectory;
    std::string lastExpanded;
    for (size_t i = 0; i < steps.size(); ++i) {
        TJournalStep& step = steps[i];
        // Full paths: the recovery may run from another current directory.
        if (i == 0 || step.Directory != lastDirectory) {
            lastDirectory = step.Directory;
            lastExpanded = step.Directory.empty() ? step.Directory : TPath(step.Directory).Expand().GetPath();
        }
        step.Directory = lastExpanded;
    }
    return std::make_unique<TRenameJournal>(folders, run, steps);
}

} // namespace

// ---------------------------------------------------------------- TRenameTask

void TRenameTask::Run() {
    RunSteps();
}

void TRenameTask::RunSteps() {
    // Every row, also those added after the rename: no row may show the
    // result of an earlier run.
    const int rows = FModel.Count();
    for (int row = 0; row < rows; ++row)
        static_cast<TRenameItem*>(FModel.Items(row)->GetData())->Result = TRenameItemResult::None;
    const std::int64_t count = static_cast<std::int64_t>(FInvoker.PendingCommands().Count()) +
                               FInvoker.UndoCommands().Count() + FInvoker.RedoCommands().Count();
    for (std::int64_t i = 0; i < count; ++i) {
        CheckCancelled();
        Step();
        ReportProgress(static_cast<std::int32_t>((i + 1) * 100 / count));
    }
    ReportProgress(100);
}

void TRenameTask::RunWorkingThrough(TObjectList& commands, TJournalRun run) {
    const std::unique_ptr<TRenameJournal> journal = BeginJournal(JournalFolders, commands, run);
    FMarks.Journal = journal.get();
    auto unmark = ScopeExit([this] { FMarks.Journal = nullptr; });
    {
        // After a cancel, or what a failing step left behind.
        auto clearCommands = ScopeFailure([&commands] { commands.Clear(); });
        RunSteps();
    }
    if (journal)
        journal->Close();
}

void TRenameTask::CheckCancelled() const {
    if (Cancelled())
        Abort();
}

// ---------------------------------------------------------------- TDoRenameTask

void TDoRenameTask::Run() {
    {
        auto clearPending = ScopeFailure([this] { FInvoker.PendingCommands().Clear(); });
        BuildSubCommands();
    }
    RunWorkingThrough(FInvoker.PendingCommands(), TJournalRun::Perform);
}

void TDoRenameTask::BuildSubCommands() {
    TObjectList& pending = FInvoker.PendingCommands();
    const int rows = FModel.Count();
    pending.SetCapacity(pending.Count() + rows);
    const auto item = [this](int row) { return static_cast<TRenameItem*>(FModel.Items(row)->GetData()); };
    // A plan made for other rows is no plan for these.
    if (FPlan.Order.size() != static_cast<size_t>(rows)) {
        for (int row = 0; row < rows; ++row) {
            CheckCancelled();
            AddNew<TRenameSubCommand>(pending, item(row), &FMarks);
        }
        return;
    }
    auto cycle = FPlan.Cycles.begin();
    for (size_t at = 0; at < FPlan.Order.size();) {
        CheckCancelled();
        if (cycle == FPlan.Cycles.end() || cycle->Start != at) {
            AddNew<TRenameSubCommand>(pending, item(FPlan.Order[at++]), &FMarks);
            continue;
        }
        std::vector<TRenameItem*> members;
        for (size_t k = 0; k < cycle->Length; ++k)
            members.push_back(item(FPlan.Order[at + k]));
        AddNew<TRenameSubCommand>(pending, members, cycle->Temporary, &FMarks);
        at += cycle->Length;
        ++cycle;
    }
}

void TDoRenameTask::Step() {
    FInvoker.Execute();
}

// ---------------------------------------------------------------- TUndoRenameTask

void TUndoRenameTask::Run() {
    RunWorkingThrough(FInvoker.UndoCommands(), TJournalRun::Restore);
}

void TUndoRenameTask::Step() {
    FInvoker.Undo();
}

// ---------------------------------------------------------------- TRedoRenameTask

void TRedoRenameTask::Run() {
    RunWorkingThrough(FInvoker.RedoCommands(), TJournalRun::Repeat);
}

void TRedoRenameTask::Step() {
    FInvoker.Redo();
}

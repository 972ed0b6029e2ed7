#include "app/rename/Trel_renametask.h"

#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamesubcommand.h"
#include "framework/Fw_scope.h"
#include "support/Vek_list.h"

#include <memory>

namespace {

// The journal of the renames that the commands make, in the order the run
// works through them: a perform from the first, a restore and a repetition
// from the top of their stack.
std::unique_ptr<TRenameJournal> BeginJournal(const std::vector<std::string>& folders,
                                             const TObjectList& commands, TJournalRun run) {
    const int count = commands.Count();
    bool renames = false;
    for (int i = 0; i < count && !renames; ++i) {
        const TJournalStep step = static_cast<const TRenameSubCommand*>(commands.Items(i))->JournalStep(true);
        renames = step.From != step.To;
    }
    // A run that renames nothing needs no journal.
    if (folders.empty() || !renames)
        return nullptr;
    const bool fromLast = run != TJournalRun::Perform;
    const bool forward = run != TJournalRun::Restore;
    std::vector<TJournalStep> steps;
    steps.reserve(static_cast<size_t>(count));
    std::string lastDirectory;
    std::string lastExpanded;
    for (int i = 0; i < count; ++i) {
        const auto* command = static_cast<const TRenameSubCommand*>(commands.Items(fromLast ? count - 1 - i : i));
        TJournalStep step = command->JournalStep(forward);
        // Full paths: the recovery may run from another current directory.
        if (i == 0 || step.Directory != lastDirectory) {
            lastDirectory = step.Directory;
            lastExpanded = step.Directory.empty() ? step.Directory : TPath(step.Directory).Expand().GetPath();
        }
        step.Directory = lastExpanded;
        steps.push_back(std::move(step));
    }
    return std::make_unique<TRenameJournal>(folders, run, steps);
}

} // namespace

// ---------------------------------------------------------------- TRenameTask

void TRenameTask::Run() {
    RunSteps(nullptr);
}

void TRenameTask::RunSteps(TRenameJournal* journal) {
    // Every row, also those added after the rename: no row may show the
    // result of an earlier run.
    const int rows = FModel.Count();
    for (int row = 0; row < rows; ++row)
        static_cast<TRenameItem*>(FModel.Items(row)->GetData())->Result = TRenameItemResult::None;
    const std::int64_t count = static_cast<std::int64_t>(FInvoker.PendingCommands().Count()) +
                               FInvoker.UndoCommands().Count() + FInvoker.RedoCommands().Count();
    for (std::int64_t i = 0; i < count; ++i) {
        CheckCancelled();
        if (journal)
            journal->StepBegins();
        Step();
        ReportProgress(static_cast<std::int32_t>((i + 1) * 100 / count));
    }
    ReportProgress(100);
}

void TRenameTask::RunWorkingThrough(TObjectList& commands, TJournalRun run) {
    const std::unique_ptr<TRenameJournal> journal = BeginJournal(JournalFolders, commands, run);
    {
        // After a cancel, or what a failing step left behind.
        auto clearCommands = ScopeFailure([&commands] { commands.Clear(); });
        RunSteps(journal.get());
    }
    if (journal)
        journal->Close();
}

void TRenameTask::CheckCancelled() const {
    if (Cancelled())
        Abort();
}

void TRenameTask::ReportProgress(std::int32_t percent) {
    if (percent == FLastPercent)
        return;
    FLastPercent = percent;
    if (!OnProgress)
        return;
    Synchronize(
        percent,
        [](void* data, std::int32_t argument) {
            auto* task = static_cast<TRenameTask*>(data);
            task->OnProgress(task, argument);
        },
        this);
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
    for (int row = 0; row < rows; ++row) {
        CheckCancelled();
        AddNew<TRenameSubCommand>(pending, static_cast<TRenameItem*>(FModel.Items(row)->GetData()));
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

#include "app/Trel_renametask.h"

#include "app/Trel_rename.h"
#include "app/Trel_renamecommand.h"
#include "framework/Fw_scope.h"
#include "support/Vek_autopointer.h"

// ---------------------------------------------------------------- TRenameTask

void TRenameTask::Run() {
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

void TRenameTask::RunWorkingThrough(TObjectList& commands) {
    // After a cancel, or what a failing step left behind.
    auto clearCommands = ScopeFailure([&commands] { commands.Clear(); });
    TRenameTask::Run();
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
    RunWorkingThrough(FInvoker.PendingCommands());
}

void TDoRenameTask::BuildSubCommands() {
    TObjectList& pending = FInvoker.PendingCommands();
    const int rows = FModel.Count();
    pending.SetCapacity(pending.Count() + rows);
    for (int row = 0; row < rows; ++row) {
        CheckCancelled();
        TAutoPointer<TRenameSubCommand> command(
            new TRenameSubCommand(static_cast<TRenameItem*>(FModel.Items(row)->GetData())));
        pending.Add(command.Get());
        command.Release();
    }
}

void TDoRenameTask::Step() {
    FInvoker.Execute();
}

// ---------------------------------------------------------------- TUndoRenameTask

void TUndoRenameTask::Run() {
    RunWorkingThrough(FInvoker.UndoCommands());
}

void TUndoRenameTask::Step() {
    FInvoker.Undo();
}

// ---------------------------------------------------------------- TRedoRenameTask

void TRedoRenameTask::Run() {
    RunWorkingThrough(FInvoker.RedoCommands());
}

void TRedoRenameTask::Step() {
    FInvoker.Redo();
}

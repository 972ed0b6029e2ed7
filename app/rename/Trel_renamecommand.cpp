#include "app/rename/Trel_renamecommand.h"

#include "app/rename/Trel_renametask.h"
#include "framework/Fw_forms.h"
#include "framework/Fw_scope.h"
#include "support/Vek_autopointer.h"

#include <windows.h>

#include <exception>

namespace {

// A copy that outlives the task's exception: a cancel stays the framework's
// abort, anything else becomes the rename unit's error.
std::unique_ptr<Exception> CopyError(const Exception& error) {
    if (dynamic_cast<const EAbort*>(&error))
        return std::make_unique<EAbort>(error.Message());
    if (dynamic_cast<const ERenameNotStarted*>(&error))
        return std::make_unique<ERenameNotStarted>(error.Message());
    return std::make_unique<ERenameError>(error.Message());
}

} // namespace

// ---------------------------------------------------------------- TRenameCommand

TRenameCommand::TRenameCommand(TListViewModel& model)
    : JournalFolders(DefaultJournalFolders()), FModel(model) {}

TRenameCommand::~TRenameCommand() = default;

void TRenameCommand::Execute() {
    // Only the first run reads the plan: it need not stay with the history.
    auto forget = ScopeExit([this] { Plan = TRenamePlan(); });
    RunTask(new TDoRenameTask(FModel, FSubCommands, FMarks, Plan));
}

void TRenameCommand::Undo() {
    RunTask(new TUndoRenameTask(FModel, FSubCommands, FMarks));
}

void TRenameCommand::Redo() {
    RunTask(new TRedoRenameTask(FModel, FSubCommands, FMarks));
}

void TRenameCommand::DoProgress(TTrelProgressDialog& dialog, int percent) {
    dialog.SetPosition(percent);
}

void TRenameCommand::RunTask(TRenameTask* task) {
    // The dialog takes the task; the worker frees it after its finish event.
    TAutoPointer<TRenameTask> unstarted(task);
    // Nothing changes on disk before the task starts: a run that never starts
    // leaves the whole history as it was.
    Flags = TCommandFlags{cfDiscard};
    TTrelProgressDialog& dialog = Application->Dialog<TTrelProgressDialog>();
    FError.reset();
    task->JournalFolders = JournalFolders;
    task->OnProgress = [this, &dialog](TObject*, int percent) { DoProgress(dialog, percent); };
    task->OnError = [this](TObject*, Exception& error) { FError = CopyError(error); };
    RepaintList();
    std::exception_ptr dialogError;
    const bool started = dialog.RunTask(unstarted.Release(), "Rename", "Renaming...", dialogError);
    RepaintList();
    ConcludeRun(started, dialogError, dialog.GetPosition() == 100);
}

void TRenameCommand::ConcludeRun(bool started, const std::exception_ptr& dialogError, bool completed) {
    if (!started) {
        FError.reset();
        if (dialogError)
            std::rethrow_exception(dialogError);
        Abort();
    }
    // A run whose journal could not be written renamed nothing: the history
    // stays as it was (cfDiscard, set before the run).
    if (dynamic_cast<ERenameNotStarted*>(FError.get()))
        ThrowStoredError();
    Flags = TCommandFlags{cfUndoable, cfRedoable};
    if (completed)
        Flags += TCommandFlags{cfKeepHistory};
    if (FError)
        ThrowStoredError();
    if (dialogError)
        std::rethrow_exception(dialogError);
}

void TRenameCommand::RepaintList() const {
    if (HWND list = FModel.ListView()) {
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    }
}

void TRenameCommand::ThrowStoredError() {
    const std::unique_ptr<Exception> error = std::move(FError);
    if (dynamic_cast<EAbort*>(error.get()))
        throw EAbort(error->Message());
    throw ERenameError(error->Message());
}

// The rename on disk as one undoable command.
#pragma once

#include "app/commands/Trel_actioncommand.h"
#include "app/dialogs/Trel_progressdialog.h"
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamejournal.h"
#include "app/rename/Trel_renameplan.h"
#include "app/rename/Trel_renamesubcommand.h"
#include "support/Vek_command.h"
#include "support/Vek_listviewmodel.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

class TRenameTask;

// Performs (Execute), restores (Undo) and performs again (Redo) the rename of
// the model's rows. Each runs a rename task on the worker thread under the
// program's progress dialog, which offers Cancel. After the dialog closes the
// command is undoable and redoable whatever happened, so that a failed or
// cancelled run can still be restored, and keeps the history only when the
// run completed; then the task's error, if any, is thrown on: a cancel as the
// framework's abort, anything else as ERenameError with the same message. A
// run that never starts (the dialog cannot be shown, the worker cannot be
// created) changed nothing: it reports cfDiscard, so the history stays as it
// was, and its error passes on. So does a run whose journal cannot be written.
class TRenameCommand : public TActionCommand {
public:
    explicit TRenameCommand(TListViewModel& model);
    ~TRenameCommand() override;

    // Where each run writes its journal before it renames anything, in order
    // of preference (DefaultJournalFolders to begin with); empty: no journal.
    std::vector<std::string> JournalFolders;
    // The order of Perform (empty: the rows' order), let go once it ran.
    // Restore and the repetition follow the sub-commands that it made.
    TRenamePlan Plan;

    // The sub-commands: pending until performed, then done (undo stack) or
    // undone (redo stack).
    TInvoker& SubCommands() { return FSubCommands; }

    void Execute() override;
    void Undo() override;
    void Redo() override;

protected:
    // Shows a percentage that the task reported; main thread.
    virtual void DoProgress(TTrelProgressDialog& dialog, int percent);

private:
    void RunTask(TRenameTask* task);
    // Sets the flags from how the run went, then throws what went wrong: for
    // a run that never started the dialog's error or the abort, for one that
    // did the task's error before the dialog's.
    void ConcludeRun(bool started, const std::exception_ptr& dialogError, bool completed);
    void RepaintList() const;
    [[noreturn]] void ThrowStoredError();

    TListViewModel& FModel;
    // Outlives the sub-commands, which mark their moves in it.
    TMoveMarks FMarks;
    TInvoker FSubCommands;
    // Made by the task's error event, thrown on after the flags are set.
    std::unique_ptr<Exception> FError;
};

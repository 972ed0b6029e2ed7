// The base of the commands that the Edit menu's Undo and Redo act on.
#pragma once

#include "app/commands/Trel_actioncommand.h"
#include "framework/Fw_scope.h"
#include "support/Vek_command.h"
#include "support/Vek_listviewmodel.h"

// An action command that Edit > Undo and Edit > Redo may act on (list edits
// and name edits), told apart from a rename by its class.
class TEditCommand : public TActionCommand {};

// The frame of the composite edit commands: the model is read from the list
// control, the step runs, the command is marked done (kept, undoable and
// redoable), and the model is written back, also when the step throws; the
// exception then passes on with the command's flags empty. With states the
// selection is read and written too.
template <class F>
void RunEditStep(TCommand& command, TListViewModel& model, bool withStates, F&& step) {
    model.ReadFromView(withStates);
    auto writeBack = ScopeExit([&model, withStates] { model.WriteToView(withStates); });
    step();
    command.Flags += kCommandDone;
}

// Runs every pending sub-command, first appended first.
void ExecuteAll(TInvoker& subCommands);
// Undoes every done sub-command, last done first.
void UndoAll(TInvoker& subCommands);
// Redoes every undone sub-command, last undone first.
void RedoAll(TInvoker& subCommands);

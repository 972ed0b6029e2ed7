#include "support/Vek_command.h"

#include "framework/Fw_scope.h"
#include "support/Vek_autopointer.h"
#include "support/Vek_list.h"

TInvoker::~TInvoker() {
    FRedoCommands.Clear();
    FUndoCommands.Clear();
    FPendingCommands.Clear();
}

TCommand* TInvoker::GetPending() {
    return static_cast<TCommand*>(FPendingCommands.First());
}

TCommand* TInvoker::GetLastUndo() {
    return static_cast<TCommand*>(FUndoCommands.Last());
}

TCommand* TInvoker::GetLastRedo() {
    return static_cast<TCommand*>(FRedoCommands.Last());
}

bool TInvoker::CanExecute() {
    return FPendingCommands.Count() > 0;
}

bool TInvoker::CanUndo() {
    return FUndoCommands.Count() > 0;
}

bool TInvoker::CanRedo() {
    return FRedoCommands.Count() > 0;
}

void TInvoker::Run(TCommand* command, void (TCommand::*run)(), void (TInvoker::*after)()) {
    command->Flags = TCommandFlags();
    // The invoker's lists follow the command's flags also when it fails.
    auto afterRun = ScopeExit([this, after] { (this->*after)(); });
    (command->*run)();
}

void TInvoker::Execute() {
    Run(GetPending(), &TCommand::Execute, &TInvoker::AfterExecute);
}

void TInvoker::Undo() {
    Run(GetLastUndo(), &TCommand::Undo, &TInvoker::AfterUndo);
}

void TInvoker::Redo() {
    Run(GetLastRedo(), &TCommand::Redo, &TInvoker::AfterRedo);
}

void TInvoker::AfterExecute() {
    const TCommandFlags flags = GetPending()->Flags;
    if (flags.Contains(cfDiscard)) {
        FPendingCommands.Clear();
        return;
    }
    // Freed at the end unless it goes onto the undo stack.
    TAutoPointer<TCommand> command(
        static_cast<TCommand*>(TObjectListHelper(FPendingCommands).ExtractFirstObject()));
    if (!flags.Contains(cfKeepHistory))
        FPendingCommands.Clear();
    if (flags.Contains(cfUndoable)) {
        FUndoCommands.Add(command.Get());
        command.Release();
    }
    // Any executed command ends the redo history.
    FRedoCommands.Clear();
}

void TInvoker::AfterUndo() {
    MoveLast(FUndoCommands, cfUndoable, FRedoCommands, cfRedoable);
}

void TInvoker::AfterRedo() {
    MoveLast(FRedoCommands, cfRedoable, FUndoCommands, cfUndoable);
}

// Undo and redo mirror each other: the command leaves the top of one stack
// ("from", which it may stay in front of with stayFlag) for the other ("to",
// which it may join with moveFlag).
void TInvoker::MoveLast(TObjectList& from, TCommandFlag stayFlag, TObjectList& to, TCommandFlag moveFlag) {
    const TCommandFlags flags = static_cast<TCommand*>(from.Last())->Flags;
    if (flags.Contains(cfDiscard))
        return;
    // Freed at the end unless it goes onto the other stack.
    TAutoPointer<TCommand> command(static_cast<TCommand*>(TObjectListHelper(from).ExtractLastObject()));
    if (!flags.Contains(cfKeepHistory) || !flags.Contains(stayFlag))
        from.Clear();
    if (flags.Contains(moveFlag)) {
        to.Add(command.Get());
        command.Release();
    } else {
        to.Clear();
    }
}

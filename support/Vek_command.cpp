#include "support/Vek_command.h"

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

void TInvoker::Execute() {
    TCommand* command = GetPending();
    command->Flags = TCommandFlags();
    try {
        command->Execute();
    } catch (...) {
        AfterExecute();
        throw;
    }
    AfterExecute();
}

void TInvoker::Undo() {
    TCommand* command = GetLastUndo();
    command->Flags = TCommandFlags();
    try {
        command->Undo();
    } catch (...) {
        AfterUndo();
        throw;
    }
    AfterUndo();
}

void TInvoker::Redo() {
    TCommand* command = GetLastRedo();
    command->Flags = TCommandFlags();
    try {
        command->Redo();
    } catch (...) {
        AfterRedo();
        throw;
    }
    AfterRedo();
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
    const TCommandFlags flags = GetLastUndo()->Flags;
    if (flags.Contains(cfDiscard))
        return;
    TAutoPointer<TCommand> command(
        static_cast<TCommand*>(TObjectListHelper(FUndoCommands).ExtractLastObject()));
    if (!flags.Contains(cfKeepHistory) || !flags.Contains(cfUndoable))
        FUndoCommands.Clear();
    if (flags.Contains(cfRedoable)) {
        FRedoCommands.Add(command.Get());
        command.Release();
    } else {
        FRedoCommands.Clear();
    }
}

void TInvoker::AfterRedo() {
    const TCommandFlags flags = GetLastRedo()->Flags;
    if (flags.Contains(cfDiscard))
        return;
    TAutoPointer<TCommand> command(
        static_cast<TCommand*>(TObjectListHelper(FRedoCommands).ExtractLastObject()));
    if (!flags.Contains(cfKeepHistory) || !flags.Contains(cfRedoable))
        FRedoCommands.Clear();
    if (flags.Contains(cfUndoable)) {
        FUndoCommands.Add(command.Get());
        command.Release();
    } else {
        FUndoCommands.Clear();
    }
}

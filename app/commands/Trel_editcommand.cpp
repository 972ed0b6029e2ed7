#include "app/commands/Trel_editcommand.h"

void ExecuteAll(TInvoker& subCommands) {
    while (subCommands.CanExecute())
        subCommands.Execute();
}

void UndoAll(TInvoker& subCommands) {
    while (subCommands.CanUndo())
        subCommands.Undo();
}

void RedoAll(TInvoker& subCommands) {
    while (subCommands.CanRedo())
        subCommands.Redo();
}

#include "app/commands/Trel_listeditcommand.h"

#include "app/names/Trel_listedit.h"

// ---------------------------------------------------------------- TListEditCommand

// The selection is cleared first: what the sub-commands add becomes the only
// selected rows. The rows that the sub-commands delete are only marked, and
// go together in one pass when the step ends, also when a sub-command fails.
void TListEditCommand::Execute() {
    RunEditStep(*this, FModel, true, [this] {
        const TListViewModelBatch batch(FModel);
        FModel.DeselectAll();
        ExecuteAll(FSubCommands);
    });
}

void TListEditCommand::Undo() {
    RunEditStep(*this, FModel, true, [this] {
        const TListViewModelBatch batch(FModel);
        FModel.DeselectAll();
        UndoAll(FSubCommands);
    });
}

void TListEditCommand::Redo() {
    RunEditStep(*this, FModel, true, [this] {
        const TListViewModelBatch batch(FModel);
        FModel.DeselectAll();
        RedoAll(FSubCommands);
    });
}

// ---------------------------------------------------------------- TAddSubCommand

void TAddSubCommand::Execute() {
    TRenameList(FModel).Add(FItem);
    Flags += kCommandDone;
}

void TAddSubCommand::Undo() {
    TRenameList(FModel).Remove(FItem);
    Flags += kCommandDone;
}

void TAddSubCommand::Redo() {
    TRenameList(FModel).Add(FItem);
    Flags += kCommandDone;
}

// ---------------------------------------------------------------- TDeleteSubCommand

TDeleteSubCommand::TDeleteSubCommand(TListViewModel& model, int index)
    : FModel(model), FIndex(index), FItem(static_cast<TRenameItem*>(model.Items(index)->GetData())) {}

void TDeleteSubCommand::Execute() {
    TRenameList list(FModel);
    // The row holds the item unless the rows changed since construction; then
    // deleting by index would take another entry off the list, and its undo
    // would not bring that one back.
    if (FIndex < FModel.Count() && FModel.Items(FIndex)->GetData() == FItem)
        list.Delete(FIndex);
    else
        list.Remove(FItem);
    Flags += kCommandDone;
}

void TDeleteSubCommand::Undo() {
    TRenameList(FModel).Add(FItem);
    Flags += kCommandDone;
}

void TDeleteSubCommand::Redo() {
    TRenameList(FModel).Remove(FItem);
    Flags += kCommandDone;
}

#include "app/Trel_listeditcommand.h"

#include "app/Trel_listedit.h"

namespace {

const TCommandFlags kDone = {cfKeepHistory, cfUndoable, cfRedoable};

} // namespace

// ---------------------------------------------------------------- TListEditCommand

template <class F>
void TListEditCommand::Run(F&& step) {
    FModel.ReadFromView(true);
    try {
        FModel.DeselectAll();
        step();
        Flags += kDone;
    } catch (...) {
        FModel.WriteToView(true);
        throw;
    }
    FModel.WriteToView(true);
}

void TListEditCommand::Execute() {
    Run([this] {
        while (FSubCommands.CanExecute())
            FSubCommands.Execute();
    });
}

void TListEditCommand::Undo() {
    Run([this] {
        while (FSubCommands.CanUndo())
            FSubCommands.Undo();
    });
}

void TListEditCommand::Redo() {
    Run([this] {
        while (FSubCommands.CanRedo())
            FSubCommands.Redo();
    });
}

// ---------------------------------------------------------------- TAddSubCommand

void TAddSubCommand::Execute() {
    TRenameList(FModel).Add(FItem);
    Flags += kDone;
}

void TAddSubCommand::Undo() {
    TRenameList(FModel).Remove(FItem);
    Flags += kDone;
}

void TAddSubCommand::Redo() {
    TRenameList(FModel).Add(FItem);
    Flags += kDone;
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
    Flags += kDone;
}

void TDeleteSubCommand::Undo() {
    TRenameList(FModel).Add(FItem);
    Flags += kDone;
}

void TDeleteSubCommand::Redo() {
    TRenameList(FModel).Remove(FItem);
    Flags += kDone;
}

#include "app/Trel_nameeditcommand.h"

namespace {

const TCommandFlags kDone = {cfKeepHistory, cfUndoable, cfRedoable};

} // namespace

// ---------------------------------------------------------------- TNameEditCommand

template <class F>
void TNameEditCommand::Run(F&& step) {
    FModel.ReadFromView(false);
    try {
        step();
        Flags += kDone;
    } catch (...) {
        FModel.WriteToView(false);
        throw;
    }
    FModel.WriteToView(false);
}

void TNameEditCommand::Execute() {
    Run([this] {
        while (FSubCommands.CanExecute())
            FSubCommands.Execute();
    });
}

void TNameEditCommand::Undo() {
    Run([this] {
        while (FSubCommands.CanUndo())
            FSubCommands.Undo();
    });
}

void TNameEditCommand::Redo() {
    Run([this] {
        while (FSubCommands.CanRedo())
            FSubCommands.Redo();
    });
}

// ---------------------------------------------------------------- TSetSubCommand

TSetSubCommand::TSetSubCommand(TRenameItem* item, const std::string& newName)
    : FItem(item), FOldValues{item->NewName, item->Result}, FNewValues{newName, TRenameItemResult::None} {}

void TSetSubCommand::Execute() {
    Apply(FNewValues);
    Flags += kDone;
}

void TSetSubCommand::Undo() {
    Apply(FOldValues);
    Flags += kDone;
}

void TSetSubCommand::Redo() {
    Apply(FNewValues);
    Flags += kDone;
}

void TSetSubCommand::Apply(const TValues& values) {
    FItem->NewName = values.NewName;
    FItem->Result = values.Result;
}

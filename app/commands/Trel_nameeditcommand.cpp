#include "app/commands/Trel_nameeditcommand.h"

// ---------------------------------------------------------------- TNameEditCommand

// Without states: the selection stays the user's, and the rows are redrawn
// once with their new names.
void TNameEditCommand::Execute() {
    RunEditStep(*this, FModel, false, [this] { ExecuteAll(FSubCommands); });
}

void TNameEditCommand::Undo() {
    RunEditStep(*this, FModel, false, [this] { UndoAll(FSubCommands); });
}

void TNameEditCommand::Redo() {
    RunEditStep(*this, FModel, false, [this] { RedoAll(FSubCommands); });
}

// ---------------------------------------------------------------- TSetSubCommand

TSetSubCommand::TSetSubCommand(TRenameItem* item, const std::string& newName)
    : FItem(item), FOldValues{item->NewName, item->Result}, FNewValues{newName, TRenameItemResult::None} {}

void TSetSubCommand::Execute() {
    Apply(FNewValues);
    Flags += kCommandDone;
}

void TSetSubCommand::Undo() {
    Apply(FOldValues);
    Flags += kCommandDone;
}

void TSetSubCommand::Redo() {
    Apply(FNewValues);
    Flags += kCommandDone;
}

void TSetSubCommand::Apply(const TValues& values) {
    FItem->NewName = values.NewName;
    FItem->Result = values.Result;
}

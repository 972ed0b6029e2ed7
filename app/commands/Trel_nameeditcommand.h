// The undoable change of new names: one Name menu operation or one in-place edit.
#pragma once

#include "app/commands/Trel_editcommand.h"
#include "app/names/Trel_rename.h"
#include "support/Vek_command.h"
#include "support/Vek_listviewmodel.h"

#include <string>

// One name change made of one set sub-command per item, in list order, in
// SubCommands' pending list. Each run takes the row count from the control
// (not the selection), runs every sub-command (undoing last first) and has
// the control redraw once, also when a sub-command fails.
class TNameEditCommand : public TEditCommand {
public:
    explicit TNameEditCommand(TListViewModel& model) : FModel(model) {}

    TInvoker& SubCommands() { return FSubCommands; }

    void Execute() override;
    void Undo() override;
    void Redo() override;

private:
    TListViewModel& FModel;
    TInvoker FSubCommands;
};

// Sets one item's new name and resets its result to None; undone by restoring
// both as they were at construction. The item is not owned.
class TSetSubCommand : public TCommand {
public:
    struct TValues {
        std::string NewName;
        TRenameItemResult Result = TRenameItemResult::None;
    };

    TSetSubCommand(TRenameItem* item, const std::string& newName);

    void Execute() override;
    void Undo() override;
    void Redo() override;
    // The item's new name and result become the values'; nothing else changes.
    virtual void Apply(const TValues& values);

private:
    TRenameItem* FItem;
    TValues FOldValues;
    TValues FNewValues;
};

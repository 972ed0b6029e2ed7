// The undoable change of the list's membership: adding and deleting entries.
#pragma once

#include "app/commands/Trel_editcommand.h"
#include "app/names/Trel_rename.h"
#include "support/Vek_command.h"
#include "support/Vek_listviewmodel.h"

// One list change made of one sub-command per entry. The sub-commands go to
// SubCommands' pending list before the command runs. Each run takes the rows
// and their selection from the control, clears the selection, runs every
// sub-command (undoing last first), and writes rows and selection back, also
// when a sub-command fails; the exception then passes on with empty flags.
class TListEditCommand : public TEditCommand {
public:
    explicit TListEditCommand(TListViewModel& model) : FModel(model) {}

    TInvoker& SubCommands() { return FSubCommands; }

    void Execute() override;
    void Undo() override;
    void Redo() override;

private:
    TListViewModel& FModel;
    TInvoker FSubCommands;
};

// Adds one item as the last row, selected and focused; undone by removing the
// item's row wherever it stands then. The item is not owned.
class TAddSubCommand : public TCommand {
public:
    TAddSubCommand(TListViewModel& model, TRenameItem* item) : FModel(model), FItem(item) {}

    void Execute() override;
    void Undo() override;
    void Redo() override;

private:
    TListViewModel& FModel;
    TRenameItem* FItem;
};

// Deletes the row at an index, remembering the item that stands there at
// construction; undone by adding that item again as the last row, redone by
// removing the item's row wherever it stands then.
class TDeleteSubCommand : public TCommand {
public:
    // The row at index must exist (the list index error otherwise).
    TDeleteSubCommand(TListViewModel& model, int index);

    void Execute() override;
    void Undo() override;
    void Redo() override;

private:
    TListViewModel& FModel;
    std::int32_t FIndex;
    TRenameItem* FItem;
};

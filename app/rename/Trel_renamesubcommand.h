// The rename of one entry on disk, a step of the rename command.
#pragma once

#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamejournal.h"
#include "support/Vek_command.h"

#include <string>

// Renames one entry in place and records the result in the item. The names
// are copied from the item at construction: a restore and a repetition use
// them, whatever the item's new name has become since.
class TRenameSubCommand : public TCommand {
public:
    // The item is not owned.
    explicit TRenameSubCommand(TRenameItem* item);

    void Execute() override;
    void Undo() override;
    void Redo() override;

    // The rename that Rename(forward) makes, as the run's journal records it.
    TJournalStep JournalStep(bool forward) const;

    // Forward from the old name to the new one, or back. Equal names mark the
    // item Skipped and leave the disk alone; a rename the system refuses marks
    // it Failed and throws ERenameError; a done one makes the target the
    // item's old name and marks it Succeeded.
    virtual void Rename(bool forward);

private:
    TRenameItem* FItem;
    std::string FOldName;
    std::string FNewName;
};

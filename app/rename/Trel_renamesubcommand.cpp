#include "app/rename/Trel_renamesubcommand.h"

#include "support/Vek_file.h"

TRenameSubCommand::TRenameSubCommand(TRenameItem* item)
    : FItem(item), FOldName(item->OldName), FNewName(item->NewName) {}

void TRenameSubCommand::Execute() {
    Rename(true);
    Flags += kCommandDone;
}

void TRenameSubCommand::Undo() {
    Rename(false);
    Flags += kCommandDone;
}

void TRenameSubCommand::Redo() {
    Rename(true);
    Flags += kCommandDone;
}

TJournalStep TRenameSubCommand::JournalStep(bool forward) const {
    return {FItem->Directory, forward ? FOldName : FNewName, forward ? FNewName : FOldName};
}

void TRenameSubCommand::Rename(bool forward) {
    // Byte by byte: a change of letter case is a rename.
    if (FOldName == FNewName) {
        FItem->Result = TRenameItemResult::Skipped;
        return;
    }
    const std::string source = TPath::Combine(FItem->Directory, forward ? FOldName : FNewName).GetPath();
    const std::string& target = forward ? FNewName : FOldName;
    if (!TFiles().TryRename(source, target)) {
        FItem->Result = TRenameItemResult::Failed;
        // A name too long for the disk is refused with the limit.
        const std::string tooLong = NameTooLongMessage(FItem->Directory, target);
        throw ERenameError(tooLong.empty() ? "The program could not rename the file." : tooLong);
    }
    FItem->OldName = target;
    FItem->Result = TRenameItemResult::Succeeded;
}

#include "app/rename/Trel_renamesubcommand.h"

#include "support/Vek_file.h"

TRenameSubCommand::TRenameSubCommand(TRenameItem* item, TMoveMarks* marks) : FMarks(marks) {
    // Not a braced list: its elements would be copied once more.
    FMoves.reserve(1);
    FMoves.push_back({item, item->OldName, item->NewName});
}

TRenameSubCommand::TRenameSubCommand(const std::vector<TRenameItem*>& cycle, const std::string& temporary,
                                     TMoveMarks* marks)
    : FMarks(marks) {
    FMoves.reserve(cycle.size() + 1);
    FMoves.push_back({cycle.front(), cycle.front()->OldName, temporary});
    for (size_t i = 1; i < cycle.size(); ++i)
        FMoves.push_back({cycle[i], cycle[i]->OldName, cycle[i]->NewName});
    FMoves.push_back({cycle.front(), temporary, cycle.front()->NewName});
}

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

void TRenameSubCommand::AppendJournalSteps(bool forward, std::vector<TJournalStep>& steps) const {
    for (size_t step = 0; step < FMoves.size(); ++step) {
        const TRenameMove& move = MoveAt(step, forward);
        steps.push_back({move.Item->Directory, forward ? move.From : move.To, forward ? move.To : move.From});
    }
}

void TRenameSubCommand::Rename(bool forward) {
    // Byte by byte: a change of letter case is a rename.
    if (FMoves.size() == 1 && FMoves.front().From == FMoves.front().To) {
        MarkStep();
        FMoves.front().Item->Result = TRenameItemResult::Skipped;
        return;
    }
    for (size_t step = 0; step < FMoves.size(); ++step) {
        const TRenameMove& move = MoveAt(step, forward);
        MarkStep();
        if (!Move(move, forward)) {
            TakeBack(step, forward);
            move.Item->Result = TRenameItemResult::Failed;
            // A name too long for the disk is refused with the limit.
            const std::string tooLong = NameTooLongMessage(move.Item->Directory, forward ? move.To : move.From);
            throw ERenameError(tooLong.empty() ? "The program could not rename the file." : tooLong);
        }
    }
}

bool TRenameSubCommand::Move(const TRenameMove& move, bool forward) {
    const std::string& from = forward ? move.From : move.To;
    const std::string& to = forward ? move.To : move.From;
    if (!TFiles().TryRename(TPath::Combine(move.Item->Directory, from).GetPath(), to))
        return false;
    move.Item->OldName = to;
    move.Item->Result = TRenameItemResult::Succeeded;
    return true;
}

void TRenameSubCommand::TakeBack(size_t done, bool forward) {
    for (size_t step = done; step-- > 0;) {
        const TRenameMove& move = MoveAt(step, forward);
        if (!Move(move, !forward)) {
            move.Item->Result = TRenameItemResult::Failed;
            throw ERenameError(Format("The program could not rename the file, nor give \"%s\" its name \"%s\" back.",
                                      TPath::Combine(move.Item->Directory, move.Item->OldName).GetPath().c_str(),
                                      (forward ? move.From : move.To).c_str()));
        }
        move.Item->Result = TRenameItemResult::None;
    }
}

void TRenameSubCommand::MarkStep() const {
    if (FMarks && FMarks->Journal)
        FMarks->Journal->StepBegins();
}

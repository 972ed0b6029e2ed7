// The rename of one entry on disk, or of a cycle of entries through a
// temporary name: one step of the rename command.
#pragma once

#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamejournal.h"
#include "support/Vek_command.h"

#include <string>
#include <vector>

// One move on disk: the entry of the item in its directory, from one name to
// another.
struct TRenameMove {
    TRenameItem* Item;
    std::string From;
    std::string To;
};

// Where the moves of a rename run mark themselves in the run's journal, each
// just before it touches the disk. The rename command owns it, so it outlives
// the sub-commands; a run sets Journal for as long as it keeps one.
struct TMoveMarks {
    TRenameJournal* Journal = nullptr;
};

// Renames in place and records the results in the items. The names are
// copied from the items at construction: a restore and a repetition use
// them, whatever the items' new names have become since.
class TRenameSubCommand : public TCommand {
public:
    // One entry, from its old name to its new one. Neither the item nor the
    // marks (none: no journal) are owned.
    explicit TRenameSubCommand(TRenameItem* item, TMoveMarks* marks = nullptr);
    // A cycle of names, broken with a temporary name that exists nowhere in
    // their directory: the first item moves to it, each next one takes the
    // name that the one before it gives up, and the first moves on to its new
    // name last.
    TRenameSubCommand(const std::vector<TRenameItem*>& cycle, const std::string& temporary, TMoveMarks* marks);

    void Execute() override;
    void Undo() override;
    void Redo() override;

    // The moves that Rename(forward) makes, in their order, as the run's
    // journal records them.
    void AppendJournalSteps(bool forward, std::vector<TJournalStep>& steps) const;

    // Forward from the old names to the new ones, or back (the moves in the
    // other order), each marked in the journal first: a cycle's names alone
    // cannot tell a recovery whether it ran, the marks can. One entry with
    // equal names is marked Skipped and the disk left alone. A done move makes its target the item's old name and marks
    // it Succeeded. A move the system refuses marks its item Failed and throws
    // ERenameError; the moves done before it are taken back first, last first
    // (their items marked None), so that no entry keeps a temporary name.
    virtual void Rename(bool forward);

private:
    bool Move(const TRenameMove& move, bool forward);
    // Takes back the first `done` moves of a rename in that direction.
    void TakeBack(size_t done, bool forward);
    const TRenameMove& MoveAt(size_t step, bool forward) const {
        return FMoves[forward ? step : FMoves.size() - 1 - step];
    }

    void MarkStep() const;

    std::vector<TRenameMove> FMoves;
    TMoveMarks* FMarks;
};

// The check of a rename before it is performed: which entries would fail,
// and why. It reads the disk (one listing per directory) and changes nothing.
#pragma once

#include "app/rename/Trel_disknames.h"
#include "support/Vek_listviewmodel.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Why an entry would fail, or (Unchanged) be skipped. An entry may have
// several reasons.
enum TCheckReason : int {
    // The new name is not a valid name, or the system would store it under
    // another one (trailing dots or blanks, a device name), or it is longer
    // than the volume takes.
    crInvalidName,
    // Another entry earlier in the list ends with the same path (letter case
    // ignored, as the file system does).
    crSamePath,
    // The new name exists on disk and is not renamed away earlier in the list.
    crNameTaken,
    // A directory that holds the entry is renamed earlier in the list: the
    // entry's path no longer exists when its turn comes.
    crInsideRenamedDirectory,
    // As crNameTaken, where the names form a cycle (a swap of two names).
    crCycle,
    // The entry is no longer on disk under its old name.
    crMissing,
    // The new name equals the old one: the entry is skipped (not a failure).
    crUnchanged,
};
constexpr int kCheckReasonCount = 7;

// One entry of the list as the check sees it.
struct TCheckEntry {
    std::string Directory;
    std::string OldName;
    std::string NewName;
    bool IsDirectory = false;
};

// What the disk says about one entry before the run.
struct TEntryOnDisk {
    bool OldExists = false;
    bool NewExists = false;
};

// Looks every entry's old and new name up, listing each directory once.
std::vector<TEntryOnDisk> LookUpOnDisk(const std::vector<TCheckEntry>& entries, TDiskNames& disk);

// ---------------------------------------------------------------- phases
// What the names alone tell of a run, found in phases that the check and the
// planning of a safe order share.

// The keys of every entry's directory, old and new path, as the file system
// tells paths apart.
struct TEntryKeys {
    std::vector<std::string> Directory;
    std::vector<std::string> Old;
    std::vector<std::string> New;
    // Whether the name changes at all (byte by byte: letter case counts).
    std::vector<bool> Renamed;

    // Whether the rename moves the entry to another path (not only another
    // spelling of the same one, which leaves every path through it valid).
    bool Moves(size_t e) const { return Renamed[e] && Old[e] != New[e]; }
};

// The first entry that moves away from each path, and the first directory
// entry that does. Keyed by views of the keys, which stay in place.
struct TMovedAway {
    std::unordered_map<std::string_view, int> Entries;
    std::unordered_map<std::string, int> Directories;
    // Some path is moved away from by two entries.
    bool Repeated = false;
};

// The phases together. Moved holds views of Keys, so the whole moves but is
// never copied.
struct TRunNames {
    TEntryKeys Keys;
    TMovedAway Moved;
    std::vector<int> Next;
    std::vector<bool> OnCycle;

    TRunNames() = default;
    TRunNames(const TRunNames&) = delete;
    TRunNames& operator=(const TRunNames&) = delete;
    TRunNames(TRunNames&&) = default;
    TRunNames& operator=(TRunNames&&) = default;

    // The entry takes a name that another entry of the run gives up later in
    // the list, or on a cycle: the list order does not serve it, a safe order
    // does.
    bool NeedsOrder(size_t e) const { return Next[e] >= 0 && (Next[e] > static_cast<int>(e) || OnCycle[e]); }
};

TRunNames FindRunNames(const std::vector<TCheckEntry>& entries);

// ---------------------------------------------------------------- the check

struct TCheckResult {
    // One bit per reason (1 << TCheckReason) for each entry.
    std::vector<std::uint8_t> Reasons;
    // Entries per reason.
    std::array<int, kCheckReasonCount> Counts{};
    // Entries with a reason to fail (every reason but crUnchanged).
    int Failing = 0;
    // Entries that a safe order would serve (TRunNames::NeedsOrder).
    int SafeOrderServes = 0;
    // Some entries would fail, and only because of the order: each of them
    // takes a name that the run itself gives up, so a safe order runs every
    // entry.
    bool SafeOrderRunsAll = false;

    bool Has(int entry, TCheckReason reason) const {
        return (Reasons[static_cast<size_t>(entry)] & (1u << reason)) != 0;
    }
    bool Fails(int entry) const { return (Reasons[static_cast<size_t>(entry)] & ~(1u << crUnchanged)) != 0; }
};

// Checks the entries in list order against what the disk holds, in
// O(n log n) (hashing, and a walk up the directories of each distinct
// directory).
TCheckResult CheckRenames(const std::vector<TCheckEntry>& entries, const std::vector<TEntryOnDisk>& disk);
// The same with the names' phases already found.
TCheckResult CheckRenames(const std::vector<TCheckEntry>& entries, const TRunNames& names,
                          const std::vector<TEntryOnDisk>& disk);

// The rows of the model as the check sees them, in row order.
std::vector<TCheckEntry> CheckEntriesOf(TListViewModel& model);

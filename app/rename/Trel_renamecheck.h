// The check of a rename before it is performed: which entries would fail,
// and why. It reads the disk (one listing per directory) and changes nothing.
#pragma once

#include "app/rename/Trel_disknames.h"

#include <array>
#include <cstdint>
#include <string>
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

struct TCheckResult {
    // One bit per reason (1 << TCheckReason) for each entry.
    std::vector<std::uint8_t> Reasons;
    // Entries per reason.
    std::array<int, kCheckReasonCount> Counts{};
    // Entries with a reason to fail (every reason but crUnchanged).
    int Failing = 0;

    bool Has(int entry, TCheckReason reason) const {
        return (Reasons[static_cast<size_t>(entry)] & (1u << reason)) != 0;
    }
    bool Fails(int entry) const { return (Reasons[static_cast<size_t>(entry)] & ~(1u << crUnchanged)) != 0; }
};

// Checks the entries in list order against what the disk holds, in
// O(n log n) (hashing, and a walk up the directories of each distinct
// directory).
TCheckResult CheckRenames(const std::vector<TCheckEntry>& entries, const std::vector<TEntryOnDisk>& disk);

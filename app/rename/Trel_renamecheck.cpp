#include "app/rename/Trel_renamecheck.h"

#include "support/Vek_file.h"


#include <string_view>
#include <unordered_map>

namespace {

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

TEntryKeys MakeKeys(const std::vector<TCheckEntry>& entries) {
    const size_t count = entries.size();
    TEntryKeys keys{std::vector<std::string>(count), std::vector<std::string>(count),
                    std::vector<std::string>(count), std::vector<bool>(count)};
    // Entries come grouped by directory: its key is computed once per run of them.
    const std::string* lastDirectory = nullptr;
    for (size_t e = 0; e < count; ++e) {
        const TCheckEntry& entry = entries[e];
        if (lastDirectory && *lastDirectory == entry.Directory) {
            keys.Directory[e] = keys.Directory[e - 1];
        } else {
            lastDirectory = &entry.Directory;
            keys.Directory[e] = PathKey(entry.Directory);
        }
        keys.Old[e] = PathKey(keys.Directory[e], entry.OldName);
        keys.New[e] = PathKey(keys.Directory[e], entry.NewName);
        keys.Renamed[e] = entry.OldName != entry.NewName;
    }
    return keys;
}

// The first entry that moves away from each path, and the first directory
// entry that does. Keyed by views of the keys, which stay in place.
struct TMovedAway {
    std::unordered_map<std::string_view, int> Entries;
    std::unordered_map<std::string, int> Directories;
};

TMovedAway FindMovedAway(const std::vector<TCheckEntry>& entries, const TEntryKeys& keys) {
    TMovedAway moved;
    moved.Entries.reserve(entries.size());
    for (size_t e = 0; e < entries.size(); ++e) {
        if (!keys.Moves(e))
            continue;
        moved.Entries.emplace(keys.Old[e], static_cast<int>(e));
        if (entries[e].IsDirectory)
            moved.Directories.emplace(keys.Old[e], static_cast<int>(e));
    }
    return moved;
}

// The entries on a cycle of names: each one's target is where the next one
// sits, and the last one's target is where the first sits.
std::vector<bool> FindCycles(const TEntryKeys& keys, const TMovedAway& moved) {
    const size_t count = keys.Old.size();
    std::vector<int> next(count, -1);
    for (size_t e = 0; e < count; ++e) {
        if (!keys.Moves(e))
            continue;
        const auto found = moved.Entries.find(keys.New[e]);
        if (found != moved.Entries.end())
            next[e] = found->second;
    }
    enum : std::uint8_t { kUnvisited, kOnPath, kDone };
    std::vector<std::uint8_t> visit(count, kUnvisited);
    std::vector<bool> onCycle(count, false);
    std::vector<int> path;
    for (size_t start = 0; start < count; ++start) {
        path.clear();
        int node = static_cast<int>(start);
        while (node >= 0 && visit[static_cast<size_t>(node)] == kUnvisited) {
            visit[static_cast<size_t>(node)] = kOnPath;
            path.push_back(node);
            node = next[static_cast<size_t>(node)];
        }
        if (node >= 0 && visit[static_cast<size_t>(node)] == kOnPath) {
            // The walk came back to itself: from node on, the path is a cycle.
            for (auto it = path.rbegin(); it != path.rend(); ++it) {
                onCycle[static_cast<size_t>(*it)] = true;
                if (*it == node)
                    break;
            }
        }
        for (const int done : path)
            visit[static_cast<size_t>(done)] = kDone;
    }
    return onCycle;
}

// The first directory entry that moves away from a directory or from one of
// the directories above it, found once per distinct directory.
class TMovesAbove {
public:
    TMovesAbove(const TMovedAway& moved, int none) : FMoved(moved), FNone(none) {}

    int First(const std::string& directoryKey) {
        const auto known = FFirst.find(directoryKey);
        if (known != FFirst.end())
            return known->second;
        int first = FNone;
        std::string current = directoryKey;
        for (;;) {
            const auto moved = FMoved.Directories.find(current);
            if (moved != FMoved.Directories.end() && moved->second < first)
                first = moved->second;
            const std::string parent = TPath(current).GetDirectory();
            if (parent.size() >= current.size())
                break;
            current = parent;
        }
        FFirst.emplace(directoryKey, first);
        return first;
    }

private:
    const TMovedAway& FMoved;
    const int FNone;
    // Keyed by views of the entries' directory keys, which stay in place.
    std::unordered_map<std::string_view, int> FFirst;
};

// Every reason of every entry, in list order.
void FlagReasons(const std::vector<TCheckEntry>& entries, const std::vector<TEntryOnDisk>& disk,
                 const TEntryKeys& keys, TCheckResult& result) {
    const int count = static_cast<int>(entries.size());
    const TMovedAway moved = FindMovedAway(entries, keys);
    const std::vector<bool> onCycle = FindCycles(keys, moved);
    TMovesAbove movesAbove(moved, count);
    auto flag = [&result](size_t e, TCheckReason reason) {
        result.Reasons[e] |= static_cast<std::uint8_t>(1u << reason);
    };
    // The first entry, in list order, that ends at each path.
    std::unordered_map<std::string_view, int> firstAtPath;
    firstAtPath.reserve(entries.size());
    for (int i = 0; i < count; ++i) {
        const size_t e = static_cast<size_t>(i);
        if (!keys.Renamed[e]) {
            flag(e, crUnchanged);
            firstAtPath.emplace(keys.New[e], i);
            continue;
        }
        if (!IsStorableName(entries[e].Directory, entries[e].NewName))
            flag(e, crInvalidName);
        if (!disk[e].OldExists)
            flag(e, crMissing);
        if (movesAbove.First(keys.Directory[e]) < i)
            flag(e, crInsideRenamedDirectory);
        if (!firstAtPath.emplace(keys.New[e], i).second)
            flag(e, crSamePath);
        if (keys.Moves(e) && disk[e].NewExists) {
            const auto away = moved.Entries.find(keys.New[e]);
            if (away == moved.Entries.end() || away->second > i)
                flag(e, onCycle[e] ? crCycle : crNameTaken);
        }
    }
}

void CountReasons(TCheckResult& result) {
    const int count = static_cast<int>(result.Reasons.size());
    for (int i = 0; i < count; ++i) {
        for (int reason = 0; reason < kCheckReasonCount; ++reason)
            if (result.Has(i, static_cast<TCheckReason>(reason)))
                ++result.Counts[static_cast<size_t>(reason)];
        if (result.Fails(i))
            ++result.Failing;
    }
}

} // namespace

std::vector<TEntryOnDisk> LookUpOnDisk(const std::vector<TCheckEntry>& entries, TDiskNames& disk) {
    std::vector<TEntryOnDisk> found(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const TCheckEntry& entry = entries[i];
        found[i].OldExists = disk.Contains(entry.Directory, entry.OldName);
        found[i].NewExists = !entry.NewName.empty() && disk.Contains(entry.Directory, entry.NewName);
    }
    return found;
}

TCheckResult CheckRenames(const std::vector<TCheckEntry>& entries, const std::vector<TEntryOnDisk>& disk) {
    TCheckResult result;
    result.Reasons.assign(entries.size(), 0);
    FlagReasons(entries, disk, MakeKeys(entries), result);
    CountReasons(result);
    return result;
}

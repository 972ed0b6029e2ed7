#include "app/rename/Trel_renamecheck.h"

#include "app/names/Trel_rename.h"
#include "support/Vek_file.h"

#include <string_view>
#include <unordered_map>

namespace {

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

TMovedAway FindMovedAway(const std::vector<TCheckEntry>& entries, const TEntryKeys& keys) {
    TMovedAway moved;
    moved.Entries.reserve(entries.size());
    for (size_t e = 0; e < entries.size(); ++e) {
        if (!keys.Moves(e))
            continue;
        if (!moved.Entries.emplace(keys.Old[e], static_cast<int>(e)).second)
            moved.Repeated = true;
        if (entries[e].IsDirectory)
            moved.Directories.emplace(keys.Old[e], static_cast<int>(e));
    }
    return moved;
}

// For every entry that moves, the entry that moves away from its new path
// (-1: none): the one whose name it takes.
std::vector<int> FindNext(const TEntryKeys& keys, const TMovedAway& moved) {
    const size_t count = keys.Old.size();
    std::vector<int> next(count, -1);
    for (size_t e = 0; e < count; ++e) {
        if (!keys.Moves(e))
            continue;
        const auto found = moved.Entries.find(keys.New[e]);
        if (found != moved.Entries.end())
            next[e] = found->second;
    }
    return next;
}

// The entries on a cycle of names: each one's target is where the next one
// sits, and the last one's target is where the first sits.
std::vector<bool> FindCycles(const std::vector<int>& next) {
    const size_t count = next.size();
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

} // namespace

TRunNames FindRunNames(const std::vector<TCheckEntry>& entries) {
    TRunNames names;
    names.Keys = MakeKeys(entries);
    names.Moved = FindMovedAway(entries, names.Keys);
    names.Next = FindNext(names.Keys, names.Moved);
    names.OnCycle = FindCycles(names.Next);
    return names;
}

namespace {

// The first directory entry that moves away from a directory or from one of
// the directories above it, found once per distinct directory.
class TMovesAbove {
public:
    TMovesAbove(const TMovedAway& moved, int none) : FMoved(moved), FNone(none) {}

    int First(const std::string& directoryKey) {
        // Entries come grouped by directory.
        if (FLastKey && *FLastKey == directoryKey)
            return FLastFirst;
        FLastKey = &directoryKey;
        FLastFirst = Find(directoryKey);
        return FLastFirst;
    }

private:
    int Find(const std::string& directoryKey) {
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

    const TMovedAway& FMoved;
    const int FNone;
    const std::string* FLastKey = nullptr;
    int FLastFirst = 0;
    // Keyed by views of the entries' directory keys, which stay in place.
    std::unordered_map<std::string_view, int> FFirst;
};

// Every reason of every entry, in list order.
void FlagReasons(const std::vector<TCheckEntry>& entries, const std::vector<TEntryOnDisk>& disk,
                 const TRunNames& names, TCheckResult& result) {
    const int count = static_cast<int>(entries.size());
    const TEntryKeys& keys = names.Keys;
    const std::vector<bool>& onCycle = names.OnCycle;
    TMovesAbove movesAbove(names.Moved, count);
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
        // Taken unless an entry earlier in the list moves away from it.
        if (keys.Moves(e) && disk[e].NewExists && (names.Next[e] < 0 || names.Next[e] > i))
            flag(e, onCycle[e] ? crCycle : crNameTaken);
    }
}

void CountReasons(const TRunNames& names, TCheckResult& result) {
    const int count = static_cast<int>(result.Reasons.size());
    // The reasons that a safe order takes away.
    constexpr unsigned kOrderReasons = (1u << crNameTaken) | (1u << crCycle);
    bool onlyOrder = !names.Moved.Repeated;
    for (int i = 0; i < count; ++i) {
        const size_t e = static_cast<size_t>(i);
        for (int reason = 0; reason < kCheckReasonCount; ++reason)
            if (result.Has(i, static_cast<TCheckReason>(reason)))
                ++result.Counts[static_cast<size_t>(reason)];
        if (names.NeedsOrder(e))
            ++result.SafeOrderServes;
        if (!result.Fails(i))
            continue;
        ++result.Failing;
        if (!names.NeedsOrder(e) || (result.Reasons[e] & ~kOrderReasons) != 0)
            onlyOrder = false;
    }
    result.SafeOrderRunsAll = result.Failing > 0 && onlyOrder;
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
    return CheckRenames(entries, FindRunNames(entries), disk);
}

TCheckResult CheckRenames(const std::vector<TCheckEntry>& entries, const TRunNames& names,
                          const std::vector<TEntryOnDisk>& disk) {
    TCheckResult result;
    result.Reasons.assign(entries.size(), 0);
    FlagReasons(entries, disk, names, result);
    CountReasons(names, result);
    return result;
}

std::vector<TCheckEntry> CheckEntriesOf(TListViewModel& model) {
    const int rows = model.Count();
    std::vector<TCheckEntry> entries;
    entries.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        const auto* item = static_cast<const TRenameItem*>(model.Items(row)->GetData());
        entries.push_back({item->Directory, item->OldName, item->NewName, item->Type == TRenameItemType::Directory});
    }
    return entries;
}

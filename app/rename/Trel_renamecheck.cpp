#include "app/rename/Trel_renamecheck.h"

#include "support/Vek_file.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace {

// The longest name of one path component the file systems take.
constexpr size_t kMaxComponent = 255;

// The key of a directory: letter case ignored as the file system ignores it,
// without a trailing separator except after a drive ("c:\").
std::string DirectoryKey(const std::string& directory) {
    TPath path(directory);
    if (path.EndsWith('\\') && path.GetLength() > 1) {
        TPath shorter(path);
        shorter.ExcludeTrailing('\\');
        if (!shorter.EndsWith(':'))
            path = shorter;
    }
    return LowerFileName(path.GetPath());
}

// The key of a path in a directory, from the directory's key.
std::string PathKey(const std::string& directoryKey, bool separated, const std::string& name) {
    std::string key;
    key.reserve(directoryKey.size() + 1 + name.size());
    key = directoryKey;
    if (!separated)
        key += '\\';
    key += LowerFileName(name);
    return key;
}

// The names the system keeps for devices, with or without an extension.
bool IsDeviceName(const std::string& name) {
    // Most names are ruled out by their length or first letter.
    const size_t baseLength = std::min(name.find('.'), name.size());
    if (baseLength < 3 || baseLength > 7 || !std::strchr("aAcClLnNpP", name[0]))
        return false;
    const std::string base = UpperFileName(name.substr(0, baseLength));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (base == device)
            return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

// Whether the rename moves the entry to another name (not only another
// spelling of the same one, which leaves every path through it valid).
bool Moves(const std::string& oldKey, const std::string& newKey) {
    return oldKey != newKey;
}

} // namespace

bool IsStorableName(const std::string& name) {
    if (name.empty() || name.size() > kMaxComponent || !TPath(name).IsValidName())
        return false;
    const char last = name.back();
    if ((last == '.' || last == ' ') && !IsTrailByte(name, name.size() - 1))
        return false;
    return !IsDeviceName(name);
}

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
    const int count = static_cast<int>(entries.size());
    TCheckResult result;
    result.Reasons.assign(entries.size(), 0);
    auto flag = [&result](int entry, TCheckReason reason) {
        result.Reasons[static_cast<size_t>(entry)] |= static_cast<std::uint8_t>(1u << reason);
    };

    // Keys of each entry's directory, old and new path. Entries come grouped
    // by directory: its key is computed once per run of them.
    std::vector<std::string> directoryKeys(entries.size());
    std::vector<std::string> oldKeys(entries.size());
    std::vector<std::string> newKeys(entries.size());
    std::vector<bool> renames(entries.size());
    // The length of the new path, which the system's calls limit.
    std::vector<size_t> newPathLengths(entries.size());
    const std::string* lastDirectory = nullptr;
    bool separated = false;
    for (int i = 0; i < count; ++i) {
        const size_t e = static_cast<size_t>(i);
        const TCheckEntry& entry = entries[e];
        if (lastDirectory && *lastDirectory == entry.Directory) {
            directoryKeys[e] = directoryKeys[e - 1];
        } else {
            lastDirectory = &entry.Directory;
            directoryKeys[e] = DirectoryKey(entry.Directory);
            separated = TPath(directoryKeys[e]).EndsWith('\\');
        }
        oldKeys[e] = PathKey(directoryKeys[e], separated, entry.OldName);
        newKeys[e] = PathKey(directoryKeys[e], separated, entry.NewName);
        renames[e] = entry.OldName != entry.NewName;
        newPathLengths[e] = entry.Directory.size() + (separated ? 0 : 1) + entry.NewName.size();
    }

    // The first entry that moves away from each path, and the first directory
    // entry that does.
    // Keyed by views of the keys above, which stay in place.
    std::unordered_map<std::string_view, int> movedAway;
    std::unordered_map<std::string, int> directoryMovedAway;
    movedAway.reserve(entries.size());
    for (int i = 0; i < count; ++i) {
        const size_t e = static_cast<size_t>(i);
        if (!renames[e] || !Moves(oldKeys[e], newKeys[e]))
            continue;
        movedAway.emplace(oldKeys[e], i);
        if (entries[e].IsDirectory)
            directoryMovedAway.emplace(oldKeys[e], i);
    }

    // Entries on a cycle of names: each one's target is where the next one
    // sits, and the last one's target is where the first sits.
    std::vector<int> next(entries.size(), -1);
    for (int i = 0; i < count; ++i) {
        const size_t e = static_cast<size_t>(i);
        if (!renames[e] || !Moves(oldKeys[e], newKeys[e]))
            continue;
        const auto found = movedAway.find(newKeys[e]);
        if (found != movedAway.end())
            next[e] = found->second;
    }
    enum : std::uint8_t { kUnvisited, kOnPath, kDone };
    std::vector<std::uint8_t> visit(entries.size(), kUnvisited);
    std::vector<bool> onCycle(entries.size(), false);
    std::vector<int> path;
    for (int start = 0; start < count; ++start) {
        path.clear();
        int node = start;
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

    // The first directory entry that moves away from a directory or from one
    // of the directories above it, once per distinct directory.
    std::unordered_map<std::string_view, int> firstMoveAbove;
    auto moveAbove = [&](const std::string& key) {
        const auto known = firstMoveAbove.find(key);
        if (known != firstMoveAbove.end())
            return known->second;
        int first = count;
        std::string current = key;
        for (;;) {
            const auto moved = directoryMovedAway.find(current);
            if (moved != directoryMovedAway.end() && moved->second < first)
                first = moved->second;
            const std::string parent = TPath(current).GetDirectory();
            if (parent.size() >= current.size())
                break;
            current = parent;
        }
        firstMoveAbove.emplace(key, first);
        return first;
    };

    // The entries that end at each path, first in list order.
    std::unordered_map<std::string_view, int> firstAtPath;
    firstAtPath.reserve(entries.size());
    for (int i = 0; i < count; ++i) {
        const size_t e = static_cast<size_t>(i);
        const TCheckEntry& entry = entries[e];
        if (!renames[e]) {
            flag(i, crUnchanged);
            firstAtPath.emplace(newKeys[e], i);
            continue;
        }
        if (!IsStorableName(entry.NewName) || newPathLengths[e] >= MAX_PATH)
            flag(i, crInvalidName);
        if (!disk[e].OldExists)
            flag(i, crMissing);
        if (moveAbove(directoryKeys[e]) < i)
            flag(i, crInsideRenamedDirectory);
        const auto [first, inserted] = firstAtPath.emplace(newKeys[e], i);
        if (!inserted)
            flag(i, crSamePath);
        if (Moves(oldKeys[e], newKeys[e]) && disk[e].NewExists) {
            const auto away = movedAway.find(newKeys[e]);
            if (away == movedAway.end() || away->second > i)
                flag(i, onCycle[e] ? crCycle : crNameTaken);
        }
    }

    for (int i = 0; i < count; ++i) {
        for (int reason = 0; reason < kCheckReasonCount; ++reason)
            if (result.Has(i, static_cast<TCheckReason>(reason)))
                ++result.Counts[static_cast<size_t>(reason)];
        if (result.Fails(i))
            ++result.Failing;
    }
    return result;
}

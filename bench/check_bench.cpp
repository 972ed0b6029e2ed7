// The check of a rename: the time the system takes to say which names exist
// (one listing per directory, against one lookup per name, on a real tree),
// and the time of the check itself at 200,000 entries (names from memory),
// which must stay under a second.
#include "app/rename/Trel_disknames.h"
#include "app/rename/Trel_renamecheck.h"
#include "bench/BenchSupport.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A real tree small enough to create quickly under Wine, which scans a
// directory for every name it creates.
constexpr int kDiskDirs = 40;
constexpr int kDiskFilesPerDir = 100;
// The check at the size the goal names.
constexpr int kEntries = 200000;
constexpr int kEntriesPerDir = 100;

std::string MakeRoot() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    const std::string root = std::string(base) + "trelvane-check-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root.c_str(), nullptr);
    return root;
}

// Entries of dirs directories of perDir files each; every tenth new name is
// one that exists (the next file's), every hundredth pair is a swap, and each
// directory is renamed after its contents.
std::vector<TCheckEntry> MakeEntries(const std::string& root, int dirs, int perDir) {
    std::vector<TCheckEntry> entries;
    entries.reserve(static_cast<size_t>(dirs) * (perDir + 1));
    for (int d = 0; d < dirs; ++d) {
        const std::string dir = root + "\\dir" + std::to_string(d);
        for (int f = 0; f < perDir; ++f) {
            std::string next = "file" + std::to_string(f + 1) + ".txt";
            std::string newName = f % 10 == 9 && f + 1 < perDir ? next : "new" + std::to_string(f) + ".txt";
            if (f % 100 == 0 && f + 1 < perDir)
                newName = next;
            if (f % 100 == 1)
                newName = "file" + std::to_string(f - 1) + ".txt";
            entries.push_back({dir, "file" + std::to_string(f) + ".txt", newName, false});
        }
        entries.push_back({root, "dir" + std::to_string(d), "renamed" + std::to_string(d), true});
    }
    return entries;
}

} // namespace

int main() {
    const std::string root = MakeRoot();
    const std::vector<TCheckEntry> onDisk = MakeEntries(root, kDiskDirs, kDiskFilesPerDir);
    for (const TCheckEntry& entry : onDisk) {
        const std::string path = entry.Directory + "\\" + entry.OldName;
        if (entry.IsDirectory)
            continue;
        CreateDirectoryA(entry.Directory.c_str(), nullptr);
        CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    std::vector<TEntryOnDisk> batched;
    int listings = 0;
    const double listed = Milliseconds([&] {
        TDiskNames disk;
        batched = LookUpOnDisk(onDisk, disk);
        listings = disk.Listings();
    });
    int differ = 0;
    const double lookedUp = Milliseconds([&] {
        for (size_t i = 0; i < onDisk.size(); ++i) {
            const TCheckEntry& entry = onDisk[i];
            const bool oldExists =
                GetFileAttributesA((entry.Directory + "\\" + entry.OldName).c_str()) != INVALID_FILE_ATTRIBUTES;
            const bool newExists =
                GetFileAttributesA((entry.Directory + "\\" + entry.NewName).c_str()) != INVALID_FILE_ATTRIBUTES;
            differ += oldExists != batched[i].OldExists || newExists != batched[i].NewExists ? 1 : 0;
        }
    });
    const double perEntryListed = listed * 1000.0 / static_cast<double>(onDisk.size());
    const double perEntryLookedUp = lookedUp * 1000.0 / static_cast<double>(onDisk.size());
    std::printf("which names exist, %zu entries in %d directories:\n", onDisk.size(), listings);
    std::printf("  one listing per directory:  %8.1f ms (%.1f us per entry)\n", listed, perEntryListed);
    std::printf("  two lookups per entry:      %8.1f ms (%.1f us per entry), %.1fx the listings%s\n", lookedUp,
                perEntryLookedUp, lookedUp / listed, differ ? " (ANSWERS DIFFER)" : "");
    std::printf("  at %d entries in directories of %d: about %.0f ms listed, %.0f ms looked up\n", kEntries,
                kEntriesPerDir, perEntryListed * kEntries / 1000.0, perEntryLookedUp * kEntries / 1000.0);

    // The check itself, on what the listings would say of a tree of the
    // full size: every old name there, every new name that is another
    // entry's old name too.
    const std::vector<TCheckEntry> entries = MakeEntries("C:\\Check bench", kEntries / kEntriesPerDir, kEntriesPerDir);
    std::vector<TEntryOnDisk> disk(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        disk[i].OldExists = true;
        const std::string& name = entries[i].NewName;
        disk[i].NewExists = name.rfind("file", 0) == 0;
    }
    TCheckResult result;
    const double checked = Milliseconds([&] { result = CheckRenames(entries, disk); });
    std::printf("the check of %zu entries: %.1f ms (goal: under 1000 ms), %d would fail\n", entries.size(), checked,
                result.Failing);

    for (const TCheckEntry& entry : onDisk) {
        if (!entry.IsDirectory)
            DeleteFileA((entry.Directory + "\\" + entry.OldName).c_str());
    }
    for (int d = 0; d < kDiskDirs; ++d)
        RemoveDirectoryA((root + "\\dir" + std::to_string(d)).c_str());
    RemoveDirectoryA(root.c_str());
    return 0;
}

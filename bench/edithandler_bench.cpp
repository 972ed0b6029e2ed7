// Adding 200,000 new paths to a list that holds 200,000 entries: the duplicate
// test of AddPaths (reading the rows' paths and judging every new one against
// them and against each other), beside the system's calls that turn each
// given path into a full long path and read its type, which no program can
// avoid. The system's calls are timed on a few hundred real files called over
// and over, since 400,000 files cannot be made under Wine in any reasonable
// time. For comparison, the sorted path list with insertion at the place
// found by binary search, at a tenth of the size.
#include "app/handlers/Trel_edithandler.h"
#include "app/names/Trel_rename.h"
#include "bench/BenchSupport.h"
#include "support/Vek_file.h"
#include "support/Vek_list.h"
#include "support/Vek_listviewmodel.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kKnown = 200000;
constexpr int kNew = 200000;
constexpr double kGoalMs = 500;
// The sorted-insert comparison runs at a tenth of the size: at full size it
// takes minutes.
constexpr int kNaiveScale = 10;
// Real files for the system's calls: few enough to make quickly under Wine.
constexpr int kRealFiles = 200;
constexpr int kRuns = 3;
// Under Wine a long path costs about a millisecond (every folder on the way
// is scanned): a sample of the calls is timed.
constexpr int kSystemCalls = 2000;

// Paths as a photo collection has them: a few hundred folders of numbered files.
std::string KnownPath(int i) {
    char path[160];
    std::snprintf(path, sizeof(path), "C:\\Users\\Someone\\Pictures\\Holiday 2023\\Folder %03d\\IMG_%06d.JPG",
                  i % 500, i);
    return path;
}

// New paths among the known ones, in other letter case: the same folders,
// other numbers.
std::string NewPath(int i) {
    char path[160];
    std::snprintf(path, sizeof(path), "c:\\users\\someone\\pictures\\holiday 2023\\folder %03d\\img_%06d.jpg",
                  i % 500, kKnown + i);
    return path;
}

double Best(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

} // namespace

int main() {
    std::printf("AddPaths of %d new paths into a list of %d, code page %u\n\n", kNew, kKnown, GetACP());

    // One real file gives every item its type; the items then take the
    // collection's paths.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string root =
        std::string(temp) + "trelvane-edit-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root.c_str(), nullptr);
    std::vector<std::string> realFiles;
    for (int i = 0; i < kRealFiles; ++i) {
        realFiles.push_back(root + "\\Picture number " + std::to_string(i) + ".jpeg");
        HANDLE file = CreateFileA(realFiles.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        CloseHandle(file);
    }

    TObjectList items;
    TListViewModel model(nullptr);
    items.SetCapacity(kKnown);
    for (int i = 0; i < kKnown; ++i) {
        auto* item = new TRenameItem(realFiles[0]);
        items.Add(item);
        const TPath path(KnownPath(i));
        item->Directory = path.GetDirectory();
        item->OldName = path.GetName();
        model.Items(model.Add())->SetData(item);
    }
    std::vector<std::string> candidates;
    candidates.reserve(kNew);
    for (int i = 0; i < kNew; ++i)
        candidates.push_back(NewPath(i));

    std::printf("Duplicate test (the rows' paths read, every new path judged):\n");
    std::vector<double> times;
    std::vector<bool> added;
    std::vector<double> cpuTimes;
    for (int run = 0; run < kRuns; ++run) {
        const double cpuStart = ThreadCpuMilliseconds();
        times.push_back(Milliseconds([&] { added = SelectNewPaths(RowPaths(model), candidates); }));
        cpuTimes.push_back(ThreadCpuMilliseconds() - cpuStart);
    }
    const long addedCount = static_cast<long>(std::count(added.begin(), added.end(), true));
    std::printf("  %-52s %9.1f ms (best of %d; %ld added; processor %.0f ms)\n",
                "reading the rows and judging the new paths", Best(times), kRuns, addedCount, Best(cpuTimes));
    std::vector<std::string> known;
    const double readMs = Milliseconds([&] { known = RowPaths(model); });
    std::printf("  %-52s %9.1f ms\n", "  of which reading the rows' paths", readMs);
    const double judgeMs = Milliseconds([&] { added = SelectNewPaths(known, candidates); });
    std::printf("  %-52s %9.1f ms\n", "  of which judging", judgeMs);
    std::printf("  goal: under %.0f ms: %s\n\n", kGoalMs, Best(times) < kGoalMs ? "met" : "NOT MET");

    std::printf("The system's calls for %d paths, %d calls on %d real files timed and multiplied:\n", kNew,
                kSystemCalls, kRealFiles);
    const double longMs = Milliseconds([&] {
        for (int i = 0; i < kSystemCalls; ++i) {
            TPath path(realFiles[static_cast<size_t>(i % kRealFiles)]);
            path.Expand();
            TFile(path.GetPath()).GetLongPath();
        }
    });
    const double scale = static_cast<double>(kNew) / kSystemCalls;
    std::printf("  %-52s %9.1f ms\n", "full and long path (GetFullPathNameA, GetLongPathNameA)",
                longMs * scale);
    const double typeMs = Milliseconds([&] {
        for (int i = 0; i < kSystemCalls; ++i)
            TRenameItem item(realFiles[static_cast<size_t>(i % kRealFiles)]);
    });
    std::printf("  %-52s %9.1f ms\n\n", "rename item with its type (GetFileAttributesA)", typeMs * scale);

    const int naiveKnown = kKnown / kNaiveScale;
    const int naiveNew = kNew / kNaiveScale;
    std::printf("At a tenth of the size (%d new paths into %d):\n", naiveNew, naiveKnown);
    const std::vector<std::string> someKnown(known.begin(), known.begin() + naiveKnown);
    const std::vector<std::string> someNew(candidates.begin(), candidates.begin() + naiveNew);
    std::vector<bool> fastAdded;
    const double fastMs = Milliseconds([&] { fastAdded = SelectNewPaths(someKnown, someNew); });
    std::vector<bool> naiveAdded;
    const double naiveMs = Milliseconds([&] {
        TPathList set;
        set.SetSorted(true);
        set.SetDuplicates(dupIgnore);
        set.SetCapacity(naiveKnown + naiveNew);
        TStringListHelper helper(set);
        for (const std::string& path : someKnown)
            helper.AddIfNew(path);
        for (const std::string& path : someNew)
            naiveAdded.push_back(helper.AddIfNew(path));
    });
    std::printf("  %-52s %9.1f ms\n", "judged by file name, hashed", fastMs);
    std::printf("  %-52s %9.1f ms%s\n", "sorted path list, insertion by binary search", naiveMs,
                naiveAdded == fastAdded ? "" : "   RESULTS DIFFER");

    for (const std::string& file : realFiles)
        DeleteFileA(file.c_str());
    RemoveDirectoryA(root.c_str());
    return 0;
}

// AddPaths at scale. The duplicate test alone: 200,000 new paths against a
// list of 200,000 entries (the rows' paths read, every new one judged against
// them and against each other), and for comparison the sorted path list with
// insertion at the place found by binary search, at a tenth of the size.
// Then AddPaths end to end with the system's calls: 200,000 real files in 200
// folders, made once per run, given by their long paths and once more through
// the short (8.3) names of their folders; beside it the system's long-path
// call for each path, which AddPaths made before, timed on a sample.
#include "app/handlers/Trel_edithandler.h"
#include "app/names/Trel_rename.h"
#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "framework/Fw_fileapi.h"
#include "support/Vek_command.h"
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
constexpr int kRuns = 3;
// The real tree: Wine scans a folder for every name it looks up by other
// letter case or short name, so the files are spread over many folders.
constexpr int kRealFolders = 200;
constexpr int kFilesPerFolder = 1000;
constexpr double kEndToEndGoalSeconds = 20;
// The system's long-path call costs milliseconds under Wine: every hundredth
// path is timed.
constexpr int kLongPathSampleStep = 100;

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

// The real tree: folders "Holiday folder NNN" of files "Holiday picture NNNNNN.jpeg",
// names of more than 8.3 characters, so that each has a short alias.
struct TRealTree {
    std::string Root;
    std::vector<std::string> Folders;
    std::vector<std::string> Files;

    TRealTree() {
        Root = MakeBenchFolder("trelvane-addpaths-bench");
        for (int d = 0; d < kRealFolders; ++d) {
            char folder[64];
            std::snprintf(folder, sizeof(folder), "\\Holiday folder %03d", d);
            Folders.push_back(Root + folder);
            FileApi::MakeDirectory(Folders.back());
            for (int f = 0; f < kFilesPerFolder; ++f) {
                char name[64];
                std::snprintf(name, sizeof(name), "\\Holiday picture %06d.jpeg", d * kFilesPerFolder + f);
                Files.push_back(Folders.back() + name);
                CloseHandle(FileApi::OpenFileHandle(Files.back(), GENERIC_WRITE, 0, CREATE_NEW));
            }
        }
    }
    void Remove() const {
        for (const std::string& file : Files)
            FileApi::DeleteEntry(file);
        for (const std::string& folder : Folders)
            FileApi::RemoveEmptyDirectory(folder);
        FileApi::RemoveEmptyDirectory(Root);
    }
    // The files' paths through the short names of their folders.
    std::vector<std::string> ThroughShortFolders() const {
        std::vector<std::string> shortFolders;
        for (const std::string& folder : Folders) {
            std::wstring wide, shortFolder(32768, L'\0');
            FileApi::ToSystemPath(folder, wide);
            shortFolder.resize(GetShortPathNameW(wide.c_str(), shortFolder.data(), 32768));
            shortFolders.emplace_back();
            FileApi::FromSystemPath(shortFolder, shortFolders.back());
        }
        std::vector<std::string> paths;
        paths.reserve(Files.size());
        for (size_t i = 0; i < Files.size(); ++i)
            paths.push_back(shortFolders[i / kFilesPerFolder] + "\\" + TPath(Files[i]).GetName());
        return paths;
    }
};

// AddPaths of all the paths into an empty list, as the main window has it
// (without a list control); the wall and processor time in seconds, and the
// entries added.
void TimeAddPaths(const char* what, const std::vector<std::string>& paths) {
    TObjectList items;
    TListViewModel model(nullptr);
    TInvoker invoker;
    TEditHandler handler(model, items, invoker);
    TStringList list;
    list.SetCapacity(static_cast<int>(paths.size()));
    for (const std::string& path : paths)
        list.Add(path);
    std::string error;
    const double cpuStart = ThreadCpuMilliseconds();
    const double ms = Milliseconds([&] {
        try {
            handler.AddPaths(list);
        } catch (const Exception& e) {
            error = e.Message();
        }
    });
    const double cpuMs = ThreadCpuMilliseconds() - cpuStart;
    std::printf("  %-52s %9.1f s (processor %.1f s; %d added)%s%s\n", what, ms / 1000, cpuMs / 1000, model.Count(),
                error.empty() ? "" : "; ", error.c_str());
    std::printf("  goal: at most %.0f s: %s\n", kEndToEndGoalSeconds,
                ms / 1000 <= kEndToEndGoalSeconds && error.empty() ? "met" : "NOT MET");
}

void EndToEnd(const TRealTree& tree) {
    std::printf("AddPaths end to end, %zu real files in %d folders:\n", tree.Files.size(), kRealFolders);
    TimeAddPaths("by their long paths", tree.Files);
    TimeAddPaths("through the short names of their folders", tree.ThroughShortFolders());
    int sampled = 0;
    const double longMs = Milliseconds([&] {
        for (size_t i = 0; i < tree.Files.size(); i += kLongPathSampleStep, ++sampled) {
            std::wstring path, longPath(32768, L'\0');
            FileApi::ToSystemPath(tree.Files[i], path);
            GetLongPathNameW(path.c_str(), longPath.data(), 32768);
        }
    });
    std::printf("  %-52s %9.1f s (%d timed)\n\n", "the system's long-path call for each (as before)",
                longMs / sampled * static_cast<double>(tree.Files.size()) / 1000, sampled);
}

void DuplicateTest(const std::string& realFile) {
    // One real file gives every item its type; the items then take the
    // collection's paths.
    TObjectList items;
    TListViewModel model(nullptr);
    items.SetCapacity(kKnown);
    for (int i = 0; i < kKnown; ++i) {
        auto* item = new TRenameItem(realFile);
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

    std::printf("Duplicate test of %d new paths into a list of %d (the rows' paths read, every new path judged):\n",
                kNew, kKnown);
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
    std::printf("  %-52s %9.1f ms%s\n\n", "sorted path list, insertion by binary search", naiveMs,
                naiveAdded == fastAdded ? "" : "   RESULTS DIFFER");
}

} // namespace

int main() {
    std::printf("AddPaths, code page %u\n\n", GetACP());
    std::printf("Making %d files in %d folders (once per run)...\n", kRealFolders * kFilesPerFolder, kRealFolders);
    std::unique_ptr<TRealTree> tree;
    const double makeMs = Milliseconds([&] { tree = std::make_unique<TRealTree>(); });
    std::printf("  %-52s %9.1f s\n\n", "making the files", makeMs / 1000);
    DuplicateTest(tree->Files[0]);
    EndToEnd(*tree);
    const double removeMs = Milliseconds([&] { tree->Remove(); });
    std::printf("  %-52s %9.1f s\n", "removing the files", removeMs / 1000);
    return 0;
}

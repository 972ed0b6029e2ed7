// The safe order of a renumbering: a numbered series shifted up by one
// (f0 -> f1, f1 -> f2, ...), which in list order stops at its first entry.
// First the planning alone at 200,000 entries (the names' phases, the check
// against what the listings would say, and the plan), which must stay under
// half a second. Then real files: the series in directories of 100, renamed
// through the rename command with the planning (the disk read, checked and
// planned, then run) and the same renames listed in a safe order without it,
// in interleaved rounds; the medians and their ratio are printed (goal: at
// most 1.1).
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamecheck.h"
#include "app/rename/Trel_renamecommand.h"
#include "app/rename/Trel_renameplan.h"
#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "framework/Fw_forms.h"
#include "support/Vek_command.h"
#include "support/Vek_listviewmodel.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kPlanned = 200000;
// Real files: directories of 100 keep Wine's scans of a directory short.
constexpr int kDirs = 20;
constexpr int kFilesPerDir = 100;
// Rounds per variant: enough for a stable median on a shared machine.
constexpr int kRounds = 9;

std::string SeriesName(int i) {
    char name[32];
    std::snprintf(name, sizeof(name), "IMG_%06d.jpg", i);
    return name;
}

// The series shifted by one, listed from its first entry.
std::vector<TCheckEntry> ShiftedSeries(const std::string& directory, int count) {
    std::vector<TCheckEntry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back({directory, SeriesName(i), SeriesName(i + 1), false});
    return entries;
}

void PlanInMemory() {
    const std::vector<TCheckEntry> entries = ShiftedSeries("C:\\Users\\someone\\Pictures\\Holiday", kPlanned);
    // What the listing would say: every old name there, and the new ones
    // that are old names too.
    std::vector<TEntryOnDisk> onDisk(entries.size(), TEntryOnDisk{true, true});
    onDisk.back().NewExists = false;
    TDiskNames disk;
    TRenamePlan plan;
    TCheckResult check;
    const double cpuBefore = ThreadCpuMilliseconds();
    const double milliseconds = Milliseconds([&] {
        const TRunNames names = FindRunNames(entries);
        check = CheckRenames(entries, names, onDisk);
        if (check.SafeOrderRunsAll)
            plan = PlanRenames(entries, names, disk);
    });
    const double cpu = ThreadCpuMilliseconds() - cpuBefore;
    const bool reversed = plan.Order.size() == entries.size() && plan.Order.front() == kPlanned - 1 &&
                          plan.Order.back() == 0 && plan.Cycles.empty();
    std::printf("planning %d entries of a series shifted by one: %.1f ms (%.1f ms processor), %d served%s "
                "(goal: at most 500 ms)\n",
                kPlanned, milliseconds, cpu, check.SafeOrderServes, reversed ? "" : " (WRONG PLAN)");
}

// One perform and its restore through the rename command; the perform's time
// (with the planning when asked) goes to milliseconds.
bool PerformAndRestore(TListViewModel& model, const std::string& journals, bool plan, double& milliseconds) {
    TInvoker invoker;
    auto* command = new TRenameCommand(model);
    command->JournalFolders = {journals};
    invoker.PendingCommands().Add(command);
    bool planned = true;
    milliseconds = Milliseconds([&] {
        if (plan) {
            command->Plan = FindSafeOrder(CheckEntriesOf(model)).Plan;
            planned = !command->Plan.Empty();
        }
        invoker.Execute();
    });
    bool done = planned;
    for (int row = 0; row < model.Count(); ++row)
        done = done && static_cast<TRenameItem*>(model.Items(row)->GetData())->Result == TRenameItemResult::Succeeded;
    invoker.Undo();
    return done;
}

} // namespace

int main() {
    PlanInMemory();

    const std::string root = MakeBenchFolder("trelvane-plan-bench");
    const std::string journals = MakeBenchFolder("trelvane-plan-bench-journals");
    std::vector<TBenchFile> files;
    for (int d = 0; d < kDirs; ++d) {
        const std::string dir = root + "\\d" + std::to_string(d);
        CreateDirectoryA(dir.c_str(), nullptr);
        for (int f = 0; f < kFilesPerDir; ++f) {
            CloseHandle(CreateFileA((dir + "\\" + SeriesName(f)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
            files.push_back({dir, SeriesName(f), SeriesName(f + 1)});
        }
    }
    // The same items in two orders: the list's, which needs the plan, and a
    // safe one, each directory's series from its last entry.
    TListViewModel listed(nullptr);
    TListViewModel safe(nullptr);
    TObjectList items;
    AddBenchItems(files, listed, items);
    for (int d = 0; d < kDirs; ++d)
        for (int f = kFilesPerDir - 1; f >= 0; --f)
            safe.Items(safe.Add())->SetData(items.Items(d * kFilesPerDir + f));

    std::vector<double> with, without, ratios;
    bool allDone = true;
    for (int round = 0; round < kRounds; ++round) {
        double planned = 0;
        double ordered = 0;
        // Alternate which goes first, so that neither always meets a warmer cache.
        for (int variant = 0; variant < 2; ++variant) {
            const bool plan = (variant + round) % 2 == 0;
            allDone = PerformAndRestore(plan ? listed : safe, journals, plan, plan ? planned : ordered) && allDone;
        }
        with.push_back(planned);
        without.push_back(ordered);
        ratios.push_back(planned / ordered);
    }
    std::printf("%zu files (%d directories of a series shifted by one), median of %d interleaved rounds%s:\n",
                files.size(), kDirs, kRounds, allDone ? "" : " (SOME ENTRIES WERE NOT RENAMED)");
    std::printf("  listed, read, checked, planned and run: %8.1f ms\n", Median(with));
    std::printf("  listed in a safe order, run:            %8.1f ms\n", Median(without));
    std::printf("  ratio %.2f by the medians, %.2f by the median of the rounds' ratios (goal: at most 1.1)\n",
                Median(with) / Median(without), Median(ratios));
    Application->FreeForms();
    RemoveBenchFiles(root, files, kDirs);
    RemoveDirectoryA(journals.c_str());
    return 0;
}

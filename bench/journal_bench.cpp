// What the rename journal costs a run: 1,000 files (10 directories of 100, as
// in rename_bench) renamed and back through the rename command with its
// journal and without, in interleaved rounds so that both meet the same
// conditions; the medians and their ratio are printed, with a raw MoveFileA
// loop over the same files for scale. Then the journal's own work alone
// (written and flushed, a mark per step, removed), for 1,000 and for 200,000
// steps: on a busy machine the rounds' noise can hide a cost this small.
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamecommand.h"
#include "app/rename/Trel_renamejournal.h"
#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "framework/Fw_forms.h"
#include "support/Vek_command.h"
#include "support/Vek_file.h"
#include "support/Vek_listviewmodel.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kDirs = 10;
constexpr int kFilesPerDir = 100;
// Rounds per variant: enough for a stable median under a shared machine.
constexpr int kRounds = 25;

// One perform and its restore through the rename command; false when not
// every entry came back.
bool PerformAndRestore(TListViewModel& model, const TObjectList& items, const std::vector<std::string>& folders,
                       double& milliseconds) {
    TInvoker invoker;
    auto* command = new TRenameCommand(model);
    command->JournalFolders = folders;
    invoker.PendingCommands().Add(command);
    const TClock::time_point start = TClock::now();
    invoker.Execute();
    invoker.Undo();
    milliseconds = MillisecondsSince(start);
    for (int i = 0; i < items.Count(); ++i)
        if (static_cast<TRenameItem*>(items.Items(i))->Result != TRenameItemResult::Succeeded)
            return false;
    return true;
}

// The journal's own work for a run of the steps: written and flushed, one
// mark per step, removed.
double JournalAlone(const std::string& folder, int steps) {
    std::vector<TJournalStep> plan;
    plan.reserve(static_cast<size_t>(steps));
    for (int i = 0; i < steps; ++i)
        plan.push_back({"C:\\Users\\someone\\Pictures\\Holiday " + std::to_string(i / 100),
                        "IMG_" + std::to_string(100000 + i) + ".JPG", "Holiday " + std::to_string(i) + ".jpg"});
    return Milliseconds([&] {
        TRenameJournal journal({folder}, TJournalRun::Perform, plan);
        for (int i = 0; i < steps; ++i)
            journal.StepBegins();
        journal.Close();
    });
}

} // namespace

int main() {
    const std::string root = MakeBenchFolder("trelvane-journal-bench");
    const std::string journals = MakeBenchFolder("trelvane-journal-bench-journals");
    const std::vector<TBenchFile> files = MakeBenchFiles(root, kDirs, kFilesPerDir);
    const int count = static_cast<int>(files.size());

    TListViewModel model(nullptr);
    TObjectList items;
    AddBenchItems(files, model, items);

    std::vector<double> raw, without, with;
    bool allBack = true;
    for (int round = 0; round < kRounds; ++round) {
        raw.push_back(Milliseconds([&] {
            for (const TBenchFile& file : files)
                MoveFileA((file.Directory + "\\" + file.Old).c_str(), (file.Directory + "\\" + file.New).c_str());
            for (const TBenchFile& file : files)
                MoveFileA((file.Directory + "\\" + file.New).c_str(), (file.Directory + "\\" + file.Old).c_str());
        }));
        // Alternate which goes first, so that neither always meets a warmer cache.
        for (int variant = 0; variant < 2; ++variant) {
            const bool journaled = (variant + round) % 2 == 0;
            double milliseconds = 0;
            allBack = PerformAndRestore(model, items, journaled ? std::vector<std::string>{journals}
                                                                : std::vector<std::string>{},
                                        milliseconds) && allBack;
            (journaled ? with : without).push_back(milliseconds);
        }
    }
    const double rawMedian = Median(raw);
    const double withoutMedian = Median(without);
    const double withMedian = Median(with);
    std::printf("%d files renamed and back, median of %d interleaved rounds%s\n", count, kRounds,
                allBack ? "" : " (SOME ENTRIES DID NOT COME BACK)");
    std::printf("raw MoveFileA:                %8.1f ms\n", rawMedian);
    std::printf("TRenameCommand, no journal:   %8.1f ms (%.2fx raw)\n", withoutMedian, withoutMedian / rawMedian);
    // Each round's pair met the same conditions: the median of their ratios
    // is the steadier figure on a busy machine.
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round)
        ratios.push_back(with[static_cast<size_t>(round)] / without[static_cast<size_t>(round)]);
    std::printf("TRenameCommand with journal:  %8.1f ms (%.2fx raw)\n", withMedian, withMedian / rawMedian);
    std::printf("journal's cost: %+.1f%% of the run by the medians, %+.1f%% by the median of the rounds' ratios "
                "(goal: at most 5%%)\n",
                (withMedian / withoutMedian - 1.0) * 100.0, (Median(ratios) - 1.0) * 100.0);
    // The same figure without the noise of a busy machine: the journal's own
    // work against one run (a round is a perform and a restore).
    std::vector<double> own;
    for (int round = 0; round < kRounds; ++round)
        own.push_back(JournalAlone(journals, count));
    std::printf("journal's own work for one run of %d steps: %.1f ms, %.1f%% of a run without it\n", count,
                Median(own), Median(own) / (withoutMedian / 2) * 100.0);
    std::printf("journal alone, 200000 steps: written, marked, flushed and removed in %.1f ms\n",
                JournalAlone(journals, 200000));
    Application->FreeForms();
    RemoveBenchFiles(root, files, kDirs);
    RemoveDirectoryA(journals.c_str());
    return 0;
}

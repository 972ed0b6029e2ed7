// A rename of 1,000 files (10 directories of 100, kept small because Wine
// scans a directory on every lookup) through the rename command under the
// progress dialog (perform and restore), against TFiles::TryRename and a raw
// MoveFileA loop over the same files, each renaming every file and back. The
// three take turns in every round, and the medians of the rounds' ratios are
// the figures: single rounds vary by a quarter with the machine's load.
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamecommand.h"
#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "framework/Fw_forms.h"
#include "support/Vek_command.h"
#include "support/Vek_file.h"
#include "support/Vek_listviewmodel.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kDirs = 10;
constexpr int kFilesPerDir = 100;
constexpr int kRounds = 11;
// The goals: a rename in place costs about what the system's own call does.
constexpr double kTryGoal = 1.15;
constexpr double kCommandGoal = 1.25;

// Counts the percentages that reach the main thread.
class TCountingRenameCommand : public TRenameCommand {
public:
    TCountingRenameCommand(TListViewModel& model, int& reports) : TRenameCommand(model), FReports(reports) {}

protected:
    void DoProgress(TTrelProgressDialog& dialog, int percent) override {
        TRenameCommand::DoProgress(dialog, percent);
        ++FReports;
    }

private:
    int& FReports;
};

// Renames every file forth and back with the function; returns the time and
// how many renames failed.
template <class F>
double RenameAll(const std::vector<TBenchFile>& files, F&& rename, int& failures) {
    const auto start = TClock::now();
    for (const TBenchFile& file : files)
        failures += rename(file.Directory, file.Old, file.New) ? 0 : 1;
    for (const TBenchFile& file : files)
        failures += rename(file.Directory, file.New, file.Old) ? 0 : 1;
    return MillisecondsSince(start);
}

} // namespace

int main() {
    const std::string root = MakeBenchFolder("trelvane-rename-bench");
    const std::vector<TBenchFile> files = MakeBenchFiles(root, kDirs, kFilesPerDir);
    const int count = static_cast<int>(files.size());

    TListViewModel model(nullptr);
    TObjectList items;
    AddBenchItems(files, model, items);
    TInvoker invoker;

    std::printf("%d files renamed and back per round, %d rounds, code page %u\n", count, kRounds, GetACP());
    std::printf("%-6s %12s %12s %12s %10s %10s\n", "round", "raw ms", "TryRename ms", "command ms", "Try/raw",
                "cmd/raw");
    std::vector<double> tryRatios, commandRatios;
    int failures = 0, notRestored = 0, reports = 0;
    for (int round = 1; round <= kRounds; ++round) {
        // The three ways one after the other in every round, so that a slow
        // spell of the machine weighs on all of them alike.
        const double raw = RenameAll(
            files,
            [](const std::string& dir, const std::string& from, const std::string& to) {
                return MoveFileA((dir + "\\" + from).c_str(), (dir + "\\" + to).c_str()) != FALSE;
            },
            failures);
        const double tried = RenameAll(
            files,
            [](const std::string& dir, const std::string& from, const std::string& to) {
                return TFiles().TryRename(TPath::Combine(dir, from).GetPath(), to);
            },
            failures);
        invoker.PendingCommands().Add(new TCountingRenameCommand(model, reports));
        const double commanded = Milliseconds([&] {
            invoker.Execute();
            invoker.Undo();
        });
        for (int i = 0; i < items.Count(); ++i)
            notRestored +=
                static_cast<TRenameItem*>(items.Items(i))->Result == TRenameItemResult::Succeeded ? 0 : 1;
        tryRatios.push_back(tried / raw);
        commandRatios.push_back(commanded / raw);
        std::printf("%-6d %12.1f %12.1f %12.1f %9.2fx %9.2fx\n", round, raw, tried, commanded, tried / raw,
                    commanded / raw);
    }
    const double tryMedian = Median(tryRatios);
    const double commandMedian = Median(commandRatios);
    std::printf("\nmedian TFiles::TryRename / raw MoveFileA:   %.2fx (goal %.2fx: %s)\n", tryMedian, kTryGoal,
                tryMedian <= kTryGoal ? "met" : "MISSED");
    std::printf("median rename command / raw MoveFileA:     %.2fx (goal %.2fx: %s)\n", commandMedian,
                kCommandGoal, commandMedian <= kCommandGoal ? "met" : "MISSED");
    std::printf("%d renames failed, %d items not restored, %d progress reports\n", failures, notRestored,
                reports);
    Application->FreeForms();
    RemoveBenchFiles(root, files, kDirs);
    return failures + notRestored == 0 ? 0 : 1;
}

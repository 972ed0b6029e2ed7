// The rename journal's soak: a child program renames a tree through the
// rename command (perform, restore, repeat, ...; every other child in a safe
// order, with swaps, cycles and chains listed the wrong way round) and is
// killed with TerminateProcess at a random moment; the interrupted run is
// taken back as the start-up question's Yes does, and the tree must hold
// exactly the names it had before that run, each with its contents. Prints how many runs,
// kills and files were checked, and how many files were lost (must be 0).
//
//   journal_soak [kills [directories [files per directory [longest delay in ms]]]]
// The kill count may also come from TRELVANE_SOAK_KILLS. Without either it
// makes 100 kills, so that `make bench` stays short; the full soak is
// 10,000 kills (a few hours under Wine).
#include "bench/BenchSupport.h"
#include "support/Vek_file.h"
#include "tests/common/RenameKillSupport.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

constexpr int kDefaultKills = 100;

int Argument(int argc, char** argv, int index, int fallback) {
    return argc > index ? std::atoi(argv[index]) : fallback;
}

} // namespace

int main(int argc, char** argv) {
    int kills = kDefaultKills;
    if (const char* fromEnvironment = std::getenv("TRELVANE_SOAK_KILLS"))
        kills = std::atoi(fromEnvironment);
    kills = Argument(argc, argv, 1, kills);
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    const std::string root = std::string(base) + "trelvane-journal-soak-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root.c_str(), nullptr);
    TKillSetup setup;
    setup.ChildPath = ProgramDirectory() + "..\\tests\\app\\renamekill_child.exe";
    setup.Root = root + "\\tree";
    setup.JournalFolder = root + "\\journals";
    setup.Log = root + "\\child.log";
    setup.Directories = Argument(argc, argv, 2, 6);
    setup.FilesPerDirectory = Argument(argc, argv, 3, 50);
    setup.MaxDelayMilliseconds = Argument(argc, argv, 4, setup.MaxDelayMilliseconds);
    const unsigned seed = std::random_device()();
    std::mt19937 random(seed);
    std::printf("%d kills of a child renaming %d files in %d directories, at most %d ms after it is ready "
                "(seed %u)\n",
                kills, setup.Directories * setup.FilesPerDirectory, setup.Directories, setup.MaxDelayMilliseconds,
                seed);
    std::fflush(stdout);

    long long runs = 0;
    long long files = 0;
    long long lost = 0;
    long long takenBack = 0;
    int journals = 0;
    int damaged = 0;
    int failures = 0;
    const TClock::time_point start = TClock::now();
    for (int kill = 1; kill <= kills; ++kill) {
        // Every other run goes in a safe order, through swaps and cycles.
        setup.Planned = kill % 2 == 0;
        const TKillRound round = KillAndRecover(setup, random);
        runs += round.RunsStarted;
        files += round.Files;
        lost += round.Lost;
        takenBack += round.TakenBack;
        journals += round.JournalFound ? 1 : 0;
        damaged += round.JournalDamaged ? 1 : 0;
        if (!round.Failure.empty()) {
            ++failures;
            std::printf("kill %d: %s\n", kill, round.Failure.c_str());
        }
        if (kill % 100 == 0 || kill == kills) {
            std::printf("%6d kills, %7lld runs, %5d journals found (%d cut off while written), %8lld renames "
                        "taken back, %9lld files checked, %lld lost, %d failures, %.0f s\n",
                        kill, runs, journals, damaged, takenBack, files, lost, failures,
                        MillisecondsSince(start) / 1000.0);
            std::fflush(stdout);
        }
    }
    std::printf("runs %lld, kills %d, files checked %lld, lost %lld, failures %d, duration %.1f min\n", runs,
                kills, files, lost, failures, MillisecondsSince(start) / 60000.0);
    return lost == 0 && failures == 0 ? 0 : 1;
}

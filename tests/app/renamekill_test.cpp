// The rename journal against real kills: a child program renames a tree of a
// few hundred files through the rename command, in the rows' order or in a
// safe order, and is killed at random moments; after every kill the recovery
// (the start-up question answered Yes) must bring the tree back to exactly
// the names it had before the cut-off run, each with its contents. bench/journal_soak runs the same for hours.
#include "support/Vek_file.h"
#include "tests/common/RenameKillSupport.h"
#include "tests/common/TestSupport.h"

#include <cstdio>
#include <random>

namespace {

// Enough kills to land in every part of a run (journal written, renames,
// journal removed, between runs) without keeping the suite long; every other
// one over runs in a safe order, with swaps and cycles.
constexpr int kKills = 32;

} // namespace

TEST(RenameKill, EveryKilledRunIsTakenBackToItsNamesAndContents) {
    TTempDir dir;
    TKillSetup setup;
    setup.ChildPath = ProgramDirectory() + "renamekill_child.exe";
    setup.Root = dir / "tree";
    setup.JournalFolder = dir / "journals";
    setup.Log = dir / "child.log";
    setup.Directories = 6;
    setup.FilesPerDirectory = 50;
    const unsigned seed = std::random_device()();
    std::mt19937 random(seed);
    int journals = 0;
    int damaged = 0;
    int takenBack = 0;
    int runs = 0;
    int files = 0;
    int lost = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE(testing::Message() << "kill " << kill << ", seed " << seed);
        setup.Planned = kill % 2 == 1;
        const TKillRound round = KillAndRecover(setup, random);
        EXPECT_EQ(round.Failure, "");
        EXPECT_EQ(round.Lost, 0);
        journals += round.JournalFound ? 1 : 0;
        damaged += round.JournalDamaged ? 1 : 0;
        takenBack += round.TakenBack;
        runs += round.RunsStarted;
        files += round.Files;
        lost += round.Lost;
    }
    std::printf("[ KILLS    ] %d kills, %d runs, %d journals found (%d cut off while written), %d renames taken "
                "back, %d files checked, %d lost (seed %u)\n",
                kKills, runs, journals, damaged, takenBack, files, lost, seed);
    EXPECT_GT(journals, 0) << "no kill landed in a run";
}

// The kill-and-recover check of the rename journal, shared by its test, the
// child program that the test kills, and the soak program under bench/.
//
// A tree of files and directories with distinct contents is renamed by a
// child process through the real rename command (perform, restore, repeat,
// restore, ... until it is killed). The parent kills it with TerminateProcess
// at a random moment, takes back what the journal shows was cut off (as the
// start-up question's Yes does), and checks that the tree holds exactly the
// names it had before the interrupted run, each with its contents.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// One row of the rename list: an entry (path relative to the root) and its
// new name.
struct TKillRow {
    std::string Path;
    std::string NewName;
};

// The tree before the first run, and the rows in list order. Per directory:
// chains of three (c->n, b->c, a->b), a change of letter case only, a plain
// rename and an unchanged entry; every other directory is renamed after the
// entries in it. A planned one needs a safe order: swaps, cycles of three and
// chains listed the wrong way round, and the directories swapped in pairs
// after all their contents.
struct TKillPlan {
    std::vector<std::string> Directories;
    // Relative path and contents.
    std::vector<std::pair<std::string, std::string>> Files;
    std::vector<TKillRow> Rows;
};

TKillPlan MakeKillPlan(int directories, int filesPerDirectory, bool planned);

// Empties the root and creates the tree as it is before the first run.
void CreateOriginalTree(const std::string& root, const TKillPlan& plan);
// The tree under root: "relative path|D" and "relative path|F|contents", sorted.
std::vector<std::string> DescribeTree(const std::string& root);
// The tree that the plan's rows leave (renamed) or the original one.
std::vector<std::string> ExpectedTree(const TKillPlan& plan, bool renamed);

// What the child program is told.
struct TKillChildArguments {
    std::string Root;
    std::string JournalFolder;
    // Set by the child just before its first run.
    std::string ReadyEvent;
    // The child appends "start <run>" and "end <run>" lines.
    std::string Log;
    int Directories = 0;
    int FilesPerDirectory = 0;
    // The planned rows, performed in a safe order.
    bool Planned = false;
};

std::string FormatKillChildArguments(const TKillChildArguments& arguments);
bool ParseKillChildArguments(int argc, char** argv, TKillChildArguments& arguments);

// One kill and recovery.
struct TKillRound {
    // Runs the child had started, and whether the last one had ended.
    int RunsStarted = 0;
    bool LastRunEnded = false;
    bool JournalFound = false;
    // A journal cut off while it was written (refused as damaged: nothing was
    // renamed yet).
    bool JournalDamaged = false;
    int TakenBack = 0;
    int Files = 0;
    // Entries of the expected tree not found as expected.
    int Lost = 0;
    // Empty, or what went wrong.
    std::string Failure;
};

struct TKillSetup {
    std::string ChildPath;
    std::string Root;
    std::string JournalFolder;
    std::string Log;
    int Directories = 4;
    int FilesPerDirectory = 25;
    // The kill comes this long after the child is ready, at most.
    int MaxDelayMilliseconds = 1500;
    bool Planned = false;
};

// Creates the original tree, starts the child, kills it after a random delay,
// takes the interrupted run back and checks the tree.
TKillRound KillAndRecover(const TKillSetup& setup, std::mt19937& random);

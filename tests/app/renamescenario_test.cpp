// Randomized rename scenarios on real directories: no file is ever lost or
// overwritten. Each scenario builds a small tree of files and directories
// with distinct contents, fills the list with entries and hazardous new names,
// then performs, restores and repeats renames (some cancelled at a random
// step) through the user's invoker, the rename commands and the progress
// dialog, in random order. A simulated disk that applies the rename rules
// predicts every step; after each step the real tree, the entries and the
// history must match the prediction.
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamecommand.h"
#include "tests/common/RenameTestSupport.h"
#include "tests/common/TestSupport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using R = TRenameItemResult;

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool SameFileName(const std::string& a, const std::string& b) {
    return Lower(a) == Lower(b);
}

// What the rename in place refuses before it asks the system.
bool IsValidNewName(const std::string& name) {
    if (name.empty())
        return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string("\"*/:<>?\\|").find(c) != std::string::npos)
            return false;
    return true;
}

// A name the system would store otherwise (it drops trailing dots and blanks;
// "." and ".." name directories that exist): the rename fails.
bool IsAlteredBySystem(const std::string& name) {
    return !name.empty() && (name.back() == '.' || name.back() == ' ');
}

// Why a rename fails.
enum TFailReason { frInvalidName, frAlteredName, frNoDirectory, frNoSource, frTargetExists };

// Totals over all scenarios, for the report.
struct TTotals {
    int Scenarios = 0;
    int Steps = 0;
    int Runs[3] = {0, 0, 0};
    int Completed = 0;
    int Failed = 0;
    int Cancelled = 0;
    int Renames = 0; // entries renamed on disk, forth or back
    int CaseChanges = 0;
    int Refused[5] = {0, 0, 0, 0, 0}; // by TFailReason
    int FinalRestores = 0;
};
TTotals GTotals;

bool Refuse(TFailReason reason) {
    ++GTotals.Refused[reason];
    return false;
}

// ---------------------------------------------------------------- the simulated disk

struct TSimNode {
    int Parent;
    std::string Name;
    bool Dir;
    std::string Content; // a file's contents
};

// The tree under the scenario's folder, looked up without regard to letter
// case as the system does.
class TSimDisk {
public:
    explicit TSimDisk(std::string root) : FRoot(std::move(root)) { FNodes.push_back({-1, "", true, ""}); }

    int Add(int parent, const std::string& name, bool dir, const std::string& content = std::string()) {
        FNodes.push_back({parent, name, dir, content});
        return static_cast<int>(FNodes.size()) - 1;
    }
    const TSimNode& Node(int node) const { return FNodes[static_cast<size_t>(node)]; }
    int Count() const { return static_cast<int>(FNodes.size()); }

    std::vector<int> Children(int dir) const {
        std::vector<int> children;
        for (int node = 1; node < Count(); ++node)
            if (Node(node).Parent == dir)
                children.push_back(node);
        return children;
    }
    int Child(int dir, const std::string& name) const {
        for (const int node : Children(dir))
            if (SameFileName(Node(node).Name, name))
                return node;
        return -1;
    }
    std::string PathOf(int node) const {
        return node == 0 ? FRoot : PathOf(Node(node).Parent) + "\\" + Node(node).Name;
    }
    // The directory node that a full path names now, or -1.
    int Resolve(const std::string& directory) const {
        if (directory.size() < FRoot.size() || !SameFileName(directory.substr(0, FRoot.size()), FRoot))
            return -1;
        int node = 0;
        std::istringstream rest(directory.substr(FRoot.size()));
        for (std::string part; std::getline(rest, part, '\\');) {
            if (part.empty())
                continue;
            node = Child(node, part);
            if (node < 0 || !Node(node).Dir)
                return -1;
        }
        return node;
    }

    // The rename in place: fails on a refused or altered name, a missing
    // directory or source, and a target that names another entry.
    bool Rename(const std::string& directory, const std::string& source, const std::string& target) {
        if (!IsValidNewName(target))
            return Refuse(frInvalidName);
        if (IsAlteredBySystem(target))
            return Refuse(frAlteredName);
        const int dir = Resolve(directory);
        if (dir < 0)
            return Refuse(frNoDirectory);
        const int node = Child(dir, source);
        if (node < 0)
            return Refuse(frNoSource);
        const int existing = Child(dir, target);
        if (existing >= 0 && existing != node)
            return Refuse(frTargetExists);
        if (existing == node)
            ++GTotals.CaseChanges;
        FNodes[static_cast<size_t>(node)].Name = target;
        ++GTotals.Renames;
        return true;
    }

    // "relative path|D" or "relative path|F|contents", sorted.
    std::vector<std::string> Describe() const {
        std::vector<std::string> lines;
        for (int node = 1; node < Count(); ++node) {
            const std::string relative = PathOf(node).substr(FRoot.size() + 1);
            lines.push_back(Node(node).Dir ? relative + "|D" : relative + "|F|" + Node(node).Content);
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

private:
    std::string FRoot;
    std::vector<TSimNode> FNodes;
};

void DescribeDisk(const std::string& path, const std::string& relative, std::vector<std::string>& lines) {
    for (const std::string& name : ListDirectory(path)) {
        const std::string full = path + "\\" + name;
        const std::string entry = relative.empty() ? name : relative + "\\" + name;
        const DWORD attributes = GetFileAttributesA(full.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            lines.push_back(entry + "|D");
            DescribeDisk(full, entry, lines);
        } else {
            lines.push_back(entry + "|F|" + ReadFileText(full));
        }
    }
}

// The real tree in the simulated disk's terms.
std::vector<std::string> DescribeDisk(const std::string& root) {
    std::vector<std::string> lines;
    DescribeDisk(root, "", lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The contents of the tree without its names: what must never change.
std::vector<std::string> ContentsOf(const std::vector<std::string>& lines) {
    std::vector<std::string> contents;
    for (const std::string& line : lines) {
        const size_t bar = line.find('|');
        contents.push_back(line.substr(bar + 1));
    }
    std::sort(contents.begin(), contents.end());
    return contents;
}

// ---------------------------------------------------------------- the simulated history

struct TSimItem {
    std::string Directory;
    std::string OldName;
    std::string NewName;
    R Result = R::None;
};

// A sub-command: the item and the names copied when the rename was performed.
struct TSimStep {
    int Item;
    std::string OldName;
    std::string NewName;
};

struct TSimCommand {
    TRenameCommand* Real = nullptr;
    std::vector<TSimStep> Undo; // last done last
    std::vector<TSimStep> Redo; // next to redo last
};

enum TRunKind { rkPerform, rkRestore, rkRepeat };

struct TPrediction {
    std::string Outcome;
    std::vector<int> Percents;
    bool Complete = false;
};

// ---------------------------------------------------------------- a scenario

class TScenario {
public:
    explicit TScenario(unsigned seed) : FSeed(seed), FRandom(seed), FDisk(FDir.Path()) {}

    void Run(int actions) {
        BuildTree();
        FillList();
        FOriginal = ContentsOf(FDisk.Describe());
        if (!Check("start"))
            return;
        for (int action = 0; action < actions; ++action) {
            const int pick = Next(100);
            if (pick < 30)
                RunRename(rkPerform);
            else if (pick < 52)
                FUndo.empty() ? RunRename(rkPerform) : RunRename(rkRestore);
            else if (pick < 70)
                FRedo.empty() ? RunRename(rkPerform) : RunRename(rkRepeat);
            else if (pick < 84)
                EditNames();
            else if (pick < 90)
                ShuffleRows();
            else if (pick < 95)
                AddRow();
            else
                DeleteRow();
            if (!Check(FLog.back()))
                return;
        }
        PerformAndRestore();
        ++GTotals.Scenarios;
    }

private:
    int Next(int n) { return static_cast<int>(FRandom() % static_cast<unsigned>(n)); }
    bool Chance(int percent) { return Next(100) < percent; }

    // ------------------------------------------------ building

    std::string RandomName() {
        static const char letters[] = "abcdeABCDE";
        std::string name;
        for (int i = 0, n = 1 + Next(3); i < n; ++i)
            name += letters[Next(10)];
        if (Chance(15))
            name += Chance(50) ? " x" : "-1";
        if (Chance(40)) {
            static const char* const extensions[] = {".txt", ".TXT", ".d", ".tar.gz"};
            name += extensions[Next(4)];
        }
        return name;
    }

    std::string UnusedName(int dir) {
        for (;;) {
            const std::string name = RandomName();
            if (FDisk.Child(dir, name) < 0)
                return name;
        }
    }

    void AddFile(int dir, const std::string& name) {
        const std::string content = "file" + std::to_string(FDisk.Count());
        const int node = FDisk.Add(dir, name, false, content);
        MakeFileAt(FDisk.PathOf(node), content);
    }

    static void MakeFileAt(const std::string& path, const std::string& content) {
        const HANDLE file =
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }

    // A directory is known by the marker file inside it.
    int AddDir(int parent, const std::string& name) {
        const int node = FDisk.Add(parent, name, true);
        EXPECT_TRUE(CreateDirectoryA(FDisk.PathOf(node).c_str(), nullptr));
        const std::string marker = "dir" + std::to_string(node);
        MakeFileAt(FDisk.PathOf(FDisk.Add(node, "id", false, marker)), marker);
        return node;
    }

    void BuildTree() {
        for (int i = 0, n = 2 + Next(3); i < n; ++i)
            AddFile(0, UnusedName(0));
        for (int i = 0, n = 1 + Next(2); i < n; ++i) {
            const int dir = AddDir(0, UnusedName(0));
            for (int j = 0, m = Next(3); j < m; ++j)
                AddFile(dir, UnusedName(dir));
            if (Chance(30)) {
                const int sub = AddDir(dir, UnusedName(dir));
                if (Chance(60))
                    AddFile(sub, UnusedName(sub));
            }
        }
    }

    void FillList() {
        FHazard = std::vector<int>{0, 0, 8, 25}[static_cast<size_t>(Next(4))];
        std::vector<int> nodes;
        for (int node = 1; node < FDisk.Count(); ++node)
            if (FDisk.Node(node).Name != "id" && Chance(80))
                nodes.push_back(node);
        // The same entry twice, as two items.
        if (!nodes.empty() && Chance(20))
            nodes.push_back(nodes[static_cast<size_t>(Next(static_cast<int>(nodes.size())))]);
        std::shuffle(nodes.begin(), nodes.end(), FRandom);
        for (const int node : nodes)
            AddItemFor(node);
        AssignNewNames(100);
        FLog.push_back("list of " + std::to_string(nodes.size()) + " entries");
    }

    void AddItemFor(int node) {
        if (std::find(FListed.begin(), FListed.end(), node) != FListed.end())
            FDuplicates = true;
        FListed.push_back(node);
        const std::string path = FDisk.PathOf(node);
        TRenameItem* real = FBench.AddItem(path, FDisk.Node(node).Name);
        FReal.push_back(real);
        FItems.push_back(
            {FDisk.PathOf(FDisk.Node(node).Parent), FDisk.Node(node).Name, FDisk.Node(node).Name});
        FRows.push_back(static_cast<int>(FItems.size()) - 1);
        EXPECT_EQ(real->Directory, FItems.back().Directory);
    }

    std::string FlipCase(const std::string& name) {
        std::string flipped = name;
        for (char& c : flipped)
            if (std::isalpha(static_cast<unsigned char>(c)) && Chance(50))
                c = static_cast<char>(std::islower(static_cast<unsigned char>(c)) ? std::toupper(c)
                                                                                  : std::tolower(c));
        if (flipped == name)
            for (char& c : flipped)
                if (std::isalpha(static_cast<unsigned char>(c))) {
                    c = static_cast<char>(std::islower(static_cast<unsigned char>(c)) ? std::toupper(c)
                                                                                      : std::tolower(c));
                    break;
                }
        return flipped;
    }

    std::string NewNameFor(const TSimItem& item) {
        if (Chance(FHazard)) {
            static const char* const hazards[] = {"",     "a\\b", "a:b", "a*",  "b?",  "x\x01",
                                                  "a\tb", "a/b",  "a|b", "<a>", "a\"", "abc.",
                                                  "abc ", ".",    "..",  "d.. "};
            return hazards[Next(16)];
        }
        const int kind = Next(100);
        if (kind < 10)
            return item.OldName;
        if (kind < 22)
            return FlipCase(item.OldName);
        if (kind < 68)
            return RandomName();
        if (kind < 82) {
            // A name that the entry's directory holds now, in any case.
            const int dir = FDisk.Resolve(item.Directory);
            const std::vector<int> siblings = dir < 0 ? std::vector<int>() : FDisk.Children(dir);
            if (siblings.empty())
                return RandomName();
            const std::string name =
                FDisk.Node(siblings[static_cast<size_t>(Next(static_cast<int>(siblings.size())))]).Name;
            return Chance(30) ? FlipCase(name) : name;
        }
        // Another entry's old or new name.
        const TSimItem& other = FItems[static_cast<size_t>(Next(static_cast<int>(FItems.size())))];
        return Chance(50) ? other.OldName : other.NewName;
    }

    // As a name edit does: a new name, and the result back to None.
    void AssignNewNames(int percent) {
        for (size_t i = 0; i < FItems.size(); ++i)
            if (Chance(percent)) {
                FItems[i].NewName = NewNameFor(FItems[i]);
                FItems[i].Result = R::None;
                FReal[i]->NewName = FItems[i].NewName;
                FReal[i]->Result = R::None;
            }
    }

    // ------------------------------------------------ list changes

    // Half the names change, and every name that failed.
    void EditNames() {
        for (size_t i = 0; i < FItems.size(); ++i)
            if (FItems[i].Result == R::Failed) {
                FItems[i].Result = R::None;
                FReal[i]->Result = R::None;
                FItems[i].NewName = FReal[i]->NewName = NewNameFor(FItems[i]);
            }
        AssignNewNames(50);
        FLog.push_back("edit names");
    }

    void ShuffleRows() {
        std::vector<int> order(FRows.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::shuffle(order.begin(), order.end(), FRandom);
        TListViewModelOrder permutation;
        std::vector<int> rows(FRows.size());
        for (size_t to = 0; to < order.size(); ++to) {
            permutation.push_back({order[to], static_cast<int>(to)});
            rows[to] = FRows[static_cast<size_t>(order[to])];
        }
        FBench.Model().Reorder(permutation);
        FRows = rows;
        FLog.push_back("shuffle rows");
    }

    void AddRow() {
        const int node = 1 + Next(FDisk.Count() - 1);
        AddItemFor(node);
        FItems.back().NewName = NewNameFor(FItems.back());
        FReal.back()->NewName = FItems.back().NewName;
        FLog.push_back("add a row for " + FDisk.PathOf(node));
    }

    void DeleteRow() {
        if (FRows.empty()) {
            FLog.push_back("delete no row");
            return;
        }
        const int row = Next(static_cast<int>(FRows.size()));
        FBench.Model().Delete(row);
        FBench.Model().WriteToView(false);
        FRows.erase(FRows.begin() + row);
        FLog.push_back("delete row " + std::to_string(row));
    }

    // ------------------------------------------------ runs

    // One sub-command's rename, by the rules.
    bool SimStep(const TSimStep& step, bool forward) {
        TSimItem& item = FItems[static_cast<size_t>(step.Item)];
        if (step.OldName == step.NewName) {
            item.Result = R::Skipped;
            return true;
        }
        const std::string& source = forward ? step.OldName : step.NewName;
        const std::string& target = forward ? step.NewName : step.OldName;
        if (!FDisk.Rename(item.Directory, source, target)) {
            item.Result = R::Failed;
            return false;
        }
        item.OldName = target;
        item.Result = R::Succeeded;
        return true;
    }

    // The task's loop: a cancel pressed after step cancelAfter is seen before
    // the next step; the run stops at the first failure.
    TPrediction SimRun(int count, int cancelAfter, const std::function<bool()>& step) {
        TPrediction prediction;
        int last = 0;
        for (int i = 0; i < count; ++i) {
            if (i > 0 && cancelAfter == i - 1) {
                prediction.Outcome = AbortOutcome();
                return prediction;
            }
            if (!step()) {
                prediction.Outcome = RenameFailedOutcome();
                return prediction;
            }
            const int percent = static_cast<int>((static_cast<long long>(i) + 1) * 100 / count);
            if (percent != last)
                prediction.Percents.push_back(last = percent);
        }
        if (last != 100)
            prediction.Percents.push_back(100);
        prediction.Complete = true;
        return prediction;
    }

    // Returns whether the run is predicted to complete.
    bool RunRename(TRunKind kind, bool mayCancel = true) {
        for (const int item : FRows)
            FItems[static_cast<size_t>(item)].Result = R::None;
        std::shared_ptr<TSimCommand> command;
        std::vector<TSimStep> pending;
        if (kind == rkPerform) {
            command = std::make_shared<TSimCommand>();
            for (const int item : FRows)
                pending.push_back({item, FItems[static_cast<size_t>(item)].OldName,
                                   FItems[static_cast<size_t>(item)].NewName});
        } else {
            command = kind == rkRestore ? FUndo.back() : FRedo.back();
        }
        const int count = static_cast<int>(pending.size() + command->Undo.size() + command->Redo.size());
        const int cancelAfter = mayCancel && count > 0 && Chance(30) ? Next(count) : -1;
        FBench.Probe.CancelAt = cancelAfter < 0 ? -1 : static_cast<int>((cancelAfter + 1) * 100LL / count);
        FBench.Probe.Presses = 1;

        size_t next = 0;
        TPrediction expected = SimRun(count, cancelAfter, [&] {
            if (kind == rkPerform) {
                const TSimStep step = pending[next++];
                if (!SimStep(step, true))
                    return false;
                command->Undo.push_back(step);
                return true;
            }
            std::vector<TSimStep>& from = kind == rkRestore ? command->Undo : command->Redo;
            std::vector<TSimStep>& to = kind == rkRestore ? command->Redo : command->Undo;
            const TSimStep step = from.back();
            from.pop_back();
            if (!SimStep(step, kind == rkRepeat)) {
                // A failing step empties both stacks.
                command->Undo.clear();
                command->Redo.clear();
                return false;
            }
            to.push_back(step);
            return true;
        });
        if (expected.Outcome == AbortOutcome()) {
            // The task frees the list it was working through.
            if (kind == rkRestore)
                command->Undo.clear();
            if (kind == rkRepeat)
                command->Redo.clear();
        }
        // The user's history, by the invoker's rules and the command's flags.
        if (kind == rkPerform) {
            FUndo.push_back(command);
            FRedo.clear();
        } else if (kind == rkRestore) {
            FUndo.pop_back();
            if (!expected.Complete)
                FUndo.clear();
            FRedo.push_back(command);
        } else {
            FRedo.pop_back();
            if (!expected.Complete)
                FRedo.clear();
            FUndo.push_back(command);
        }

        const std::string outcome = kind == rkPerform   ? FBench.Perform()
                                    : kind == rkRestore ? FBench.Restore()
                                                        : FBench.Repeat();
        if (kind == rkPerform)
            command->Real = FBench.LastRename();
        static const char* const names[] = {"perform", "restore", "repeat"};
        std::ostringstream log;
        log << names[kind] << " of " << count << " steps";
        if (cancelAfter >= 0)
            log << ", cancel after step " << cancelAfter + 1;
        log << ": expected \"" << expected.Outcome << "\"";
        FLog.push_back(log.str());
        EXPECT_EQ(outcome, expected.Outcome);
        EXPECT_EQ(FBench.Probe.Percents, expected.Percents);

        ++GTotals.Runs[kind];
        if (expected.Complete)
            ++GTotals.Completed;
        else if (expected.Outcome == AbortOutcome())
            ++GTotals.Cancelled;
        else
            ++GTotals.Failed;
        return expected.Complete;
    }

    // A perform followed at once by a restore (neither cancelled) gives back
    // every name that the entries had, whether the perform completed or not.
    // Two items of one entry may spell its name in other letter case: then
    // the restore gives the entry the spelling of the item that renamed it.
    void PerformAndRestore() {
        AssignNewNames(70);
        const std::vector<std::string> before = DescribeDisk(FDir.Path());
        std::vector<std::string> oldNames;
        for (const TRenameItem* item : FReal)
            oldNames.push_back(item->OldName);
        const bool performed = RunRename(rkPerform, false);
        if (!Check(FLog.back()))
            return;
        EXPECT_TRUE(RunRename(rkRestore, false)) << "seed " << FSeed;
        if (!Check(FLog.back()))
            return;
        const std::vector<std::string> after = DescribeDisk(FDir.Path());
        if (FDuplicates)
            EXPECT_EQ(LowerAll(after), LowerAll(before)) << "seed " << FSeed;
        else
            EXPECT_EQ(after, before) << "seed " << FSeed;
        for (size_t i = 0; i < FReal.size(); ++i)
            EXPECT_EQ(FReal[i]->OldName, oldNames[i]) << "item " << i << ", seed " << FSeed;
        if (performed)
            for (int row = 0; row < FBench.Model().Count(); ++row) {
                const R result = FBench.Item(row)->Result;
                EXPECT_TRUE(result == R::Succeeded || result == R::Skipped)
                    << "row " << row << ", seed " << FSeed;
            }
        ++GTotals.FinalRestores;
    }

    static std::vector<std::string> LowerAll(std::vector<std::string> lines) {
        for (std::string& line : lines)
            line = Lower(line);
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    // ------------------------------------------------ checks

    bool Check(const std::string& step) {
        ++GTotals.Steps;
        SCOPED_TRACE(testing::Message() << "seed " << FSeed << ", after: " << step);
        const std::vector<std::string> disk = DescribeDisk(FDir.Path());
        // Without the simulation: every content is there once, no temporary
        // name is left.
        EXPECT_EQ(ContentsOf(disk), FOriginal);
        for (const std::string& line : disk)
            EXPECT_EQ(line.find("~trelvane"), std::string::npos) << line;
        // With it: the exact names.
        EXPECT_EQ(disk, FDisk.Describe());
        for (size_t i = 0; i < FItems.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "item " << i << " in " << FItems[i].Directory);
            EXPECT_EQ(FReal[i]->OldName, FItems[i].OldName);
            EXPECT_EQ(FReal[i]->NewName, FItems[i].NewName);
            EXPECT_EQ(static_cast<int>(FReal[i]->Result), static_cast<int>(FItems[i].Result));
        }
        EXPECT_EQ(FBench.Model().Count(), static_cast<int>(FRows.size()));
        for (size_t row = 0; row < FRows.size() && row < static_cast<size_t>(FBench.Model().Count()); ++row)
            EXPECT_EQ(FBench.Item(static_cast<int>(row)), FReal[static_cast<size_t>(FRows[row])]);
        CheckHistory(FBench.Invoker().UndoCommands(), FUndo, "undo");
        CheckHistory(FBench.Invoker().RedoCommands(), FRedo, "redo");
        EXPECT_EQ(FBench.Invoker().PendingCommands().Count(), 0);
        if (testing::Test::HasFailure()) {
            std::ostringstream log;
            for (const std::string& line : FLog)
                log << "  " << line << "\n";
            ADD_FAILURE() << "scenario " << FSeed << " went wrong; its steps:\n" << log.str();
            return false;
        }
        return true;
    }

    void CheckHistory(TObjectList& real, const std::vector<std::shared_ptr<TSimCommand>>& expected,
                      const char* which) {
        SCOPED_TRACE(which);
        ASSERT_EQ(real.Count(), static_cast<int>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            auto* command = dynamic_cast<TRenameCommand*>(real.Items(static_cast<int>(i)));
            ASSERT_EQ(command, expected[i]->Real) << "command " << i;
            EXPECT_EQ(command->SubCommands().PendingCommands().Count(), 0);
            EXPECT_EQ(command->SubCommands().UndoCommands().Count(),
                      static_cast<int>(expected[i]->Undo.size()));
            EXPECT_EQ(command->SubCommands().RedoCommands().Count(),
                      static_cast<int>(expected[i]->Redo.size()));
        }
    }

    unsigned FSeed;
    std::mt19937 FRandom;
    TTempDir FDir;
    TSimDisk FDisk;
    TRenameBench FBench;
    int FHazard = 0;
    std::vector<int> FListed;        // the nodes that items were made for
    bool FDuplicates = false;        // one entry has two items
    std::vector<TSimItem> FItems;    // by creation
    std::vector<TRenameItem*> FReal; // the same, owned by the bench
    std::vector<int> FRows;          // items in row order
    std::vector<std::shared_ptr<TSimCommand>> FUndo;
    std::vector<std::shared_ptr<TSimCommand>> FRedo;
    std::vector<std::string> FOriginal;
    std::vector<std::string> FLog;
};

// Runs the scenarios of the seeds and reports what they did.
void RunScenarios(unsigned firstSeed, unsigned count) {
    GTotals = TTotals();
    for (unsigned seed = firstSeed; seed < firstSeed + count; ++seed) {
        TScenario scenario(seed);
        scenario.Run(8);
        if (testing::Test::HasFailure())
            break;
    }
    const TTotals& t = GTotals;
    std::printf(
        "[ SCENARIO ] seeds %u to %u: %d scenarios, %d checked steps; runs: %d performs, %d restores, "
        "%d repeats (%d complete, %d failed, %d cancelled); %d renames on disk (%d of letter case); "
        "refused: %d invalid names, %d altered names, %d stale directories, %d missing sources, "
        "%d existing targets; %d final restores\n",
        firstSeed, firstSeed + count - 1, t.Scenarios, t.Steps, t.Runs[rkPerform], t.Runs[rkRestore],
        t.Runs[rkRepeat], t.Completed, t.Failed, t.Cancelled, t.Renames, t.CaseChanges,
        t.Refused[frInvalidName], t.Refused[frAlteredName], t.Refused[frNoDirectory], t.Refused[frNoSource],
        t.Refused[frTargetExists], t.FinalRestores);
    EXPECT_EQ(GTotals.Scenarios, static_cast<int>(count));
}

} // namespace

TEST(RenameScenario, Seeds1To100) {
    RunScenarios(1, 100);
}

TEST(RenameScenario, Seeds101To200) {
    RunScenarios(101, 100);
}

TEST(RenameScenario, Seeds201To300) {
    RunScenarios(201, 100);
}

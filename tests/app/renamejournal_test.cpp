// The rename journal: its format, damaged and cut-off journals, a journal
// that cannot be written, the recovery's decisions from the disk, the runs
// that keep a journal, runs in a safe order on disk and restored, and the
// start-up question with its three answers.
#include "app/dialogs/Trel_resultsdialog.h"
#include "app/handlers/Trel_renamehandler.h"
#include "app/rename/Trel_renamejournal.h"
#include "app/rename/Trel_renameplan.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/ListViewTestSupport.h"
#include "tests/common/RenameTestSupport.h"
#include "tests/common/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

// A tree as text: "name=contents" for a file, "name/" for a directory, paths
// with "/", blank-separated, sorted.
void MakeTree(const TTempDir& dir, const std::string& layout) {
    std::istringstream in(layout);
    for (std::string entry; in >> entry;) {
        std::string path = entry;
        for (char& c : path)
            c = c == '/' ? '\\' : c;
        if (path.back() == '\\') {
            path.pop_back();
            dir.MakeDir(path);
        } else {
            const size_t equals = path.find('=');
            dir.MakeFile(path.substr(0, equals), path.substr(equals + 1));
        }
    }
}

void DescribeTree(const std::string& path, const std::string& prefix, std::vector<std::string>& lines) {
    for (const std::string& name : ListDirectory(path)) {
        const std::string full = path + "\\" + name;
        if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            lines.push_back(prefix + name + "/");
            DescribeTree(full, prefix + name + "/", lines);
        } else {
            lines.push_back(prefix + name + "=" + ReadFileText(full));
        }
    }
}

std::string Tree(const TTempDir& dir) {
    std::vector<std::string> lines;
    DescribeTree(dir.Path(), "", lines);
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : " ") + line;
    return text;
}

// The steps of a swap of a and b through the temporary name of a cycle.
const char* const kSwap = "a>~trelvane-cycle-00000001-1.tmp b>a ~trelvane-cycle-00000001-1.tmp>b";

// "dir/from>to" steps, blank-separated; the directory is relative to root.
std::vector<TJournalStep> Steps(const TTempDir& root, const std::string& layout) {
    std::vector<TJournalStep> steps;
    std::istringstream in(layout);
    for (std::string entry; in >> entry;) {
        const size_t arrow = entry.find('>');
        std::string from = entry.substr(0, arrow);
        std::string directory = root.Path();
        const size_t slash = from.rfind('/');
        if (slash != std::string::npos) {
            directory += "\\" + from.substr(0, slash);
            from = from.substr(slash + 1);
        }
        steps.push_back({directory, from, entry.substr(arrow + 1)});
    }
    return steps;
}

// One letter per step: Skipped, not Begun, Not done, Done, not Found.
std::string Findings(const std::vector<TStepState>& states) {
    std::string letters;
    for (const TStepState& state : states)
        letters += "KBNDF"[static_cast<int>(state.Finding)];
    return letters;
}

TJournal MakeJournal(const std::vector<TJournalStep>& steps, int begun) {
    TJournal journal;
    journal.Started = "2024-05-01 14:03:07";
    journal.CodePage = GetACP();
    journal.BootTime = CurrentBootTime();
    journal.Steps = steps;
    journal.Begun = begun;
    return journal;
}

// The checksum the journal's "End" line carries: 64-bit FNV-1a.
std::string Checksum(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char digits[17];
    std::snprintf(digits, sizeof(digits), "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

// A journal text from its lines before "End", with a matching checksum.
std::string SignedJournal(const std::string& body) {
    return body + "End " + Checksum(body) + "\r\nBegun: ";
}

const char* const kHeader = "Trelvane rename journal 1\r\nRun: Perform\r\nStarted: 2024-05-01 14:03:07\r\n"
                            "Code page: 1252\r\nBoot: 5\r\n";

std::string DamageOf(const std::string& text) {
    try {
        ParseJournal(text);
    } catch (const EJournalDamaged& e) {
        return e.Message();
    }
    return "read";
}

// Writes a journal where a run would, as a run cut off after `begun` steps left it.
std::string LeaveJournal(const std::string& folder, const TJournal& journal, const std::string& name) {
    const std::string path = folder + "\\" + name;
    std::ofstream(path, std::ios::binary) << FormatJournal(journal);
    return path;
}

} // namespace

// ---------------------------------------------------------------- format

TEST(RenameJournal, ReadsWhatItWrites) {
    const struct {
        const char* what;
        std::vector<TJournalStep> steps;
        int begun;
        int begunRead;
    } cases[] = {
        {"no steps", {}, 0, 0},
        {"directories change", {{"C:\\a", "x", "y"}, {"C:\\b", "y", "z"}, {"C:\\a", "z", "x"}}, 1, 1},
        {"unchanged names", {{"C:\\a", "b", "b"}}, 1, 1},
        {"separators and escapes in names", {{"C:\\a%b", "x%41y", "x\ty\r\n\x01\x7F"}}, 0, 0},
        {"double-byte names", {{"C:\\\x83\x5C", "\x82\xA0.txt", "\x95\x5C"}}, 1, 1},
        {"empty names", {{"", "", "x"}}, 1, 1},
        {"more marks than steps", {{"C:\\a", "x", "y"}}, 5, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TJournal journal = MakeJournal(c.steps, c.begun);
        journal.Run = TJournalRun::Repeat;
        const TJournal read = ParseJournal(FormatJournal(journal));
        EXPECT_EQ(read.Run, TJournalRun::Repeat);
        EXPECT_EQ(read.Started, journal.Started);
        EXPECT_EQ(read.CodePage, journal.CodePage);
        EXPECT_EQ(read.BootTime, journal.BootTime);
        ASSERT_EQ(read.Steps.size(), c.steps.size());
        for (size_t i = 0; i < c.steps.size(); ++i) {
            EXPECT_EQ(read.Steps[i].Directory, c.steps[i].Directory);
            EXPECT_EQ(read.Steps[i].From, c.steps[i].From);
            EXPECT_EQ(read.Steps[i].To, c.steps[i].To);
        }
        EXPECT_EQ(read.Begun, c.begunRead);
    }
}

TEST(RenameJournal, EveryCutBeforeTheMarksIsRefusedAsDamaged) {
    const std::string text = FormatJournal(MakeJournal({{"C:\\a", "x", "y"}, {"C:\\b", "p", "q"}}, 0));
    for (size_t length = 0; length < text.size(); ++length) {
        SCOPED_TRACE(testing::Message() << "cut after " << length << " bytes");
        EXPECT_THROW(ParseJournal(text.substr(0, length)), EJournalDamaged);
    }
    EXPECT_EQ(ParseJournal(text).Steps.size(), 2u);
}

TEST(RenameJournal, RefusesWhatIsNotAWholeJournalOfThisProgram) {
    const std::string body = std::string(kHeader) + "Steps: 1\r\nD C:\\a\r\nR x\ty\r\n";
    std::string flipped = SignedJournal(body);
    flipped[flipped.find("R x") + 2] = 'z';
    const struct {
        const char* what;
        std::string text;
        std::string message;
    } cases[] = {
        {"another file", "[Settings]\r\nKey=1\r\n", "it is not a rename journal of this program"},
        {"another version", "Trelvane rename journal 2\r\n", "it was written by another version of the program"},
        {"a changed name", flipped, "its checksum does not match its contents"},
        {"an unknown run", SignedJournal("Trelvane rename journal 1\r\nRun: Rename\r\n"),
         "its \"Run\" line names no run"},
        {"a missing header line", SignedJournal("Trelvane rename journal 1\r\nRun: Perform\r\nCode page: 1\r\n"),
         "line 3 is not its \"Started\" line"},
        {"a code page that is no number",
         SignedJournal("Trelvane rename journal 1\r\nRun: Perform\r\nStarted: x\r\nCode page: 12a\r\n"),
         "its \"Code page\" line holds no number"},
        {"fewer renames than announced", SignedJournal(std::string(kHeader) + "Steps: 2\r\nD C:\\a\r\nR x\ty\r\n"),
         "it announces 2 renames and holds 1"},
        {"a rename before its directory", SignedJournal(std::string(kHeader) + "Steps: 1\r\nR x\ty\r\n"),
         "line 7 is not understood"},
        {"a rename without its new name", SignedJournal(std::string(kHeader) + "Steps: 1\r\nD C:\\\r\nR xy\r\n"),
         "line 8 is not understood"},
        {"a broken escape", SignedJournal(std::string(kHeader) + "Steps: 1\r\nD C:\\\r\nR x%4\ty\r\n"),
         "line 8 is not understood"},
        {"no marks line", SignedJournal(body).substr(0, SignedJournal(body).size() - 7),
         "it is incomplete"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DamageOf(c.text), c.message);
    }
    EXPECT_EQ(DamageOf(SignedJournal(body)), "read");
}

TEST(RenameJournal, MarksCountUpToTheFirstByteThatIsNoMark) {
    const std::string text = FormatJournal(MakeJournal({{"C:\\a", "x", "y"}, {"C:\\a", "y", "z"}}, 0));
    const struct {
        std::string marks;
        int begun;
    } cases[] = {{"", 0}, {".", 1}, {"..", 2}, {"...", 2}, {".\0.", 1}, {"x..", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "marks \"" << c.marks << "\"");
        EXPECT_EQ(ParseJournal(text + c.marks).Begun, c.begun);
    }
}

TEST(RenameJournal, KnowsTheTemporaryNamesOfACaseChange) {
    const struct {
        const char* name;
        bool temporary;
    } cases[] = {
        {"~trelvane-0A1B2C3D-07.tmp", true},  {"~trelvane-0a1b2c3d-ff.tmp", true},
        {"~trelvane-0A1B2C3D-07.TMP", false}, {"~trelvane-0A1B2C3D-7.tmp", false},
        {"~trelvane-0A1B2C3G-07.tmp", false}, {"trelvane-0A1B2C3D-07.tmp", false},
        {"~trelvane-0A1B2C3D_07.tmp", false}, {"a.txt", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsRenameTemporaryName(c.name), c.temporary) << c.name;
}

// ---------------------------------------------------------------- writing

TEST(RenameJournal, IsWrittenInTheFirstFolderThatTakesItAndRemovedAtTheEnd) {
    TTempDir dir;
    dir.MakeFile("file", "not a folder");
    const std::string blocked = dir / "file\\sub";
    const std::string usable = dir / "journals";
    const std::vector<TJournalStep> steps = Steps(dir, "a>b b>c");
    {
        TRenameJournal journal({blocked, usable}, TJournalRun::Restore, steps);
        const std::vector<std::string> found = FindJournalFiles({blocked, usable});
        ASSERT_EQ(found, std::vector<std::string>{journal.Path()});
        EXPECT_EQ(journal.Path().substr(0, usable.size()), usable);
        // Unshared while the run lasts: the start-up of another copy leaves it alone.
        EXPECT_THROW(TInterruptedRun{journal.Path()}, EJournalInUse);
        journal.StepBegins();
        journal.Close();
        EXPECT_TRUE(FindJournalFiles({usable}).empty());
    }
    {
        TRenameJournal journal({usable}, TJournalRun::Perform, steps);
        journal.StepBegins();
        EXPECT_EQ(FindJournalFiles({usable}).size(), 1u);
    }
    EXPECT_TRUE(FindJournalFiles({usable}).empty()) << "a run that throws removes its journal on the way out";
}

TEST(RenameJournal, ARunWhoseJournalCannotBeWrittenDoesNotStart) {
    TTempDir dir;
    dir.MakeFile("file", "not a folder");
    const std::string first = dir / "file\\a";
    const std::string second = dir / "file\\b";
    EXPECT_ERROR_MESSAGE(ERenameNotStarted, TRenameJournal({first, second}, TJournalRun::Perform, {}),
                         "The rename did not start: the program could not write its rename journal in \"" + first +
                             "\\\" or in \"" + second + "\\\". Nothing was renamed.");
}

// ---------------------------------------------------------------- recovery

TEST(RenameJournal, DecidesFromTheDiskWhichStepsAreDoneAndTakesThemBack) {
    const struct {
        const char* what;
        const char* before;
        const char* steps;
        // The disk when the run was cut off.
        const char* cutOff;
        int begun;
        const char* findings;
    } cases[] = {
        {"nothing done", "a=1 b=2", "a>x b>y", "a=1 b=2", 2, "NN"},
        {"the first done", "a=1 b=2", "a>x b>y", "b=2 x=1", 2, "DN"},
        {"all done", "a=1 b=2", "a>x b>y", "x=1 y=2", 2, "DD"},
        {"a chain, all done", "a=1 b=2", "b>c a>b", "b=1 c=2", 2, "DD"},
        {"a chain, its first link done", "a=1 b=2", "b>c a>b", "a=1 c=2", 2, "DN"},
        {"a change of letter case done", "a.txt=1", "a.txt>A.TXT", "A.TXT=1", 1, "D"},
        {"a change of letter case not done", "a.txt=1", "a.txt>A.TXT", "a.txt=1", 1, "N"},
        {"cut between the two moves of a case change", "a.txt=1", "a.txt>A.TXT", "~trelvane-0000ABCD-00.tmp=1", 1,
         "D"},
        {"a directory renamed after its contents", "d/ d/a=1", "d/a>b d>e", "e/ e/b=1", 2, "DD"},
        {"its contents done, the directory not", "d/ d/a=1", "d/a>b d>e", "d/ d/b=1", 2, "DN"},
        {"a directory renamed before its contents (a restore)", "e/ e/b=1", "e>d d/b>a", "d/ d/a=1", 2, "DD"},
        {"the directory of a restore done, its contents not", "e/ e/b=1", "e>d d/b>a", "d/ d/b=1", 2, "DN"},
        {"directories swapped through a third name", "p/ p/x=1 q/ q/y=2", "p>t q>p t>q p/y>z",
         "p/ p/z=2 q/ q/x=1", 4, "DDDD"},
        {"unchanged names", "a=1", "a>a", "a=1", 1, "K"},
        {"steps the marks say never began", "a=1 b=2", "a>x b>y", "b=2 x=1", 1, "DB"},
        {"a name the system cut", "a=1", "a>b.", "b=1", 1, "D"},
        {"a swap marked, not begun", "a=1 b=2", kSwap, "a=1 b=2", 1, "NBB"},
        {"a swap cut after its second move", "a=1 b=2", kSwap, "a=2 ~trelvane-cycle-00000001-1.tmp=1", 3, "DDN"},
        {"a swap done", "a=1 b=2", kSwap, "a=2 b=1", 3, "DDD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TTempDir before;
        MakeTree(before, c.before);
        TTempDir dir;
        MakeTree(dir, c.cutOff);
        const TJournal journal = MakeJournal(Steps(dir, c.steps), c.begun);
        const std::vector<TStepState> states = FindDoneSteps(journal, true);
        EXPECT_EQ(Findings(states), c.findings);
        EXPECT_EQ(Tree(dir), c.cutOff) << "deciding renames nothing";
        const TTakeBack takeBack = TakeBackSteps(journal, states);
        EXPECT_EQ(takeBack.Failed, 0);
        EXPECT_EQ(Tree(dir), Tree(before));
    }
}

TEST(RenameJournal, LeavesWhatItCannotPlace) {
    const struct {
        const char* what;
        const char* cutOff;
        const char* steps;
        bool trustMarks;
        int begun;
        const char* findings;
    } cases[] = {
        {"both names gone", "c=3", "a>b", true, 1, "F"},
        {"two temporary names in one directory", "~trelvane-00000001-00.tmp=1 ~trelvane-00000002-00.tmp=2",
         "a.txt>A.TXT b.txt>B.TXT", true, 2, "FF"},
        {"another spelling than both", "A.txt=1", "a.txt>A.TXT", true, 1, "F"},
        {"marks after a new boot are not trusted", "b=2 x=1", "a>x b>y", false, 0, "DN"},
        {"a swap after a new boot, done or never begun", "a=2 b=1", kSwap, false, 0, "NNN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TTempDir dir;
        MakeTree(dir, c.cutOff);
        const TJournal journal = MakeJournal(Steps(dir, c.steps), c.begun);
        const std::vector<TStepState> states = FindDoneSteps(journal, c.trustMarks);
        EXPECT_EQ(Findings(states), c.findings);
    }
}

TEST(RenameJournal, TakesBackWithoutReplacingAnything) {
    TTempDir dir;
    MakeTree(dir, "x=1 y=2");
    const TJournal journal = MakeJournal(Steps(dir, "a>x b>y"), 2);
    const std::vector<TStepState> states = FindDoneSteps(journal, true);
    ASSERT_EQ(Findings(states), "DD");
    // Meanwhile a new file took the first entry's old name.
    dir.MakeFile("a", "new");
    const TTakeBack takeBack = TakeBackSteps(journal, states);
    EXPECT_EQ(takeBack.Succeeded, 1);
    EXPECT_EQ(takeBack.Failed, 1);
    EXPECT_EQ(takeBack.Results,
              (std::vector<TRenameItemResult>{TRenameItemResult::Failed, TRenameItemResult::Succeeded}));
    EXPECT_EQ(Tree(dir), "a=new b=2 x=1");
}

// ---------------------------------------------------------------- runs

namespace {

// Runs the rename command with its journal in a folder, and looks at the
// folder at every step of the run.
class TJournalingCommand : public TProbeRenameCommand {
public:
    TJournalingCommand(TListViewModel& model, TRenameProbe& probe, const std::string& folder)
        : TProbeRenameCommand(model, probe), FFolder(folder) {
        JournalFolders = {folder};
    }

    // Journals seen at each progress report, and whether each was in use.
    std::vector<std::string> Seen;

protected:
    void DoProgress(TTrelProgressDialog& dialog, int percent) override {
        const std::vector<std::string> journals = FindJournalFiles({FFolder});
        std::string seen = std::to_string(journals.size());
        for (const std::string& path : journals) {
            try {
                TInterruptedRun run(path);
                seen += " free";
            } catch (const EJournalInUse&) {
                seen += " in use";
            }
        }
        Seen.push_back(seen);
        TProbeRenameCommand::DoProgress(dialog, percent);
    }

private:
    std::string FFolder;
};

} // namespace

TEST(RenameJournal, EveryRunKeepsItsJournalWhileItRunsAndRemovesIt) {
    TTempDir dir;
    TTempDir journals;
    TRenameBench bench;
    bench.AddItem(dir.MakeFile("a", "1"), "b");
    bench.AddItem(dir.MakeFile("c", "2"), "d");
    auto* command = new TJournalingCommand(bench.Model(), bench.Probe, journals.Path());
    EXPECT_EQ(Outcome([&] { bench.Run(command); }), "");
    EXPECT_EQ(command->Seen, (std::vector<std::string>{"1 in use", "1 in use"}));
    EXPECT_TRUE(FindJournalFiles({journals.Path()}).empty());
    EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"b", "d"}));
    // A run that fails removes its journal too: the restore takes the second
    // row back, then finds the first row's old name taken.
    dir.MakeFile("a", "in the way");
    command->Seen.clear();
    EXPECT_EQ(Outcome([&] { bench.Invoker().Undo(); }), RenameFailedOutcome());
    EXPECT_EQ(command->Seen, (std::vector<std::string>{"1 in use"}));
    EXPECT_TRUE(FindJournalFiles({journals.Path()}).empty());
}

TEST(RenameJournal, ARunThatCannotWriteItsJournalRenamesNothingAndKeepsTheHistory) {
    TTempDir dir;
    dir.MakeFile("file", "not a folder");
    const std::string blocked = dir / "file\\journals";
    const std::string notStarted = "rename: The rename did not start: the program could not write its rename "
                                   "journal in \"" + blocked + "\\\". Nothing was renamed.";
    TTempDir journals;
    TRenameBench bench;
    bench.AddItem(dir.MakeFile("a", "1"), "b");
    auto* command = new TProbeRenameCommand(bench.Model(), bench.Probe);
    command->JournalFolders = {blocked};
    EXPECT_EQ(Outcome([&] { bench.Run(command); }), notStarted);
    EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"a", "file"}));
    EXPECT_FALSE(bench.Invoker().CanUndo()) << "the perform never started";
    EXPECT_EQ(bench.Results(), "N");

    // A restore that cannot start leaves the rename restorable.
    EXPECT_EQ(bench.Perform(), "");
    bench.LastRename()->JournalFolders = {blocked};
    EXPECT_EQ(bench.Restore(), notStarted);
    EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"b", "file"}));
    ASSERT_NE(bench.LastRename(), nullptr);
    EXPECT_EQ(bench.LastRename()->SubCommands().UndoCommands().Count(), 1);
    EXPECT_EQ(bench.Results(), "S");
    bench.LastRename()->JournalFolders = {journals.Path()};
    EXPECT_EQ(bench.Restore(), "");
    EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"a", "file"}));
}

// ---------------------------------------------------------------- runs in a safe order

namespace {

std::string TreeOf(const std::string& layout) {
    TTempDir dir;
    MakeTree(dir, layout);
    return Tree(dir);
}

// The plan of the "dir/from>to" rows for the next Perform, and how many
// entries it serves (-1: no plan).
int PlanRows(TRenameBench& bench, const std::string& rows) {
    for (const TJournalStep& step : Steps(bench.Dir(), rows))
        bench.AddItem(step.Directory + "\\" + step.From, step.To);
    TSafeOrder order = FindSafeOrder(CheckEntriesOf(bench.Model()));
    bench.Plan = std::move(order.Plan);
    return bench.Plan.Empty() ? -1 : order.Serves;
}

} // namespace

TEST(RenamePlan, ChainsAndCyclesRunInASafeOrderAndRestoreTakesThemBack) {
    std::string series[3]; // f0..f49 shifted by one: before, rows, after
    for (int i = 0; i < 50; ++i) {
        const std::string from = "f" + std::to_string(i), to = "f" + std::to_string(i + 1), n = std::to_string(i);
        series[0] += from + "=" + n + " ";
        series[1] += from + ">" + to + " ";
        series[2] += to + "=" + n + " ";
    }
    const struct {
        const char* what;
        std::string before, rows;
        int serves; // -1: no plan, the list's order
        std::string after;
    } cases[] = {
        {"a chain of 2", "a=1 b=2", "a>b b>c", 1, "b=1 c=2"},
        {"a chain of 50", series[0], series[1], 49, series[2]},
        {"a swap", "a=1 b=2", "a>b b>a", 2, "a=2 b=1"},
        {"a 3-cycle", "a=1 b=2 c=3", "a>b b>c c>a", 3, "a=3 b=1 c=2"},
        {"a cycle inside a chain of directories", "p/ p/m=1 q/ q/x=x q/y=y", "q/x>y q/y>x p>q q>r", 3,
         "q/ q/m=1 r/ r/x=y r/y=x"},
        {"a directory after its contents", "d/ d/a=1 d/b=2 e/ e/c=3", "d/a>b d/b>c d>e e>f", 2, "e/ e/b=1 e/c=2 f/ f/c=3"},
        {"a target held by a file not in the run", "a=1 b=2 c=3", "a>b b>c", -1, "a=1 b=2 c=3"},
        {"names that differ only in letter case", "a.txt=a b.txt=b", "a.txt>B.TXT b.txt>A.TXT", 2, "A.TXT=b B.TXT=a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TRenameBench bench;
        MakeTree(bench.Dir(), c.before);
        EXPECT_EQ(PlanRows(bench, c.rows), c.serves);
        EXPECT_EQ(bench.Perform(), c.serves < 0 ? RenameFailedOutcome() : "");
        EXPECT_EQ(Tree(bench.Dir()), TreeOf(c.after));
        EXPECT_EQ(bench.Restore(), "");
        EXPECT_EQ(Tree(bench.Dir()), TreeOf(c.before));
    }
}

TEST(RenamePlan, NoTemporaryNameOutlivesACancelOrAFailure) {
    TRenameBench bench;
    MakeTree(bench.Dir(), "a=1 b=2 c=3");
    // A cancel at the first report finds the swap done whole.
    PlanRows(bench, "a>b b>a c>d");
    bench.Probe.CancelAt = 50;
    EXPECT_EQ(bench.Perform(), AbortOutcome());
    EXPECT_EQ(Tree(bench.Dir()), "a=2 b=1 c=3");
    EXPECT_EQ(bench.Restore(), "");
    // A swap whose second move fails (the file is held open without leave to
    // delete) is taken back whole.
    bench.Probe.CancelAt = -1;
    bench.Plan = FindSafeOrder(CheckEntriesOf(bench.Model())).Plan;
    const HANDLE held = CreateFileA((bench.Dir() / "b").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(bench.Perform(), RenameFailedOutcome());
    CloseHandle(held);
    EXPECT_EQ(Tree(bench.Dir()), "a=1 b=2 c=3");
    EXPECT_EQ(bench.Results(), "NFN");
    EXPECT_TRUE(IsCycleTemporaryName(CycleTemporaryName(GetCurrentProcessId(), 12)));
}

// ---------------------------------------------------------------- the start-up question

namespace {

// Answers the thread's message boxes one after the other, each with its
// button, and records what each showed.
class TBoxAnswers {
public:
    explicit TBoxAnswers(std::vector<int> answers) : FAnswers(std::move(answers)) {
        FWindow.Attach(AllocateHWnd([this](TMessage& message) {
            if (message.Msg == WM_APP)
                Answer();
            else
                message.Result = DefWindowProcA(FWindow.Get(), message.Msg, message.WParam, message.LParam);
        }));
        PostMessageA(FWindow.Get(), WM_APP, 0, 0);
    }
    TBoxAnswers(const TBoxAnswers&) = delete;
    TBoxAnswers& operator=(const TBoxAnswers&) = delete;

    // The texts of each box answered (its message first).
    std::vector<std::vector<std::string>> Seen;

private:
    void Answer() {
        const HWND box = FindThreadBox();
        if (Seen.size() >= FAnswers.size())
            return;
        // A box not shown yet, or the one just answered still closing.
        if (!box || box == FLastBox) {
            PostMessageA(FWindow.Get(), WM_APP, 0, 0);
            return;
        }
        FLastBox = box;
        std::vector<std::string> texts;
        EnumChildWindows(
            box,
            [](HWND child, LPARAM data) -> BOOL {
                char text[1024] = "";
                GetWindowTextA(child, text, sizeof(text));
                if (ClassOf(child) == "Static" && text[0])
                    reinterpret_cast<std::vector<std::string>*>(data)->push_back(text);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&texts));
        const int answer = FAnswers[Seen.size()];
        Seen.push_back(texts);
        PostMessageA(GetDlgItem(box, answer), BM_CLICK, 0, 0);
        PostMessageA(FWindow.Get(), WM_APP, 0, 0);
    }

    std::vector<int> FAnswers;
    HWND FLastBox = nullptr;
    TUtilWindowHandle FWindow;
};

// The rename handler over an empty list, with its journals in a folder.
class TRecoveryBench : public TListBench {
public:
    TRecoveryBench() : FHandler(FModel, FItems, FInvoker) {
        Application->SetTitle("Trelvane");
        FHandler.JournalFolders = {FJournals.Path()};
        FHandler.EarlierJournalFolders = {};
    }
    ~TRecoveryBench() { Application->SetTitle(""); }

    const std::string& Journals() const { return FJournals.Path(); }
    TRenameHandler& Handler() { return FHandler; }

    // A journal of "a>x b>y c>c" as a perform cut off after its first step left it.
    std::string LeaveCutOffPerform() {
        MakeTree(FDir, "b=2 c=3 x=1");
        return LeaveJournal(Journals(), MakeJournal(Steps(FDir, "a>x b>y c>c"), 2), "Rename-00000001-00000001.journal");
    }

    // The values of the results dialog: succeeded, failed, skipped, none, total.
    std::string ResultsShown;

    // Runs the recovery, answering the boxes and closing the results dialog.
    std::vector<std::vector<std::string>> Recover(std::vector<int> answers) {
        TBoxAnswers boxes(std::move(answers));
        TIdleScript script({[this] {
            TTrelResultsDialog& dialog = Application->Dialog<TTrelResultsDialog>();
            if (!dialog.IsModal())
                return;
            ResultsShown.clear();
            for (TLabel* label : dialog.ValueLabels)
                ResultsShown += (ResultsShown.empty() ? "" : " ") + label->GetText();
            dialog.CloseButton->Click();
        }});
        FHandler.RecoverInterruptedRuns();
        return boxes.Seen;
    }

private:
    TTempDir FJournals;
    TRenameHandler FHandler;
};

std::vector<std::string> Journals(const std::string& folder) {
    std::vector<std::string> names;
    for (const std::string& name : ListDirectory(folder))
        names.push_back(name);
    return names;
}

} // namespace

TEST(RenameRecovery, TheQuestionSaysWhatWasFoundAndWhatEachAnswerDoes) {
    TRecoveryQuestion question;
    question.Run = TJournalRun::Restore;
    question.Started = "2024-05-01 14:03:07";
    question.Renames = 5;
    question.Done = 2;
    question.Folders = {"C:\\a", "C:\\b", "C:\\c", "C:\\d", "C:\\e"};
    question.TakeBacks = {"x -> a"};
    const std::string answers = "\nTake the renames found done back?\n\n"
                                "Yes: rename each back to its name before the run, last first.\n"
                                "No: keep the journal and ask again at the next start.\n"
                                "Cancel: forget the run and leave the names as they are.";
    EXPECT_EQ(RecoveryQuestionText(question), "A rename run did not end: the program was stopped while it ran.\n\n"
                                              "Run: Restore, started 2024-05-01 14:03:07\n"
                                              "Folders: C:\\a, C:\\b, C:\\c and 2 more\n"
                                              "Renames found done on disk: 2 of 5\n"
                                              "    x -> a\n"
                                              "    and 1 more\n" +
                                                  answers);
    question.NotFound = 1;
    EXPECT_NE(RecoveryQuestionText(question).find("    and 1 more\n"
                                                  "Renames found under neither name: 1\n"),
              std::string::npos);
}

TEST(RenameRecovery, YesTakesTheDoneRenamesBackAndShowsTheResults) {
    TRecoveryBench bench;
    bench.LeaveCutOffPerform();
    const auto seen = bench.Recover({IDYES});
    ASSERT_EQ(seen.size(), 1u);
    TRecoveryQuestion question;
    question.Started = "2024-05-01 14:03:07";
    question.Renames = 2;
    question.Done = 1;
    question.Folders = {bench.Dir().Path()};
    question.TakeBacks = {"x -> a"};
    EXPECT_EQ(seen[0], std::vector<std::string>{RecoveryQuestionText(question)});
    EXPECT_EQ(Tree(bench.Dir()), "a=1 b=2 c=3");
    EXPECT_EQ(bench.ResultsShown, "1 0 1 1 3");
    EXPECT_TRUE(Journals(bench.Journals()).empty());
}

TEST(RenameRecovery, NoKeepsTheJournalAndAsksAgainAtTheNextStart) {
    TRecoveryBench bench;
    const std::string journal = bench.LeaveCutOffPerform();
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        EXPECT_EQ(bench.Recover({IDNO}).size(), 1u);
        EXPECT_EQ(Tree(bench.Dir()), "b=2 c=3 x=1");
        EXPECT_TRUE(EntryExists(journal));
    }
    EXPECT_EQ(bench.ResultsShown, "") << "no results without a take-back";
}

TEST(RenameRecovery, CancelForgetsTheRunOnlyOnceConfirmed) {
    TRecoveryBench bench;
    const std::string journal = bench.LeaveCutOffPerform();
    auto seen = bench.Recover({IDCANCEL, IDCANCEL});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], std::vector<std::string>{kForgetRunConfirmation});
    EXPECT_TRUE(EntryExists(journal)) << "a second Cancel keeps it";
    seen = bench.Recover({IDCANCEL, IDOK});
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_FALSE(EntryExists(journal));
    EXPECT_EQ(Tree(bench.Dir()), "b=2 c=3 x=1");
    EXPECT_EQ(bench.Recover({IDYES}).size(), 0u) << "nothing is left to ask about";
}

TEST(RenameRecovery, ADamagedJournalIsRefusedWithAMessageAndSetAside) {
    TRecoveryBench bench;
    MakeTree(bench.Dir(), "x=1");
    const std::string text = FormatJournal(MakeJournal(Steps(bench.Dir(), "a>x"), 1));
    const std::string path = bench.Journals() + "\\Rename-00000002-00000001.journal";
    std::ofstream(path, std::ios::binary) << text.substr(0, text.size() / 2);
    const auto seen = bench.Recover({IDOK});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::vector<std::string>{"The rename journal \"" + path +
                                                "\" cannot be used: it is incomplete. The program cannot tell what "
                                                "its run did, so nothing was renamed. It is kept as \"" +
                                                path + ".damaged\"."});
    EXPECT_EQ(Tree(bench.Dir()), "x=1");
    EXPECT_EQ(Journals(bench.Journals()), std::vector<std::string>{"Rename-00000002-00000001.journal.damaged"});
    EXPECT_EQ(bench.Recover({}).size(), 0u) << "asked once";
}

TEST(RenameRecovery, AJournalOfAnotherCodePageIsKeptForAStartUnderIt) {
    TRecoveryBench bench;
    MakeTree(bench.Dir(), "x=1");
    TJournal journal = MakeJournal(Steps(bench.Dir(), "a>x"), 1);
    journal.CodePage = GetACP() == 932 ? 1252 : 932;
    const std::string path = LeaveJournal(bench.Journals(), journal, "Rename-00000003-00000001.journal");
    const auto seen = bench.Recover({IDOK});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::vector<std::string>{Format(
                           "The rename journal \"%s\" was written under the code page %u and the program now runs "
                           "under %u: start it under code page %u to take the run back. Nothing was renamed; the "
                           "journal is kept.",
                           path.c_str(), journal.CodePage, GetACP(), journal.CodePage)});
    EXPECT_EQ(Tree(bench.Dir()), "x=1");
    EXPECT_TRUE(EntryExists(path));
}

TEST(RenameRecovery, ARunCutOffBeforeItsFirstRenameIsForgottenWithoutAQuestion) {
    TRecoveryBench bench;
    MakeTree(bench.Dir(), "a=1");
    const std::string path =
        LeaveJournal(bench.Journals(), MakeJournal(Steps(bench.Dir(), "a>x"), 1), "Rename-00000004-00000001.journal");
    EXPECT_EQ(bench.Recover({IDYES}).size(), 0u);
    EXPECT_FALSE(EntryExists(path));
    EXPECT_EQ(Tree(bench.Dir()), "a=1");
}

TEST(RenameRecovery, AJournalInUseByARunningCopyIsLeftAlone) {
    TRecoveryBench bench;
    MakeTree(bench.Dir(), "x=1");
    TRenameJournal running({bench.Journals()}, TJournalRun::Perform, Steps(bench.Dir(), "a>x"));
    running.StepBegins();
    EXPECT_EQ(bench.Recover({IDYES}).size(), 0u);
    EXPECT_EQ(Tree(bench.Dir()), "x=1");
    EXPECT_TRUE(EntryExists(running.Path()));
}

// The check of a rename: which entries each reason selects, on real files;
// the summary; the handler's Check over a real list control and the dialog.
#include "app/dialogs/Trel_checkdialog.h"
#include "app/handlers/Trel_renamehandler.h"
#include "app/rename/Trel_renamecheck.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/RenameTestSupport.h"

#include <commctrl.h>

#include <array>
#include <sstream>

namespace {

// Files and directories as "name" and "name/", paths with "/".
void MakeDisk(const TTempDir& dir, const std::string& layout) {
    std::istringstream in(layout);
    for (std::string entry; in >> entry;) {
        for (char& c : entry)
            c = c == '/' ? '\\' : c;
        if (entry.back() == '\\')
            dir.MakeDir(entry.substr(0, entry.size() - 1));
        else
            dir.MakeFile(entry, entry);
    }
}

// "path>new" entries, blank-separated; a path ending in "/" is a directory;
// "|" stands for a blank in a name.
std::vector<TCheckEntry> Entries(const TTempDir& dir, const std::string& layout) {
    std::vector<TCheckEntry> entries;
    std::istringstream in(layout);
    for (std::string item; in >> item;) {
        for (char& c : item)
            c = c == '|' ? ' ' : c;
        const size_t arrow = item.find('>');
        std::string path = item.substr(0, arrow);
        TCheckEntry entry;
        entry.NewName = item.substr(arrow + 1);
        if (path.back() == '/') {
            entry.IsDirectory = true;
            path.pop_back();
        }
        entry.Directory = dir.Path();
        const size_t slash = path.rfind('/');
        if (slash != std::string::npos) {
            std::string sub = path.substr(0, slash);
            for (char& c : sub)
                c = c == '/' ? '\\' : c;
            entry.Directory += "\\" + sub;
        }
        entry.OldName = path.substr(slash == std::string::npos ? 0 : slash + 1);
        entries.push_back(entry);
    }
    return entries;
}

// Per entry, the letters of its reasons (Invalid, Same path, Taken, inside a
// Renamed directory, Cycle, Missing, Unchanged), or "-".
std::string Reasons(const TCheckResult& result) {
    std::string text;
    for (size_t i = 0; i < result.Reasons.size(); ++i) {
        std::string letters;
        for (int reason = 0; reason < kCheckReasonCount; ++reason)
            if (result.Has(static_cast<int>(i), static_cast<TCheckReason>(reason)))
                letters += "ISTRCMU"[reason];
        text += (text.empty() ? "" : " ") + (letters.empty() ? "-" : letters);
    }
    return text;
}

} // namespace

TEST(RenameCheck, EachReasonSelectsTheEntriesThatWouldFail) {
    const std::string tooLong(256, 'n');
    const struct {
        const char* what;
        const char* disk;
        std::string entries;
        const char* reasons;
    } cases[] = {
        {"renames that work", "a c", "a>b c>d", "- -"},
        {"names the system refuses or changes", "a b c d e f",
         "a>x* b>y. c>z| d>CON e>nul.txt f>" + tooLong, "I I I I I I"},
        {"a name like a device's, but longer", "a", "a>CONSOLE", "-"},
        {"the same new path, letter case ignored", "a b", "a>x b>X", "- S"},
        {"a new name on disk", "a b", "a>b", "T"},
        {"a new name on disk, letter case ignored", "a B", "a>b", "T"},
        {"a new name renamed away earlier", "a b", "b>c a>b", "- -"},
        {"a chain in the wrong order", "a b", "a>b b>c", "T -"},
        {"a swap", "a b", "a>b b>a", "C -"},
        {"a cycle of three", "a b c", "a>b b>c c>a", "C C -"},
        {"a new name kept by an unchanged entry", "a b", "a>b b>b", "T U"},
        {"unchanged, and a change of letter case only", "a b", "a>a b>B", "U -"},
        {"a directory renamed before its contents", "d/ d/x d/s/ d/s/y", "d/>e d/x>z d/s/y>w", "- R R"},
        {"a directory renamed after its contents", "d/ d/x", "d/x>z d/>e", "- -"},
        {"a directory's letter case changed before its contents", "d/ d/x", "d/>D d/x>z", "- -"},
        {"entries no longer on disk", "a", "gone>x none/b>c", "M M"},
        {"several reasons at once", "a", "a>b* gone>b*", "I ISM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TTempDir dir;
        MakeDisk(dir, c.disk);
        const std::vector<TCheckEntry> entries = Entries(dir, c.entries);
        TDiskNames disk;
        const TCheckResult result = CheckRenames(entries, LookUpOnDisk(entries, disk));
        EXPECT_EQ(Reasons(result), c.reasons);
        int failing = 0;
        std::array<int, kCheckReasonCount> counts{};
        for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
            failing += result.Fails(i) ? 1 : 0;
            for (int reason = 0; reason < kCheckReasonCount; ++reason)
                counts[static_cast<size_t>(reason)] += result.Has(i, static_cast<TCheckReason>(reason)) ? 1 : 0;
        }
        EXPECT_EQ(result.Failing, failing);
        EXPECT_EQ(result.Counts, counts);
    }
}

// Letter case is ignored beyond ASCII as the file system ignores it, in the
// code page the suite runs under.
TEST(RenameCheck, LetterCaseBeyondAsciiIsIgnored) {
    const struct {
        unsigned codePage;
        const char* what;
        const char* disk;
        const char* entries;
        const char* reasons;
    } cases[] = {
        {1252, "the same new path", "a b", "a>\xE9 b>\xC9", "- S"},
        {1252, "a new name on disk", "\xE9 b", "b>\xC9", "T"},
        {1252, "a change of letter case only", "\xE9", "\xE9>\xC9", "-"},
        {65001, "the same new path", "a b", "a>\xC3\xA9 b>\xC3\x89", "- S"},
        {65001, "a new name on disk", "\xD0\xB4 b", "b>\xD0\x94", "T"},          // д, Д
        {65001, "a change of letter case only", "\xCE\xB1", "\xCE\xB1>\xCE\x91", "-"}, // α, Α
        {65001, "letters that only look alike", "a b", "a>\xCE\x91 b>A", "- -"},  // Greek and Latin A
    };
    int run = 0;
    for (const auto& c : cases) {
        if (c.codePage != GetACP())
            continue;
        ++run;
        SCOPED_TRACE(c.what);
        TTempDir dir;
        MakeDisk(dir, c.disk);
        const std::vector<TCheckEntry> entries = Entries(dir, c.entries);
        TDiskNames disk;
        EXPECT_EQ(Reasons(CheckRenames(entries, LookUpOnDisk(entries, disk))), c.reasons);
    }
    if (!IsDoubleByteCodePage()) {
        EXPECT_GT(run, 0) << "no case for code page " << GetACP();
    }
}

TEST(RenameCheck, ListsEachDirectoryOnceAndLooksUpNamesAsTheSystemDoes) {
    TTempDir dir;
    MakeDisk(dir, "a b d/ d/x");
    const std::vector<TCheckEntry> entries = Entries(dir, "a>B b>c d/x>A d/x>y.. a>x");
    TDiskNames disk;
    const std::vector<TEntryOnDisk> found = LookUpOnDisk(entries, disk);
    EXPECT_EQ(disk.Listings(), 2);
    std::string text;
    for (const TEntryOnDisk& entry : found)
        text += std::string(entry.OldExists ? "o" : "-") + (entry.NewExists ? "n " : "- ");
    EXPECT_EQ(text, "on o- o- o- o- ");
    EXPECT_FALSE(disk.DirectoryExists(dir / "none"));
}

TEST(RenameCheck, SaysWhetherAnythingWouldFail) {
    const struct {
        int failing;
        const char* text;
    } cases[] = {
        {0, "No problems found."},
        {1, "1 entry would fail; it is selected."},
        {2, "2 entries would fail; they are selected."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckSummaryText(c.failing), c.text);
}

TEST(RenameCheck, TheHandlerSelectsTheFailingRowsAndShowsTheCounts) {
    TRenameBench bench;
    MakeDisk(bench.Dir(), "a b c");
    TRenameHandler handler(bench.Model(), bench.Items(), bench.Invoker());
    handler.JournalFolders = {bench.Journals()};
    // The model takes the control's selection mode (several rows) first.
    bench.Model().ReadFromView(false);
    const char* const renames[][2] = {{"a", "b"}, {"b", "a"}, {"c", "c"}, {"c", "x?"}};
    for (const auto& rename : renames)
        bench.AddItem(bench.Dir() / rename[0], rename[1]);
    // The user's selection is replaced.
    bench.View().SetStates({0, 0, LVIS_SELECTED, 0});
    std::string summary;
    std::string counts;
    {
        TIdleScript script({[&] {
            TTrelCheckDialog& dialog = Application->Dialog<TTrelCheckDialog>();
            summary = dialog.SummaryLabel->GetText();
            for (int row = 0; row < kCheckReasonCount; ++row)
                counts += (counts.empty() ? "" : " ") + dialog.CaptionLabels[row]->GetText() + " " +
                          dialog.ValueLabels[row]->GetText();
            counts += " safe order: " + dialog.SafeOrderValue->GetText();
            dialog.CloseButton->Click();
        }});
        handler.Check();
    }
    EXPECT_EQ(summary, "2 entries would fail; they are selected.");
    EXPECT_EQ(counts, "Invalid new name: 1 Same new path as an earlier entry: 0 New name already taken: 0 "
                      "Inside a directory renamed earlier: 0 Part of a cycle of names: 1 No longer on disk: 0 "
                      "Unchanged (will be skipped): 1 safe order: 2");
    EXPECT_EQ(bench.View().States(), (std::vector<int>{LVIS_SELECTED, 0, 0, LVIS_SELECTED}));
    EXPECT_EQ(ListDirectory(bench.Dir().Path()), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FALSE(bench.Invoker().CanUndo());
}

// The rename journal: its format, a journal that cannot be written, damaged
// or cut-off journals, the recovery's decisions from the disk, the runs that
// keep a journal, and the start-up question.
#include "app/Trel_renamejournal.h"
#include "tests/TestSupport.h"

TEST(RenameJournal, ReadsWhatItWrites) {
    TJournal journal;
    journal.Run = TJournalRun::Restore;
    journal.Started = "2024-05-01 14:03:07";
    journal.CodePage = 1252;
    journal.BootTime = 1234567890123ull;
    journal.Steps = {{"C:\\a", "x%y", "x\ty\r\n"}, {"C:\\a", "b", "b"}, {"C:\\b", "c", "d"}};
    journal.Begun = 2;
    const TJournal read = ParseJournal(FormatJournal(journal));
    EXPECT_EQ(read.Run, journal.Run);
    ASSERT_EQ(read.Steps.size(), 3u);
    EXPECT_EQ(read.Steps[0].To, "x\ty\r\n");
    EXPECT_EQ(read.Begun, 2);
}

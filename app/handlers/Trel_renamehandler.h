// The Rename menu: Perform, Restore, Results and Check, and the start-up
// question about a rename run that did not end.
#pragma once

#include "app/handlers/Trel_handler.h"
#include "app/rename/Trel_renamejournal.h"
#include "app/rename/Trel_renameplan.h"

#include <string>
#include <vector>

// What the start-up question tells about a rename run that did not end.
struct TRecoveryQuestion {
    TJournalRun Run = TJournalRun::Perform;
    std::string Started;
    // Steps that rename something.
    int Renames = 0;
    // Renames found done on disk: taken back on Yes.
    int Done = 0;
    // Renames found under neither of their names.
    int NotFound = 0;
    // Every folder of its renames, in the order of the run.
    std::vector<std::string> Folders;
    // The first of the renames that Yes makes, "name now -> name before".
    std::vector<std::string> TakeBacks;
    // The folders that could not be listed.
    std::vector<std::string> UnreachableFolders;
};

enum class TRecoveryAnswer {
    TakeBack, // Yes: rename the done ones back
    AskLater, // No: keep the journal for the next start
    Forget,   // Cancel: discard the journal, keep the names
};

// The question's text: the run, its folders (three, then how many more) and
// its first renames to be taken back, so that a user can tell a run of their
// own from one that is not; folders out of reach, and a run of which nothing
// is found, are said.
std::string RecoveryQuestionText(const TRecoveryQuestion& question);
// What the question shows of a run.
TRecoveryQuestion MakeRecoveryQuestion(const TInterruptedRun& run);
// The report of journals found where earlier versions wrote them, which are
// not offered; ownFolder is where journals are taken from (empty: none).
std::string EarlierJournalsText(const std::vector<std::string>& journals, const std::string& ownFolder);
// The question before a Perform that a safe order would serve.
std::string SafeOrderQuestionText(int entries);
// What a Cancel must confirm before the run is forgotten.
extern const char* const kForgetRunConfirmation;
// Asks in a message box with Yes, No and Cancel. Cancel (which Esc and the
// close box answer too) forgets the run only once a second box has been
// answered OK; otherwise it asks again at the next start.
TRecoveryAnswer AskRecoveryQuestion(const TRecoveryQuestion& question);

class TRenameHandler : public THandler {
public:
    using THandler::THandler;

    // Renames every row on disk as one command of the user's history. Busy
    // while it runs, and no longer busy afterwards however it ended. When
    // the only obstacles are names that other entries of the run give up
    // (chains listed the wrong way round, names that swap), it asks first:
    // Yes renames in a safe order (TRenamePlan), No in the rows' order.
    void Perform();
    // Undoes the rename on top of the history; when the top is anything else
    // (or the history is empty), ERenameError "The program cannot undo the
    // rename task.". Busy while it runs.
    void Restore();
    // The top of the undo history is a rename.
    bool CanRestore();
    // A rename or a restore is running: the worker thread may be changing the
    // rename items, so the window must not read them.
    bool IsBusy() const { return FBusy; }
    // Counts every row's result, in row order, into the program's results
    // dialog and shows it.
    void ShowResults();
    // Rename > Check: finds the rows whose rename would fail, selects exactly
    // those, and shows how many fail for each reason in the check dialog.
    // Changes nothing on disk and nothing in the history.
    void Check();
    // At start-up, once the settings are loaded: for each journal of a run
    // that did not end (in JournalFolders), says how many of its renames are
    // found done on disk and asks whether to take them back (Yes: renamed
    // back last first, then the results dialog shows how it went), to ask
    // again at the next start (No), or to forget the run (Cancel). A journal
    // where nothing was done yet is removed without a question; a damaged one
    // is refused with a message and set aside; one that another running copy
    // of the program holds is left alone. Journals in EarlierJournalFolders
    // are never offered: those not reported before are named in one message
    // and left where they are.
    void RecoverInterruptedRuns();

    // Where Perform, Restore and the repetition write their journals, in
    // order of preference, and where the start-up looks for them.
    std::vector<std::string> JournalFolders = DefaultJournalFolders();
    // Where earlier versions wrote them: looked at only to report.
    std::vector<std::string> EarlierJournalFolders = ::EarlierJournalFolders();
    // The journals there that were reported, so that each is reported once.
    std::vector<std::string> ReportedJournals;

    // The reported journals.
    void LoadSettings(TMemIniFile& iniFile, TIniSection& section) override;
    void SaveSettings(TMemIniFile& iniFile, TIniSection& section) override;

private:
    template <class F>
    void WhileBusy(F&& run);
    void ReportEarlierJournals();
    // The plan that the user agreed to, or an empty one.
    TRenamePlan AskForSafeOrder();
    // Asks about one journal's run and does what the answer says.
    void Recover(TInterruptedRun& run);

    bool FBusy = false;
};

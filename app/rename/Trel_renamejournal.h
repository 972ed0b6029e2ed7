// The rename journal: what a rename run is about to do, made durable before
// its first rename, so that a run cut off by a crash, a kill or a power loss
// can be taken back at the next start.
//
// A journal is a text file "Rename-<process>-<number>.journal" in the user's
// own "%LOCALAPPDATA%\Trelvane" (made when missing), and only there: a folder
// that others can write to, such as the program's, could hold a journal that
// someone else wrote. It holds a header, the run's renames in
// the order the run makes them, a checksum line, and then one mark per step
// that the run has begun:
//
//     Trelvane rename journal 1
//     Run: Perform
//     Started: 2024-05-01 14:03:07
//     Code page: 1252
//     Boot: 133589000000000000
//     Steps: 2
//     D C:\Photos
//     R a.jpg<TAB>b.jpg
//     R b.jpg<TAB>c.jpg
//     End 0123456789abcdef
//     Begun: ..
//
// "D" sets the directory of the "R" lines after it. Names are written as they
// are, except that "%" and control characters are written %XX. The checksum is
// the 64-bit FNV-1a of every byte before the "End" line. Everything up to the
// "Begun: " line is written and flushed to the disk before the first rename;
// a mark is one "." appended (not flushed) before each step, so that after a
// kill on the same boot the journal tells which steps can have begun. Marks
// written before a power loss may be lost: "Boot" (the time the system
// started, in 100 ns units since 1601) tells the recovery whether to trust
// them. The run removes its journal however it ends; it holds the file open
// and unshared meanwhile, so another copy of the program leaves it alone.
#pragma once

#include "app/names/Trel_rename.h"
#include "framework/Fw_handles.h"

#include <cstdint>
#include <string>
#include <vector>

// A journal that cannot be written, read or removed.
class ERenameJournalError : public ERenameError {
public:
    using ERenameError::ERenameError;
};

// A run that did not start because its journal could not be written: nothing
// was renamed.
class ERenameNotStarted : public ERenameJournalError {
public:
    using ERenameJournalError::ERenameJournalError;
};

// A journal that is not a whole journal of this program: what the run did
// cannot be told from it.
class EJournalDamaged : public ERenameJournalError {
public:
    using ERenameJournalError::ERenameJournalError;
};

// A journal that another copy of the program holds open: its run is going on.
class EJournalInUse : public ERenameJournalError {
public:
    using ERenameJournalError::ERenameJournalError;
};

enum class TJournalRun { Perform, Restore, Repeat };

// One step of a run: the entry named From in Directory gets the name To.
// From equal to To (byte by byte) is a skipped step.
struct TJournalStep {
    std::string Directory;
    std::string From;
    std::string To;
};

// What a journal file holds.
struct TJournal {
    TJournalRun Run = TJournalRun::Perform;
    // Local time, "yyyy-mm-dd hh:mm:ss".
    std::string Started;
    unsigned CodePage = 0;
    // When the system started, in 100 ns units since 1601.
    std::uint64_t BootTime = 0;
    std::vector<TJournalStep> Steps;
    // How many steps the run had begun, by the marks.
    int Begun = 0;
};

// "Perform", "Restore" or "Repeat".
const char* JournalRunName(TJournalRun run);
// The journal's text up to and including "Begun: " (the marks follow).
std::string FormatJournal(const TJournal& journal);
// Reads a journal's text. A text that is not a whole journal of this program
// raises EJournalDamaged with what is wrong ("it is incomplete", ...).
TJournal ParseJournal(const std::string& text);

// The system's start time now, as BootTime holds it.
std::uint64_t CurrentBootTime();
// Whether the marks of a journal can be trusted: it was written since the
// system last started, so everything it wrote is still there.
bool SameBoot(std::uint64_t bootTime);

// Where journals are written and looked for: the user's
// "%LOCALAPPDATA%\Trelvane"; empty when the system does not tell that folder.
std::vector<std::string> DefaultJournalFolders();
// Where earlier versions of the program wrote their journals (its own
// folder): a journal there is only reported, never offered.
std::vector<std::string> EarlierJournalFolders();
// The journals in the folders, folder by folder, each in name order.
std::vector<std::string> FindJournalFiles(const std::vector<std::string>& folders);

// The journal of a running run. The constructor writes the whole journal in
// the first folder that takes it and flushes it to the disk; when no folder
// does, it raises ERenameNotStarted. The destructor removes the journal,
// ignoring a failure: call Close on the way out of a run that went well.
class TRenameJournal {
public:
    TRenameJournal(const std::vector<std::string>& folders, TJournalRun run,
                   const std::vector<TJournalStep>& steps);
    TRenameJournal(const TRenameJournal&) = delete;
    TRenameJournal& operator=(const TRenameJournal&) = delete;
    ~TRenameJournal();

    const std::string& Path() const { return FPath; }
    // Marks the next step as begun; call it before the step touches the disk.
    // Raises ERenameJournalError when the mark cannot be written.
    void StepBegins();
    // Removes the journal; raises ERenameJournalError when it cannot.
    void Close();

private:
    bool TryRemove();

    std::string FPath;
    TFileHandle FFile;
};

// ---------------------------------------------------------------- recovery

enum class TStepFinding {
    Skipped,    // old and new name are equal: the step renames nothing
    NotBegun,   // the marks show that the run never got to it
    NotDone,    // the name before the step is there
    Done,       // the name after the step (or a temporary name of it) is there, the one before is not
    NotFound,   // neither name is there (moved or deleted since, or its drive is missing)
};

// What the disk says about one step of an interrupted run.
struct TStepState {
    TStepFinding Finding = TStepFinding::NotBegun;
    // For a done step: the name the entry carries now.
    std::string CurrentName;
    // The step's directory could not be listed (it does not exist, its drive
    // is missing, access is denied).
    bool Unreachable = false;
};

// Decides for every step of the journal whether it is done, from the disk
// alone; the marks (when trusted) only rule out the steps never begun. The
// steps are taken last first, each as if the later done ones were already
// taken back, so that chains (a->b, b->c) and directories renamed after their
// contents are judged as the disk will be when their turn comes. A step is
// done when the name after it is found and the name before it is not (a
// change of letter case only: when the disk spells it as after and not as
// before). A step whose names are both missing takes the one temporary name
// of a cut-off rename in its directory, if there is exactly one. A cycle of
// names ends where it began, name for name: without trusted marks one whose
// temporary name is gone is found not done. Each directory is listed once.
std::vector<TStepState> FindDoneSteps(const TJournal& journal, bool trustMarks);

// How a take-back went: one result per step (Succeeded: renamed back, Failed:
// could not be, Skipped: a skipped step, None: nothing to take back).
struct TTakeBack {
    std::vector<TRenameItemResult> Results;
    int Succeeded = 0;
    int Failed = 0;
};

// Renames every done step back, last first, never replacing an entry; goes on
// after a failure, which leaves that entry where it is.
TTakeBack TakeBackSteps(const TJournal& journal, const std::vector<TStepState>& states);

// A journal left behind by a run that did not end, opened for this program
// alone. Constructing it reads and checks the journal and decides from the
// disk which steps are done.
class TInterruptedRun {
public:
    // Raises EJournalInUse when another copy of the program holds it,
    // EJournalDamaged when it is not a whole journal, and ERenameJournalError
    // when it cannot be read or was written under another code page.
    explicit TInterruptedRun(const std::string& path);
    TInterruptedRun(const TInterruptedRun&) = delete;
    TInterruptedRun& operator=(const TInterruptedRun&) = delete;

    const std::string& Path() const { return FPath; }
    const TJournal& Journal() const { return FJournal; }
    const std::vector<TStepState>& States() const { return FStates; }
    // Steps that rename something.
    int Renames() const;
    int Count(TStepFinding finding) const;
    // The directories of the steps that rename something, each once, in the
    // order of the steps.
    std::vector<std::string> Folders() const;
    // Those of them that could not be listed.
    std::vector<std::string> UnreachableFolders() const;

    // Yes: renames the done steps back; removes the journal when every one
    // went back and every folder could be reached, keeps it otherwise (the
    // next start tries the rest). Never throws.
    TTakeBack TakeBack();
    // Cancel: removes the journal, leaving the names as they are.
    void Discard();

private:
    std::string FPath;
    TFileHandle FFile;
    TJournal FJournal;
    std::vector<TStepState> FStates;
};

// Sets a journal that cannot be used aside as "<path>.damaged", so that it no
// longer comes up at start-up but stays for a look; returns the new path, or
// empty when it could not be moved.
std::string SetJournalAside(const std::string& path);

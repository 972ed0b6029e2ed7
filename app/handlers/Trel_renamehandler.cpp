#include "app/handlers/Trel_renamehandler.h"

#include "app/dialogs/Trel_checkdialog.h"
#include "app/dialogs/Trel_resultsdialog.h"
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamecheck.h"
#include "app/rename/Trel_renamecommand.h"
#include "framework/Fw_forms.h"
#include "framework/Fw_scope.h"
#include "support/Vek_autopointer.h"
#include "support/Vek_file.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

template <class F>
void TRenameHandler::WhileBusy(F&& run) {
    FBusy = true;
    auto notBusy = ScopeExit([this] { FBusy = false; });
    run();
}

void TRenameHandler::Perform() {
    TRenamePlan plan = AskForSafeOrder();
    WhileBusy([this, &plan] {
        TAutoPointer<TRenameCommand> command(new TRenameCommand(Model()));
        command->JournalFolders = JournalFolders;
        command->Plan = std::move(plan);
        ExecuteCommand(Invoker(), command);
    });
}

TRenamePlan TRenameHandler::AskForSafeOrder() {
    TSafeOrder order = FindSafeOrder(CheckEntriesOf(Model()));
    if (order.Plan.Empty() || Application->MsgBox(SafeOrderQuestionText(order.Serves), Application->GetTitle(),
                                                  MB_YESNO | MB_ICONQUESTION) != IDYES)
        return TRenamePlan();
    return std::move(order.Plan);
}

std::string SafeOrderQuestionText(int entries) {
    return entries == 1 ? std::string("1 entry takes a name that another entry of this run gives up. Rename it "
                                      "in a safe order, through temporary names where names swap?")
                        : Format("%d entries take names that other entries of this run give up. Rename them in a "
                                 "safe order, through temporary names where names swap?",
                                 entries);
}

void TRenameHandler::Restore() {
    if (!CanRestore())
        throw ERenameError("The program cannot undo the rename task.");
    WhileBusy([this] { Invoker().Undo(); });
}

bool TRenameHandler::CanRestore() {
    return Invoker().CanUndo() && dynamic_cast<TRenameCommand*>(Invoker().GetLastUndo()) != nullptr;
}

void TRenameHandler::ShowResults() {
    TTrelResultsDialog& dialog = Application->Dialog<TTrelResultsDialog>();
    TResultsCounter& counter = dialog.Counter();
    counter.Reset();
    const int count = Model().Count();
    for (int row = 0; row < count; ++row)
        counter.Add(static_cast<const TRenameItem*>(Model().Items(row)->GetData())->Result);
    dialog.Display();
}

void TRenameHandler::Check() {
    Model().ReadFromView(true);
    const int rows = Model().Count();
    const std::vector<TCheckEntry> entries = CheckEntriesOf(Model());
    TDiskNames disk;
    const TCheckResult result = CheckRenames(entries, LookUpOnDisk(entries, disk));
    int first = -1;
    for (int row = 0; row < rows; ++row) {
        Model().Items(row)->SetSelected(result.Fails(row));
        if (first < 0 && result.Fails(row))
            first = row;
    }
    Model().WriteToView(true);
    if (first >= 0 && Model().ListView())
        ListView_EnsureVisible(Model().ListView(), first, FALSE);
    TCheckCounts counts;
    counts.Reasons = result.Counts;
    counts.Failing = result.Failing;
    counts.SafeOrderServes = result.SafeOrderServes;
    Application->Dialog<TTrelCheckDialog>().Display(counts);
}

void TRenameHandler::RecoverInterruptedRuns() {
    ReportEarlierJournals();
    for (const std::string& path : FindJournalFiles(JournalFolders)) {
        std::unique_ptr<TInterruptedRun> run;
        try {
            run = std::make_unique<TInterruptedRun>(path);
        } catch (const EJournalInUse&) {
            // Its run is going on in another copy of the program.
            continue;
        } catch (const EJournalDamaged& e) {
            const std::string aside = SetJournalAside(path);
            Application->MsgBox(e.Message() + (aside.empty() ? "" : " It is kept as \"" + aside + "\"."),
                                Application->GetTitle(), MB_OK | MB_ICONERROR);
            continue;
        } catch (const ERenameJournalError& e) {
            Application->MsgBox(e.Message(), Application->GetTitle(), MB_OK | MB_ICONWARNING);
            continue;
        }
        Recover(*run);
    }
}

void TRenameHandler::Recover(TInterruptedRun& run) {
    const TRecoveryQuestion question = MakeRecoveryQuestion(run);
    // Nothing on disk tells of the run: it was cut off before its first rename.
    if (question.Done == 0 && question.NotFound == 0) {
        run.Discard();
        return;
    }
    switch (AskRecoveryQuestion(question)) {
    case TRecoveryAnswer::TakeBack: {
        const TTakeBack takeBack = run.TakeBack();
        if (takeBack.Failed > 0)
            Application->MsgBox(Format("The program could not rename %d of the entries back; they keep their "
                                       "names. The journal is kept, so the next start can try again.",
                                       takeBack.Failed),
                                Application->GetTitle(), MB_OK | MB_ICONERROR);
        TTrelResultsDialog& dialog = Application->Dialog<TTrelResultsDialog>();
        dialog.Counter().Reset();
        for (const TRenameItemResult result : takeBack.Results)
            dialog.Counter().Add(result);
        dialog.Display();
        break;
    }
    case TRecoveryAnswer::AskLater:
        break;
    case TRecoveryAnswer::Forget:
        run.Discard();
        break;
    }
}

namespace {

// Folders, and renames to be taken back, that the question names before it
// says how many more there are.
constexpr size_t kFoldersShown = 3;
constexpr size_t kTakeBacksShown = 3;

bool ContainsPath(const std::vector<std::string>& paths, const std::string& path) {
    const std::string key = PathKey(path);
    return std::any_of(paths.begin(), paths.end(),
                       [&key](const std::string& p) { return PathKey(p) == key; });
}

// "a, b, c and 2 more".
std::string ListWithMore(const std::vector<std::string>& items, size_t shown) {
    std::string text;
    for (size_t i = 0; i < items.size() && i < shown; ++i)
        text += (i == 0 ? "" : ", ") + items[i];
    if (items.size() > shown)
        text += Format(" and %d more", static_cast<int>(items.size() - shown));
    return text;
}

} // namespace

void TRenameHandler::ReportEarlierJournals() {
    std::vector<std::string> found;
    for (const std::string& folder : EarlierJournalFolders) {
        // A folder that is also the user's own holds journals to offer.
        if (ContainsPath(JournalFolders, folder))
            continue;
        for (const std::string& path : FindJournalFiles({folder}))
            found.push_back(path);
    }
    std::vector<std::string> unreported;
    for (const std::string& path : found)
        if (!ContainsPath(ReportedJournals, path))
            unreported.push_back(path);
    // Those gone since are forgotten.
    ReportedJournals = found;
    if (!unreported.empty())
        Application->MsgBox(
            EarlierJournalsText(unreported, JournalFolders.empty() ? "" : JournalFolders.front()),
            Application->GetTitle(), MB_OK | MB_ICONWARNING);
}

const char* const kForgetRunConfirmation =
    "Forget the run? Its journal is deleted, and its renames can no longer be taken back.";

TRecoveryQuestion MakeRecoveryQuestion(const TInterruptedRun& run) {
    TRecoveryQuestion question;
    question.Run = run.Journal().Run;
    question.Started = run.Journal().Started;
    question.Renames = run.Renames();
    question.Done = run.Count(TStepFinding::Done);
    question.NotFound = run.Count(TStepFinding::NotFound);
    question.Folders = run.Folders();
    question.UnreachableFolders = run.UnreachableFolders();
    const std::vector<TStepState>& states = run.States();
    for (size_t i = 0; i < states.size() && question.TakeBacks.size() < kTakeBacksShown; ++i)
        if (states[i].Finding == TStepFinding::Done)
            question.TakeBacks.push_back(states[i].CurrentName + " -> " + run.Journal().Steps[i].From);
    return question;
}

std::string RecoveryQuestionText(const TRecoveryQuestion& question) {
    std::string text = "A rename run did not end: the program was stopped while it ran.\n\n";
    text += Format("Run: %s, started %s\n", JournalRunName(question.Run), question.Started.c_str());
    text += "Folders: " + ListWithMore(question.Folders, kFoldersShown) + "\n";
    text += Format("Renames found done on disk: %d of %d\n", question.Done, question.Renames);
    for (const std::string& takeBack : question.TakeBacks)
        text += "    " + takeBack + "\n";
    if (question.Done > static_cast<int>(question.TakeBacks.size()))
        text += Format("    and %d more\n", question.Done - static_cast<int>(question.TakeBacks.size()));
    if (question.NotFound > 0)
        text += Format("Renames found under neither name: %d\n", question.NotFound);
    if (!question.UnreachableFolders.empty())
        text += "\nThese folders cannot be reached now: " +
                ListWithMore(question.UnreachableFolders, kFoldersShown) +
                ". A drive or a share may be missing; the journal is kept for a start that reaches them.\n";
    if (question.Done == 0 && question.NotFound == question.Renames)
        text +=
            "\nNone of its renames is found, neither done nor still to be done: its entries were moved or "
            "deleted since, or their folders cannot be reached.\n";
    text += "\nTake the renames found done back?\n\n"
            "Yes: rename each back to its name before the run, last first.\n"
            "No: keep the journal and ask again at the next start.\n"
            "Cancel: forget the run and leave the names as they are.";
    return text;
}

std::string EarlierJournalsText(const std::vector<std::string>& journals, const std::string& ownFolder) {
    const bool one = journals.size() == 1;
    std::string text = one ? "A rename journal was found where earlier versions of the program wrote them: "
                           : "Rename journals were found where earlier versions of the program wrote them: ";
    for (size_t i = 0; i < journals.size(); ++i) {
        const TPath path(journals[i]);
        text += Format("%s\"%s\" in \"%s\"", i == 0 ? "" : ", ", path.GetName().c_str(),
                       path.GetDirectory().c_str());
    }
    text += one ? ". It is not offered for taking back, because anyone who can write to that folder could "
                  "have put "
                  "it there, and it is left where it is."
                : ". They are not offered for taking back, because anyone who can write to that folder could "
                  "have "
                  "put them there, and they are left where they are.";
    if (!ownFolder.empty())
        text += Format(" If %s from a run of your own, move it into \"%s\" and start the program again.",
                       one ? "it is" : "one is", ownFolder.c_str());
    return text;
}

TRecoveryAnswer AskRecoveryQuestion(const TRecoveryQuestion& question) {
    switch (Application->MsgBox(RecoveryQuestionText(question), Application->GetTitle(),
                                MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
        return TRecoveryAnswer::TakeBack;
    case IDCANCEL:
        // Esc and the close box answer Cancel too: forgetting the run for good
        // takes a second, explicit answer.
        return Application->MsgBox(kForgetRunConfirmation, Application->GetTitle(),
                                   MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) == IDOK
                   ? TRecoveryAnswer::Forget
                   : TRecoveryAnswer::AskLater;
    default:
        return TRecoveryAnswer::AskLater;
    }
}

namespace {

const char* const kReportedJournalsKey = "ReportedJournals";
// Between the paths of the key's value: no path holds it.
const char kPathSeparator = '|';

} // namespace

void TRenameHandler::LoadSettings(TMemIniFile& iniFile, TIniSection& section) {
    const std::string text =
        iniFile.ReadString(section.GetSectionName(), kReportedJournalsKey, std::string());
    ReportedJournals.clear();
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find(kPathSeparator, start), text.size());
        if (end > start)
            ReportedJournals.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

void TRenameHandler::SaveSettings(TMemIniFile& iniFile, TIniSection& section) {
    std::string text;
    for (const std::string& path : ReportedJournals)
        text += (text.empty() ? "" : std::string(1, kPathSeparator)) + path;
    iniFile.WriteString(section.GetSectionName(), kReportedJournalsKey, text);
}

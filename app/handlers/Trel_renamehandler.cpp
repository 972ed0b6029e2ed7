#include "app/handlers/Trel_renamehandler.h"

#include "app/dialogs/Trel_checkdialog.h"
#include "app/dialogs/Trel_resultsdialog.h"
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamecheck.h"
#include "app/rename/Trel_renamecommand.h"
#include "framework/Fw_forms.h"
#include "framework/Fw_scope.h"
#include "support/Vek_autopointer.h"

#include <commctrl.h>

#include <memory>

template <class F>
void TRenameHandler::WhileBusy(F&& run) {
    FBusy = true;
    auto notBusy = ScopeExit([this] { FBusy = false; });
    run();
}

void TRenameHandler::Perform() {
    WhileBusy([this] {
        TAutoPointer<TRenameCommand> command(new TRenameCommand(Model()));
        command->JournalFolders = JournalFolders;
        ExecuteCommand(Invoker(), command);
    });
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
    std::vector<TCheckEntry> entries;
    entries.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        const auto* item = static_cast<const TRenameItem*>(Model().Items(row)->GetData());
        entries.push_back({item->Directory, item->OldName, item->NewName, item->Type == TRenameItemType::Directory});
    }
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
    Application->Dialog<TTrelCheckDialog>().Display(counts);
}

void TRenameHandler::RecoverInterruptedRuns() {
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
        TRecoveryQuestion question;
        question.Run = run->Journal().Run;
        question.Started = run->Journal().Started;
        question.Renames = run->Renames();
        question.Done = run->Count(TStepFinding::Done);
        question.NotFound = run->Count(TStepFinding::NotFound);
        // Nothing on disk tells of the run: it was cut off before its first rename.
        if (question.Done == 0 && question.NotFound == 0) {
            run->Discard();
            continue;
        }
        switch (AskRecoveryQuestion(question)) {
        case TRecoveryAnswer::TakeBack: {
            const TTakeBack takeBack = run->TakeBack();
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
            run->Discard();
            break;
        }
    }
}

const char* const kForgetRunConfirmation =
    "Forget the run? Its journal is deleted, and its renames can no longer be taken back.";

std::string RecoveryQuestionText(const TRecoveryQuestion& question) {
    std::string text = "A rename run did not end: the program was stopped while it ran.\n\n";
    text += Format("Run: %s, started %s\n", JournalRunName(question.Run), question.Started.c_str());
    text += Format("Renames found done on disk: %d of %d\n", question.Done, question.Renames);
    if (question.NotFound > 0)
        text += Format("Renames found under neither name: %d\n", question.NotFound);
    text += "\nTake the renames found done back?\n\n"
            "Yes: rename each back to its name before the run, last first.\n"
            "No: keep the journal and ask again at the next start.\n"
            "Cancel: forget the run and leave the names as they are.";
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

void TRenameHandler::LoadSettings(TMemIniFile& /*iniFile*/, TIniSection& /*section*/) {}

void TRenameHandler::SaveSettings(TMemIniFile& /*iniFile*/, TIniSection& /*section*/) {}

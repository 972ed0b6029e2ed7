#include "app/Trel_renamehandler.h"

#include "app/Trel_rename.h"
#include "app/Trel_renamecommand.h"
#include "app/dialogs/Trel_resultsdialog.h"
#include "framework/Fw_forms.h"
#include "framework/Fw_scope.h"
#include "support/Vek_autopointer.h"

template <class F>
void TRenameHandler::WhileBusy(F&& run) {
    FBusy = true;
    auto notBusy = ScopeExit([this] { FBusy = false; });
    run();
}

void TRenameHandler::Perform() {
    WhileBusy([this] {
        TAutoPointer<TRenameCommand> command(new TRenameCommand(Model()));
        Invoker().PendingCommands().Add(command.Get());
        command.Release();
        Invoker().Execute();
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

void TRenameHandler::LoadSettings(TMemIniFile& /*iniFile*/, TIniSection& /*section*/) {}

void TRenameHandler::SaveSettings(TMemIniFile& /*iniFile*/, TIniSection& /*section*/) {}

#include "app/handlers/Trel_filehandler.h"

#include "framework/Fw_forms.h"

const char* const NewConfirmationText = "The program clears the history of edit and rename operations.";

void TFileHandler::New(bool confirm) {
    if (!Invoker().CanUndo() && !Invoker().CanRedo() && ItemList().Count() == 0)
        return;
    if (confirm &&
        Application->MsgBox(NewConfirmationText, Application->GetTitle(), NewConfirmationFlags) != IDOK)
        Abort();
    // Rows and commands point at rename items: both go before the items do.
    Model().ReadFromView(false);
    Model().Clear();
    Model().WriteToView(false);
    Invoker().UndoCommands().Clear();
    Invoker().RedoCommands().Clear();
    ItemList().Clear();
}

void TFileHandler::LoadSettings(TMemIniFile& /*iniFile*/, TIniSection& /*section*/) {}

void TFileHandler::SaveSettings(TMemIniFile& /*iniFile*/, TIniSection& /*section*/) {}

#include "app/handlers/Trel_helphandler.h"

#include "framework/Fw_fileapi.h"
#include "framework/Fw_forms.h"
#include "support/Vek_file.h"

#ifndef TRELVANE_VERSION
#error "The build defines TRELVANE_VERSION, the program's version."
#endif

THelpHandler::THelpHandler(TListViewModel& model, TObjectList& itemList, TInvoker& invoker)
    : THandler(model, itemList, invoker), HelpFile(ProgramDirectory() + "Help\\index.html") {}

void THelpHandler::Contents() {
    const TForm* mainForm = Application->GetMainForm();
    // A viewer started with a show command of 0 (SW_HIDE) may start hidden;
    // the shell's own error boxes would come on top of ours.
    if (!FileApi::ShellOpen(HelpFile, mainForm ? mainForm->Handle() : nullptr, SW_SHOWNORMAL))
        throw EHandlerError("The program could not open the help.");
}

void THelpHandler::About() {
    Application->MsgBox(AboutText(), "About", AboutFlags);
}

void THelpHandler::LoadSettings(TMemIniFile& /*iniFile*/, TIniSection& /*section*/) {}

void THelpHandler::SaveSettings(TMemIniFile& /*iniFile*/, TIniSection& /*section*/) {}

std::string AboutText() {
    return "Trelvane version " TRELVANE_VERSION "\n"
           "\n"
           "Written by the Trelvane developers. Provided as is, without warranty of any kind.";
}

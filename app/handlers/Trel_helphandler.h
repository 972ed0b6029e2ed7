// The Help menu: the help page and the About box.
#pragma once

#include "app/handlers/Trel_handler.h"

#include <windows.h>

#include <string>

class THelpHandler : public THandler {
public:
    // The help file starts as Help\index.html beside the executable.
    THelpHandler(TListViewModel& model, TObjectList& itemList, TInvoker& invoker);

    // Asks the shell to open the help file, its window shown, with the
    // program registered for it; when it cannot, EHandlerError "The program
    // could not open the help.".
    void Contents();
    // Shows the About text in a message box.
    void About();

    // The Help menu has no settings.
    void LoadSettings(TMemIniFile& iniFile, TIniSection& section) override;
    void SaveSettings(TMemIniFile& iniFile, TIniSection& section) override;

    // The page that Contents opens.
    std::string HelpFile;
};

// The version line, an empty line and the maker's notice.
std::string AboutText();
constexpr UINT AboutFlags = MB_OK | MB_SETFOREGROUND;

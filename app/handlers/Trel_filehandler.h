// The File menu: New.
#pragma once

#include "app/handlers/Trel_handler.h"

#include <windows.h>

class TFileHandler : public THandler {
public:
    using THandler::THandler;

    // Empties the list and forgets the whole history. With confirm set the
    // user is asked first, and any answer but OK ends in the silent abort
    // with nothing changed. With nothing to clear it returns at once and
    // asks nothing.
    void New(bool confirm);

    // The File menu has no settings.
    void LoadSettings(TMemIniFile& iniFile, TIniSection& section) override;
    void SaveSettings(TMemIniFile& iniFile, TIniSection& section) override;
};

// The question that New asks, and its message box flags (OK and Cancel, the
// exclamation icon, to the foreground).
extern const char* const NewConfirmationText;
constexpr UINT NewConfirmationFlags = MB_OKCANCEL | MB_ICONEXCLAMATION | MB_SETFOREGROUND;

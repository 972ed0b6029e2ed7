// The Rename menu: Perform, Restore and Results.
#pragma once

#include "app/Trel_handler.h"

class TRenameHandler : public THandler {
public:
    using THandler::THandler;

    // Renames every row on disk as one command of the user's history. Busy
    // while it runs, and no longer busy afterwards however it ended.
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

    // The Rename menu has no settings.
    void LoadSettings(TMemIniFile& iniFile, TIniSection& section) override;
    void SaveSettings(TMemIniFile& iniFile, TIniSection& section) override;

private:
    template <class F>
    void WhileBusy(F&& run);

    bool FBusy = false;
};

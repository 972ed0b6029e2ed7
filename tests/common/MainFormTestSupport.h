// The program's main window for the suites that drive it.
#pragma once

#include "app/Trel_mainform.h"
#include "tests/common/ListViewTestSupport.h"
#include "tests/common/TestSupport.h"

#include <memory>
#include <string>
#include <vector>

// A folder of files that is the current directory while the bench lives, and
// the main window over it with its settings file in the folder; opened and
// closed as the user starts and ends the program.
class TMainFormBench {
public:
    TMainFormBench();
    TMainFormBench(const TMainFormBench&) = delete;
    TMainFormBench& operator=(const TMainFormBench&) = delete;
    ~TMainFormBench();

    TTempDir& Dir() { return FDir; }
    // Where the window's rename runs keep their journals.
    const std::string& Journals() const { return FJournals.Path(); }
    // The folder that stands for the program's own, where earlier versions
    // wrote their journals.
    const std::string& EarlierJournals() const { return FEarlierJournals.Path(); }
    std::string SettingsFile() const { return FDir / "Settings.ini"; }
    // Makes the names in the folder (see MakeEntries); returns their paths.
    std::vector<std::string> Make(const std::string& names) { return FDir.MakeEntries(names); }

    // The window with the command line, shown, after its first idle moments.
    TTrelMainForm& Open(TCommandLine commandLine = {});
    // Closes the window as the user does (the settings are written) and frees it.
    void Close();
    TTrelMainForm& Form() { return *FForm; }
    HWND List() { return FForm->ListView1.Handle(); }
    TRenameItem& Item(int row) { return *static_cast<TRenameItem*>(FForm->Model().Items(row)->GetData()); }

    // The rows as the list shows them (see ListRows): by default the old
    // names, the selection marked.
    std::string Rows(int column = 1, UINT marks = LVIS_SELECTED) { return ListRows(List(), column, marks); }
    std::string Text(int row, int column) { return ListText(List(), row, column); }
    // Selects exactly the rows at the blank-separated indexes, as a click does.
    void Select(const std::string& rows);

    int CommandId(const char* action) { return FForm->ActionList1.Action(action).CommandId(); }
    // The state of the action's item in the menu bar: -1 when it has none.
    UINT MenuState(const char* action);
    bool MenuEnabled(const char* action);
    bool MenuChecked(const char* action) { return (MenuState(action) & MF_CHECKED) != 0; }
    // Chooses the action's menu item: its command posted to the window.
    void Choose(const char* action);

    std::string Status() { return FForm->StatusBar1.SimpleText(); }

private:
    TTempDir FDir;
    TTempDir FJournals;
    TTempDir FEarlierJournals;
    TCurrentDirectory FCurrent;
    std::unique_ptr<TTrelMainForm> FForm;
};

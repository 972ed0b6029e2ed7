#include "tests/common/MainFormTestSupport.h"

#include "tests/common/FormTestSupport.h"

#include <sstream>

TMainFormBench::TMainFormBench() : FCurrent(FDir.Path()) {
    Application->SetTitle("Trelvane");
}

TMainFormBench::~TMainFormBench() {
    // A read-only settings file would stay behind the folder.
    SetFileAttributesA(SettingsFile().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TTrelMainForm& TMainFormBench::Open(TCommandLine commandLine) {
    FForm = std::make_unique<TTrelMainForm>(std::move(commandLine), SettingsFile(),
                                            std::vector<std::string>{FJournals.Path()},
                                            std::vector<std::string>{FEarlierJournals.Path()});
    FForm->Show();
    FForm->ListView1.Focus();
    // The first idle moment adds the command line, the next one shows it.
    Settle();
    Settle();
    return *FForm;
}

void TMainFormBench::Close() {
    FForm->Close();
    FForm.reset();
}

void TMainFormBench::Select(const std::string& rows) {
    SetListViewItemState(List(), -1, 0, LVIS_SELECTED);
    std::istringstream in(rows);
    for (int row; in >> row;)
        SetListViewItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

UINT TMainFormBench::MenuState(const char* action) {
    return GetMenuState(FForm->MainMenu1.Handle(), static_cast<UINT>(CommandId(action)), MF_BYCOMMAND);
}

bool TMainFormBench::MenuEnabled(const char* action) {
    const UINT state = MenuState(action);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void TMainFormBench::Choose(const char* action) {
    PostMessageA(FForm->Handle(), WM_COMMAND, MAKEWPARAM(CommandId(action), 0), 0);
    Settle();
}

// The program that the kill-and-recover test kills: it renames the test's
// tree through the real rename command, under the progress dialog (in a safe
// order when it is told to), with its journal in the folder it is given:
// perform, restore, repeat, restore, ... until it is killed. Each run is logged as "start <run>" before it begins
// and "end <run>" after it ended; a run that fails is logged and ends the
// program, which the test reports.
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamecommand.h"
#include "app/rename/Trel_renameplan.h"
#include "framework/Fw_forms.h"
#include "framework/Fw_handles.h"
#include "support/Vek_command.h"
#include "support/Vek_listviewmodel.h"
#include "tests/common/RenameKillSupport.h"

#include <windows.h>

#include <string>

namespace {

// Runs enough for any delay the test picks; ends a child that was forgotten.
constexpr int kMaxRuns = 10000;

void WriteLine(HANDLE log, const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(log, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    TKillChildArguments arguments;
    if (!ParseKillChildArguments(argc, argv, arguments))
        return 2;
    const HANDLE logFile = CreateFileA(arguments.Log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile == INVALID_HANDLE_VALUE)
        return 2;
    TFileHandle log(logFile);
    TKernelHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, arguments.ReadyEvent.c_str()));
    if (!ready)
        return 2;
    try {
        const TKillPlan plan = MakeKillPlan(arguments.Directories, arguments.FilesPerDirectory, arguments.Planned);
        TListViewModel model(nullptr);
        TObjectList items;
        for (const TKillRow& row : plan.Rows) {
            auto* item = new TRenameItem(arguments.Root + "\\" + row.Path);
            items.Add(item);
            item->NewName = row.NewName;
            model.Items(model.Add())->SetData(item);
        }
        TInvoker invoker;
        auto* command = new TRenameCommand(model);
        command->JournalFolders = {arguments.JournalFolder};
        if (arguments.Planned) {
            command->Plan = FindSafeOrder(CheckEntriesOf(model)).Plan;
            if (command->Plan.Empty())
                throw ERenameError("The rows need no safe order.");
        }
        invoker.PendingCommands().Add(command);
        for (int run = 0; run < kMaxRuns; ++run) {
            WriteLine(log.Get(), "start " + std::to_string(run));
            if (run == 0) {
                SetEvent(ready.Get());
                invoker.Execute();
            } else if (run % 2 == 1) {
                invoker.Undo();
            } else {
                invoker.Redo();
            }
            WriteLine(log.Get(), "end " + std::to_string(run));
        }
    } catch (const Exception& e) {
        WriteLine(log.Get(), "failed: " + e.Message());
        Application->FreeForms();
        return 3;
    }
    Application->FreeForms();
    return 0;
}

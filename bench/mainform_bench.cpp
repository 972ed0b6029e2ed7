// The main window over 200,000 rows: what a burst of selection changes costs
// with the update of the 44 commands and the status text deferred to the
// idle moment, beside an update after every change; and one update, which
// costs the same however long the list, beside a walk of the selection
// through the list control's own calls.
#include "app/Trel_mainform.h"
#include "app/names/Trel_rename.h"
#include "bench/BenchSupport.h"
#include "framework/Fw_forms.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kRows = 200000;
// Selection changes in one burst, as a Shift+click or a key held down makes.
constexpr int kBurst = 10000;
constexpr int kUpdates = 200;

// What an update without the control's selected count would do: find every
// selected row.
int CountSelectedByWalking(HWND listView) {
    int count = 0;
    for (int row = -1; (row = static_cast<int>(SendMessageA(listView, LVM_GETNEXTITEM,
                                                            static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0;)
        ++count;
    return count;
}

} // namespace

int main() {
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    const std::string settings = std::string(folder) + "trelvane_mainform_bench.ini";
    const std::string file = std::string(folder) + "trelvane_mainform_bench.txt";
    CloseHandle(
        CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));

    // One entry shown in every row: the rows' content is not what is measured.
    const auto item = std::make_unique<TRenameItem>(file);
    auto form = std::make_unique<TTrelMainForm>(std::vector<std::string>{}, settings);
    TListViewModel& model = form->Model();
    const HWND list = form->ListView1.Handle();
    // The selection mode comes from the control, as every handler reads it.
    model.ReadFromView(false);
    for (int i = 0; i < kRows; ++i)
        model.Items(model.Add())->SetData(item.get());
    model.SelectAll();
    model.WriteToView(true);
    std::printf("%d rows, %d selected\n", form->ListView1.ItemCount(), form->ListView1.SelectedCount());

    // The notifications of a burst of selection changes, as the list sends
    // them; the update at the idle moment, beside an update after each one.
    NMLISTVIEW change{};
    change.hdr.hwndFrom = list;
    change.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    change.hdr.code = LVN_ITEMCHANGED;
    change.uChanged = LVIF_STATE;
    change.uNewState = LVIS_SELECTED;
    change.uOldState = 0;
    const auto notify = [&](int row) {
        change.iItem = row;
        SendMessageA(form->Handle(), WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
    };
    const double deferred = Milliseconds([&] {
        for (int i = 0; i < kBurst; ++i)
            notify(i);
        // What the idle moment runs.
        form->UpdateActions();
    });
    const double eager = Milliseconds([&] {
        for (int i = 0; i < kBurst; ++i) {
            notify(i);
            form->UpdateControls();
        }
    });
    std::printf("%-44s %9.1f ms   an update after each %9.1f ms\n", "burst of 10,000 changes, one update",
                deferred, eager);

    const double update = Milliseconds([&] {
        for (int i = 0; i < kUpdates; ++i)
            form->UpdateControls();
    });
    int walked = 0;
    const double walk = Milliseconds([&] { walked = CountSelectedByWalking(list); });
    std::printf("%-44s %9.3f ms   walking the selection %9.1f ms (%d rows)\n",
                "one update of commands and status", update / kUpdates, walk, walked);
    std::printf("status text: %s\n", form->StatusBar1.SimpleText().c_str());

    form.reset();
    DeleteFileA(settings.c_str());
    DeleteFileA(file.c_str());
    return 0;
}

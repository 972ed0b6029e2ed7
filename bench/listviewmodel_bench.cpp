// The list-view model on 200,000 rows of a real owner-data list-view control:
// each figure beside the naive way of getting the same result, measured in
// the same run.
#include "app/commands/Trel_listeditcommand.h"
#include "app/handlers/Trel_viewhandler.h"
#include "app/names/Trel_listedit.h"
#include "app/names/Trel_rename.h"
#include "bench/BenchSupport.h"
#include "framework/Fw_forms.h"
#include "framework/Fw_handles.h"
#include "support/Vek_listviewmodel.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 200000;
// What a View menu command may take on the largest lists.
constexpr double kViewGoalMs = 500;

// The main window's bars and list, for the View handler.
const TFormDef kViewFormDef{"Trelvane benchmark", 525, 402, bsSizeable, poDefault};
const TControlDef kViewControls[] = {
    {ckToolBar, "ToolBar1", 0, 0, 525, 30, "", coNone, mrNone, nullptr, alTop},
    {ckStatusBar, "StatusBar1", 0, 380, 525, 22, "", coNone, mrNone, nullptr, alBottom},
    {ckPanel, "Panel1", 0, 30, 525, 350, "", coNone, mrNone, nullptr, alClient},
    {ckListView, "ListView1", 0, 0, 525, 350, "", coMultiSelect | coRowSelect, mrNone, "Panel1", alClient},
};

// Goals for the list edit commands on the model alone, at 200,000 rows.
constexpr int kGoalRounds = 5;
constexpr double kUndoAddGoalMs = 300;
constexpr double kDeleteGoalMs = 100;
constexpr double kRedoDeleteGoalMs = 300;

// A step's time on the clock and the processor time it used.
struct TTimes {
    double Wall = 0;
    double Cpu = 0;
};

TTimes Measure(const std::function<void()>& work) {
    const double cpu = ThreadCpuMilliseconds();
    TTimes times;
    times.Wall = Milliseconds(work);
    times.Cpu = ThreadCpuMilliseconds() - cpu;
    return times;
}

void PrintMedian(const char* what, const std::vector<TTimes>& rounds) {
    std::vector<double> wall, cpu;
    for (const TTimes& times : rounds) {
        wall.push_back(times.Wall);
        cpu.push_back(times.Cpu);
    }
    std::printf("%-40s %9.1f ms   %24s(processor %5.0f ms)\n", what, Median(wall), "", Median(cpu));
}

// The medians of the rounds; the goal is for the time on the clock.
void PrintGoal(const char* what, const std::vector<TTimes>& rounds, double goal, bool sound) {
    std::vector<double> wall, cpu;
    for (const TTimes& times : rounds) {
        wall.push_back(times.Wall);
        cpu.push_back(times.Cpu);
    }
    const double ms = Median(wall);
    std::printf("%-40s %9.1f ms   goal %5.0f ms: %-6s (processor %5.0f ms)%s\n", what, ms, goal,
                ms <= goal ? "met" : "MISSED", Median(cpu), sound ? "" : "   ROWS WRONG");
}

void Print(const char* what, double fast, double naive, const char* naiveWhat, bool same) {
    std::printf("%-40s %9.1f ms   naive %9.1f ms (%s)%s\n", what, fast, naive, naiveWhat,
                same ? "" : "   RESULTS DIFFER");
}

void SetState(HWND listView, int index, int state, int mask) {
    LVITEMA item = {};
    item.stateMask = static_cast<UINT>(mask);
    item.state = static_cast<UINT>(state);
    SendMessageA(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::vector<int> ViewStates(HWND listView) {
    const int count = static_cast<int>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
    std::vector<int> states(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        states[static_cast<size_t>(i)] =
            static_cast<int>(SendMessageA(listView, LVM_GETITEMSTATE, static_cast<WPARAM>(i), 3));
    return states;
}

std::vector<int> ModelStates(TListViewModel& model) {
    std::vector<int> states(static_cast<size_t>(model.Count()));
    for (int i = 0; i < model.Count(); ++i)
        states[static_cast<size_t>(i)] = model.Items(i)->GetState();
    return states;
}

std::vector<void*> ModelData(TListViewModel& model) {
    std::vector<void*> data(static_cast<size_t>(model.Count()));
    for (int i = 0; i < model.Count(); ++i)
        data[static_cast<size_t>(i)] = model.Items(i)->GetData();
    return data;
}

// Every row written in turn, inside one begin/end update, as a plain
// implementation of the write of the states does.
void WriteEveryRow(TListViewModel& model, HWND listView) {
    SendMessageA(listView, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < model.Count(); ++i)
        SetState(listView, i, model.Items(i)->GetState(), 0xF);
    SendMessageA(listView, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listView, nullptr, FALSE);
}

// A selection change written back: the control starts in one state, the
// model is read, changed, and written back.
void MeasureSelectionWrite(const char* what, TListViewModel& model, HWND listView,
                           const std::function<void()>& prepareControl,
                           const std::function<void(TListViewModel&)>& change) {
    prepareControl();
    model.ReadFromView(true);
    change(model);
    const double fast = Milliseconds([&] { model.WriteToView(true); });
    const std::vector<int> fastStates = ViewStates(listView);

    prepareControl();
    model.ReadFromView(true);
    change(model);
    const double naive = Milliseconds([&] { WriteEveryRow(model, listView); });
    Print(what, fast, naive, "every row written", ViewStates(listView) == fastStates);
}

// A model operation beside the same result reached through the cursor or
// the elementary operations, one row at a time.
void MeasureModel(const char* what, TListViewModel& model,
                  const std::function<void(TListViewModel&)>& prepare,
                  const std::function<void(TListViewModel&)>& fast,
                  const std::function<void(TListViewModel&)>& naive, const char* naiveWhat) {
    prepare(model);
    const double fastMs = Milliseconds([&] { fast(model); });
    const std::vector<int> states = ModelStates(model);
    const std::vector<void*> data = ModelData(model);
    prepare(model);
    const double naiveMs = Milliseconds([&] { naive(model); });
    Print(what, fastMs, naiveMs, naiveWhat, ModelStates(model) == states && ModelData(model) == data);
}

TRenameItem* ItemAt(TListViewModel* model, int index) {
    return static_cast<TRenameItem*>(model->Items(index)->GetData());
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    TWindowHandle window(CreateWindowExA(0, "STATIC", "Trelvane benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                         0, 0, 800, 600, nullptr, nullptr, GetModuleHandleA(nullptr),
                                         nullptr));
    HWND listView =
        CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0, 780,
                        560, window.Get(), nullptr, GetModuleHandleA(nullptr), nullptr);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 300;
    column.pszText = const_cast<char*>("New name");
    SendMessageA(listView, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageA(listView, LVM_SETITEMCOUNT, kRows, 0);
    std::printf("%d rows of an owner-data list view, code page %u\n\n", kRows, GetACP());

    TListViewModel model(listView);
    model.ReadFromView(true);

    std::printf("Selection read from the control (ReadFromView with states):\n");
    for (const int step : {1, 10}) {
        SetState(listView, -1, 0, LVIS_SELECTED);
        for (int i = 0; i < kRows; i += step)
            SetState(listView, i, LVIS_SELECTED, LVIS_SELECTED);
        const double fast = Milliseconds([&] { model.ReadFromView(true); });
        const std::vector<int> states = ModelStates(model);
        const double naive = Milliseconds([&] {
            for (int i = 0; i < kRows; ++i)
                model.Items(i)->SetState(
                    static_cast<int>(SendMessageA(listView, LVM_GETITEMSTATE, static_cast<WPARAM>(i), 0xF)) &
                    3);
        });
        Print(step == 1 ? "  every row selected" : "  every tenth row selected", fast, naive,
              "every row read", ModelStates(model) == states);
    }

    std::printf("\nSelection written back to the control (WriteToView with states):\n");
    auto allSelected = [&] {
        SetState(listView, -1, LVIS_SELECTED, LVIS_SELECTED);
        SetState(listView, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    };
    auto noneSelected = [&] {
        SetState(listView, -1, 0, LVIS_SELECTED);
        SetState(listView, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    };
    MeasureSelectionWrite("  one row selected after select-all", model, listView, allSelected,
                          [](TListViewModel& m) {
                              m.DeselectAll();
                              m.Items(kRows / 2)->SetState(LVIS_FOCUSED | LVIS_SELECTED);
                          });
    {
        // A write of every row without suspending the drawing has the control
        // invalidate each row: measured on the first rows only.
        constexpr int kSample = 5000;
        allSelected();
        const double sample = Milliseconds([&] {
            for (int i = 0; i < kSample; ++i)
                SetState(listView, i, 0, 0xF);
        });
        std::printf("%-40s %9.1f ms   (every row written with drawing on, from %d rows)\n",
                    "  the same, drawing not suspended", sample * kRows / kSample, kSample);
    }
    MeasureSelectionWrite("  select all", model, listView, noneSelected,
                          [](TListViewModel& m) { m.SelectAll(); });
    MeasureSelectionWrite("  nothing changed", model, listView, allSelected, [](TListViewModel&) {});
    MeasureSelectionWrite("  every tenth row added to the selection", model, listView, noneSelected,
                          [](TListViewModel& m) {
                              for (int i = 0; i < kRows; i += 10)
                                  m.Items(i)->SetSelected(true);
                          });

    std::printf("\nSort by a name column (rename items, CompareStringA order):\n");
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::vector<std::unique_ptr<TRenameItem>> items;
    items.reserve(kRows);
    std::mt19937 random(42);
    const char* words[] = {"Holiday",   "holiday", "IMG",       "img",   "Scan",
                           "scan-copy", "Zoo",     "\xC9t\xE9", "co-op", "coop"};
    for (int i = 0; i < kRows; ++i) {
        auto item = std::make_unique<TRenameItem>(folder); // any path that exists
        item->Type = random() % 4 ? TRenameItemType::RegularFile : TRenameItemType::Directory;
        item->NewName = std::string(words[random() % std::size(words)]) + " " +
                        std::to_string(random() % 100000) + (random() % 2 ? ".jpg" : ".JPG");
        items.push_back(std::move(item));
    }
    auto unsorted = [&](TListViewModel& m) {
        for (int i = 0; i < kRows; ++i)
            m.Items(i)->SetData(items[static_cast<size_t>(i)].get());
        m.DeselectAll();
        for (int i = 0; i < kRows; i += 7)
            m.Items(i)->SetSelected(true);
        m.Items(kRows - 1)->SetState(LVIS_FOCUSED);
    };
    MeasureModel(
        "  sort by new name", model, unsorted,
        [](TListViewModel& m) {
            m.SortByKey([](TListViewModel* m, int i) { return SortKeyByNewName(*ItemAt(m, i)); });
        },
        [](TListViewModel& m) {
            m.Sort([](TListViewModel* m, int a, int b) {
                return CompareByNewName(*ItemAt(m, a), *ItemAt(m, b));
            });
        },
        "comparison sort");
    MeasureModel(
        "  sort by type", model, unsorted,
        [](TListViewModel& m) {
            m.SortByKey([](TListViewModel* m, int i) { return SortKeyByType(*ItemAt(m, i)); });
        },
        [](TListViewModel& m) {
            m.Sort(
                [](TListViewModel* m, int a, int b) { return CompareByType(*ItemAt(m, a), *ItemAt(m, b)); });
        },
        "comparison sort");
    unsorted(model);
    model.WriteToView(true);
    const double viewSort = Milliseconds([&] {
        model.ReadFromView(true);
        model.SortByKey([](TListViewModel* m, int i) { return SortKeyByNewName(*ItemAt(m, i)); });
        model.WriteToView(true);
    });
    std::printf("%-40s %9.1f ms\n", "  read, sort by new name, write", viewSort);

    std::printf("\nModel operations:\n");
    auto noSelection = [](TListViewModel& m) { m.DeselectAll(); };
    auto everyOther = [](TListViewModel& m) {
        m.DeselectAll();
        for (int i = 0; i < kRows; i += 2)
            m.Items(i)->SetSelected(true);
    };
    auto everyThird = [&](TListViewModel& m) {
        unsorted(m);
        m.DeselectAll();
        for (int i = 1; i < kRows; i += 3)
            m.Items(i)->SetSelected(true);
        m.Items(kRows - 2)->SetState(LVIS_FOCUSED | LVIS_SELECTED);
    };
    MeasureModel(
        "  select all", model, noSelection, [](TListViewModel& m) { m.SelectAll(); },
        [](TListViewModel& m) {
            for (int i = 0; i < m.Count(); ++i)
                m.Items(i)->SetSelected(true);
        },
        "cursor per row");
    MeasureModel(
        "  invert selection", model, everyOther, [](TListViewModel& m) { m.InvertSelection(); },
        [](TListViewModel& m) {
            for (int i = 0; i < m.Count(); ++i)
                m.Items(i)->SetSelected(!m.Items(i)->GetSelected());
        },
        "cursor per row");
    MeasureModel(
        "  move selected up (every third row)", model, everyThird,
        [](TListViewModel& m) { m.MoveSelected(-1); },
        [](TListViewModel& m) {
            for (int i = 1; i < m.Count(); ++i)
                if (m.Items(i)->GetSelected() && !m.Items(i - 1)->GetSelected())
                    m.Move(i, i - 1);
        },
        "Move per row");
    MeasureModel(
        "  reverse", model, everyThird, [](TListViewModel& m) { m.Reverse(); },
        [](TListViewModel& m) {
            for (int i = 0; i < m.Count() / 2; ++i)
                m.Exchange(i, m.Count() - 1 - i);
        },
        "Exchange per pair");

    std::printf("\nView menu over the main window's list, every tenth row selected (the selection read,\n"
                "the rows changed, the selection written back), median of %d rounds:\n",
                kGoalRounds);
    {
        TForm form(kViewFormDef);
        form.CreateControls(kViewControls);
        TListView& list = form.Control<TListView>("ListView1");
        list.AddColumn("New name  ", 300);
        TListViewModel viewModel(list.Handle());
        TInvoker noHistory;
        TObjectList noItems(false);
        TViewHandler handler(viewModel, noItems, noHistory);
        handler.SetControls(form, form.Control<TToolBar>("ToolBar1"), form.Control<TStatusBar>("StatusBar1"),
                            list);
        list.SetItemCount(kRows);
        viewModel.ReadFromView(false);
        const std::pair<const char*, std::function<void()>> commands[] = {
            {"  Sort By New Name", [&] { handler.SortByNewName(); }},
            {"  Invert", [&] { handler.Invert(); }},
            {"  Move Up", [&] { handler.MoveUp(); }},
        };
        for (const auto& [what, command] : commands) {
            std::vector<TTimes> rounds;
            bool kept = true;
            for (int round = 0; round < kGoalRounds; ++round) {
                for (int i = 0; i < kRows; ++i)
                    viewModel.Items(i)->SetData(items[static_cast<size_t>(i)].get());
                SetState(list.Handle(), -1, 0, LVIS_SELECTED);
                for (int i = 0; i < kRows; i += 10)
                    SetState(list.Handle(), i, LVIS_SELECTED, LVIS_SELECTED);
                SetState(list.Handle(), kRows / 2, LVIS_FOCUSED, LVIS_FOCUSED);
                rounds.push_back(Measure(command));
                // The selection and the focus stay with their entries.
                const int focus = list.FocusedIndex();
                kept = kept && list.SelectedCount() == kRows / 10 &&
                       viewModel.SelectedCount() == kRows / 10 && focus >= 0 &&
                       viewModel.Items(focus)->GetData() == items[kRows / 2].get();
            }
            PrintGoal(what, rounds, kViewGoalMs, kept);
        }
    }

    std::printf("\nList edit commands over the control (read, run, write):\n");
    model.Clear();
    model.WriteToView(true);
    TInvoker invoker;
    auto addAll = std::make_unique<TListEditCommand>(model);
    for (const auto& item : items)
        addAll->SubCommands().PendingCommands().Add(new TAddSubCommand(model, item.get()));
    invoker.PendingCommands().Add(addAll.release());
    std::printf("%-40s %9.1f ms\n", "  add 200,000 items", Milliseconds([&] { invoker.Execute(); }));
    std::printf("%-40s %9.1f ms\n", "  undo it", Milliseconds([&] { invoker.Undo(); }));
    std::printf("%-40s %9.1f ms\n", "  redo it", Milliseconds([&] { invoker.Redo(); }));
    model.ReadFromView(true);
    model.DeselectAll();
    for (int i = 0; i < kRows; i += 2)
        model.Items(i)->SetSelected(true);
    model.WriteToView(true);
    const double deleting = Milliseconds([&] {
        model.ReadFromView(true);
        auto command = std::make_unique<TListEditCommand>(model);
        for (int i = model.Count() - 1; i >= 0; --i)
            if (model.Items(i)->GetSelected())
                command->SubCommands().PendingCommands().Add(new TDeleteSubCommand(model, i));
        invoker.PendingCommands().Add(command.release());
        invoker.Execute();
    });
    std::printf("%-40s %9.1f ms\n", "  delete every other row", deleting);
    std::printf("%-40s %9.1f ms\n", "  undo it", Milliseconds([&] { invoker.Undo(); }));
    std::printf("%-40s %9.1f ms\n", "  redo it", Milliseconds([&] { invoker.Redo(); }));

    // The history outlives a sort (sorting is not a command): the undo of an
    // add and the redo of a delete then find their rows all over the list.
    // Each figure is the median of its rounds: the machine's load varies, and
    // the processor time shows how much of a figure is waiting for it.
    std::printf("\nList edit commands on the model alone (no control), median of %d rounds:\n", kGoalRounds);
    TListViewModel alone(nullptr);
    alone.SetMultiSelect(true); // as the main window's list is
    TInvoker history;
    auto sortByNewName = [&] {
        alone.SortByKey([](TListViewModel* m, int i) { return SortKeyByNewName(*ItemAt(m, i)); });
    };
    auto addAllAlone = std::make_unique<TListEditCommand>(alone);
    for (const auto& item : items)
        addAllAlone->SubCommands().PendingCommands().Add(new TAddSubCommand(alone, item.get()));
    history.PendingCommands().Add(addAllAlone.release());
    std::printf("%-40s %9.1f ms\n", "  add 200,000 items", Milliseconds([&] { history.Execute(); }));
    std::vector<TTimes> undoAdd, buildings, deletions, redoDelete;
    bool sound = true;
    for (int round = 0; round < kGoalRounds; ++round) {
        sortByNewName();
        undoAdd.push_back(Measure([&] { history.Undo(); }));
        sound = sound && alone.Count() == 0;
        history.Redo();
        sortByNewName();
        alone.DeselectAll();
        for (int i = 0; i < kRows; i += 2)
            alone.Items(i)->SetSelected(true);
        alone.Items(kRows / 2)->SetState(alone.Items(kRows / 2)->GetState() | LVIS_FOCUSED);
        // The delete of the round before, undone, would be freed by this one
        // (any executed command ends the redo history): not part of the step.
        history.RedoCommands().Clear();
        // As the Edit menu deletes: one sub-command per selected row, from
        // the last row up, then the command run on the model. The goal is
        // for the run; the building is the menu's, shown beside it.
        auto command = std::make_unique<TListEditCommand>(alone);
        buildings.push_back(Measure([&] {
            for (int i = alone.Count() - 1; i >= 0; --i)
                if (alone.Items(i)->GetSelected())
                    command->SubCommands().PendingCommands().Add(new TDeleteSubCommand(alone, i));
        }));
        history.PendingCommands().Add(command.release());
        deletions.push_back(Measure([&] { history.Execute(); }));
        sound = sound && alone.Count() == kRows / 2 && alone.FocusIndex() == kRows / 4;
        history.Undo();
        sortByNewName();
        redoDelete.push_back(Measure([&] { history.Redo(); }));
        sound = sound && alone.Count() == kRows / 2;
        // Back to every row, the add on top of the undo stack.
        history.Undo();
    }
    PrintGoal("  undo add after sort", undoAdd, kUndoAddGoalMs, sound);
    PrintGoal("  delete every other row", deletions, kDeleteGoalMs, sound);
    PrintMedian("    (building its 100,000 sub-commands)", buildings);
    PrintGoal("  redo delete after sort", redoDelete, kRedoDeleteGoalMs, sound);

    return 0;
}

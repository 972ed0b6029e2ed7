// The list-view model, against a real owner-data list-view control.
#include "support/Vek_listviewmodel.h"
#include "tests/common/ListViewTestSupport.h"
#include "tests/common/TestSupport.h"

#include <commctrl.h>

#include <functional>
#include <random>
#include <sstream>

namespace {

// Rows as text, one token per row: a letter names the row's data object
// (upper case: selected), a "*" after it marks the focused row, "?" is a row
// without data.
char gObjects[26];

void* DataOf(char letter) {
    return letter == '?' ? nullptr : &gObjects[(letter | 0x20) - 'a'];
}

char LetterOf(void* data) {
    return data ? static_cast<char>('a' + (static_cast<char*>(data) - gObjects)) : '?';
}

std::vector<std::string> Tokens(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;)
        tokens.push_back(token);
    return tokens;
}

void Build(TListViewModel& model, const std::string& text) {
    const std::vector<std::string> tokens = Tokens(text);
    model.SetCount(static_cast<int>(tokens.size()));
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        const bool selected = token[0] != '?' && token[0] >= 'A' && token[0] <= 'Z';
        const bool focused = token.size() > 1 && token[1] == '*';
        model.Items(static_cast<int>(i))->SetData(DataOf(token[0]));
        model.Items(static_cast<int>(i))
            ->SetState((selected ? LVIS_SELECTED : 0) | (focused ? LVIS_FOCUSED : 0));
    }
}

std::string Describe(TListViewModel& model) {
    std::string text;
    for (int i = 0; i < model.Count(); ++i) {
        if (i > 0)
            text += ' ';
        const int state = model.Items(i)->GetState();
        char letter = LetterOf(model.Items(i)->GetData());
        if ((state & LVIS_SELECTED) && letter != '?')
            letter = static_cast<char>(letter & ~0x20);
        text += letter;
        if (state & LVIS_FOCUSED)
            text += '*';
    }
    return text;
}

std::vector<int> ModelStates(TListViewModel& model) {
    std::vector<int> states;
    for (int i = 0; i < model.Count(); ++i)
        states.push_back(model.Items(i)->GetState());
    return states;
}

// The focus index, selected count and selected index agree with the rows.
void ExpectInvariants(TListViewModel& model) {
    int focused = -1, focusedRows = 0, selectedRows = 0, lastSelected = -1;
    for (int i = 0; i < model.Count(); ++i) {
        const int state = model.Items(i)->GetState();
        if (state & LVIS_FOCUSED) {
            focused = i;
            ++focusedRows;
        }
        if (state & LVIS_SELECTED) {
            lastSelected = i;
            ++selectedRows;
        }
    }
    EXPECT_LE(focusedRows, 1);
    EXPECT_EQ(model.FocusIndex(), focused);
    EXPECT_EQ(model.SelectedCount(), selectedRows);
    if (model.MultiSelect()) {
        EXPECT_EQ(model.SelectedIndex(), -1);
    } else {
        EXPECT_LE(selectedRows, 1);
        EXPECT_EQ(model.SelectedIndex(), lastSelected);
    }
}

using TOperation = std::function<void(TListViewModel&)>;

struct TModelCase {
    const char* before;
    const char* what;
    TOperation operation;
    const char* after;
};

// Builds the rows, hands them to the control and takes them back as the
// program does (read, operate, write), and checks model and control after.
void RunCases(const std::vector<TModelCase>& cases, bool multiSelect) {
    for (const TModelCase& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " | " + c.what);
        TTestListView view(multiSelect);
        TListViewModel model(view.Handle());
        model.SetMultiSelect(multiSelect);
        Build(model, c.before);
        ASSERT_EQ(Describe(model), c.before) << "the table's rows are not valid for this mode";
        model.WriteToView(true);
        model.ReadFromView(true);
        ASSERT_EQ(Describe(model), c.before);

        c.operation(model);
        EXPECT_EQ(Describe(model), c.after);
        ExpectInvariants(model);

        model.WriteToView(true);
        EXPECT_EQ(view.States(), ModelStates(model));
        EXPECT_EQ(view.FocusIndex(), model.FocusIndex());
        EXPECT_EQ(view.SelectedCount(), model.SelectedCount());
        EXPECT_EQ(view.MultiSelect(), model.MultiSelect());
        model.ReadFromView(true);
        EXPECT_EQ(Describe(model), c.after);
        ExpectInvariants(model);
    }
}

int CompareLetters(TListViewModel* model, int a, int b) {
    const char x = LetterOf(model->Items(a)->GetData());
    const char y = LetterOf(model->Items(b)->GetData());
    return x - y;
}

std::string LetterKey(TListViewModel* model, int index) {
    return std::string(1, LetterOf(model->Items(index)->GetData()));
}

} // namespace

TEST(ListViewModel, OperationsKeepFocusAndSelectionWithTheirRows) {
    RunCases(
        {
            {"a b* c", "SelectAll", [](TListViewModel& m) { m.SelectAll(); }, "A B* C"},
            {"A B* c", "DeselectAll", [](TListViewModel& m) { m.DeselectAll(); }, "a b* c"},
            {"A b* c", "InvertSelection", [](TListViewModel& m) { m.InvertSelection(); }, "a B* C"},
            {"A b c", "SetSelected again", [](TListViewModel& m) { m.Items(0)->SetSelected(true); }, "A b c"},
            {"A b* c", "SetState focus+select", [](TListViewModel& m) { m.Items(2)->SetState(3); }, "A b C*"},
            {"A b* c", "SetState unfocus", [](TListViewModel& m) { m.Items(1)->SetState(0); }, "A b c"},
            {"a b* c", "Delete focused", [](TListViewModel& m) { m.Delete(1); }, "a c*"},
            {"a b c*", "Delete focused last", [](TListViewModel& m) { m.Delete(2); }, "a b*"},
            {"A*", "Delete only row", [](TListViewModel& m) { m.Delete(0); }, ""},
            {"a b c*", "Delete before focus", [](TListViewModel& m) { m.Delete(0); }, "b c*"},
            {"a* B c", "Delete after focus", [](TListViewModel& m) { m.Delete(1); }, "a* c"},
            {"A b* C d E", "DeleteSelected", [](TListViewModel& m) { m.DeleteSelected(); }, "b* d"},
            {"A* b C", "DeleteSelected focused", [](TListViewModel& m) { m.DeleteSelected(); }, "b*"},
            {"a b* c", "Insert inside", [](TListViewModel& m) { m.Insert(1); }, "a ? b* c"},
            {"a b* c", "Insert first", [](TListViewModel& m) { m.Insert(0); }, "? a b* c"},
            {"a b*", "Add", [](TListViewModel& m) { EXPECT_EQ(m.Add(), 2); }, "a b* ?"},
            {"a* b c", "SetCount more", [](TListViewModel& m) { m.SetCount(5); }, "a* b c ? ?"},
            {"a B c*", "SetCount fewer", [](TListViewModel& m) { m.SetCount(1); }, "a*"},
            {"A b* C", "Clear", [](TListViewModel& m) { m.Clear(); }, ""},
            {"A b* C", "Reverse", [](TListViewModel& m) { m.Reverse(); }, "C b* A"},
            {"a* B c D", "Reverse even", [](TListViewModel& m) { m.Reverse(); }, "D c B a*"},
            {"a* B c", "Exchange", [](TListViewModel& m) { m.Exchange(0, 2); }, "c B a*"},
            {"a* B c", "Exchange same", [](TListViewModel& m) { m.Exchange(1, 1); }, "a* B c"},
            {"a* b c", "Move down", [](TListViewModel& m) { m.Move(0, 2); }, "b c a*"},
            {"a b c*", "Move up", [](TListViewModel& m) { m.Move(2, 0); }, "c* a b"},
            {"a b* c d", "Move across focus down", [](TListViewModel& m) { m.Move(0, 3); }, "b* c d a"},
            {"a b* c d", "Move across focus up", [](TListViewModel& m) { m.Move(3, 0); }, "d a b* c"},
            {"a b* c d", "Move below focus", [](TListViewModel& m) { m.Move(2, 3); }, "a b* d c"},
            {"A B c D e", "MoveSelected up", [](TListViewModel& m) { m.MoveSelected(-1); }, "A B D c e"},
            {"A B c D e", "MoveSelected down", [](TListViewModel& m) { m.MoveSelected(1); }, "c A B e D"},
            {"a b c D E", "MoveSelected down at edge", [](TListViewModel& m) { m.MoveSelected(1); },
             "a b c D E"},
            {"a B c D* e", "MoveSelected separate", [](TListViewModel& m) { m.MoveSelected(-1); },
             "B a D* c e"},
            {"a B C d", "MoveSelected block", [](TListViewModel& m) { m.MoveSelected(5); }, "a d B C"},
            {"A b c", "MoveSelected none", [](TListViewModel& m) { m.MoveSelected(0); }, "A b c"},
            {"c* A b", "Sort", [](TListViewModel& m) { m.Sort(CompareLetters); }, "A b c*"},
            {"b a* C", "SortByKey", [](TListViewModel& m) { m.SortByKey(LetterKey); }, "a* b C"},
            {"c a* B", "Sort all equal",
             [](TListViewModel& m) { m.Sort([](TListViewModel*, int, int) { return 0; }); }, "c a* B"},
            {"c a* B", "SortByKey all equal",
             [](TListViewModel& m) { m.SortByKey([](TListViewModel*, int) { return std::string("k"); }); },
             "c a* B"},
            {"a B c", "SetMultiSelect unchanged", [](TListViewModel& m) { m.SetMultiSelect(true); }, "a B c"},
            {"A B* c", "SetMultiSelect off", [](TListViewModel& m) { m.SetMultiSelect(false); }, "a b* c"},
        },
        true);
}

TEST(ListViewModel, SingleSelectionKeepsOneSelectedRow) {
    RunCases(
        {
            {"a B* c", "select another", [](TListViewModel& m) { m.Items(2)->SetSelected(true); }, "a b* C"},
            {"a b c", "SelectAll", [](TListViewModel& m) { m.SelectAll(); }, "a b C"},
            {"a B* c", "InvertSelection", [](TListViewModel& m) { m.InvertSelection(); }, "a b* C"},
            {"a B c*", "Delete selected", [](TListViewModel& m) { m.Delete(1); }, "a c*"},
            {"a b C*", "Delete before selected", [](TListViewModel& m) { m.Delete(0); }, "b C*"},
            {"A b c", "Exchange", [](TListViewModel& m) { m.Exchange(0, 2); }, "c b A"},
            {"A b c", "Move", [](TListViewModel& m) { m.Move(0, 2); }, "b c A"},
            {"a b C", "Move across", [](TListViewModel& m) { m.Move(0, 2); }, "b C a"},
            {"a b C", "Reverse", [](TListViewModel& m) { m.Reverse(); }, "C b a"},
            {"a B c", "Insert before", [](TListViewModel& m) { m.Insert(0); }, "? a B c"},
            {"c* A b", "Sort", [](TListViewModel& m) { m.Sort(CompareLetters); }, "A b c*"},
            {"a B c", "MoveSelected", [](TListViewModel& m) { m.MoveSelected(-1); }, "B a c"},
            {"a B* c", "SetMultiSelect on", [](TListViewModel& m) { m.SetMultiSelect(true); }, "a b* c"},
            // The selected index of single mode must not survive into multi mode.
            {"a B c", "SetMultiSelect on, then Delete",
             [](TListViewModel& m) {
                 m.SetMultiSelect(true);
                 m.Delete(0);
             },
             "b c"},
        },
        false);
}

TEST(ListViewModel, IndexOfFindsTheFirstRowFromTheTop) {
    TListViewModel model(nullptr);
    Build(model, "a b a c");
    const struct {
        char letter;
        int expected;
    } cases[] = {{'a', 0}, {'b', 1}, {'c', 3}, {'d', -1}, {'?', -1}};
    for (const auto& c : cases)
        EXPECT_EQ(model.IndexOf(DataOf(c.letter)), c.expected) << c.letter;
}

TEST(ListViewModel, BadIndexesRaiseTheListErrorAndChangeNothing) {
    const std::vector<std::pair<const char*, TOperation>> cases = {
        {"GetData", [](TListViewModel& m) { m.Items(3)->GetData(); }},
        {"SetState", [](TListViewModel& m) { m.Items(-1)->SetState(3); }},
        {"Delete", [](TListViewModel& m) { m.Delete(3); }},
        {"Insert", [](TListViewModel& m) { m.Insert(4); }},
        {"Exchange", [](TListViewModel& m) { m.Exchange(0, 3); }},
        {"Exchange same", [](TListViewModel& m) { m.Exchange(5, 5); }},
        {"Move", [](TListViewModel& m) { m.Move(-1, 0); }},
        {"Reorder short",
         [](TListViewModel& m) {
             m.Reorder({{0, 1}, {1, 0}});
         }},
        {"Reorder repeated",
         [](TListViewModel& m) {
             m.Reorder({{0, 1}, {1, 1}, {2, 0}});
         }},
        {"Reorder outside",
         [](TListViewModel& m) {
             m.Reorder({{0, 1}, {1, 3}, {2, 0}});
         }},
        {"SetCount", [](TListViewModel& m) { m.SetCount(-1); }},
    };
    for (const auto& [what, operation] : cases) {
        SCOPED_TRACE(what);
        TListViewModel model(nullptr);
        model.SetMultiSelect(true);
        Build(model, "A b* C");
        EXPECT_THROW(operation(model), EListError);
        EXPECT_EQ(Describe(model), "A b* C");
        ExpectInvariants(model);
    }
}

TEST(ListViewModel, ReorderMovesEveryRowOnce) {
    TListViewModel model(nullptr);
    model.SetMultiSelect(true);
    Build(model, "a B c* d");
    model.Reorder({{0, 2}, {1, 0}, {2, 3}, {3, 1}});
    EXPECT_EQ(Describe(model), "B d a c*");
    ExpectInvariants(model);
}

TEST(ListViewModel, NotifiesAroundInsertAndDelete) {
    TListViewModel model(nullptr);
    std::vector<std::string> events;
    auto record = [&](const char* what) {
        return [&events, what](TListViewModel* m, int index) {
            events.push_back(std::string(what) + " " + std::to_string(index) + " of " +
                             std::to_string(m->Count()));
        };
    };
    model.OnBeforeInsert = record("before insert");
    model.OnAfterInsert = record("after insert");
    model.OnBeforeDelete = record("before delete");
    model.OnAfterDelete = record("after delete");
    model.Add();
    model.Insert(0);
    model.Delete(1);
    EXPECT_EQ(events, (std::vector<std::string>{"before insert 0 of 0", "after insert 0 of 1",
                                                "before insert 0 of 1", "after insert 0 of 2",
                                                "before delete 1 of 2", "after delete 1 of 1"}));
}

TEST(ListViewModel, ReadsCountModeAndStatesFromTheControl) {
    const struct {
        bool multiSelect;
        std::vector<int> states;
    } cases[] = {
        {true, {0, 3, 2, 0}},
        {true, {}},
        {false, {0, 0, 3}},
    };
    for (const auto& c : cases) {
        TTestListView view(c.multiSelect);
        view.SetStates(c.states);
        TListViewModel model(view.Handle());
        Build(model, "a* B c D e"); // whatever the model held is replaced
        model.ReadFromView(true);
        EXPECT_EQ(ModelStates(model), c.states);
        EXPECT_EQ(model.MultiSelect(), c.multiSelect);
        ExpectInvariants(model);
        model.ReadFromView(false); // without states the rows keep theirs
        EXPECT_EQ(ModelStates(model), c.states);
    }
}

TEST(ListViewModel, ReadThenWriteLeavesTheControlAsItWas) {
    TTestListView view;
    std::vector<int> states(300, 0);
    for (int i = 0; i < 300; i += 7)
        states[static_cast<size_t>(i)] = LVIS_SELECTED;
    states[250] = LVIS_SELECTED | LVIS_FOCUSED;
    view.SetStates(states);
    const std::string before = view.Describe();
    TListViewModel model(view.Handle());
    model.ReadFromView(true);
    model.WriteToView(true);
    EXPECT_EQ(view.Describe(), before);
    model.WriteToView(false);
    EXPECT_EQ(view.Describe(), before);
}

// Writing only the rows that differ (and clearing or setting the selection of
// all rows at once where that is cheaper) must leave the control exactly as a
// write of every row does: states, focus, selection mark and scroll position.
TEST(ListViewModel, WritingOnlyChangedRowsEndsAsWritingEveryRow) {
    std::mt19937 random(20240601);
    auto pattern = [&](int count, int kind) {
        std::vector<int> states(static_cast<size_t>(count), 0);
        for (int& state : states) {
            if (kind == 1 || (kind == 2 && random() % 2) || (kind == 3 && random() % 10 == 0))
                state = LVIS_SELECTED;
        }
        if (count > 0 && random() % 4 != 0)
            states[random() % static_cast<size_t>(count)] |= LVIS_FOCUSED;
        return states;
    };
    for (int round = 0; round < 120; ++round) {
        const bool multiSelect = round % 3 != 0;
        const int viewCount = static_cast<int>(random() % (round < 100 ? 60 : 400));
        const int modelCount = random() % 5 == 0 ? static_cast<int>(random() % 60) : viewCount;
        const std::vector<int> initial = pattern(viewCount, static_cast<int>(random() % 4));
        const std::vector<int> wanted = pattern(modelCount, static_cast<int>(random() % 4));
        SCOPED_TRACE(testing::Message() << "round " << round << ", " << viewCount << " -> " << modelCount
                                        << " rows, multi " << multiSelect);

        TTestListView fast(true), naive(true);
        fast.SetStates(initial);
        naive.SetStates(initial);
        SendMessageA(fast.Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(viewCount / 2), FALSE);
        SendMessageA(naive.Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(viewCount / 2), FALSE);
        ASSERT_EQ(fast.Describe(), naive.Describe());

        TListViewModel model(fast.Handle());
        model.SetMultiSelect(multiSelect);
        model.SetCount(modelCount);
        for (int i = 0; i < modelCount; ++i)
            model.Items(i)->SetState(wanted[static_cast<size_t>(i)]);
        model.WriteToView(true);

        // Every row written in turn, inside the same begin/end update.
        SendMessageA(naive.Handle(), WM_SETREDRAW, FALSE, 0);
        if (naive.Count() != modelCount)
            SendMessageA(naive.Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(modelCount), 0);
        naive.SetMultiSelect(multiSelect);
        for (int i = 0; i < modelCount; ++i)
            SetListViewItemState(naive.Handle(), i, model.Items(i)->GetState(), 0xF);
        SendMessageA(naive.Handle(), WM_SETREDRAW, TRUE, 0);

        EXPECT_EQ(fast.Describe(), naive.Describe());
        EXPECT_EQ(fast.States(), ModelStates(model));
    }
}

// IndexOf answers from what it knows of the rows' data where it can; after
// any mix of operations it must still give the first row from the top.
TEST(ListViewModel, IndexOfStaysTheFirstRowThroughEveryChange) {
    std::mt19937 random(7);
    TListViewModel model(nullptr);
    model.SetMultiSelect(true);
    auto letter = [&] { return static_cast<char>('a' + random() % 8); };
    for (int step = 0; step < 3000; ++step) {
        const int count = model.Count();
        switch (random() % 9) {
        case 0:
        case 1:
            model.Items(model.Add())->SetData(DataOf(letter()));
            break;
        case 2:
            if (count > 0)
                model.Items(static_cast<int>(random() % count))
                    ->SetData(random() % 5 ? DataOf(letter()) : nullptr);
            break;
        case 3:
            model.Insert(count > 0 ? static_cast<int>(random() % count) : 0);
            break;
        case 4:
            if (count > 0)
                model.Delete(static_cast<int>(random() % count));
            break;
        case 5:
            if (count > 1)
                model.Move(static_cast<int>(random() % count), static_cast<int>(random() % count));
            break;
        case 6:
            model.Reverse();
            break;
        case 7:
            model.Sort(CompareLetters);
            break;
        default:
            if (count > 1)
                model.Exchange(static_cast<int>(random() % count), static_cast<int>(random() % count));
            break;
        }
        for (char c = 'a'; c <= 'h'; ++c) {
            int expected = -1;
            for (int i = 0; i < model.Count() && expected < 0; ++i)
                if (model.Items(i)->GetData() == DataOf(c))
                    expected = i;
            ASSERT_EQ(model.IndexOf(DataOf(c)), expected) << "step " << step << ", data " << c;
        }
    }
}

// Inside a batch a deleted row is only marked until the batch ends; every
// answer on the way, and the rows, focus and selection at the end, must be
// those of deleting one row at a time. Each case runs its steps on a model in
// a batch and on one without, side by side. Steps: "d3" deletes the row at
// index 3, "rX" removes the data X, "i" inserts a row at the top (which needs
// the rows in place), "s2" focuses and selects the row at index 2.
TEST(ListViewModel, ABatchDeletesAsOneRowAtATimeDoes) {
    const struct {
        const char* rows;
        bool multiSelect;
        const char* steps;
    } cases[] = {
        {"a B c D* e F g", true, "d5 d3 d1"},     // from the last up, as the Edit menu deletes
        {"a B c D* e F g", true, "d1 d2 d3"},     // upwards: each index counts the rows left
        {"a b c* d e", true, "d2 d2 d2"},         // the focus passes on, then to the last row left
        {"a b c d e*", true, "d4 d3"},            // the focused last row: up to the new last row
        {"a* b c", true, "d0 d0 d0"},             // every row: no focus left
        {"A b* C d E", true, "rc ra re"},         // removed wherever they stand
        {"A b* C d E", true, "rb rd rb"},         // the second removal of b finds nothing
        {"a b C* d e f", true, "rf rc ra d0 rd"}, // removals and deletes mixed
        {"a b c D* e", true, "rd i rb"},          // an insert takes the marked rows out first
        {"a B c d e", false, "d0 rb d1"},         // single selection: the selected row goes
        {"a b c D e*", false, "ra rb s1 rc"},     // a new selection within the batch
        {"e d c b a*", true, "ra rb rc rd re"},   // everything, last row first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rows) + " | " + c.steps);
        TListViewModel batched(nullptr), single(nullptr);
        for (TListViewModel* model : {&batched, &single}) {
            model->SetMultiSelect(c.multiSelect);
            Build(*model, c.rows);
        }
        batched.BeginBatch();
        for (const std::string& step : Tokens(c.steps)) {
            SCOPED_TRACE(step);
            const int argument =
                step.size() > 1 && isdigit(static_cast<unsigned char>(step[1])) ? step[1] - '0' : 0;
            for (TListViewModel* model : {&batched, &single}) {
                switch (step[0]) {
                case 'd':
                    model->Delete(argument);
                    break;
                case 'r':
                    model->Remove(DataOf(step[1]));
                    break;
                case 'i':
                    model->Insert(0);
                    break;
                case 's':
                    model->Items(argument)->SetState(LVIS_FOCUSED | LVIS_SELECTED);
                    break;
                }
            }
            EXPECT_EQ(batched.Count(), single.Count());
            EXPECT_EQ(batched.SelectedCount(), single.SelectedCount());
            for (char letter = 'a'; letter <= 'g'; ++letter)
                EXPECT_EQ(batched.IndexOf(DataOf(letter)), single.IndexOf(DataOf(letter))) << letter;
        }
        batched.EndBatch();
        EXPECT_EQ(Describe(batched), Describe(single));
        EXPECT_EQ(batched.FocusIndex(), single.FocusIndex());
        EXPECT_EQ(batched.SelectedIndex(), single.SelectedIndex());
        ExpectInvariants(batched);
    }
}

TEST(ListViewModel, RemoveGivesTheIndexTheRowHadWhenItWent) {
    TListViewModel model(nullptr);
    model.SetMultiSelect(true);
    Build(model, "a b c d e");
    const TListViewModelBatch batch(model);
    const struct {
        char letter;
        int expected;
    } steps[] = {{'c', 2}, {'e', 3}, {'a', 0}, {'a', -1}, {'d', 1}, {'x', -1}, {'b', 0}};
    for (const auto& step : steps)
        EXPECT_EQ(model.Remove(DataOf(step.letter)), step.expected) << step.letter;
    EXPECT_EQ(model.Count(), 0);
}

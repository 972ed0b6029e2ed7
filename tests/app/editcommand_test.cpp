// List edit and name edit commands over a real list-view control, with the
// user's invoker, sorting and moving in between.
#include "app/commands/Trel_listeditcommand.h"
#include "app/commands/Trel_nameeditcommand.h"
#include "app/names/Trel_listedit.h"
#include "tests/common/ListViewTestSupport.h"
#include "tests/common/TestSupport.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <sstream>

namespace {

// The main window's parts that the commands work with: a list control, the
// model over it, the item list that owns every item, and the user's invoker.
class TEditBench {
public:
    TEditBench() : FModel(FView.Handle()) {}

    TListViewModel& Model() { return FModel; }
    TInvoker& Invoker() { return FInvoker; }
    TTestListView& View() { return FView; }

    TRenameItem* Item(const std::string& name) {
        for (int i = 0; i < FItems.Count(); ++i) {
            auto* item = static_cast<TRenameItem*>(FItems.Items(i));
            if (item->OldName == name)
                return item;
        }
        ADD_FAILURE() << "no item " << name;
        return nullptr;
    }

    // As the Edit menu adds paths: one add sub-command per new item.
    void Add(const std::string& names) {
        auto command = std::make_unique<TListEditCommand>(FModel);
        std::istringstream in(names);
        for (std::string name; in >> name;) {
            auto* item = new TRenameItem(FDir.MakeFile(name));
            FItems.Add(item);
            command->SubCommands().PendingCommands().Add(new TAddSubCommand(FModel, item));
        }
        Run(command.release());
    }

    // As the Edit menu deletes: the selected rows from the last to the first.
    void DeleteSelected() {
        FModel.ReadFromView(true);
        auto command = std::make_unique<TListEditCommand>(FModel);
        for (int i = FModel.Count() - 1; i >= 0; --i)
            if (FModel.Items(i)->GetSelected())
                command->SubCommands().PendingCommands().Add(new TDeleteSubCommand(FModel, i));
        Run(command.release());
    }

    // As the Name menu edits: each selected row's new name gets a suffix.
    void AppendToNames(const std::string& suffix) {
        FModel.ReadFromView(true);
        auto command = std::make_unique<TNameEditCommand>(FModel);
        for (int i = 0; i < FModel.Count(); ++i) {
            if (!FModel.Items(i)->GetSelected())
                continue;
            auto* item = static_cast<TRenameItem*>(FModel.Items(i)->GetData());
            command->SubCommands().PendingCommands().Add(new TSetSubCommand(item, item->NewName + suffix));
        }
        Run(command.release());
    }

    void Run(TCommand* command) {
        FInvoker.PendingCommands().Add(command);
        FInvoker.Execute();
    }

    // As the user clicks: these rows selected, the last of them focused.
    void Select(const std::vector<int>& rows) {
        SetListViewItemState(FView.Handle(), -1, 0, LVIS_SELECTED);
        for (const int row : rows)
            SetListViewItemState(FView.Handle(), row, LVIS_SELECTED | LVIS_FOCUSED,
                                 LVIS_SELECTED | LVIS_FOCUSED);
    }

    // As the View menu sorts and moves: not commands, straight on the model.
    void SortByOldName() {
        FModel.ReadFromView(true);
        FModel.SortByKey([](TListViewModel* m, int i) {
            return SortKeyByOldName(*static_cast<TRenameItem*>(m->Items(i)->GetData()));
        });
        FModel.WriteToView(true);
    }
    void Reverse() {
        FModel.ReadFromView(true);
        FModel.Reverse();
        FModel.WriteToView(true);
    }
    void MoveSelected(int direction) {
        FModel.ReadFromView(true);
        FModel.MoveSelected(direction);
        FModel.WriteToView(true);
    }

    // The rows as the control shows them: each row's new name, in upper case
    // when the control has it selected, with "*" when focused.
    std::string Rows() {
        EXPECT_EQ(FView.Count(), FModel.Count());
        const std::vector<int> states = FView.States();
        std::string text;
        for (int i = 0; i < FModel.Count() && i < static_cast<int>(states.size()); ++i) {
            std::string name = static_cast<TRenameItem*>(FModel.Items(i)->GetData())->NewName;
            if (states[static_cast<size_t>(i)] & LVIS_SELECTED)
                for (char& c : name)
                    c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
            text += (i ? " " : "") + name + ((states[static_cast<size_t>(i)] & LVIS_FOCUSED) ? "*" : "");
        }
        return text;
    }

    std::string History() {
        return std::to_string(FInvoker.UndoCommands().Count()) + " undo, " +
               std::to_string(FInvoker.RedoCommands().Count()) + " redo";
    }

private:
    TTempDir FDir;
    TTestListView FView;
    TListViewModel FModel;
    TInvoker FInvoker;
    TObjectList FItems; // freed first, before the invoker and the model, as the window frees them
};

struct TEditStep {
    const char* What;
    std::function<void(TEditBench&)> Action;
    const char* Rows;
    const char* History;
};

void RunSteps(const std::vector<TEditStep>& steps) {
    TEditBench bench;
    for (const TEditStep& step : steps) {
        SCOPED_TRACE(step.What);
        step.Action(bench);
        EXPECT_EQ(bench.Rows(), step.Rows);
        EXPECT_EQ(bench.History(), step.History);
    }
}

void Undo(TEditBench& b) {
    b.Invoker().Undo();
}
void Redo(TEditBench& b) {
    b.Invoker().Redo();
}

} // namespace

TEST(ListEditCommand, AddingIsUndoneAndRedoneAsOneStep) {
    RunSteps({
        {"add three", [](TEditBench& b) { b.Add("a b c"); }, "A B C*", "1 undo, 0 redo"},
        {"add three more", [](TEditBench& b) { b.Add("d e f"); }, "a b c D E F*", "2 undo, 0 redo"},
        {"undo", Undo, "a b c*", "1 undo, 1 redo"},
        {"redo", Redo, "a b c D E F*", "2 undo, 0 redo"},
        {"undo", Undo, "a b c*", "1 undo, 1 redo"},
        {"another command ends the redo history", [](TEditBench& b) { b.Add("g"); }, "a b c G*",
         "2 undo, 0 redo"},
        {"undo both", [](TEditBench& b) { Undo(b), Undo(b); }, "", "0 undo, 2 redo"},
        {"redo both", [](TEditBench& b) { Redo(b), Redo(b); }, "a b c G*", "2 undo, 0 redo"},
    });
}

TEST(ListEditCommand, UndoingADeleteBringsTheRowsBackAtTheEnd) {
    RunSteps({
        {"add six", [](TEditBench& b) { b.Add("a b c d e f"); }, "A B C D E F*", "1 undo, 0 redo"},
        {"select rows 2 and 5",
         [](TEditBench& b) {
             b.Select({1, 4});
         },
         "a B c d E* f", "1 undo, 0 redo"},
        {"delete", [](TEditBench& b) { b.DeleteSelected(); }, "a c d f*", "2 undo, 0 redo"},
        {"undo", Undo, "a c d f B E*", "1 undo, 1 redo"},
        {"redo", Redo, "a c d f*", "2 undo, 0 redo"},
        {"undo", Undo, "a c d f B E*", "1 undo, 1 redo"},
        {"sort", [](TEditBench& b) { b.SortByOldName(); }, "a B c d E* f", "1 undo, 1 redo"},
        {"redo removes the same items where they stand", Redo, "a c d f*", "2 undo, 0 redo"},
        {"undo the delete and the add", [](TEditBench& b) { Undo(b), Undo(b); }, "", "0 undo, 2 redo"},
        {"redo the add", Redo, "A B C D E F*", "1 undo, 1 redo"},
    });
}

// The rows that an undo or redo removes are found where sorting, reversing
// and moving left them, and are taken out together; focus and selection end
// as removing them one at a time leaves them.
TEST(ListEditCommand, UndoAndRedoFindTheirRowsAfterTheRowsMoved) {
    RunSteps({
        {"add six", [](TEditBench& b) { b.Add("a b c d e f"); }, "A B C D E F*", "1 undo, 0 redo"},
        {"add two", [](TEditBench& b) { b.Add("g h"); }, "a b c d e f G H*", "2 undo, 0 redo"},
        {"reverse", [](TEditBench& b) { b.Reverse(); }, "H* G f e d c b a", "2 undo, 0 redo"},
        {"undo the add of two", Undo, "f* e d c b a", "1 undo, 1 redo"},
        {"redo it", Redo, "f e d c b a G H*", "2 undo, 0 redo"},
        {"select e and b",
         [](TEditBench& b) {
             b.Select({1, 4});
         },
         "f E d c B* a g h", "2 undo, 0 redo"},
        {"move up", [](TEditBench& b) { b.MoveSelected(-1); }, "E f d B* c a g h", "2 undo, 0 redo"},
        {"delete", [](TEditBench& b) { b.DeleteSelected(); }, "f d c* a g h", "3 undo, 0 redo"},
        {"sort", [](TEditBench& b) { b.SortByOldName(); }, "a c* d f g h", "3 undo, 0 redo"},
        {"undo the delete", Undo, "a c d f g h E B*", "2 undo, 1 redo"},
        {"reverse", [](TEditBench& b) { b.Reverse(); }, "B* E h g f d c a", "2 undo, 1 redo"},
        {"redo the delete", Redo, "h* g f d c a", "3 undo, 0 redo"},
        {"undo the delete", Undo, "h g f d c a E B*", "2 undo, 1 redo"},
        {"undo the add of two", Undo, "f d c a e b*", "1 undo, 2 redo"},
        {"undo the add of six", Undo, "", "0 undo, 3 redo"},
        {"redo the add of six", Redo, "A B C D E F*", "1 undo, 2 redo"},
        {"redo the add of two", Redo, "a b c d e f G H*", "2 undo, 1 redo"},
        {"redo the delete", Redo, "a c d f g h*", "3 undo, 0 redo"},
    });
}

TEST(ListEditCommand, MovingBetweenCommandsKeepsEveryItem) {
    RunSteps({
        {"add", [](TEditBench& b) { b.Add("a b c d"); }, "A B C D*", "1 undo, 0 redo"},
        {"select c", [](TEditBench& b) { b.Select({2}); }, "a b C* d", "1 undo, 0 redo"},
        {"move up twice", [](TEditBench& b) { b.MoveSelected(-1), b.MoveSelected(-1); }, "C* a b d",
         "1 undo, 0 redo"},
        {"delete", [](TEditBench& b) { b.DeleteSelected(); }, "a* b d", "2 undo, 0 redo"},
        {"select a and d",
         [](TEditBench& b) {
             b.Select({0, 2});
         },
         "A b D*", "2 undo, 0 redo"},
        {"move down", [](TEditBench& b) { b.MoveSelected(1); }, "b A D*", "2 undo, 0 redo"},
        {"delete", [](TEditBench& b) { b.DeleteSelected(); }, "b*", "3 undo, 0 redo"},
        {"undo", Undo, "b A D*", "2 undo, 1 redo"},
        {"undo", Undo, "b a d C*", "1 undo, 2 redo"},
        {"redo", Redo, "b a d*", "2 undo, 1 redo"},
        {"redo", Redo, "b*", "3 undo, 0 redo"},
    });
}

TEST(ListEditCommand, WithoutSubCommandsItStillClearsTheSelectionAndIsRecorded) {
    RunSteps({
        {"add", [](TEditBench& b) { b.Add("a b"); }, "A B*", "1 undo, 0 redo"},
        {"empty command", [](TEditBench& b) { b.Run(new TListEditCommand(b.Model())); }, "a b*",
         "2 undo, 0 redo"},
        {"undo it", Undo, "a b*", "1 undo, 1 redo"},
    });
}

TEST(ListEditCommand, AnItemThatIsNoLongerShownEndsTheHistory) {
    TEditBench bench;
    bench.Add("a b");
    // The row of b leaves the list without a command.
    bench.Model().Delete(1);
    bench.Model().WriteToView(true);
    EXPECT_ERROR_MESSAGE(EListEditError, bench.Invoker().Undo(), "The program cannot remove the item.");
    EXPECT_EQ(bench.Rows(), "a*"); // the control was written all the same
    EXPECT_EQ(bench.History(), "0 undo, 0 redo");
}

TEST(ListEditCommand, AnItemWithoutARowStopsTheUndoWhereItStands) {
    TEditBench bench;
    bench.Add("x");
    bench.Add("a b c");
    // The row of a leaves the list without a command.
    bench.Model().Delete(1);
    bench.Model().WriteToView(true);
    // Undone last first: c and b go, a stops the undo with the error.
    EXPECT_ERROR_MESSAGE(EListEditError, bench.Invoker().Undo(), "The program cannot remove the item.");
    EXPECT_EQ(bench.Rows(), "x*");
    EXPECT_EQ(bench.History(), "0 undo, 0 redo");
}

TEST(ListEditCommand, DeleteTakesItsOwnItemEvenIfTheRowsChanged) {
    TEditBench bench;
    bench.Add("a b c");
    auto command = std::make_unique<TListEditCommand>(bench.Model());
    command->SubCommands().PendingCommands().Add(new TDeleteSubCommand(bench.Model(), 1)); // b
    bench.Model().Reverse();
    bench.Model().Move(0, 2); // row 1 now holds a
    bench.Model().WriteToView(true);
    ASSERT_EQ(bench.Rows(), "B A C*");
    bench.Run(command.release());
    EXPECT_EQ(bench.Rows(), "a c*");
    Undo(bench);
    EXPECT_EQ(bench.Rows(), "a c B*");
}

TEST(NameEditCommand, SetsAndRestoresNamesAndResults) {
    TEditBench bench;
    bench.Add("a b c");
    bench.Item("a")->Result = TRenameItemResult::Failed;
    bench.Item("c")->Result = TRenameItemResult::Succeeded;
    bench.Select({0, 2});
    const struct {
        const char* what;
        std::function<void(TEditBench&)> action;
        const char* rows;
        TRenameItemResult resultA, resultC;
        const char* history;
    } steps[] = {
        {"append", [](TEditBench& b) { b.AppendToNames("1"); }, "A1 b C1*", TRenameItemResult::None,
         TRenameItemResult::None, "2 undo, 0 redo"},
        {"undo", Undo, "A b C*", TRenameItemResult::Failed, TRenameItemResult::Succeeded, "1 undo, 1 redo"},
        {"redo", Redo, "A1 b C1*", TRenameItemResult::None, TRenameItemResult::None, "2 undo, 0 redo"},
        {"undo", Undo, "A b C*", TRenameItemResult::Failed, TRenameItemResult::Succeeded, "1 undo, 1 redo"},
        {"same text again is still a step", [](TEditBench& b) { b.AppendToNames(""); }, "A b C*",
         TRenameItemResult::None, TRenameItemResult::None, "2 undo, 0 redo"},
        {"undo it", Undo, "A b C*", TRenameItemResult::Failed, TRenameItemResult::Succeeded,
         "1 undo, 1 redo"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.action(bench);
        EXPECT_EQ(bench.Rows(), step.rows); // the selection is the user's, untouched
        EXPECT_EQ(bench.Item("a")->Result, step.resultA);
        EXPECT_EQ(bench.Item("c")->Result, step.resultC);
        EXPECT_EQ(bench.Item("b")->Result, TRenameItemResult::None);
        EXPECT_EQ(bench.History(), step.history);
    }
}

TEST(NameEditCommand, IsUndoneInHistoryOrderWithListEdits) {
    RunSteps({
        {"add", [](TEditBench& b) { b.Add("a b c"); }, "A B C*", "1 undo, 0 redo"},
        {"rename all", [](TEditBench& b) { b.AppendToNames("x"); }, "AX BX CX*", "2 undo, 0 redo"},
        {"select b", [](TEditBench& b) { b.Select({1}); }, "ax BX* cx", "2 undo, 0 redo"},
        {"delete b", [](TEditBench& b) { b.DeleteSelected(); }, "ax cx*", "3 undo, 0 redo"},
        {"rename the rest",
         [](TEditBench& b) {
             b.Select({0, 1}), b.AppendToNames("y");
         },
         "AXY CXY*", "4 undo, 0 redo"},
        {"undo rename", Undo, "AX CX*", "3 undo, 1 redo"},
        {"undo delete", Undo, "ax cx BX*", "2 undo, 2 redo"},
        {"undo rename", Undo, "a c B*", "1 undo, 3 redo"},
        {"redo all", [](TEditBench& b) { Redo(b), Redo(b), Redo(b); }, "axy cxy*", "4 undo, 0 redo"},
    });
}

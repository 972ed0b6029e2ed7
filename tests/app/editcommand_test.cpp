// List edit and name edit commands over a real list-view control, with the
// user's invoker, sorting and moving in between.
#include "app/commands/Trel_listeditcommand.h"
#include "app/commands/Trel_nameeditcommand.h"
#include "app/names/Trel_listedit.h"
#include "tests/common/RenameTestSupport.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <sstream>

namespace {

// The main window's shared objects that the commands work with, and the
// user's steps on them.
class TEditCommandBench : public TListBench {
public:
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
        for (int i = 0; i < FModel.Count(); ++i)
            if (FModel.Items(i)->GetSelected())
                command->SubCommands().PendingCommands().Add(
                    new TSetSubCommand(Item(i), Item(i)->NewName + suffix));
        Run(command.release());
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

    // The rows by their new names, selection and focus marked.
    std::string Rows() { return RowsBy(&TRenameItem::NewName, kRowMarks); }
};

struct TEditStep {
    const char* What;
    std::function<void(TEditCommandBench&)> Action;
    const char* Rows;
    const char* History;
};

void RunSteps(const std::vector<TEditStep>& steps) {
    TEditCommandBench bench;
    for (const TEditStep& step : steps) {
        SCOPED_TRACE(step.What);
        step.Action(bench);
        EXPECT_EQ(bench.Rows(), step.Rows);
        EXPECT_EQ(bench.History(), step.History);
    }
}

void Undo(TEditCommandBench& b) {
    b.Invoker().Undo();
}
void Redo(TEditCommandBench& b) {
    b.Invoker().Redo();
}

} // namespace

TEST(ListEditCommand, AddingIsUndoneAndRedoneAsOneStep) {
    RunSteps({
        {"add three", [](TEditCommandBench& b) { b.Add("a b c"); }, "a* b* c*!", "1 undo, 0 redo"},
        {"add three more", [](TEditCommandBench& b) { b.Add("d e f"); }, "a b c d* e* f*!", "2 undo, 0 redo"},
        {"undo", Undo, "a b c!", "1 undo, 1 redo"},
        {"redo", Redo, "a b c d* e* f*!", "2 undo, 0 redo"},
        {"undo", Undo, "a b c!", "1 undo, 1 redo"},
        {"another command ends the redo history", [](TEditCommandBench& b) { b.Add("g"); }, "a b c g*!",
         "2 undo, 0 redo"},
        {"undo both", [](TEditCommandBench& b) { Undo(b), Undo(b); }, "", "0 undo, 2 redo"},
        {"redo both", [](TEditCommandBench& b) { Redo(b), Redo(b); }, "a b c g*!", "2 undo, 0 redo"},
    });
}

TEST(ListEditCommand, UndoingADeleteBringsTheRowsBackAtTheEnd) {
    RunSteps({
        {"add six", [](TEditCommandBench& b) { b.Add("a b c d e f"); }, "a* b* c* d* e* f*!",
         "1 undo, 0 redo"},
        {"select rows 2 and 5",
         [](TEditCommandBench& b) {
             b.Select({1, 4});
         },
         "a b* c d e*! f", "1 undo, 0 redo"},
        {"delete", [](TEditCommandBench& b) { b.DeleteSelected(); }, "a c d f!", "2 undo, 0 redo"},
        {"undo", Undo, "a c d f b* e*!", "1 undo, 1 redo"},
        {"redo", Redo, "a c d f!", "2 undo, 0 redo"},
        {"undo", Undo, "a c d f b* e*!", "1 undo, 1 redo"},
        {"sort", [](TEditCommandBench& b) { b.SortByOldName(); }, "a b* c d e*! f", "1 undo, 1 redo"},
        {"redo removes the same items where they stand", Redo, "a c d f!", "2 undo, 0 redo"},
        {"undo the delete and the add", [](TEditCommandBench& b) { Undo(b), Undo(b); }, "", "0 undo, 2 redo"},
        {"redo the add", Redo, "a* b* c* d* e* f*!", "1 undo, 1 redo"},
    });
}

// The rows that an undo or redo removes are found where sorting, reversing
// and moving left them, and are taken out together; focus and selection end
// as removing them one at a time leaves them.
TEST(ListEditCommand, UndoAndRedoFindTheirRowsAfterTheRowsMoved) {
    RunSteps({
        {"add six", [](TEditCommandBench& b) { b.Add("a b c d e f"); }, "a* b* c* d* e* f*!",
         "1 undo, 0 redo"},
        {"add two", [](TEditCommandBench& b) { b.Add("g h"); }, "a b c d e f g* h*!", "2 undo, 0 redo"},
        {"reverse", [](TEditCommandBench& b) { b.Reverse(); }, "h*! g* f e d c b a", "2 undo, 0 redo"},
        {"undo the add of two", Undo, "f! e d c b a", "1 undo, 1 redo"},
        {"redo it", Redo, "f e d c b a g* h*!", "2 undo, 0 redo"},
        {"select e and b",
         [](TEditCommandBench& b) {
             b.Select({1, 4});
         },
         "f e* d c b*! a g h", "2 undo, 0 redo"},
        {"move up", [](TEditCommandBench& b) { b.MoveSelected(-1); }, "e* f d b*! c a g h", "2 undo, 0 redo"},
        {"delete", [](TEditCommandBench& b) { b.DeleteSelected(); }, "f d c! a g h", "3 undo, 0 redo"},
        {"sort", [](TEditCommandBench& b) { b.SortByOldName(); }, "a c! d f g h", "3 undo, 0 redo"},
        {"undo the delete", Undo, "a c d f g h e* b*!", "2 undo, 1 redo"},
        {"reverse", [](TEditCommandBench& b) { b.Reverse(); }, "b*! e* h g f d c a", "2 undo, 1 redo"},
        {"redo the delete", Redo, "h! g f d c a", "3 undo, 0 redo"},
        {"undo the delete", Undo, "h g f d c a e* b*!", "2 undo, 1 redo"},
        {"undo the add of two", Undo, "f d c a e b!", "1 undo, 2 redo"},
        {"undo the add of six", Undo, "", "0 undo, 3 redo"},
        {"redo the add of six", Redo, "a* b* c* d* e* f*!", "1 undo, 2 redo"},
        {"redo the add of two", Redo, "a b c d e f g* h*!", "2 undo, 1 redo"},
        {"redo the delete", Redo, "a c d f g h!", "3 undo, 0 redo"},
    });
}

TEST(ListEditCommand, MovingBetweenCommandsKeepsEveryItem) {
    RunSteps({
        {"add", [](TEditCommandBench& b) { b.Add("a b c d"); }, "a* b* c* d*!", "1 undo, 0 redo"},
        {"select c", [](TEditCommandBench& b) { b.Select({2}); }, "a b c*! d", "1 undo, 0 redo"},
        {"move up twice", [](TEditCommandBench& b) { b.MoveSelected(-1), b.MoveSelected(-1); }, "c*! a b d",
         "1 undo, 0 redo"},
        {"delete", [](TEditCommandBench& b) { b.DeleteSelected(); }, "a! b d", "2 undo, 0 redo"},
        {"select a and d",
         [](TEditCommandBench& b) {
             b.Select({0, 2});
         },
         "a* b d*!", "2 undo, 0 redo"},
        {"move down", [](TEditCommandBench& b) { b.MoveSelected(1); }, "b a* d*!", "2 undo, 0 redo"},
        {"delete", [](TEditCommandBench& b) { b.DeleteSelected(); }, "b!", "3 undo, 0 redo"},
        {"undo", Undo, "b a* d*!", "2 undo, 1 redo"},
        {"undo", Undo, "b a d c*!", "1 undo, 2 redo"},
        {"redo", Redo, "b a d!", "2 undo, 1 redo"},
        {"redo", Redo, "b!", "3 undo, 0 redo"},
    });
}

TEST(ListEditCommand, WithoutSubCommandsItStillClearsTheSelectionAndIsRecorded) {
    RunSteps({
        {"add", [](TEditCommandBench& b) { b.Add("a b"); }, "a* b*!", "1 undo, 0 redo"},
        {"empty command", [](TEditCommandBench& b) { b.Run(new TListEditCommand(b.Model())); }, "a b!",
         "2 undo, 0 redo"},
        {"undo it", Undo, "a b!", "1 undo, 1 redo"},
    });
}

TEST(ListEditCommand, AnItemThatIsNoLongerShownEndsTheHistory) {
    TEditCommandBench bench;
    bench.Add("a b");
    // The row of b leaves the list without a command.
    bench.Model().Delete(1);
    bench.Model().WriteToView(true);
    EXPECT_ERROR_MESSAGE(EListEditError, bench.Invoker().Undo(), "The program cannot remove the item.");
    EXPECT_EQ(bench.Rows(), "a!"); // the control was written all the same
    EXPECT_EQ(bench.History(), "0 undo, 0 redo");
}

TEST(ListEditCommand, AnItemWithoutARowStopsTheUndoWhereItStands) {
    TEditCommandBench bench;
    bench.Add("x");
    bench.Add("a b c");
    // The row of a leaves the list without a command.
    bench.Model().Delete(1);
    bench.Model().WriteToView(true);
    // Undone last first: c and b go, a stops the undo with the error.
    EXPECT_ERROR_MESSAGE(EListEditError, bench.Invoker().Undo(), "The program cannot remove the item.");
    EXPECT_EQ(bench.Rows(), "x!");
    EXPECT_EQ(bench.History(), "0 undo, 0 redo");
}

TEST(ListEditCommand, DeleteTakesItsOwnItemEvenIfTheRowsChanged) {
    TEditCommandBench bench;
    bench.Add("a b c");
    auto command = std::make_unique<TListEditCommand>(bench.Model());
    command->SubCommands().PendingCommands().Add(new TDeleteSubCommand(bench.Model(), 1)); // b
    bench.Model().Reverse();
    bench.Model().Move(0, 2); // row 1 now holds a
    bench.Model().WriteToView(true);
    ASSERT_EQ(bench.Rows(), "b* a* c*!");
    bench.Run(command.release());
    EXPECT_EQ(bench.Rows(), "a c!");
    Undo(bench);
    EXPECT_EQ(bench.Rows(), "a c b*!");
}

TEST(NameEditCommand, SetsAndRestoresNamesAndResults) {
    TEditCommandBench bench;
    bench.Add("a b c");
    bench.Item("a")->Result = TRenameItemResult::Failed;
    bench.Item("c")->Result = TRenameItemResult::Succeeded;
    bench.Select({0, 2});
    const struct {
        const char* what;
        std::function<void(TEditCommandBench&)> action;
        const char* rows;
        TRenameItemResult resultA, resultC;
        const char* history;
    } steps[] = {
        {"append", [](TEditCommandBench& b) { b.AppendToNames("1"); }, "a1* b c1*!", TRenameItemResult::None,
         TRenameItemResult::None, "2 undo, 0 redo"},
        {"undo", Undo, "a* b c*!", TRenameItemResult::Failed, TRenameItemResult::Succeeded, "1 undo, 1 redo"},
        {"redo", Redo, "a1* b c1*!", TRenameItemResult::None, TRenameItemResult::None, "2 undo, 0 redo"},
        {"undo", Undo, "a* b c*!", TRenameItemResult::Failed, TRenameItemResult::Succeeded, "1 undo, 1 redo"},
        {"same text again is still a step", [](TEditCommandBench& b) { b.AppendToNames(""); }, "a* b c*!",
         TRenameItemResult::None, TRenameItemResult::None, "2 undo, 0 redo"},
        {"undo it", Undo, "a* b c*!", TRenameItemResult::Failed, TRenameItemResult::Succeeded,
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
        {"add", [](TEditCommandBench& b) { b.Add("a b c"); }, "a* b* c*!", "1 undo, 0 redo"},
        {"rename all", [](TEditCommandBench& b) { b.AppendToNames("x"); }, "ax* bx* cx*!", "2 undo, 0 redo"},
        {"select b", [](TEditCommandBench& b) { b.Select({1}); }, "ax bx*! cx", "2 undo, 0 redo"},
        {"delete b", [](TEditCommandBench& b) { b.DeleteSelected(); }, "ax cx!", "3 undo, 0 redo"},
        {"rename the rest",
         [](TEditCommandBench& b) {
             b.Select({0, 1}), b.AppendToNames("y");
         },
         "axy* cxy*!", "4 undo, 0 redo"},
        {"undo rename", Undo, "ax* cx*!", "3 undo, 1 redo"},
        {"undo delete", Undo, "ax cx bx*!", "2 undo, 2 redo"},
        {"undo rename", Undo, "a c b*!", "1 undo, 3 redo"},
        {"redo all", [](TEditCommandBench& b) { Redo(b), Redo(b), Redo(b); }, "axy cxy!", "4 undo, 0 redo"},
    });
}

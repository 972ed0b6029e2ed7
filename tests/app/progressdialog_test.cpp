// The progress dialog with real tasks: the start from inside the modal loop,
// progress, the finish, and cancels from the button, the keys and the close box.
#include "app/dialogs/Trel_progressdialog.h"
#include "support/Vek_task.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/TestSupport.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A task that reports steps until it has done its count or is cancelled.
class TStepTask : public TTask {
public:
    explicit TStepTask(int steps) : FSteps(steps) {}

    void Run() override {
        for (int step = 1; step <= FSteps; ++step) {
            if (Cancelled())
                Abort();
            Synchronize(
                step,
                [](void* data, std::int32_t argument) {
                    auto* task = static_cast<TStepTask*>(data);
                    if (task->OnStep)
                        task->OnStep(argument);
                },
                this);
        }
    }

    std::function<void(int Step)> OnStep;

private:
    int FSteps;
};

// What a run under the dialog gave.
struct TRunOutcome {
    int Result = mrNone;
    std::vector<int> Positions;
    std::string Error;
    int CancelRequests = 0;
    bool VisibleAtStart = false;
    bool ModalAtStart = false;
    bool VisibleAfter = true;
};

// Runs a task under the dialog the way the rename command does: the start
// handler starts it, progress moves the bar, the finish removes the close
// query and finishes the dialog, the close query refuses every close and
// cancels the task once. onStep may act on the dialog from the task's steps.
TRunOutcome RunUnderDialog(TTrelProgressDialog& dialog, int steps,
                           const std::function<void(TTrelProgressDialog&, int)>& onStep = nullptr) {
    TRunOutcome outcome;
    auto* task = new TStepTask(steps);
    task->FreeOnFinish = true;
    task->OnStep = [&](int step) {
        dialog.SetPosition(step * 100 / steps);
        outcome.Positions.push_back(dialog.GetPosition());
        if (onStep)
            onStep(dialog, step);
    };
    task->OnError = [&](TObject*, Exception& e) { outcome.Error = e.Message(); };
    task->OnFinished = [&](TObject*) {
        dialog.OnCloseQuery = nullptr;
        dialog.Finish();
    };
    dialog.SetCaption("Rename");
    dialog.SetMessage("Renaming...");
    dialog.SetButtonCaption("Cancel");
    dialog.CommandButton->SetEnabled(true);
    dialog.SetPosition(0);
    dialog.OnStart = [&](TObject* sender) {
        EXPECT_EQ(sender, &dialog);
        outcome.VisibleAtStart = dialog.IsVisible();
        outcome.ModalAtStart = dialog.IsModal();
        task->Start();
    };
    dialog.OnCloseQuery = [&](TObject*, bool& canClose) {
        canClose = false;
        if (dialog.CommandButton->IsEnabled()) {
            dialog.CommandButton->SetEnabled(false);
            task->Cancel();
            ++outcome.CancelRequests;
        }
    };
    TIdleScript watchdog({});
    outcome.Result = dialog.Execute(true);
    outcome.VisibleAfter = dialog.IsVisible();
    dialog.OnStart = nullptr;
    dialog.OnCloseQuery = nullptr;
    return outcome;
}

} // namespace

TEST(ProgressDialog, IsLaidOutAsItsTable) {
    TTrelProgressDialog dialog;
    EXPECT_EQ(dialog.GetCaption(), "Progress");
    ExpectScaledLayout(dialog, 421, 116,
                       {
                           {dialog.MessageLabel, {10, 10, 411, 36}},
                           {dialog.ProgressBar, {10, 40, 411, 66}},
                           {dialog.CommandButton, {310, 80, 411, 106}},
                       });
    EXPECT_EQ(GetWindowLongPtrA(dialog.MessageLabel->Handle(), GWL_STYLE) & (SS_NOPREFIX | SS_CENTERIMAGE),
              SS_NOPREFIX | SS_CENTERIMAGE);
    EXPECT_EQ(dialog.CommandButton->GetText(), "Cancel");
    EXPECT_TRUE(dialog.CommandButton->IsDefault());
    EXPECT_TRUE(dialog.CommandButton->IsCancel());
    EXPECT_EQ(SendMessageA(dialog.ProgressBar->Handle(), PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(dialog.ProgressBar->Handle(), PBM_GETRANGE, TRUE, 0), 0);
}

TEST(ProgressDialog, RunsATaskThatReportsProgressAndFinishes) {
    TTrelProgressDialog& dialog = Application->Dialog<TTrelProgressDialog>();
    const TRunOutcome outcome = RunUnderDialog(dialog, 4);
    EXPECT_EQ(outcome.Result, mrOk);
    EXPECT_TRUE(outcome.VisibleAtStart) << "the task starts only once the dialog shows";
    EXPECT_TRUE(outcome.ModalAtStart);
    EXPECT_EQ(outcome.Positions, (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(outcome.Error, "");
    EXPECT_EQ(outcome.CancelRequests, 0);
    EXPECT_FALSE(outcome.VisibleAfter);
    EXPECT_EQ(dialog.GetCaption(), "Rename");
    EXPECT_EQ(dialog.MessageLabel->GetText(), "Renaming...");
    EXPECT_EQ(dialog.GetPosition(), 100);
    // The same dialog serves the next run.
    EXPECT_EQ(&Application->Dialog<TTrelProgressDialog>(), &dialog);
    EXPECT_EQ(RunUnderDialog(dialog, 2).Positions, (std::vector<int>{50, 100}));
}

// Positions that come faster than the bar is drawn are answered at once and
// drawn by the dialog's timer: the bar never stays behind the last one. The
// start and the end are drawn at once.
TEST(ProgressDialog, TheBarCatchesUpWithPositionsThatCameTooFast) {
    TTrelProgressDialog dialog;
    dialog.Show();
    auto bar = [&] { return static_cast<int>(SendMessageA(dialog.ProgressBar->Handle(), PBM_GETPOS, 0, 0)); };
    const std::vector<int> runs[] = {
        {1, 2, 3, 4, 5, 6, 7}, {8, 9, 100}, {0}, {30, 31, 32, 0}, {40, 41}, {150}, {60, 61, 62},
    };
    for (const std::vector<int>& positions : runs) {
        SCOPED_TRACE(testing::Message() << "run " << (&positions - runs));
        for (const int position : positions) {
            dialog.SetPosition(position);
            EXPECT_EQ(dialog.GetPosition(), std::min(position, 100));
        }
        const int last = std::min(positions.back(), 100);
        if (last == 0 || last == 100) {
            EXPECT_EQ(bar(), last);
        }
        EXPECT_TRUE(PollUntil([&] { return bar() == last; })) << "the bar shows " << bar();
        EXPECT_EQ(dialog.GetPosition(), last);
    }
    dialog.Hide();
}

TEST(ProgressDialog, EachWayToCancelRequestsOneCancel) {
    const struct {
        const char* what;
        std::function<void(TTrelProgressDialog&)> act;
    } cases[] = {
        {"button", [](TTrelProgressDialog& d) { PostMessageA(d.CommandButton->Handle(), BM_CLICK, 0, 0); }},
        {"Esc", [](TTrelProgressDialog& d) { PostKey(VK_ESCAPE, d.CommandButton->Handle()); }},
        {"Enter", [](TTrelProgressDialog& d) { PostKey(VK_RETURN, d.CommandButton->Handle()); }},
        {"close box", [](TTrelProgressDialog& d) { PostMessageA(d.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    TTrelProgressDialog& dialog = Application->Dialog<TTrelProgressDialog>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TRunOutcome outcome = RunUnderDialog(dialog, 1000000, [&](TTrelProgressDialog& d, int step) {
            if (step == 1) {
                // Twice: the second one finds the button disabled.
                c.act(d);
                c.act(d);
            }
        });
        EXPECT_EQ(outcome.Result, mrOk);
        EXPECT_EQ(outcome.CancelRequests, 1);
        EXPECT_EQ(outcome.Error, "Operation aborted.");
        EXPECT_LT(outcome.Positions.size(), 1000000u);
        EXPECT_FALSE(dialog.CommandButton->IsEnabled());
    }
}

TEST(ProgressDialog, AFailedStartEndsTheModalLoopAndIsThrownFromExecute) {
    TTrelProgressDialog dialog;
    int queries = 0;
    dialog.OnCloseQuery = [&](TObject*, bool& canClose) {
        ++queries;
        canClose = false;
    };
    dialog.OnStart = [](TObject*) { throw EThread("The program could not create a thread."); };
    TIdleScript watchdog({});
    EXPECT_ERROR_MESSAGE(EThread, dialog.Execute(true), "The program could not create a thread.");
    EXPECT_FALSE(dialog.IsVisible());
    EXPECT_EQ(queries, 0);
}

TEST(ProgressDialog, ShownWithoutWaitingItStartsFromTheLoopAndFinishCloses) {
    TTrelProgressDialog dialog;
    int starts = 0;
    dialog.OnStart = [&](TObject*) { ++starts; };
    EXPECT_EQ(dialog.Execute(false), mrNone);
    EXPECT_TRUE(dialog.IsVisible());
    EXPECT_EQ(starts, 0) << "the start message waits for the message loop";
    ASSERT_TRUE(PollUntil([&] { return starts == 1; }));
    dialog.Finish();
    EXPECT_FALSE(dialog.IsVisible());
}

// Tasks on worker threads: events in order on the main thread, errors,
// cancel, FreeOnFinish.
#include "framework/Fw_forms.h"
#include "support/Vek_task.h"
#include "tests/common/TestSupport.h"

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A task whose work is a function; it reports steps through Synchronize.
class TTestTask : public TTask {
public:
    explicit TTestTask(std::function<void(TTestTask&)> work, bool* destroyed = nullptr)
        : FWork(std::move(work)), FDestroyed(destroyed) {}
    ~TTestTask() override {
        if (FDestroyed)
            *FDestroyed = true;
    }

    void Run() override { FWork(*this); }

    // Delivers the step to OnStep on the main thread.
    void ReportStep(int step) {
        Synchronize(
            step,
            [](void* data, std::int32_t argument) {
                auto* task = static_cast<TTestTask*>(data);
                if (task->OnStep)
                    task->OnStep(argument);
            },
            this);
    }

    std::function<void(int Step)> OnStep;

private:
    std::function<void(TTestTask&)> FWork;
    bool* FDestroyed;
};

// Records a task's events and the threads they ran on.
struct TEventLog {
    void Attach(TTestTask& task) {
        task.OnStep = [this](int step) { Add("step " + std::to_string(step)); };
        task.OnError = [this](TObject* sender, Exception& e) {
            Senders.push_back(sender);
            std::string kind = dynamic_cast<EAbort*>(&e)       ? "abort"
                               : dynamic_cast<ETaskError*>(&e) ? "task"
                                                               : "other";
            Add("error " + kind + ": " + e.Message());
        };
        task.OnFinished = [this](TObject* sender) {
            Senders.push_back(sender);
            Add("finished");
            Finished = true;
        };
    }
    void Add(const std::string& event) {
        Events.push_back(event);
        AllOnMainThread = AllOnMainThread && IsMainThread();
    }
    std::vector<std::string> Events;
    std::vector<TObject*> Senders;
    bool AllOnMainThread = true;
    bool Finished = false;
};

} // namespace

TEST(Task, DeliversItsEventsInOrderOnTheMainThread) {
    const struct {
        const char* what;
        std::function<void()> fail;
        std::vector<std::string> tail;
    } cases[] = {
        {"completes", [] {}, {"finished"}},
        {"framework error",
         [] { throw EInvalidOperation("The part is not specified."); },
         {"error other: The part is not specified.", "finished"}},
        {"task error",
         [] { throw ETaskError("The task failed."); },
         {"error task: The task failed.", "finished"}},
        {"abort", [] { Abort(); }, {"error abort: Operation aborted.", "finished"}},
        {"standard exception",
         [] { throw std::runtime_error("boom"); },
         {"error task: An unknown exception occurred.", "finished"}},
        {"not an exception class",
         [] { throw 42; },
         {"error task: An unknown exception occurred.", "finished"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEventLog log;
        TTestTask task([&](TTestTask& self) {
            for (int step = 1; step <= 3; ++step)
                self.ReportStep(step);
            c.fail();
        });
        log.Attach(task);
        task.Start();
        ASSERT_TRUE(PollUntil([&] { return log.Finished; }));
        std::vector<std::string> expected = {"step 1", "step 2", "step 3"};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(log.Events, expected);
        EXPECT_TRUE(log.AllOnMainThread);
        for (TObject* sender : log.Senders)
            EXPECT_EQ(sender, &task);
    }
}

TEST(Task, StartsAtMostOnce) {
    TEventLog log;
    TKernelHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    int runs = 0;
    TTestTask task([&](TTestTask&) {
        ++runs;
        WaitForSingleObject(release.Get(), INFINITE);
    });
    log.Attach(task);
    task.Start();
    EXPECT_ERROR_MESSAGE(ETaskError, task.Start(), "The task has been already started.");
    SetEvent(release.Get());
    ASSERT_TRUE(PollUntil([&] { return log.Finished; }));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(log.Events, std::vector<std::string>{"finished"}) << "the first run is left alone";
    EXPECT_THROW(task.Start(), ETaskError) << "a finished task does not start again";
}

TEST(Task, FreeOnFinishDestroysTheTaskAfterTheLastEvent) {
    bool destroyed = false;
    bool destroyedDuringFinished = true;
    bool finished = false;
    auto* task = new TTestTask([](TTestTask& self) { self.ReportStep(1); }, &destroyed);
    task->FreeOnFinish = true;
    task->OnFinished = [&](TObject*) {
        destroyedDuringFinished = destroyed;
        finished = true;
    };
    task->Start();
    ASSERT_TRUE(PollUntil([&] { return destroyed; }));
    EXPECT_TRUE(finished);
    EXPECT_FALSE(destroyedDuringFinished);
}

TEST(Task, CancelIsSeenAtTheNextPoll) {
    TEventLog log;
    int stepsDone = 0;
    TTestTask task([&](TTestTask& self) {
        for (int step = 1; step <= 100; ++step) {
            if (self.Cancelled())
                Abort();
            ++stepsDone;
            self.ReportStep(step);
        }
    });
    log.Attach(task);
    task.OnStep = [&](int step) {
        log.Add("step " + std::to_string(step));
        if (step == 3)
            task.Cancel();
    };
    EXPECT_FALSE(task.Cancelled());
    task.Start();
    ASSERT_TRUE(PollUntil([&] { return log.Finished; }));
    EXPECT_EQ(stepsDone, 3) << "the worker waited in step 3 while the cancel came";
    const std::vector<std::string> expected = {"step 1", "step 2", "step 3",
                                               "error abort: Operation aborted.", "finished"};
    EXPECT_EQ(log.Events, expected);
    EXPECT_TRUE(task.Cancelled());
    task.Cancel(); // A finished task ignores it.
}

TEST(Task, SynchronizeOnTheMainThreadRunsAtOnce) {
    TTestTask task([](TTestTask&) {});
    std::vector<int> steps;
    task.OnStep = [&](int step) { steps.push_back(step); };
    task.ReportStep(7);
    EXPECT_EQ(steps, std::vector<int>{7});
}

TEST(Task, AFailingErrorHandlerIsShownAndTheFinishEventStillComes) {
    TShownErrors shown;
    TEventLog log;
    TTestTask task([](TTestTask&) { throw ETaskError("The task failed."); });
    log.Attach(task);
    task.OnError = [](TObject*, Exception&) { throw EInvalidOperation("The handler failed."); };
    task.Start();
    ASSERT_TRUE(PollUntil([&] { return log.Finished && !shown.Messages.empty(); }));
    EXPECT_EQ(shown.Messages, std::vector<std::string>{"The handler failed."});
    EXPECT_EQ(log.Events, std::vector<std::string>{"finished"});
}

// A finish event that the handshake cannot deliver (the main thread's window
// is gone, say) no longer escapes the worker: the failure is shown, the event
// still reaches the main thread, and the task is freed after it.
TEST(Task, AnUndeliverableFinishEventIsShownAndStillComes) {
    class TUndeliverableTask : public TTestTask {
    public:
        using TTestTask::TTestTask;
        void DoFinished() override { throw EThread("The program could not reach the main thread."); }
    };
    TShownErrors shown;
    bool destroyed = false;
    bool destroyedDuringFinished = true;
    TEventLog log;
    auto* task = new TUndeliverableTask([](TTestTask&) {}, &destroyed);
    log.Attach(*task);
    task->OnFinished = [&](TObject*) {
        destroyedDuringFinished = destroyed;
        log.Add("finished");
    };
    task->FreeOnFinish = true;
    task->Start();
    ASSERT_TRUE(PollUntil([&] { return destroyed && !shown.Messages.empty(); }));
    EXPECT_EQ(shown.Messages, std::vector<std::string>{"The program could not reach the main thread."});
    EXPECT_EQ(log.Events, std::vector<std::string>{"finished"});
    EXPECT_TRUE(log.AllOnMainThread);
    EXPECT_FALSE(destroyedDuringFinished);
}

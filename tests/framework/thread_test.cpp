// Worker threads and the calls they hand to the main thread.
#include "framework/Fw_forms.h"
#include "framework/Fw_thread.h"
#include "tests/common/TestSupport.h"

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A thread whose work is a function.
class TFunctionThread : public TThread {
public:
    explicit TFunctionThread(std::function<void(TFunctionThread&)> work, bool createSuspended = true)
        : TThread(true), FWork(std::move(work)) {
        if (!createSuspended)
            Start();
    }
    using TThread::Synchronize;

protected:
    void Execute() override { FWork(*this); }

private:
    std::function<void(TFunctionThread&)> FWork;
};

HWND FindThreadWindow(const char* className, const char* title) {
    struct TSearch {
        const char* ClassName;
        const char* Title;
        HWND Found;
    } search{className, title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(data);
            char name[64] = "";
            char text[128] = "";
            GetClassNameA(window, name, sizeof(name));
            GetWindowTextA(window, text, sizeof(text));
            if (std::string(name) == s->ClassName && std::string(text) == s->Title) {
                s->Found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

} // namespace

TEST(Thread, SynchronizeRunsOnTheMainThreadWhileTheWorkerWaits) {
    std::vector<std::string> events;
    std::atomic<bool> done{false};
    DWORD methodThread = 0;
    TFunctionThread thread([&](TFunctionThread& self) {
        events.push_back("worker before");
        self.Synchronize([&] {
            methodThread = GetCurrentThreadId();
            events.push_back("main");
        });
        events.push_back("worker after");
        done = true;
    });
    thread.Start();
    ASSERT_TRUE(PollUntil([&] { return done.load(); }));
    EXPECT_EQ(methodThread, MainThreadID());
    const std::vector<std::string> expected = {"worker before", "main", "worker after"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(thread.WaitFor(), 0u);
    EXPECT_TRUE(thread.IsFinished());
}

TEST(Thread, SynchronizeOnTheMainThreadRunsAtOnce) {
    bool ran = false;
    TThread::Synchronize(nullptr, [&] { ran = true; });
    EXPECT_TRUE(ran);
    bool queued = false;
    TThread::Queue([&] { queued = true; });
    EXPECT_TRUE(queued);
}

TEST(Thread, SynchronizedCallsRunInsideASystemMessageBox) {
    bool boxWasUp = false;
    TFunctionThread thread([&](TFunctionThread& self) {
        self.Synchronize([&] {
            HWND box = FindThreadWindow("#32770", "Synchronize test");
            boxWasUp = box != nullptr;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
    });
    thread.Start();
    EXPECT_EQ(MessageBoxA(nullptr, "Waiting for the worker", "Synchronize test", MB_OK), IDOK);
    EXPECT_TRUE(boxWasUp);
}

TEST(Thread, ExceptionsGoToTheExceptionDisplayOnTheMainThread) {
    TShownErrors recorder;
    std::atomic<bool> after{false};
    TFunctionThread thread([&](TFunctionThread& self) {
        self.Synchronize([] { throw EInvalidOperation("The method failed."); });
        // The worker goes on after a failed method.
        after = true;
        throw std::runtime_error("not one of ours");
    });
    thread.Start();
    ASSERT_TRUE(PollUntil([&] { return recorder.Messages.size() == 2; }));
    EXPECT_TRUE(after);
    const std::vector<std::string> expected = {"The method failed.", UnexpectedErrorMessage};
    EXPECT_EQ(recorder.Messages, expected);
    EXPECT_TRUE(recorder.OnMainThread);
}

TEST(Thread, DestroyingARunningThreadRunsItsSynchronizedCallsWhileWaiting) {
    std::atomic<bool> started{false};
    int calls = 0;
    {
        TFunctionThread thread([&](TFunctionThread& self) {
            started = true;
            while (!self.IsTerminated())
                self.Synchronize([&] { ++calls; });
            // One more after the request to end: the destructor must run it.
            self.Synchronize([&] { ++calls; });
        });
        thread.Start();
        ASSERT_TRUE(PollUntil([&] { return started.load() && calls > 0; }));
    }
    EXPECT_GE(calls, 2);
}

TEST(Thread, FreeOnTerminateFreesTheObjectAfterOnTerminate) {
    static std::vector<std::string> events;
    events.clear();
    struct TSelfFreeing : TFunctionThread {
        using TFunctionThread::TFunctionThread;
        ~TSelfFreeing() override { events.push_back("freed"); }
    };
    auto* thread = new TSelfFreeing([](TFunctionThread&) { events.push_back("executed"); });
    thread->SetFreeOnTerminate(true);
    thread->OnTerminate = [](TObject*) {
        EXPECT_TRUE(IsMainThread());
        events.push_back("terminated");
    };
    thread->Start();
    ASSERT_TRUE(PollUntil([] { return events.size() == 3; }));
    const std::vector<std::string> expected = {"executed", "terminated", "freed"};
    EXPECT_EQ(events, expected);
}

TEST(Thread, StartsAtMostOnceAndAThreadNeverStartedNeverExecutes) {
    bool executed = false;
    {
        TFunctionThread never([&](TFunctionThread&) { executed = true; });
    }
    EXPECT_FALSE(executed);
    TFunctionThread thread([&](TFunctionThread&) { executed = true; });
    thread.Start();
    EXPECT_ERROR_MESSAGE(EThread, thread.Start(), "The thread has been already started.");
    thread.WaitFor();
    EXPECT_TRUE(executed);
}

TEST(Thread, QueueRunsOnTheMainThreadWithoutWaiting) {
    TKernelHandle queued(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    bool ran = false;
    bool onMain = false;
    TFunctionThread thread([&](TFunctionThread&) {
        TThread::Queue([&] {
            ran = true;
            onMain = IsMainThread();
        });
        SetEvent(queued.Get());
    });
    thread.Start();
    // The main thread runs no messages here: Queue must return on its own.
    ASSERT_EQ(WaitForSingleObject(queued.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(ran);
    ASSERT_TRUE(PollUntil([&] { return ran; }));
    EXPECT_TRUE(onMain);
    thread.WaitFor();
}

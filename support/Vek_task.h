// Work on a worker thread whose events reach the main thread.
#pragma once

#include "framework/Fw_classes.h"
#include "framework/Fw_thread.h"

#include <atomic>
#include <cstdint>
#include <functional>

class ETaskError : public Exception {
public:
    using Exception::Exception;
};

class TTaskThread;

// The body of a task thread: a function with its data.
using TTaskBody = void (*)(void* Data, TTaskThread* Thread);

// The worker thread that carries a task's body. It is created suspended and
// frees itself when its procedure ends.
class TTaskThread : public TThread {
public:
    TTaskThread();

    TTaskBody Body = nullptr;
    void* Data = nullptr;

protected:
    void Execute() override;
};

// A call that a task hands to the main thread.
using TTaskSyncFunction = void (*)(void* Data, std::int32_t Argument);
using TTaskErrorEvent = std::function<void(TObject* Sender, Exception& E)>;
using TTaskProgressEvent = std::function<void(TObject* Sender, int Percent)>;

// One piece of work on a worker thread. Every event reaches its handler on
// the main thread while the worker waits, so a handler may touch windows and
// the main thread's objects. The main thread must keep a message loop running
// while the task runs (a modal progress dialog does).
class TTask : public TObject {
public:
    TTask() = default;
    ~TTask() override = default;

    // The work, on the worker thread.
    virtual void Run() = 0;
    // OnFinished, on the main thread.
    virtual void DoFinished();
    // OnError with the exception, on the main thread.
    virtual void DoError(Exception& E);
    // Starts the worker and returns at once; a task starts at most once.
    // Main thread.
    virtual void Start();
    // Asks the work to stop at its next check; any thread.
    virtual void Cancel();
    // Runs function(data, argument) on the main thread and waits until it has
    // returned; on the main thread it runs at once.
    virtual void Synchronize(std::int32_t Argument, TTaskSyncFunction Function, void* Data);

    bool Cancelled() const { return FCancelled.load(std::memory_order_relaxed); }

    // The worker destroys the task after its last event.
    bool FreeOnFinish = false;
    TNotifyEvent OnFinished;
    // The exception lives only while the handler runs: keep a copy of what
    // is needed later.
    TTaskErrorEvent OnError;
    // The percentage done, sent only when it changes, through the handshake
    // with the main thread: at most 101 calls however long the work.
    TTaskProgressEvent OnProgress;

protected:
    // Sends the percentage to OnProgress unless it was the last one sent.
    void ReportProgress(std::int32_t percent);

private:
    static void Body(void* data, TTaskThread* thread);

    TTaskThread* FThread = nullptr;
    TTaskSyncFunction FSyncFunction = nullptr;
    void* FSyncData = nullptr;
    std::int32_t FSyncArgument = 0;
    // Written by the main thread, polled by the worker between steps.
    std::atomic<bool> FCancelled{false};
    std::int32_t FLastPercent = 0;
};

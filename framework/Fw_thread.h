// Worker threads, and calls that a worker hands to the main thread.
#pragma once

#include "framework/Fw_classes.h"
#include "framework/Fw_handles.h"

#include <atomic>
#include <functional>

class EThread : public Exception {
public:
    using Exception::Exception;
};

// A worker thread whose work is Execute. The main thread runs the calls that
// workers hand over (Synchronize, Queue) from whatever message loop it is in:
// the application's, a modal form's, even a system message box's.
class TThread : public TObject {
public:
    // Creates the system thread; with createSuspended it waits for Start.
    // Throws EThread when the system cannot create it.
    explicit TThread(bool createSuspended);
    // Asks a running thread to end and waits for it, running the calls it hands
    // over meanwhile. A thread that was never started ends without Execute.
    ~TThread() override;

    // Lets a suspended thread run; a thread runs at most once.
    void Start();
    // Sets the flag that Execute polls.
    void Terminate() { FTerminated = true; }
    bool IsTerminated() const { return FTerminated; }
    // Waits until the thread has ended and returns its exit code. On the main
    // thread it runs the calls the worker hands over while it waits.
    DWORD WaitFor();
    bool IsFinished() const { return FFinished; }
    // The thread frees its object after Execute and OnTerminate.
    bool GetFreeOnTerminate() const { return FFreeOnTerminate; }
    void SetFreeOnTerminate(bool value) { FFreeOnTerminate = value; }
    HANDLE Handle() const { return FHandle.Get(); }
    DWORD ThreadID() const { return FThreadID; }

    // Runs on the main thread after Execute, with the thread as sender.
    TNotifyEvent OnTerminate;

    // Runs the method on the main thread and waits until it has returned. On
    // the main thread it runs at once. An exception of the method goes to the
    // application's exception display on the main thread; the caller goes on.
    // Throws EThread when the main thread cannot be reached.
    static void Synchronize(TThread* thread, const std::function<void()>& method);
    // Hands the method to the main thread without waiting; on the main thread
    // it runs at once.
    static void Queue(std::function<void()> method);
    // Runs the calls that workers have handed over; main thread only.
    static void CheckSynchronize();

protected:
    // The work. An exception that leaves it goes to the application's
    // exception display.
    virtual void Execute() = 0;
    void Synchronize(const std::function<void()>& method) { Synchronize(this, method); }

private:
    static unsigned __stdcall ThreadProc(void* parameter);

    TKernelHandle FHandle;
    // The event that the main thread sets when it has run a call of this thread.
    TKernelHandle FSyncDone;
    unsigned FThreadID = 0;
    bool FStarted = false;
    bool FFreeOnTerminate = false;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
};

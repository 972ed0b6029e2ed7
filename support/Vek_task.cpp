#include "support/Vek_task.h"

#include "framework/Fw_messages.h"
#include "framework/Fw_scope.h"
#include "support/Vek_autopointer.h"

#include <memory>

namespace {

// An error event whose delivery failed goes to the exception display, so that
// the finish event still comes.
void ReportError(TTask& task, Exception& error) {
    try {
        task.DoError(error);
    } catch (...) {
        HandleExceptionSink();
    }
}

// The finish event is what the task's owner waits for (a progress dialog
// closes at it). When the handshake cannot deliver it, the failure goes to
// the exception display and the event goes to the main thread's queue
// instead, which frees the task after it; only when that fails too is the
// task kept, as its owner may still hold it. True when delivered in the
// handshake: the worker then frees the task itself.
bool DeliverFinished(TTask& task, bool freeOnFinish) {
    try {
        task.DoFinished();
        return true;
    } catch (...) {
        HandleExceptionSink();
    }
    try {
        TTask* queued = &task;
        TThread::Queue([queued, freeOnFinish] {
            const std::unique_ptr<TTask> owned(freeOnFinish ? queued : nullptr);
            if (queued->OnFinished)
                queued->OnFinished(queued);
        });
    } catch (...) {
        HandleExceptionSink();
    }
    return false;
}

} // namespace

TTaskThread::TTaskThread() : TThread(true) {
    SetFreeOnTerminate(true);
}

void TTaskThread::Execute() {
    if (Body)
        Body(Data, this);
}

void TTask::DoFinished() {
    if (OnFinished)
        Synchronize(
            0,
            [](void* data, std::int32_t) {
                auto* task = static_cast<TTask*>(data);
                task->OnFinished(task);
            },
            this);
}

void TTask::DoError(Exception& E) {
    if (!OnError)
        return;
    struct TCall {
        TTask* Task;
        Exception* Error;
    } call{this, &E};
    Synchronize(
        0,
        [](void* data, std::int32_t) {
            auto* c = static_cast<TCall*>(data);
            c->Task->OnError(c->Task, *c->Error);
        },
        &call);
}

void TTask::Start() {
    if (FThread)
        throw ETaskError("The task has been already started.");
    TAutoPointer<TTaskThread> thread(new TTaskThread());
    thread->Body = Body;
    thread->Data = this;
    FThread = thread.Get();
    {
        auto forgetThread = ScopeFailure([this] { FThread = nullptr; });
        thread->Start();
    }
    // The thread frees itself when it ends.
    thread.Release();
}

void TTask::Cancel() {
    FCancelled.store(true, std::memory_order_relaxed);
}

void TTask::ReportProgress(std::int32_t percent) {
    if (percent == FLastPercent)
        return;
    FLastPercent = percent;
    if (!OnProgress)
        return;
    Synchronize(
        percent,
        [](void* data, std::int32_t argument) {
            auto* task = static_cast<TTask*>(data);
            task->OnProgress(task, argument);
        },
        this);
}

void TTask::Synchronize(std::int32_t Argument, TTaskSyncFunction Function, void* Data) {
    if (IsMainThread()) {
        Function(Data, Argument);
        return;
    }
    FSyncFunction = Function;
    FSyncData = Data;
    FSyncArgument = Argument;
    TThread::Synchronize(FThread, [this] { FSyncFunction(FSyncData, FSyncArgument); });
}

void TTask::Body(void* data, TTaskThread* /*thread*/) {
    auto* task = static_cast<TTask*>(data);
    try {
        task->Run();
    } catch (Exception& e) {
        ReportError(*task, e);
    } catch (...) {
        ETaskError unknown("An unknown exception occurred.");
        ReportError(*task, unknown);
    }
    // Read before the finish event: an owner that keeps the task may free it
    // as soon as the event has returned.
    const bool freeOnFinish = task->FreeOnFinish;
    // After an error too: the finish event is what the owner waits for.
    if (DeliverFinished(*task, freeOnFinish) && freeOnFinish)
        delete task;
}

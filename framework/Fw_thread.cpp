#include "framework/Fw_thread.h"

#include "framework/Fw_messages.h"

#include <process.h>

#include <memory>

namespace {

// Messages of the synchronizing window. A posted message reaches the main
// thread from every loop that dispatches messages, so the calls run also
// while a modal form or a system message box has the loop.
constexpr UINT WM_FW_SYNCHRONIZE = WM_USER + 1;
constexpr UINT WM_FW_QUEUE = WM_USER + 2;

struct TSyncCall {
    const std::function<void()>* Method;
    HANDLE Done;
};

// Written once by the main thread before it starts the first worker.
HWND GSyncWindow = nullptr;

void RunCall(const std::function<void()>& method) {
    try {
        method();
    } catch (...) {
        HandleExceptionSink();
    }
}

void SyncWindowMethod(TMessage& message) {
    switch (message.Msg) {
    case WM_FW_SYNCHRONIZE: {
        const auto* call = reinterpret_cast<const TSyncCall*>(message.LParam);
        RunCall(*call->Method);
        SetEvent(call->Done);
        break;
    }
    case WM_FW_QUEUE: {
        std::unique_ptr<std::function<void()>> method(
            reinterpret_cast<std::function<void()>*>(message.LParam));
        RunCall(*method);
        break;
    }
    default:
        message.Result = DefWindowProcA(GSyncWindow, message.Msg, message.WParam, message.LParam);
    }
}

// The window through which workers reach the main thread. The main thread
// makes it the first time it needs it; a worker cannot.
HWND SyncWindow() {
    if (!GSyncWindow && IsMainThread())
        GSyncWindow = AllocateHWnd(SyncWindowMethod);
    if (!GSyncWindow)
        throw EThread("The program could not reach the main thread.");
    return GSyncWindow;
}

} // namespace

TThread::TThread(bool createSuspended) {
    if (IsMainThread())
        SyncWindow();
    const uintptr_t handle = _beginthreadex(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &FThreadID);
    if (handle == 0)
        throw EThread("The program could not create a thread.");
    FHandle.Attach(reinterpret_cast<HANDLE>(handle));
    if (!createSuspended)
        Start();
}

TThread::~TThread() {
    if (!FHandle || GetCurrentThreadId() == FThreadID)
        return;
    if (!FStarted) {
        // Never started: let it run through without Execute or OnTerminate.
        FTerminated = true;
        OnTerminate = nullptr;
        FFreeOnTerminate = false;
        FStarted = true;
        ResumeThread(FHandle.Get());
    } else {
        Terminate();
    }
    WaitFor();
}

void TThread::Start() {
    if (FStarted)
        throw EThread("The thread has been already started.");
    if (ResumeThread(FHandle.Get()) == static_cast<DWORD>(-1))
        throw EThread("The program could not start the thread.");
    FStarted = true;
}

DWORD TThread::WaitFor() {
    HANDLE handle = FHandle.Get();
    if (IsMainThread()) {
        // The worker may be waiting in Synchronize for this very thread.
        while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_POSTMESSAGE | QS_SENDMESSAGE) ==
               WAIT_OBJECT_0 + 1)
            CheckSynchronize();
    } else {
        WaitForSingleObject(handle, INFINITE);
    }
    DWORD exitCode = 0;
    GetExitCodeThread(handle, &exitCode);
    return exitCode;
}

void TThread::Synchronize(TThread* thread, const std::function<void()>& method) {
    if (IsMainThread()) {
        method();
        return;
    }
    // A thread waits on an event of its own, made once; another caller on one
    // made for the call.
    const bool ownThread = thread && GetCurrentThreadId() == thread->FThreadID;
    TKernelHandle callEvent;
    TKernelHandle& done = ownThread ? thread->FSyncDone : callEvent;
    if (!done)
        done.Attach(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!done)
        throw EThread("The program could not reach the main thread.");
    TSyncCall call{&method, done.Get()};
    if (!PostMessageA(SyncWindow(), WM_FW_SYNCHRONIZE, 0, reinterpret_cast<LPARAM>(&call)))
        throw EThread("The program could not reach the main thread.");
    WaitForSingleObject(done.Get(), INFINITE);
}

void TThread::Queue(std::function<void()> method) {
    if (IsMainThread()) {
        method();
        return;
    }
    auto owned = std::make_unique<std::function<void()>>(std::move(method));
    if (!PostMessageA(SyncWindow(), WM_FW_QUEUE, 0, reinterpret_cast<LPARAM>(owned.get())))
        throw EThread("The program could not reach the main thread.");
    owned.release();
}

void TThread::CheckSynchronize() {
    if (!GSyncWindow || !IsMainThread())
        return;
    MSG msg;
    while (PeekMessageA(&msg, GSyncWindow, WM_FW_SYNCHRONIZE, WM_FW_QUEUE, PM_REMOVE))
        DispatchMessageA(&msg);
}

unsigned __stdcall TThread::ThreadProc(void* parameter) {
    auto* thread = static_cast<TThread*>(parameter);
    if (!thread->FTerminated) {
        try {
            thread->Execute();
        } catch (...) {
            HandleExceptionSink();
        }
    }
    const bool freeOnTerminate = thread->FFreeOnTerminate;
    if (thread->OnTerminate) {
        try {
            thread->Synchronize([thread] { thread->OnTerminate(thread); });
        } catch (...) {
            HandleExceptionSink();
        }
    }
    thread->FFinished = true;
    if (freeOnTerminate)
        delete thread;
    return 0;
}

// The cost of a task's blocking handshake with the main thread, against a raw
// loop of posted messages and events, and a run of 200,000 steps that reports
// its percentage only when it changes (at most 101 handshakes).
#include "bench/BenchSupport.h"
#include "framework/Fw_forms.h"
#include "support/Vek_task.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>

namespace {

constexpr int kHandshakes = 20000;
constexpr int kSteps = 200000;

// Reports every step, or only a changed percentage.
class TBenchTask : public TTask {
public:
    TBenchTask(int steps, bool percentOnly) : FSteps(steps), FPercentOnly(percentOnly) {}

    void Run() override {
        int last = -1;
        for (int i = 0; i < FSteps; ++i) {
            if (Cancelled())
                Abort();
            const int value = FPercentOnly ? static_cast<int>((i + 1) * 100LL / FSteps) : i;
            if (value != last) {
                last = value;
                Synchronize(
                    value, [](void* data, std::int32_t) { ++static_cast<TBenchTask*>(data)->Delivered; },
                    this);
            }
        }
    }

    int Delivered = 0;

private:
    int FSteps;
    bool FPercentOnly;
};

// Runs the task with the main thread in the application's message loop.
double RunTask(TBenchTask& task) {
    bool finished = false;
    task.OnFinished = [&](TObject*) { finished = true; };
    const auto start = TClock::now();
    task.Start();
    while (!finished)
        Application->HandleMessage();
    return MillisecondsSince(start);
}

// The same handshake written directly: post, wait for an event that the
// main thread's window procedure sets.
constexpr UINT WM_RAW_CALL = WM_APP + 1;
std::atomic<int> GRawDelivered{0};

LRESULT CALLBACK RawWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_RAW_CALL) {
        ++GRawDelivered;
        SetEvent(reinterpret_cast<HANDLE>(lParam));
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

struct TRawWork {
    HWND Window;
    HANDLE Done;
    HANDLE Finished;
};

DWORD WINAPI RawWorker(void* parameter) {
    auto* work = static_cast<TRawWork*>(parameter);
    for (int i = 0; i < kHandshakes; ++i) {
        PostMessageA(work->Window, WM_RAW_CALL, 0, reinterpret_cast<LPARAM>(work->Done));
        WaitForSingleObject(work->Done, INFINITE);
    }
    SetEvent(work->Finished);
    return 0;
}

double RunRaw() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RawWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TrelvaneRawBench";
    RegisterClassA(&wc);
    TWindowHandle window(CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                         wc.hInstance, nullptr));
    TKernelHandle done(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    TKernelHandle finished(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    TRawWork work{window.Get(), done.Get(), finished.Get()};
    const auto start = TClock::now();
    TKernelHandle thread(CreateThread(nullptr, 0, RawWorker, &work, 0, nullptr));
    HANDLE wait = finished.Get();
    while (MsgWaitForMultipleObjects(1, &wait, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    const double ms = MillisecondsSince(start);
    WaitForSingleObject(thread.Get(), INFINITE);
    return ms;
}

} // namespace

int main() {
    std::printf("Blocking handshakes between a worker and the main thread\n");
    const double raw = RunRaw();
    std::printf("%-44s %8.1f ms  (%6.2f us a handshake, %d delivered)\n", "raw PostMessage and event", raw,
                raw * 1000.0 / kHandshakes, GRawDelivered.load());

    TBenchTask every(kHandshakes, false);
    const double task = RunTask(every);
    std::printf("%-44s %8.1f ms  (%6.2f us a handshake, %d delivered)\n", "task Synchronize", task,
                task * 1000.0 / kHandshakes, every.Delivered);

    TBenchTask percent(kSteps, true);
    const double steps = RunTask(percent);
    std::printf("%-44s %8.1f ms  (%d steps, %d handshakes)\n", "task of 200,000 steps reporting percentages",
                steps, kSteps, percent.Delivered);
    return 0;
}

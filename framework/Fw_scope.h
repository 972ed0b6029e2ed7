// Scope guards: a call that runs when a block is left, however it is left,
// only when it is left by an exception, or only when it is left normally.
#pragma once

#include "framework/Fw_sysutils.h"

#include <exception>
#include <type_traits>
#include <utility>

enum class TScopeExitWhen {
    Always,    // every way out
    OnFailure, // only when an exception leaves the block
    OnSuccess, // only when the block ends without an exception
};

// Runs the callable when the guard goes, unless dismissed. A callable that
// throws while an exception is already leaving the block cannot replace it:
// its error goes to the exception sink and the first exception goes on. Made
// with ScopeExit, ScopeFailure or ScopeSuccess; neither copied nor moved.
template <TScopeExitWhen When, class F>
class TScopeGuard {
public:
    explicit TScopeGuard(F&& f) : FCall(std::forward<F>(f)) {}
    TScopeGuard(const TScopeGuard&) = delete;
    TScopeGuard& operator=(const TScopeGuard&) = delete;
    ~TScopeGuard() noexcept(false) {
        if (FDismissed)
            return;
        const bool failing = std::uncaught_exceptions() > FUncaught;
        if ((When == TScopeExitWhen::OnFailure && !failing) || (When == TScopeExitWhen::OnSuccess && failing))
            return;
        if (!failing) {
            FCall();
            return;
        }
        try {
            FCall();
        } catch (...) {
            HandleExceptionSink(std::current_exception());
        }
    }

    // The call will not run.
    void Dismiss() noexcept { FDismissed = true; }

private:
    std::decay_t<F> FCall;
    int FUncaught = std::uncaught_exceptions();
    bool FDismissed = false;
};

template <class F>
[[nodiscard]] TScopeGuard<TScopeExitWhen::Always, F> ScopeExit(F&& f) {
    return TScopeGuard<TScopeExitWhen::Always, F>(std::forward<F>(f));
}

template <class F>
[[nodiscard]] TScopeGuard<TScopeExitWhen::OnFailure, F> ScopeFailure(F&& f) {
    return TScopeGuard<TScopeExitWhen::OnFailure, F>(std::forward<F>(f));
}

template <class F>
[[nodiscard]] TScopeGuard<TScopeExitWhen::OnSuccess, F> ScopeSuccess(F&& f) {
    return TScopeGuard<TScopeExitWhen::OnSuccess, F>(std::forward<F>(f));
}

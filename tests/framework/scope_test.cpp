// Scope guards and the exception sink.
#include "framework/Fw_scope.h"
#include "tests/common/TestSupport.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> GSunk;

void RecordSink(std::exception_ptr error) noexcept {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        GSunk.push_back(e.what());
    }
}

// Records what reaches the exception sink while it lives.
class TSinkRecorder {
public:
    TSinkRecorder() {
        GSunk.clear();
        SetExceptionSink(RecordSink);
    }
    TSinkRecorder(const TSinkRecorder&) = delete;
    TSinkRecorder& operator=(const TSinkRecorder&) = delete;
    ~TSinkRecorder() { SetExceptionSink(nullptr); }
};

// Leaves a block with a guard of the kind, normally or by an exception;
// true when the guard's call ran.
template <TScopeExitWhen When>
bool Leave(bool failing) {
    bool ran = false;
    try {
        TScopeGuard<When, std::function<void()>> guard([&] { ran = true; });
        if (failing)
            throw EInvalidOperation("The block failed.");
    } catch (const EInvalidOperation&) {
    }
    return ran;
}

} // namespace

TEST(ScopeGuard, RunsAsItsKindSays) {
    const struct {
        bool (*leave)(bool);
        const char* kind;
        bool failing;
        bool runs;
    } cases[] = {
        {Leave<TScopeExitWhen::Always>, "always", false, true},
        {Leave<TScopeExitWhen::Always>, "always", true, true},
        {Leave<TScopeExitWhen::OnFailure>, "on failure", false, false},
        {Leave<TScopeExitWhen::OnFailure>, "on failure", true, true},
        {Leave<TScopeExitWhen::OnSuccess>, "on success", false, true},
        {Leave<TScopeExitWhen::OnSuccess>, "on success", true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.leave(c.failing), c.runs) << c.kind << (c.failing ? ", failing" : ", normally");
}

TEST(ScopeGuard, ADismissedGuardDoesNothing) {
    int calls = 0;
    {
        auto guard = ScopeExit([&] { ++calls; });
        guard.Dismiss();
    }
    EXPECT_EQ(calls, 0);
}

TEST(ScopeGuard, InsideACatchHandlerTheBlockCountsAsSucceeding) {
    // A guard made while an exception is being handled compares with the
    // exceptions in flight when it was made.
    int calls = 0;
    try {
        throw EInvalidOperation("first");
    } catch (const EInvalidOperation&) {
        auto onSuccess = ScopeSuccess([&] { ++calls; });
        auto onFailure = ScopeFailure([&] { calls += 10; });
    }
    EXPECT_EQ(calls, 1);
}

TEST(ScopeGuard, ACleanupFailingWhileAnExceptionLeavesGoesToTheSink) {
    TSinkRecorder recorder;
    EXPECT_ERROR_MESSAGE(EInvalidOperation, {
        auto cleanup = ScopeExit([] { throw std::runtime_error("The cleanup failed."); });
        throw EInvalidOperation("The work failed.");
    }, "The work failed.");
    EXPECT_EQ(GSunk, std::vector<std::string>{"The cleanup failed."});
}

TEST(ScopeGuard, ACleanupFailingAfterSuccessThrowsItsOwnError) {
    TSinkRecorder recorder;
    EXPECT_ERROR_MESSAGE(EInvalidOperation, {
        auto cleanup = ScopeExit([] { throw EInvalidOperation("The cleanup failed."); });
    }, "The cleanup failed.");
    EXPECT_TRUE(GSunk.empty());
}

TEST(ExceptionSink, TakesWhatNoCallerCanAndNothingEmpty) {
    TSinkRecorder recorder;
    HandleExceptionSink(std::make_exception_ptr(EInvalidOperation("Lost in a window procedure.")));
    HandleExceptionSink(std::exception_ptr());
    EXPECT_EQ(GSunk, std::vector<std::string>{"Lost in a window procedure."});
}

// The clipboard watcher in the real viewer chain of the test display, with
// other viewers around it.
#include "framework/Fw_clipbrd.h"
#include "framework/Fw_forms.h"
#include "support/Vek_clipboard.h"
#include "tests/common/TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// Another program's clipboard viewer, written as the system's documentation
// asks: it keeps its successor, passes every notice on and mends the chain.
class TOtherViewer {
public:
    TOtherViewer() {
        FWindow.OnMessage = [this](TObject*, TMessage& message, bool& handled) {
            if (message.Msg == WM_DRAWCLIPBOARD) {
                ++Draws;
                if (FNext)
                    SendMessageA(FNext, message.Msg, message.WParam, message.LParam);
                handled = true;
            } else if (message.Msg == WM_CHANGECBCHAIN) {
                ChainChanges.push_back(reinterpret_cast<HWND>(message.WParam));
                if (reinterpret_cast<HWND>(message.WParam) == FNext)
                    FNext = reinterpret_cast<HWND>(message.LParam);
                else if (FNext)
                    SendMessageA(FNext, message.Msg, message.WParam, message.LParam);
                handled = true;
            }
        };
    }
    ~TOtherViewer() { Leave(); }

    void Join() {
        FNext = SetClipboardViewer(Handle());
        FJoined = true;
    }
    void Leave() {
        if (FJoined)
            ChangeClipboardChain(Handle(), FNext);
        FJoined = false;
    }
    HWND Handle() const { return FWindow.Handle(); }

    int Draws = 0;
    std::vector<HWND> ChainChanges;

private:
    TMessageWindow FWindow;
    HWND FNext = nullptr;
    bool FJoined = false;
};

// Runs the messages that are on their way: a message posted now arrives after
// the notices sent before it.
void Settle() {
    bool arrived = false;
    TMessageWindow marker;
    marker.OnMessage = [&](TObject*, TMessage& message, bool& handled) {
        if (message.Msg == WM_APP) {
            arrived = true;
            handled = true;
        }
    };
    PostMessageA(marker.Handle(), WM_APP, 0, 0);
    EXPECT_TRUE(PollUntil([&] { return arrived; }));
}

// A watcher that counts its change events.
struct TCountingWatcher {
    TCountingWatcher() {
        Watcher.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &Watcher);
            ++Changes;
        };
    }
    TClipboardWatcher Watcher;
    int Changes = 0;
};

} // namespace

TEST(ClipboardWatcher, StartsDisabledOutsideTheChain) {
    TCountingWatcher counting;
    EXPECT_FALSE(counting.Watcher.IsEnabled());
    EXPECT_NE(GetClipboardViewer(), counting.Watcher.Handle());
    SetClipboardText("nobody listens");
    Settle();
    EXPECT_EQ(counting.Changes, 0);
}

TEST(ClipboardWatcher, AViewerRegisteredBeforeItIsStillNotified) {
    TOtherViewer other;
    other.Join();
    TCountingWatcher counting;
    SetLastError(kSentinelError);
    counting.Watcher.SetEnabled(true);
    EXPECT_TRUE(counting.Watcher.IsEnabled());
    EXPECT_EQ(GetClipboardViewer(), counting.Watcher.Handle());
    Settle();
    const int changesBefore = counting.Changes;
    const int drawsBefore = other.Draws;
    for (const char* text : {"one", "two", "three"}) {
        SetClipboardText(text);
        ASSERT_TRUE(PollUntil([&] { return counting.Changes > changesBefore && other.Draws > drawsBefore; }));
    }
    Settle();
    EXPECT_GE(counting.Changes - changesBefore, 3);
    EXPECT_EQ(other.Draws - drawsBefore, counting.Changes - changesBefore) << "every notice is passed on";
    counting.Watcher.SetEnabled(false);
    EXPECT_EQ(GetClipboardViewer(), other.Handle()) << "leaving hands the chain back";
}

TEST(ClipboardWatcher, LinksPastTheNextViewerWhenItLeavesAndPassesOtherLeavesOn) {
    // The chain: watcher, second, first, third (registered last to first).
    TOtherViewer third;
    TOtherViewer first;
    TOtherViewer second;
    third.Join();
    first.Join();
    second.Join();
    TCountingWatcher counting;
    counting.Watcher.SetEnabled(true);
    Settle();

    // The watcher's successor leaves: the watcher links to the one after it.
    second.Leave();
    Settle();
    const int firstBefore = first.Draws;
    const int secondBefore = second.Draws;
    SetClipboardText("after the successor left");
    ASSERT_TRUE(PollUntil([&] { return first.Draws > firstBefore; }));
    Settle();
    EXPECT_EQ(second.Draws, secondBefore) << "the viewer that left is not told";

    // A viewer further down leaves: the watcher passes the notice on.
    third.Leave();
    Settle();
    ASSERT_FALSE(first.ChainChanges.empty());
    EXPECT_EQ(first.ChainChanges.back(), third.Handle());
    const int thirdBefore = third.Draws;
    const int firstBeforeSecondChange = first.Draws;
    SetClipboardText("after the last one left");
    ASSERT_TRUE(PollUntil([&] { return first.Draws > firstBeforeSecondChange; }));
    Settle();
    EXPECT_EQ(third.Draws, thirdBefore);
    counting.Watcher.SetEnabled(false);
    EXPECT_EQ(GetClipboardViewer(), first.Handle());
}

TEST(ClipboardWatcher, EnablingOrDisablingTwiceDoesNothing) {
    TOtherViewer other;
    other.Join();
    TCountingWatcher counting;
    counting.Watcher.SetEnabled(true);
    counting.Watcher.SetEnabled(true);
    EXPECT_EQ(GetClipboardViewer(), counting.Watcher.Handle());
    Settle();
    const int changesBefore = counting.Changes;
    const int drawsBefore = other.Draws;
    SetClipboardText("twice enabled");
    ASSERT_TRUE(PollUntil([&] { return other.Draws > drawsBefore; }));
    Settle();
    // A second registration would have made the watcher its own successor.
    EXPECT_EQ(counting.Changes - changesBefore, other.Draws - drawsBefore);

    counting.Watcher.SetEnabled(false);
    counting.Watcher.SetEnabled(false);
    EXPECT_FALSE(counting.Watcher.IsEnabled());
    EXPECT_EQ(GetClipboardViewer(), other.Handle());
    const int changesWhileDisabled = counting.Changes;
    const int drawsWhileDisabled = other.Draws;
    SetClipboardText("disabled");
    ASSERT_TRUE(PollUntil([&] { return other.Draws > drawsWhileDisabled; }));
    Settle();
    EXPECT_EQ(counting.Changes, changesWhileDisabled);
}

TEST(ClipboardWatcher, AFailingHandlerIsShownAndTheNextViewerStillNotified) {
    TShownErrors shown;
    TOtherViewer other;
    other.Join();
    TClipboardWatcher watcher;
    bool fail = false;
    watcher.OnChange = [&](TObject*) {
        if (fail)
            throw EClipboardError("The handler failed.");
    };
    watcher.SetEnabled(true);
    Settle();
    fail = true;
    const int drawsBefore = other.Draws;
    SetClipboardText("failing handler");
    ASSERT_TRUE(PollUntil([&] { return other.Draws > drawsBefore; }));
    Settle();
    ASSERT_FALSE(shown.Messages.empty());
    EXPECT_EQ(shown.Messages.front(), "The handler failed.");
    watcher.SetEnabled(false);
}

TEST(ClipboardWatcher, TheDestructorLeavesTheChain) {
    TOtherViewer other;
    other.Join();
    {
        TCountingWatcher counting;
        counting.Watcher.SetEnabled(true);
        EXPECT_EQ(GetClipboardViewer(), counting.Watcher.Handle());
    }
    EXPECT_EQ(GetClipboardViewer(), other.Handle());
    const int drawsBefore = other.Draws;
    SetClipboardText("after the watcher went");
    EXPECT_TRUE(PollUntil([&] { return other.Draws > drawsBefore; }));
}

TEST(ClipboardWatcher, AHandlerThatSetsTheLastErrorDoesNotFailTheJoin) {
    // The system tells a new viewer about the clipboard while it joins, and
    // the join is judged by the last-error value afterwards.
    TClipboardWatcher watcher;
    int changesDuringJoin = 0;
    watcher.OnChange = [&](TObject*) {
        ++changesDuringJoin;
        SetLastError(ERROR_ACCESS_DENIED);
    };
    EXPECT_NO_THROW(watcher.SetEnabled(true));
    EXPECT_TRUE(watcher.IsEnabled());
    EXPECT_EQ(changesDuringJoin, 1);
    watcher.SetEnabled(false);
}

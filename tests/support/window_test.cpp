// Window wrappers on real windows: style bits, placement read-modify-write,
// the last-error checks, and the message window.
#include "framework/Fw_forms.h"
#include "support/Vek_window.h"
#include "tests/common/TestSupport.h"

#include <memory>
#include <string>
#include <vector>

// Comparisons and printing for the assertions; found by lookup in the global
// namespace, where the Win32 types live.
static bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}
static bool operator==(const POINT& a, const POINT& b) {
    return a.x == b.x && a.y == b.y;
}
static std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
static std::ostream& operator<<(std::ostream& out, const POINT& p) {
    return out << "(" << p.x << "," << p.y << ")";
}

namespace {

const char kTestClass[] = "TrelvaneWindowTest";

// A window of a class with eight extra bytes, for the word attributes.
class TTestWindow {
public:
    explicit TTestWindow(DWORD style, HWND parentOrOwner = nullptr, DWORD exStyle = 0) {
        static const ATOM atom = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = kTestClass;
            wc.cbWndExtra = 8;
            return RegisterClassA(&wc);
        }();
        EXPECT_NE(atom, 0);
        FHandle.Attach(CreateWindowExA(exStyle, kTestClass, "Test", style, 40, 30, 300, 200, parentOrOwner,
                                       nullptr, GetModuleHandleA(nullptr), nullptr));
        EXPECT_TRUE(FHandle) << "could not create the test window";
    }
    HWND Get() const { return FHandle.Get(); }
    // A handle that no longer names a window.
    HWND Destroy() {
        HWND handle = FHandle.Get();
        FHandle.Reset();
        return handle;
    }

private:
    TWindowHandle FHandle;
};

#define EXPECT_WINDOW_ERROR(call, message) EXPECT_ERROR_MESSAGE(EWindowError, call, message)

} // namespace

TEST(Window, SetVisibleChangesOnlyTheVisibleBit) {
    const DWORD styles[] = {
        WS_POPUP,
        WS_POPUP | WS_BORDER | WS_DISABLED,
        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
    };
    for (DWORD initial : styles) {
        SCOPED_TRACE(testing::Message() << std::hex << initial);
        TTestWindow window(initial);
        TWindow wrapper(window.Get());
        const LONG before = GetWindowLongA(window.Get(), GWL_STYLE);
        SetLastError(kSentinelError);
        wrapper.SetVisible(true);
        EXPECT_EQ(GetWindowLongA(window.Get(), GWL_STYLE), before | static_cast<LONG>(WS_VISIBLE));
        EXPECT_TRUE(wrapper.IsVisible());
        SetLastError(kSentinelError);
        wrapper.SetVisible(false);
        EXPECT_EQ(GetWindowLongA(window.Get(), GWL_STYLE), before & ~static_cast<LONG>(WS_VISIBLE));
        EXPECT_FALSE(wrapper.IsVisible());
    }
}

TEST(Window, ReadsAndWritesTheAttributesOfTheWindow) {
    TTestWindow owner(WS_OVERLAPPEDWINDOW);
    TTestWindow window(WS_POPUP, owner.Get());
    TTestWindow child(WS_CHILD, window.Get());
    TWindow wrapper(window.Get());
    // A sentinel left in the last-error value must not count as a failure.
    SetLastError(kSentinelError);
    EXPECT_EQ(wrapper.GetOwner(), owner.Get());
    EXPECT_EQ(wrapper.GetRelatedWindow(GW_CHILD), child.Get());
    EXPECT_EQ(wrapper.GetParent(), owner.Get()) << "GetParent gives a pop-up's owner";
    EXPECT_EQ(TWindow(child.Get()).GetParent(), window.Get());
    EXPECT_TRUE(wrapper.IsParentOf(child.Get()));
    EXPECT_TRUE(TWindow(child.Get()).IsChildOf(window.Get()));
    EXPECT_FALSE(TWindow(owner.Get()).IsParentOf(window.Get())) << "owned is not a child";
    EXPECT_TRUE(wrapper.IsWindow());

    SetLastError(kSentinelError);
    wrapper.SetLong(0, 0x12345678);
    EXPECT_EQ(wrapper.GetLong(0), 0x12345678);
    wrapper.SetLong(4, 0);
    SetLastError(kSentinelError);
    EXPECT_EQ(wrapper.GetLong(4), 0) << "a zero value is no failure";
    wrapper.SetWord(2, 0xBEEF);
    EXPECT_EQ(wrapper.GetWord(2), 0xBEEF) << "the word is unsigned";
    EXPECT_EQ(wrapper.GetLong(0), static_cast<LONG>(0xBEEF5678));

    EXPECT_TRUE(wrapper.IsEnabled());
    SetLastError(kSentinelError);
    wrapper.SetEnabled(false);
    EXPECT_FALSE(wrapper.IsEnabled());
    wrapper.SetEnabled(true);
    EXPECT_TRUE(wrapper.IsEnabled());

    TTestWindow otherParent(WS_POPUP);
    TWindow childWrapper(child.Get());
    SetLastError(kSentinelError);
    childWrapper.SetParent(otherParent.Get());
    EXPECT_EQ(childWrapper.GetParent(), otherParent.Get());
}

TEST(Window, FailedCallsThrowTheirMessages) {
    TTestWindow window(WS_POPUP);
    TWindow wrapper(window.Get());
    EXPECT_WINDOW_ERROR(wrapper.GetLong(1000),
                        "The program could not get the long-type attributes of the window.");
    EXPECT_WINDOW_ERROR(wrapper.SetLong(1000, 1),
                        "The program could not set the long-type attributes of the window.");
    EXPECT_WINDOW_ERROR(wrapper.GetWord(1000),
                        "The program could not get the word-type attributes of the window.");
    EXPECT_WINDOW_ERROR(wrapper.SetWord(1000, 1),
                        "The program could not set the word-type attributes of the window.");
    EXPECT_WINDOW_ERROR(wrapper.SetParent(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0))),
                        "The program could not set the parent window.");

    TTestWindow gone(WS_OVERLAPPEDWINDOW);
    const HWND stale = gone.Destroy();
    TTopLevelWindow dead(stale);
    EXPECT_WINDOW_ERROR(dead.GetRelatedWindow(GW_OWNER),
                        "The program could not get the handle of the window.");
    EXPECT_WINDOW_ERROR(dead.GetOwner(), "The program could not get the handle of the window.");
    EXPECT_WINDOW_ERROR(dead.SetEnabled(true), "The program could not enable the window.");
    EXPECT_WINDOW_ERROR(dead.SetVisible(true),
                        "The program could not get the long-type attributes of the window.");
    EXPECT_WINDOW_ERROR(dead.GetPlacement(), "The program could not get the placement of the window.");
    EXPECT_WINDOW_ERROR(dead.GetNormalBounds(), "The program could not get the placement of the window.");
    EXPECT_WINDOW_ERROR(dead.SetShowCommand(SW_SHOWNORMAL),
                        "The program could not get the placement of the window.");
    EXPECT_WINDOW_ERROR(dead.GetBounds(), "The program could not get the bounds of the window.");
    EXPECT_WINDOW_ERROR(dead.SetBounds(RECT{0, 0, 10, 10}),
                        "The program could not set the bounds of the window.");
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    EXPECT_WINDOW_ERROR(dead.SetPlacement(placement),
                        "The program could not set the placement of the window.");
    // The queries without a check answer without throwing.
    EXPECT_FALSE(dead.IsWindow());
    EXPECT_EQ(dead.GetParent(), nullptr);
    EXPECT_FALSE(dead.IsVisible());
    EXPECT_FALSE(dead.IsEnabled());
    EXPECT_FALSE(dead.IsChildOf(window.Get()));
}

TEST(TopLevelWindow, SetNormalBoundsOnAMaximizedWindowKeepsItMaximized) {
    TTestWindow window(WS_OVERLAPPEDWINDOW);
    TTopLevelWindow wrapper(window.Get());
    ShowWindow(window.Get(), SW_SHOWMAXIMIZED);
    ASSERT_EQ(wrapper.GetShowCommand(), static_cast<UINT>(SW_SHOWMAXIMIZED));
    const RECT normal{120, 110, 520, 410};
    wrapper.SetNormalBounds(normal);
    EXPECT_EQ(wrapper.GetShowCommand(), static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_TRUE(IsZoomed(window.Get()));
    EXPECT_EQ(wrapper.GetNormalBounds(), normal);
    wrapper.SetShowCommand(SW_SHOWNORMAL);
    EXPECT_FALSE(IsZoomed(window.Get()));
    EXPECT_EQ(wrapper.GetNormalBounds(), normal);
    EXPECT_EQ(wrapper.GetBounds(), normal) << "the work area starts at the screen's corner here";
}

TEST(TopLevelWindow, EachSetterKeepsTheFieldsItDoesNotReplace) {
    TTestWindow window(WS_OVERLAPPEDWINDOW);
    TTopLevelWindow wrapper(window.Get());
    ShowWindow(window.Get(), SW_SHOWNORMAL);
    wrapper.SetNormalBounds(RECT{50, 60, 450, 360});
    wrapper.SetMinPosition(POINT{5, 7});
    EXPECT_EQ(wrapper.GetMinPosition(), (POINT{5, 7}));
    enum TField { fShow = 1, fMin = 2, fMax = 4, fNormal = 8 };
    const struct {
        const char* what;
        std::function<void()> set;
        int replaced;
    } cases[] = {
        {"show command maximized", [&] { wrapper.SetShowCommand(SW_SHOWMAXIMIZED); }, fShow},
        {"show command normal", [&] { wrapper.SetShowCommand(SW_SHOWNORMAL); }, fShow},
        {"minimized position",
         [&] {
             wrapper.SetMinPosition(POINT{11, 13});
         },
         fMin},
        {"maximized position",
         [&] {
             wrapper.SetMaxPosition(POINT{-4, -4});
         },
         fMax},
        {"normal bounds",
         [&] {
             wrapper.SetNormalBounds(RECT{70, 80, 370, 280});
         },
         fNormal},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const WINDOWPLACEMENT before = wrapper.GetPlacement();
        c.set();
        const WINDOWPLACEMENT after = wrapper.GetPlacement();
        if (!(c.replaced & fShow)) {
            EXPECT_EQ(after.showCmd, before.showCmd);
        }
        if (!(c.replaced & fMin)) {
            EXPECT_EQ(after.ptMinPosition, before.ptMinPosition);
        }
        if (!(c.replaced & fMax)) {
            EXPECT_EQ(after.ptMaxPosition, before.ptMaxPosition);
        }
        if (!(c.replaced & fNormal)) {
            EXPECT_EQ(after.rcNormalPosition, before.rcNormalPosition);
        }
    }
    EXPECT_EQ(wrapper.GetMinPosition(), (POINT{11, 13}));
    EXPECT_EQ(wrapper.GetNormalBounds(), (RECT{70, 80, 370, 280}));
}

TEST(TopLevelWindow, SetBoundsMovesTheWindow) {
    TTestWindow window(WS_OVERLAPPEDWINDOW);
    TTopLevelWindow wrapper(window.Get());
    const RECT bounds{30, 40, 330, 260};
    wrapper.SetBounds(bounds);
    EXPECT_EQ(wrapper.GetBounds(), bounds);
}

TEST(MessageWindow, IsAHiddenToolWindowOfTheUtilityClass) {
    TMessageWindow window;
    ASSERT_TRUE(IsWindow(window.Handle()));
    char name[64] = "";
    GetClassNameA(window.Handle(), name, sizeof(name));
    EXPECT_STREQ(name, "TrelvaneUtilWindow");
    EXPECT_FALSE(IsWindowVisible(window.Handle()));
    EXPECT_TRUE(GetWindowLongA(window.Handle(), GWL_STYLE) & WS_POPUP);
    EXPECT_TRUE(GetWindowLongA(window.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST(MessageWindow, PassesWhatItLeavesUnhandledToTheDefaultProcedure) {
    constexpr UINT WM_TEST = WM_APP + 5;
    TMessageWindow window;
    // No handler: the default procedure stores the text.
    SendMessageA(window.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("first"));
    char text[32] = "";
    GetWindowTextA(window.Handle(), text, sizeof(text));
    EXPECT_STREQ(text, "first");
    EXPECT_EQ(SendMessageA(window.Handle(), WM_TEST, 1, 2), 0);

    std::vector<UINT> offered;
    window.OnMessage = [&](TObject* sender, TMessage& message, bool& handled) {
        EXPECT_EQ(sender, &window);
        EXPECT_FALSE(handled) << "every message starts unhandled";
        offered.push_back(message.Msg);
        if (message.Msg == WM_TEST) {
            message.Result = static_cast<LRESULT>(message.WParam + message.LParam);
            handled = true;
        }
    };
    EXPECT_EQ(SendMessageA(window.Handle(), WM_TEST, 20, 22), 42);
    SendMessageA(window.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("second"));
    GetWindowTextA(window.Handle(), text, sizeof(text));
    EXPECT_STREQ(text, "second") << "offered, left alone, then handled by default";
    ASSERT_GE(offered.size(), 2u);
    EXPECT_EQ(offered[0], WM_TEST);
    EXPECT_EQ(offered[1], static_cast<UINT>(WM_SETTEXT));
}

TEST(MessageWindow, ExceptionsOfTheHandlerGoToTheExceptionDisplay) {
    TShownErrors shown;
    TMessageWindow window;
    window.OnMessage = [](TObject*, TMessage& message, bool&) {
        if (message.Msg == WM_APP)
            throw EWindowError("The handler failed.");
    };
    EXPECT_EQ(SendMessageA(window.Handle(), WM_APP, 0, 0), 0);
    EXPECT_EQ(shown.Messages, std::vector<std::string>{"The handler failed."});
}

TEST(MessageWindow, AWindowTheSystemDestroyedIsLeftAlone) {
    auto window = std::make_unique<TMessageWindow>();
    int calls = 0;
    window->OnMessage = [&](TObject*, TMessage&, bool&) { ++calls; };
    const HWND handle = window->Handle();
    EXPECT_TRUE(DestroyWindow(handle));
    const int callsAfterDestroy = calls;
    window.reset();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(calls, callsAfterDestroy);
}

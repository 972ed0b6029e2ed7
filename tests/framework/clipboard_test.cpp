// The clipboard's plain text with the real clipboard of the test display.
#include "framework/Fw_clipbrd.h"
#include "tests/common/TestSupport.h"

#include <chrono>
#include <future>
#include <optional>
#include <thread>

namespace {

// Code page 0 in a table: every legacy (non-UTF-8) code page.
constexpr unsigned kLegacy = 0;
constexpr unsigned kAny = 1;

bool RunsUnder(unsigned codePage) {
    const UINT acp = GetACP();
    return codePage == kAny || codePage == acp || (codePage == kLegacy && acp != CP_UTF8);
}

// Holds the clipboard open from another thread, as another program would,
// until released or, with a patience, until that has passed.
class THolder {
public:
    explicit THolder(std::optional<std::chrono::milliseconds> patience = std::nullopt) {
        std::promise<bool> held;
        std::future<bool> heldFuture = held.get_future();
        FThread = std::thread([this, patience, held = std::move(held)]() mutable {
            const bool opened = OpenClipboard(nullptr) != FALSE;
            held.set_value(opened);
            if (!opened)
                return;
            if (patience)
                FRelease.wait_for(*patience);
            else
                FRelease.wait();
            CloseClipboard();
        });
        FHeld = heldFuture.get();
    }
    THolder(const THolder&) = delete;
    THolder& operator=(const THolder&) = delete;
    ~THolder() {
        FReleasePromise.set_value();
        FThread.join();
    }
    bool Held() const { return FHeld; }

private:
    std::promise<void> FReleasePromise;
    std::shared_future<void> FRelease = FReleasePromise.get_future().share();
    std::thread FThread;
    bool FHeld = false;
};

} // namespace

TEST(Clipboard, WritesAndReadsPlainText) {
    SetClipboardText("a\r\nb");
    EXPECT_TRUE(TClipboard::HasText());
    EXPECT_EQ(ClipboardText(), "a\r\nb");

    // Under a legacy code page every byte is text; under UTF-8 most bytes
    // alone are not (see ClipboardUtf8).
    if (GetACP() != CP_UTF8) {
        std::string everyByte;
        for (int b = 1; b < 256; ++b)
            everyByte += static_cast<char>(b);
        SetClipboardText(everyByte);
        EXPECT_EQ(ClipboardText(), everyByte);
    }

    // Text with a zero byte ends there for every reader.
    SetClipboardText(std::string("ab\0cd", 5));
    EXPECT_EQ(ClipboardText(), "ab");

    EmptyTheClipboard();
    EXPECT_FALSE(TClipboard::HasText());
    EXPECT_EQ(ClipboardText(), "");
}

TEST(Clipboard, ReadsTheTextOfProgramsThatWriteUnicode) {
    PutClipboardUnicode(L"one\r\ntwo");
    EXPECT_TRUE(TClipboard::HasText());
    EXPECT_EQ(ClipboardText(), "one\r\ntwo");
}

// UTF-16 text comes through exactly where the code page holds it, and is
// refused where the system's plain text would hold a look-alike.
TEST(Clipboard, RefusesUnicodeTextThatTheCodePageCannotHold) {
    const struct {
        unsigned codePage; // or kLegacy, kAny
        std::wstring text;
        const char* expected; // null: refused
    } cases[] = {
        {kLegacy, L"A\u0100.txt", nullptr}, // A with macron: "A" by best fit
        {kLegacy, L"\U0001F600", nullptr},  // an emoji
        {1252, L"caf\u00e9\u20ac", "caf\xE9\x80"},
        {1252, L"a\uff0fb", nullptr}, // full-width solidus: "/" by best fit
        {1252, L"\u8868", nullptr},
        {932, L"\u8868\uff71", "\x95\x5C\xB1"},
        {932, L"\u00a5", nullptr}, // yen sign: a backslash by best fit
        {932, L"caf\u00e9", nullptr},
        // UTF-8 holds every character, but no lone surrogate.
        {CP_UTF8, L"A\u0100.txt", "A\xC4\x80.txt"},
        {CP_UTF8, L"\U0001F600", "\xF0\x9F\x98\x80"},
        {CP_UTF8, L"a\uff0fb\u00a5", "a\xEF\xBC\x8F" "b\xC2\xA5"},
        {kAny, L"a\xD800.txt", nullptr},
        {kAny, L"\xDC00", nullptr},
        {kAny, L"\xDE00\xD83D", nullptr}, // a pair in the wrong order
    };
    for (const auto& c : cases) {
        if (!RunsUnder(c.codePage))
            continue;
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        PutClipboardUnicode(c.text);
        if (c.expected) {
            EXPECT_EQ(ClipboardText(), c.expected);
        } else {
            EXPECT_ERROR_MESSAGE(EClipboardException, ClipboardText(),
                                 "The clipboard text holds a character that the system's code page cannot "
                                 "represent.");
        }
    }
}

// The program writes UTF-16 text itself, so that every reader gets the
// characters the program meant, whatever the keyboard's language; under a
// legacy code page the plain text is its own bytes.
TEST(Clipboard, WritesUnicodeTextForEveryReader) {
    const struct {
        unsigned codePage;
        std::string text;
        std::wstring unicode;
        const char* plain; // null: not checked (the system's own conversion)
    } cases[] = {
        {kAny, "C:\\d\\a.txt\r\n", L"C:\\d\\a.txt\r\n", "C:\\d\\a.txt\r\n"},
        {kAny, "", L"", ""},
        {1252, "caf\xE9\r\n", L"caf\u00e9\r\n", "caf\xE9\r\n"},
        {932, "\x95\x5C\xB1", L"\u8868\uff71", "\x95\x5C\xB1"},
        {CP_UTF8, "\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1.txt", L"\u03a3\u03bf\u03c6\u03af\u03b1.txt", nullptr},
        {CP_UTF8, "\xD0\x9C\xD0\xB8\xD1\x80", L"\u041c\u0438\u0440", nullptr},
        {CP_UTF8, "\xE6\x96\x87\xE5\xAD\x97\r\n", L"\u6587\u5b57\r\n", nullptr},
        {CP_UTF8, "\xF0\x9F\x98\x80.txt", L"\U0001F600.txt", nullptr},
        {CP_UTF8, "caf\xC3\xA9", L"caf\u00e9", "caf\xE9"}, // the display's locale is English
    };
    for (const auto& c : cases) {
        if (!RunsUnder(c.codePage))
            continue;
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EmptyTheClipboard();
        SetClipboardText(c.text);
        EXPECT_TRUE(TClipboard::HasText());
        EXPECT_EQ(ClipboardUnicode(), c.unicode);
        if (c.plain) {
            EXPECT_EQ(ClipboardPlain(), c.plain);
        }
        EXPECT_EQ(ClipboardText(), c.text);
    }
}

TEST(ClipboardUtf8, BytesThatAreNotUtf8AreNotWritten) {
    if (GetACP() != CP_UTF8)
        GTEST_SKIP() << "only under UTF-8";
    const std::string cases[] = {
        "\xFF",
        "a\xC3",              // cut short
        "\xC0\xAF",           // an overlong "/"
        "\xED\xA0\x80",       // a surrogate
        "\xF4\x90\x80\x80",   // beyond U+10FFFF
        "\x80name.txt",
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(testing::PrintToString(text));
        SetClipboardText("kept");
        EXPECT_ERROR_MESSAGE(EClipboardException, SetClipboardText(text),
                             "The text for the clipboard holds bytes that are not characters of the system's "
                             "code page.");
        EXPECT_EQ(ClipboardText(), "kept");
    }
}

TEST(Clipboard, UnicodeTextAloneEnablesPaste) {
    PutClipboardUnicode(L"\u00e9");
    EXPECT_TRUE(TClipboard::HasText());
    EmptyTheClipboard();
    EXPECT_FALSE(TClipboard::HasText());
}

TEST(Clipboard, WaitsBrieflyForAnotherHolderAndThenGivesUp) {
    SetClipboardText("before");
    {
        const THolder holder(std::chrono::milliseconds(100));
        ASSERT_TRUE(holder.Held());
        EXPECT_EQ(ClipboardText(), "before");
    }
    {
        const THolder holder;
        ASSERT_TRUE(holder.Held());
        try {
            TClipboard clipboard;
            ADD_FAILURE() << "opened a clipboard that another thread holds";
        } catch (const EClipboardException& e) {
            EXPECT_EQ(e.Message(), "The program could not open the clipboard.");
        }
    }
    EXPECT_EQ(ClipboardText(), "before");
}

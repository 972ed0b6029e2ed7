// The clipboard's plain text with the real clipboard of the test display, and
// the clipboard text source's line rule.
#include "app/names/Trel_nameedit.h"
#include "framework/Fw_clipbrd.h"
#include "tests/common/TestSupport.h"

#include <chrono>
#include <cstring>
#include <future>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

void PutText(const std::string& text) {
    TClipboard clipboard;
    clipboard.SetText(text);
}

void EmptyTheClipboard() {
    TClipboard clipboard;
    ASSERT_TRUE(EmptyClipboard());
}

// Puts UTF-16 text only, as most programs do; the system offers it as plain text too.
void PutUnicodeText(const std::wstring& text) {
    TClipboard clipboard;
    ASSERT_TRUE(EmptyClipboard());
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    TGlobalHandle memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    ASSERT_TRUE(memory);
    {
        const TGlobalLock lock(memory.Get());
        ASSERT_NE(lock.Data(), nullptr);
        std::memcpy(lock.Data(), text.c_str(), bytes);
    }
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, memory.Get()), nullptr);
    memory.Detach();
}

// Text, or with none an empty clipboard.
void PutClipboard(const std::optional<std::string>& text) {
    if (text)
        PutText(*text);
    else
        EmptyTheClipboard();
}

std::string GetText() {
    const TClipboard clipboard;
    return clipboard.GetText();
}

// What another program reads in the format, up to the first zero; empty when
// the clipboard does not offer the format.
template <class TChar>
std::basic_string<TChar> ReadAs(UINT format) {
    const TClipboard clipboard;
    if (!IsClipboardFormatAvailable(format))
        return {};
    const HANDLE data = GetClipboardData(format);
    if (data == nullptr) {
        ADD_FAILURE() << "format " << format << " offered but not given";
        return {};
    }
    const TGlobalLock lock(data);
    return static_cast<const TChar*>(lock.Data());
}

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
    PutText("a\r\nb");
    EXPECT_TRUE(TClipboard::HasText());
    EXPECT_EQ(GetText(), "a\r\nb");

    // Under a legacy code page every byte is text; under UTF-8 most bytes
    // alone are not (see ClipboardUtf8).
    if (GetACP() != CP_UTF8) {
        std::string everyByte;
        for (int b = 1; b < 256; ++b)
            everyByte += static_cast<char>(b);
        PutText(everyByte);
        EXPECT_EQ(GetText(), everyByte);
    }

    // Text with a zero byte ends there for every reader.
    PutText(std::string("ab\0cd", 5));
    EXPECT_EQ(GetText(), "ab");

    EmptyTheClipboard();
    EXPECT_FALSE(TClipboard::HasText());
    EXPECT_EQ(GetText(), "");
}

TEST(Clipboard, ReadsTheTextOfProgramsThatWriteUnicode) {
    PutUnicodeText(L"one\r\ntwo");
    EXPECT_TRUE(TClipboard::HasText());
    EXPECT_EQ(GetText(), "one\r\ntwo");
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
        PutUnicodeText(c.text);
        if (c.expected) {
            EXPECT_EQ(GetText(), c.expected);
        } else {
            EXPECT_ERROR_MESSAGE(EClipboardException, GetText(),
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
        PutText(c.text);
        EXPECT_TRUE(TClipboard::HasText());
        EXPECT_EQ(ReadAs<wchar_t>(CF_UNICODETEXT), c.unicode);
        if (c.plain) {
            EXPECT_EQ(ReadAs<char>(CF_TEXT), c.plain);
        }
        EXPECT_EQ(GetText(), c.text);
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
        PutText("kept");
        EXPECT_ERROR_MESSAGE(EClipboardException, PutText(text),
                             "The text for the clipboard holds bytes that are not characters of the system's "
                             "code page.");
        EXPECT_EQ(GetText(), "kept");
    }
}

TEST(Clipboard, UnicodeTextAloneEnablesPaste) {
    PutUnicodeText(L"\u00e9");
    EXPECT_TRUE(TClipboard::HasText());
    EmptyTheClipboard();
    EXPECT_FALSE(TClipboard::HasText());
}

TEST(Clipboard, WaitsBrieflyForAnotherHolderAndThenGivesUp) {
    PutText("before");
    {
        const THolder holder(std::chrono::milliseconds(100));
        ASSERT_TRUE(holder.Held());
        EXPECT_EQ(GetText(), "before");
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
    EXPECT_EQ(GetText(), "before");
}

TEST(ClipboardLines, SplitTheTextAtEveryKindOfLineBreak) {
    const struct {
        std::optional<std::string> clipboard; // none: an empty clipboard
        int count;
        Texts expected;
    } cases[] = {
        {"a\r\nb\r\n", 2, {"a", "b"}},
        {"a\r\nb", 2, {"a", "b"}},
        {"a\rb\r", 2, {"a", "b"}},
        {"a\nb\n", 2, {"a", "b"}},
        {"a\n\rb", 3, {"a", "", "b"}},
        {"a\r\n\r\nb", 3, {"a", "", "b"}},
        {"a\r\n", 1, {"a"}},
        {"a\r\n\r\n", 2, {"a", ""}},
        {"\r\n", 1, {""}},
        {"a", 1, {"a"}},
        {" a \t", 1, {" a \t"}},
        {std::string("a\r\nb\0c\r\nd", 9), 2, {"a", "b"}},
        {std::string("\0a", 2), 0, {}},
        {"", 0, {}},
        {std::nullopt, 0, {}},
    };
    for (const auto& c : cases) {
        PutClipboard(c.clipboard);
        TClipboardSrcLinesSpecs source;
        TStringList lines;
        lines.Add("old");
        source.GetLines(c.count, lines);
        EXPECT_EQ(Lines(lines), c.expected)
            << ::testing::PrintToString(c.clipboard.value_or("(empty clipboard)"));
    }
}

TEST(ClipboardLines, AnotherNumberOfLinesLeavesTheListUntouched) {
    const struct {
        std::optional<std::string> clipboard;
        int count;
    } cases[] = {
        {"a\r\nb\r\n", 3}, {"a\r\nb\r\n", 1}, {"a\n\rb", 2}, {std::nullopt, 1}, {"", 1}, {"a", 0},
    };
    for (const auto& c : cases) {
        PutClipboard(c.clipboard);
        TClipboardSrcLinesSpecs source;
        TStringList lines;
        lines.Add("kept");
        try {
            source.GetLines(c.count, lines);
            ADD_FAILURE() << "no error for " << c.count << " lines";
        } catch (const ENameEditError& e) {
            EXPECT_EQ(e.Message(), "The number of lines does not match.");
        }
        EXPECT_EQ(Lines(lines), Texts{"kept"});
    }
}

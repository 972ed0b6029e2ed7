// The clipboard's plain text with the real clipboard of the test display, and
// the clipboard text source's line rule.
#include "app/Trel_nameedit.h"
#include "framework/Fw_clipbrd.h"
#include "tests/TestSupport.h"

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

    std::string everyByte;
    for (int b = 1; b < 256; ++b)
        everyByte += static_cast<char>(b);
    PutText(everyByte);
    EXPECT_EQ(GetText(), everyByte);

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
        unsigned codePage; // 0: any
        std::wstring text;
        const char* expected; // null: refused
    } cases[] = {
        {0, L"A\u0100.txt", nullptr}, // A with macron: "A" by best fit
        {0, L"\U0001F600", nullptr},  // an emoji
        {1252, L"caf\u00e9\u20ac", "caf\xE9\x80"},
        {1252, L"a\uff0fb", nullptr}, // full-width solidus: "/" by best fit
        {1252, L"\u8868", nullptr},
        {932, L"\u8868\uff71", "\x95\x5C\xB1"},
        {932, L"\u00a5", nullptr}, // yen sign: a backslash by best fit
        {932, L"caf\u00e9", nullptr},
    };
    for (const auto& c : cases) {
        if (c.codePage != 0 && c.codePage != GetACP())
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

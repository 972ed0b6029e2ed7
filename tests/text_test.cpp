// The text capitalizer: ASCII-only lower and upper case, and book title with
// the system's character types and double-byte stepping.
#include "support/Vek_text.h"
#include "tests/TestSupport.h"

namespace {

struct TCaseCase {
    std::string text, lower, upper, bookTitle;
};

void ExpectCases(const TCaseCase& c) {
    const TTextCapitalizer capitalizer;
    SCOPED_TRACE("text: " + ::testing::PrintToString(c.text));
    EXPECT_EQ(capitalizer.ToLowerCase(c.text), c.lower);
    EXPECT_EQ(capitalizer.ToUpperCase(c.text), c.upper);
    EXPECT_EQ(capitalizer.ToBookTitle(c.text), c.bookTitle);
}

std::string Bytes(const char* text, std::size_t size) {
    return std::string(text, size);
}

} // namespace

TEST(TextCapitalizer, ChangesAsciiLettersAndStartsWordsAfterSeparators) {
    const TCaseCase cases[] = {
        // text                lower              upper              book title
        {"", "", "", ""},
        {"my file.txt", "my file.txt", "MY FILE.TXT", "My File.Txt"},
        {"don't stop", "don't stop", "DON'T STOP", "Don'T Stop"},
        {"2nd place", "2nd place", "2ND PLACE", "2nd Place"},
        {"HELLO-WORLD_FOO", "hello-world_foo", "HELLO-WORLD_FOO", "Hello-World_Foo"},
        {"  leading spaces", "  leading spaces", "  LEADING SPACES", "  Leading Spaces"},
        {"a\tb(c)d[e]f", "a\tb(c)d[e]f", "A\tB(C)D[E]F", "A\tB(C)D[E]F"},
        {"x1.2y @z", "x1.2y @z", "X1.2Y @Z", "X1.2y @Z"},
        {"AZaz@[`{", "azaz@[`{", "AZAZ@[`{", "Azaz@[`{"},
        {"...", "...", "...", "..."},
        {"ab cd ", "ab cd ", "AB CD ", "Ab Cd "},
        // the book-title walk ends at the first zero byte; the rest is lower case
        {Bytes("AB\0CD EF", 8), Bytes("ab\0cd ef", 8), Bytes("AB\0CD EF", 8), Bytes("Ab\0cd ef", 8)},
        {Bytes("\0AB", 3), Bytes("\0ab", 3), Bytes("\0AB", 3), Bytes("\0ab", 3)},
    };
    for (const auto& c : cases)
        ExpectCases(c);
}

TEST(TextCapitalizer, LeavesNonAsciiLettersOfASingleByteCodePage) {
    if (IsDoubleByteCodePage())
        GTEST_SKIP() << "these bytes are other characters in a double-byte code page";
    // code page 1252: É, é, ï, ÿ, the non-breaking space (a blank) and the section sign (punctuation)
    const std::string capitalE = "\xC9", e = "\xE9", i = "\xEF", y = "\xFF", nbsp = "\xA0", section = "\xA7";
    const TCaseCase cases[] = {
        {capitalE + "COLE", capitalE + "cole", capitalE + "COLE", capitalE + "cole"},
        {e + "lan vital", e + "lan vital", e + "LAN VITAL", e + "lan Vital"},
        {"na" + i + "ve " + y, "na" + i + "ve " + y, "NA" + i + "VE " + y, "Na" + i + "ve " + y},
        {"a" + nbsp + "b" + section + "c", "a" + nbsp + "b" + section + "c", "A" + nbsp + "B" + section + "C",
         "A" + nbsp + "B" + section + "C"},
    };
    for (const auto& c : cases)
        ExpectCases(c);
}

TEST(TextCapitalizer, StepsOverDoubleByteCharactersAsWholes) {
    if (!IsDoubleByteCodePage())
        GTEST_SKIP() << "needs a double-byte ANSI code page (the code page 932 run)";
    const std::string a = "\x82\xA0";         // あ, a letter
    const std::string kanaA = "\x83\x41";     // ア: its second byte is the value of 'A'
    const std::string kanaYa = "\x83\x61";    // ャ: its second byte is the value of 'a'
    const std::string wideSpace = "\x81\x40"; // the ideographic space
    const std::string halfA = "\xB1";         // a half-width katakana: one byte
    const std::string comma = "\x81\x41";     // 、 an ideographic comma: punctuation, second byte 'A'
    const TCaseCase cases[] = {
        // second bytes that look like ASCII letters are never changed
        {kanaA + "B", kanaA + "b", kanaA + "B", kanaA + "b"},
        {kanaYa + "b", kanaYa + "b", kanaYa + "B", kanaYa + "b"},
        // one type per character: the letters after a double-byte character are classified as themselves
        {a + " abc", a + " abc", a + " ABC", a + " Abc"},
        {a + a + a + " x y", a + a + a + " x y", a + a + a + " X Y", a + a + a + " X Y"},
        // double-byte separators start words
        {"a" + wideSpace + "b", "a" + wideSpace + "b", "A" + wideSpace + "B", "A" + wideSpace + "B"},
        {"X" + comma + "Y", "x" + comma + "y", "X" + comma + "Y", "X" + comma + "Y"},
        // a double-byte letter is a word's first character; the next one is not
        {" " + kanaYa + "b", " " + kanaYa + "b", " " + kanaYa + "B", " " + kanaYa + "b"},
        // a single-byte katakana is a letter of its own
        {halfA + "b c", halfA + "b c", halfA + "B C", halfA + "b C"},
        // a lead byte at the very end is one character
        {"ab \x82", "ab \x82", "AB \x82", "Ab \x82"},
    };
    for (const auto& c : cases)
        ExpectCases(c);
}

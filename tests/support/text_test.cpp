// The text capitalizer: lower and upper case of every letter the system
// knows, and book title with the system's character types, stepping over
// double-byte characters and UTF-8 sequences as wholes.
#include "support/Vek_text.h"
#include "tests/common/TestSupport.h"

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

TEST(TextCapitalizer, ChangesNonAsciiLettersOfASingleByteCodePage) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "these bytes are other characters, or none, in code page " << GetACP();
    // code page 1252: É, é, ï, Ï, ÿ, Ÿ, the non-breaking space (a blank), the
    // section sign (punctuation), ß (no capital of its own), µ (its capital,
    // the Greek Mu, is not in the code page)
    const std::string capitalE = "\xC9", e = "\xE9", i = "\xEF", capitalI = "\xCF", y = "\xFF",
                      capitalY = "\x9F", nbsp = "\xA0", section = "\xA7", sharpS = "\xDF", micro = "\xB5";
    const TCaseCase cases[] = {
        {capitalE + "COLE", e + "cole", capitalE + "COLE", capitalE + "cole"},
        {e + "lan vital", e + "lan vital", capitalE + "LAN VITAL", capitalE + "lan Vital"},
        {"na" + i + "ve " + y, "na" + i + "ve " + y, "NA" + capitalI + "VE " + capitalY,
         "Na" + i + "ve " + capitalY},
        {"a" + nbsp + "b" + section + "c", "a" + nbsp + "b" + section + "c", "A" + nbsp + "B" + section + "C",
         "A" + nbsp + "B" + section + "C"},
        {"stra" + sharpS + "e " + micro, "stra" + sharpS + "e " + micro, "STRA" + sharpS + "E " + micro,
         "Stra" + sharpS + "e " + micro},
    };
    for (const auto& c : cases)
        ExpectCases(c);
}

// Under UTF-8 every letter changes as a whole sequence, whatever its length,
// and the length in bytes may change with it; bytes that are no UTF-8 stay.
TEST(TextCapitalizer, ChangesLettersOfEveryScriptUnderUtf8) {
    if (!IsUtf8CodePage())
        GTEST_SKIP() << "needs UTF-8 as the ANSI code page (the code page 65001 run)";
    const TCaseCase cases[] = {
        // text                                   lower                 upper                 book title
        {"\xC3\x89" "COLE", "\xC3\xA9" "cole", "\xC3\x89" "COLE", "\xC3\x89" "cole"},                // ÉCOLE
        {"\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1", "\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1", // σοφία
         "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91", "\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1"},
        {"\xD0\xBC\xD0\xB8\xD1\x80 \xD0\x94\xD0\x9E\xD0\x9C", // мир ДОМ
         "\xD0\xBC\xD0\xB8\xD1\x80 \xD0\xB4\xD0\xBE\xD0\xBC", "\xD0\x9C\xD0\x98\xD0\xA0 \xD0\x94\xD0\x9E\xD0\x9C",
         "\xD0\x9C\xD0\xB8\xD1\x80 \xD0\x94\xD0\xBE\xD0\xBC"},
        // ß has no capital of its own; a Chinese character and an emoji have no case
        {"stra\xC3\x9F" "e", "stra\xC3\x9F" "e", "STRA\xC3\x9F" "E", "Stra\xC3\x9F" "e"},
        {"\xE4\xB8\xAD x\xF0\x9F\x98\x80y", "\xE4\xB8\xAD x\xF0\x9F\x98\x80y", "\xE4\xB8\xAD X\xF0\x9F\x98\x80Y",
         "\xE4\xB8\xAD X\xF0\x9F\x98\x80y"},
        // a letter whose other case is one byte longer: Ɐ U+2C6F and ɐ U+0250
        {"\xE2\xB1\xAF", "\xC9\x90", "\xE2\xB1\xAF", "\xE2\xB1\xAF"},
        {"\xC9\x90x", "\xC9\x90x", "\xE2\xB1\xAFX", "\xE2\xB1\xAFx"},
        // the ideographic space separates words; the ideographic full stop too
        {"a\xE3\x80\x80" "b\xE3\x80\x82" "c", "a\xE3\x80\x80" "b\xE3\x80\x82" "c", "A\xE3\x80\x80" "B\xE3\x80\x82" "C",
         "A\xE3\x80\x80" "B\xE3\x80\x82" "C"},
        // malformed bytes are left as they are: a code page 1252 É, a stray
        // continuation byte, a truncated sequence, an encoded surrogate
        {"\xC9" "COLE", "\xC9" "cole", "\xC9" "COLE", "\xC9" "cole"},
        {"A\x89" "B", "a\x89" "b", "A\x89" "B", "A\x89" "b"},
        {"\xCE" "A \xE2\x82", "\xCE" "a \xE2\x82", "\xCE" "A \xE2\x82", "\xCE" "a \xE2\x82"},
        {"\xED\xA0\x80" "a", "\xED\xA0\x80" "a", "\xED\xA0\x80" "A", "\xED\xA0\x80" "a"},
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
        // full-width Latin and Greek letters of the code page change case
        {"\x82\x60\x82\x81", "\x82\x81\x82\x81", "\x82\x60\x82\x60", "\x82\x60\x82\x81"}, // Ａａ
        {"\x83\x9F\x83\xBF", "\x83\xBF\x83\xBF", "\x83\x9F\x83\x9F", "\x83\x9F\x83\xBF"}, // Αα
        // a kanji of two spellings (0xED 0x40 and 0xFA 0x5C) keeps the one it has
        {"\xED\x40" "A", "\xED\x40" "a", "\xED\x40" "A", "\xED\x40" "a"},
    };
    for (const auto& c : cases)
        ExpectCases(c);
}

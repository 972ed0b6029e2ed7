// The name edit operations as the Name menu runs them on one entry (take the
// part, edit it, set it back), and the custom, number and clipboard text
// sources (the last with the real clipboard of the test display).
#include "app/names/Trel_nameedit.h"
#include "support/Vek_file.h"
#include "support/Vek_net.h"
#include "tests/common/TestSupport.h"

#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// Runs the call and checks that it throws ENameEditError with the message.
void ExpectNameEditError(const std::function<void()>& call, const std::string& message, int line) {
    ExpectErrorMessage<ENameEditError>(call, message, line);
}

// Text on the clipboard, or with none an empty clipboard.
void PutClipboard(const std::optional<std::string>& text) {
    if (text)
        SetClipboardText(*text);
    else
        EmptyTheClipboard();
}

const char* PartName(TPartKind part) {
    return part == pkName ? "Name" : part == pkBaseName ? "Base name" : "Extension";
}

// UTF-8 text in the code page, or none where it cannot hold it.
std::optional<std::string> InCodePage(const std::string& utf8) {
    std::wstring wide;
    std::string text;
    if (!TryAnsiToWide(utf8, wide, CP_UTF8) || !TryWideToAnsi(wide, text))
        return std::nullopt;
    return text;
}

// Characters beyond the 16-bit range, in UTF-8: U+1F600 to U+1F603, U+1F642,
// U+1F910 and U+1F970.
const std::string kGrinning = "\xF0\x9F\x98\x80";
const std::string kBeaming = "\xF0\x9F\x98\x81";
const std::string kGrinningTears = "\xF0\x9F\x98\x82";
const std::string kSmiley = "\xF0\x9F\x98\x83";
const std::string kSlightSmile = "\xF0\x9F\x99\x82";
const std::string kZipper = "\xF0\x9F\xA4\x90";
const std::string kHearts = "\xF0\x9F\xA5\xB0";

// Double-byte characters of code page 932: 表 and ソ end in 0x5C (the backslash), ア in 0x41 ('A').
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kKanaA = "\x83\x41";

} // namespace

static_assert(sizeof(TPartKind) == 1 && sizeof(TInsertPosition) == 1 && sizeof(TCharacterCase) == 1 &&
              sizeof(TCharacterEncoding) == 1 && sizeof(TSrcLinesKind) == 1);

TEST(NameParts, SplitNamesAlikeWhetherFilesOrDirectories) {
    const struct {
        std::string name, baseName, extension;
    } cases[] = {
        {"a.txt", "a", "txt"},
        {"README", "README", ""},
        {".profile", "", "profile"},
        {"name.", "name", ""},
        {"archive.tar.gz", "archive.tar", "gz"},
        {"photos.2019", "photos", "2019"},
        {"a\\b.txt", "b", "txt"},
        {"a.b\\c", "c", ""},
        {"c:d.e", "d", "e"},
        {"", "", ""},
        {"..", ".", ""},
    };
    for (const auto& c : cases) {
        const TRenameName name(c.name);
        EXPECT_EQ(name.GetPart(pkName), c.name);
        EXPECT_EQ(name.GetPart(pkBaseName), c.baseName) << c.name;
        EXPECT_EQ(name.GetPart(pkExtension), c.extension) << c.name;
    }
}

TEST(NameParts, OverwriteSetsThePartAndKeepsTheRest) {
    const struct {
        TPartKind part;
        std::string name, line, expected;
    } cases[] = {
        {pkName, "a.txt", "b.doc", "b.doc"},
        {pkName, "a.txt", "", ""},
        {pkBaseName, "a.txt", "b", "b.txt"},
        {pkBaseName, ".profile", "x", "x.profile"},
        {pkBaseName, "archive.tar.gz", "x", "x.gz"},
        {pkBaseName, "README", "x", "x"},
        {pkBaseName, "a\\b.txt", "c", "a\\c.txt"},
        {pkBaseName, "a.txt", "", ".txt"},
        {pkExtension, "README", "txt", "README.txt"},
        {pkExtension, "README", "", "README"},
        {pkExtension, "name.", "md", "name.md"},
        {pkExtension, "name.", "", "name"},
        {pkExtension, "a.txt", "md", "a.md"},
        {pkExtension, "a.txt", ".md", "a.md"},
        {pkExtension, "a.txt", "..md", "a..md"},
        {pkExtension, "a.txt", "", "a"},
        {pkExtension, ".profile", "", ""},
        {pkExtension, "archive.tar.gz", "zip", "archive.tar.zip"},
        {pkExtension, "a.b\\c", "d", "a.b\\c.d"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OverwritePart(c.name, c.part, c.line), c.expected)
            << PartName(c.part) << " of " << c.name << " := " << c.line;
}

TEST(NameParts, NeverSplitAtATrailByteBackslash) {
    if (!IsDoubleByteCodePage())
        GTEST_SKIP() << "needs a double-byte ANSI code page (the code page 932 run)";
    const std::string name = "x" + kHyo + "b." + kSo;
    const TRenameName renameName(name);
    EXPECT_EQ(renameName.GetPart(pkBaseName), "x" + kHyo + "b");
    EXPECT_EQ(renameName.GetPart(pkExtension), kSo);
    EXPECT_EQ(OverwritePart(name, pkBaseName, "c"), "c." + kSo);
    EXPECT_EQ(OverwritePart(kHyo, pkExtension, "txt"), kHyo + ".txt");
    EXPECT_EQ(InsertIntoPart(kSo + ".txt", pkBaseName, ipHead, "x"), "x" + kSo + ".txt");
}

TEST(NameEdit, InsertPutsTheLineAtTheHeadOrTailOfThePart) {
    const struct {
        TPartKind part;
        std::string name;
        TInsertPosition position;
        std::string line, expected;
    } cases[] = {
        {pkName, "a.txt", ipHead, "x", "xa.txt"},
        {pkName, "a.txt", ipTail, "x", "a.txtx"},
        {pkBaseName, "a.txt", ipHead, "x", "xa.txt"},
        {pkBaseName, "a.txt", ipTail, "01", "a01.txt"},
        {pkBaseName, ".profile", ipHead, "x", "x.profile"},
        {pkBaseName, "README", ipTail, "_1", "README_1"},
        {pkExtension, "a.txt", ipHead, "x", "a.xtxt"},
        {pkExtension, "a.txt", ipTail, "x", "a.txtx"},
        {pkExtension, "README", ipTail, "txt", "README.txt"},
        {pkExtension, "README", ipTail, "", "README"},
        {pkExtension, "name.", ipHead, "md", "name.md"},
        // a leading dot of the new extension is taken as its dot
        {pkExtension, "a.txt", ipHead, ".", "a.txt"},
        {pkBaseName, "a.txt", ipTail, "", "a.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InsertIntoPart(c.name, c.part, c.position, c.line), c.expected)
            << PartName(c.part) << " of " << c.name << " + " << c.line << " at " << int(c.position);
}

TEST(NameEdit, ReplaceReplacesEveryMatchOnceInThePartOnly) {
    const struct {
        TPartKind part;
        std::string name, oldText, newText;
        bool matchCase;
        std::string expected;
    } cases[] = {
        {pkName, "ABCabc", "b", "x", false, "AxCaxc"},
        {pkName, "ABCabc", "b", "x", true, "ABCaxc"},
        {pkName, "ABCabc", "B", "x", true, "AxCabc"},
        {pkName, "aaaa", "aa", "a", true, "aa"},
        {pkName, "aaa", "aa", "b", true, "ba"},
        {pkName, "abc", "b", "bb", true, "abbc"},
        {pkName, "abc", "", "x", false, "abc"},
        {pkName, "abc", "x", "y", false, "abc"},
        {pkName, "abc", "abc", "", false, ""},
        {pkName, "abc", "abcd", "x", false, "abc"},
        {pkName, "a b c", " ", "_", true, "a_b_c"},
        {pkName, "Photo PHOTO photo", "photo", "img", false, "img img img"},
        {pkExtension, "a.jpeg.jpeg", "jpeg", "jpg", false, "a.jpeg.jpg"},
        {pkBaseName, "a.jpeg.jpeg", "jpeg", "jpg", false, "a.jpg.jpeg"},
        {pkBaseName, "a.b.c", ".", "_", true, "a_b.c"},
        // a dot in the new extension stays in it
        {pkExtension, "x.tar", "tar", "tar.gz", true, "x.tar.gz"},
        {pkExtension, "x.TXT", "txt", "md", false, "x.md"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceInPart(c.name, c.part, c.oldText, c.newText, c.matchCase), c.expected)
            << PartName(c.part) << " of " << c.name << ": " << c.oldText << " -> " << c.newText << " case "
            << c.matchCase;
}

TEST(NameEdit, ReplaceComparesLettersBeyondAsciiWithoutCase) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "these bytes are other characters, or none, in code page " << GetACP();
    EXPECT_EQ(ReplaceInPart("\xC9t\xE9.txt", pkBaseName, "\xE9", "e", false), "ete.txt"); // Été
    EXPECT_EQ(ReplaceInPart("\xC9t\xE9.txt", pkBaseName, "\xE9", "e", true), "\xC9te.txt");
}

TEST(NameEdit, ReplaceNeverMatchesInsideADoubleByteCharacter) {
    if (!IsDoubleByteCodePage())
        GTEST_SKIP() << "needs a double-byte ANSI code page (the code page 932 run)";
    const struct {
        std::string name, oldText, newText;
        bool matchCase;
        std::string expected;
    } cases[] = {
        // the second byte of ア is 'A': no match starts there
        {kKanaA + "A", "A", "x", true, kKanaA + "x"},
        {kKanaA + "a", "a", "x", false, kKanaA + "x"},
        {kKanaA + kKanaA, "A", "x", false, kKanaA + kKanaA},
        // the second byte of 表 is the backslash
        {"a" + kHyo + "\\", "\\", "_", true, "a" + kHyo + "_"},
        // whole double-byte characters match
        {"x" + kKanaA + "y" + kKanaA, kKanaA, "a", true, "xaya"},
        {kHyo + kSo + kHyo, kSo, "", false, kHyo + kHyo},
        // a lone lead byte that would take the first half of a character does not match
        {"b" + kKanaA, "b" + kKanaA.substr(0, 1), "c", true, "b" + kKanaA},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceInPart(c.name, pkName, c.oldText, c.newText, c.matchCase), c.expected)
            << ::testing::PrintToString(c.name) << ": " << ::testing::PrintToString(c.oldText);
}

TEST(NameEdit, CapitalizeChangesTheCaseOfThePart) {
    const struct {
        TPartKind part;
        std::string name;
        TCharacterCase characterCase;
        std::string expected;
    } cases[] = {
        {pkName, "My File.TXT", ccLowerCase, "my file.txt"},
        {pkName, "my file.txt", ccUpperCase, "MY FILE.TXT"},
        {pkName, "my file.txt", ccBookTitle, "My File.Txt"},
        {pkName, ".profile", ccUpperCase, ".PROFILE"},
        {pkBaseName, "my file.txt", ccBookTitle, "My File.txt"},
        {pkBaseName, "MY FILE.TXT", ccLowerCase, "my file.TXT"},
        {pkExtension, "a.txt", ccUpperCase, "a.TXT"},
        {pkExtension, "A.TXT", ccBookTitle, "A.Txt"},
        {pkExtension, "README", ccUpperCase, "README"},
        {pkBaseName, "don't stop.mp3", ccBookTitle, "Don'T Stop.mp3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CapitalizePart(c.name, c.part, c.characterCase), c.expected)
            << PartName(c.part) << " of " << c.name << " case " << int(c.characterCase);
}

TEST(NameEdit, UrlCodingConvertsTheEncodingAroundThePercentCoding) {
    const struct {
        TPartKind part;
        std::string name;
        TCharacterEncoding encoding;
        std::string encoded;
    } cases[] = {
        {pkName, "my file.txt", ceUtf8, "my%20file.txt"}, {pkName, "my file.txt", ceAnsi, "my%20file.txt"},
        {pkBaseName, "a b.c d", ceUtf8, "a%20b.c d"},     {pkExtension, "a b.c d", ceAnsi, "a b.c%20d"},
        {pkName, "Zoo 9~", ceAnsi, "Zoo%209%7E"},         {pkName, "", ceUtf8, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UrlEncodePart(c.name, c.part, c.encoding), c.encoded)
            << PartName(c.part) << " of " << c.name;
        EXPECT_EQ(UrlDecodePart(c.encoded, c.part, c.encoding), c.name)
            << PartName(c.part) << " of " << c.encoded;
    }
}

TEST(NameEdit, Utf8CodingOfTheAnsiCodePage) {
    // é in code page 1252, あ in code page 932, é under UTF-8, where "ANSI"
    // and "UTF-8" are the same bytes
    const std::string ansi = IsDoubleByteCodePage() ? "\x82\xA0" : IsUtf8CodePage() ? "\xC3\xA9" : "\xE9";
    const std::string utf8 = IsDoubleByteCodePage() ? "%E3%81%82" : "%C3%A9";
    const std::string ansiEscape = IsDoubleByteCodePage() ? "%82%A0" : IsUtf8CodePage() ? "%C3%A9" : "%E9";
    const struct {
        std::string name;
        TCharacterEncoding encoding;
        std::string encoded;
    } cases[] = {
        {ansi + ".txt", ceUtf8, utf8 + ".txt"},
        {ansi + ".txt", ceAnsi, ansiEscape + ".txt"},
        {"x" + ansi + ansi, ceUtf8, "x" + utf8 + utf8},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UrlEncodePart(c.name, pkName, c.encoding), c.encoded) << c.name;
        EXPECT_EQ(UrlDecodePart(c.encoded, pkName, c.encoding), c.name) << c.encoded;
    }
    // lower-case escapes, as other programs write them, decode too
    if (GetACP() == 1252) {
        EXPECT_EQ(UrlDecodePart("%c3%a9%e2%82%ac.txt", pkBaseName, ceUtf8), "\xE9\x80.txt");
    }
}

// Malformed UTF-8 is refused as bytes that are no text of the code page are:
// the names stay as they were, never emptied.
TEST(NameEdit, MalformedUtf8IsRefused) {
    const struct {
        TPartKind part;
        std::string name;
    } cases[] = {
        {pkName, "a%C3.txt"},      {pkBaseName, "a%C3.txt"},
        {pkBaseName, "%C3%28.txt"},    // a lead byte without its continuation
        {pkBaseName, "%A9.txt"},       // a lone continuation byte
        {pkBaseName, "%C0%AF.txt"},    // an overlong form of '/'
        {pkBaseName, "%ED%A0%80.txt"}, // an encoded surrogate
        {pkBaseName, "%FF.txt"},       {pkExtension, "a.t%FFt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(PartName(c.part)) + " of " + c.name);
        EXPECT_ERROR_MESSAGE(ENameEditError, UrlDecodePart(c.name, c.part, ceUtf8),
                             "The decoded name is not valid UTF-8.");
    }
    EXPECT_EQ(UrlDecodePart("plain.txt", pkBaseName, ceUtf8), "plain.txt");
    // The same bytes as ANSI text are taken as they are where they are text
    // of the code page.
    if (!IsUtf8CodePage()) {
        EXPECT_EQ(UrlDecodePart("a%C3.txt", pkBaseName, ceAnsi), "a\xC3.txt");
    }
}

// A decoded character that the code page cannot hold is refused, never
// replaced by a look-alike or "?": the system's best fit would turn a
// full-width solidus into "/" and, in code page 932, a yen sign into the
// backslash. Characters that the code page holds decode as before.
TEST(NameEdit, UrlDecodeRefusesACharacterTheCodePageCannotHold) {
    const struct {
        unsigned codePage; // 0: any
        const char* encoded;
        const char* decoded; // null: refused
    } cases[] = {
        {1252, "%F0%9F%98%80.txt", nullptr}, // an emoji
        {932, "%F0%9F%98%80.txt", nullptr},
        {65001, "%F0%9F%98%80.txt", "\xF0\x9F\x98\x80.txt"},
        {65001, "a%EF%BC%8Fb.txt", "a\xEF\xBC\x8F" "b.txt"}, // the full-width solidus stays itself
        {1252, "a%EF%BC%8Fb.txt", nullptr}, // full-width solidus: "/" by best fit
        {1252, "a%EF%BC%BCb.txt", nullptr}, // full-width reverse solidus: a backslash by best fit
        {1252, "%C4%80.txt", nullptr},      // A with macron
        {1252, "%C2%A5%C3%A9.txt", "\xA5\xE9.txt"},
        {932, "%C2%A5.txt", nullptr}, // the yen sign, 0x5C by best fit
        {932, "%C3%A9.txt", nullptr}, // e acute
        {932, "%E8%A1%A8.txt", "\x95\x5C.txt"},
        {932, "%EF%BD%B1.txt", "\xB1.txt"},      // half-width katakana
        {932, "a%EF%BC%8Fb.txt", "a\x81^b.txt"}, // the full-width solidus is a character here
    };
    for (const auto& c : cases) {
        if (c.codePage != 0 && c.codePage != GetACP())
            continue;
        SCOPED_TRACE(c.encoded);
        if (c.decoded) {
            EXPECT_EQ(UrlDecodePart(c.encoded, pkName, ceUtf8), c.decoded);
            continue;
        }
        TRenameName name(c.encoded);
        name.UrlDecode();
        const std::string bytes = name.GetText();
        EXPECT_ERROR_MESSAGE(ENameEditError, name.DecodeCharacters(ceUtf8),
                             "The name holds a character that the system's code page cannot represent.");
        EXPECT_EQ(name.GetText(), bytes);
        EXPECT_THROW(UrlDecodePart(c.encoded, pkBaseName, ceUtf8), ENameEditError);
    }
}

// Decoded "ANSI" bytes that are no text of the code page are refused, and the
// name stays as it was; under UTF-8 "ANSI" and "UTF-8" decode alike.
TEST(NameEdit, UrlDecodeAsAnsiRefusesBytesThatAreNoText) {
    const struct {
        unsigned codePage;
        const char* encoded;
        const char* decoded; // null: refused
    } cases[] = {
        {932, "a%82.txt", nullptr},        // a lone lead byte
        {932, "%82%A0.txt", "\x82\xA0.txt"},
        {65001, "%FF.txt", nullptr},       // never a UTF-8 byte
        {65001, "a%C3.txt", nullptr},      // a truncated sequence
        {65001, "%C0%AF.txt", nullptr},    // an overlong '/'
        {65001, "%ED%A0%80.txt", nullptr}, // a surrogate
        {65001, "%C3%A9%E4%B8%AD%F0%9F%98%80.txt", "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80.txt"},
        {1252, "%FF%81.txt", "\xFF\x81.txt"},
    };
    int run = 0;
    for (const auto& c : cases) {
        if (c.codePage != GetACP())
            continue;
        ++run;
        SCOPED_TRACE(c.encoded);
        if (c.decoded) {
            EXPECT_EQ(UrlDecodePart(c.encoded, pkName, ceAnsi), c.decoded);
            if (IsUtf8CodePage()) {
                EXPECT_EQ(UrlDecodePart(c.encoded, pkName, ceUtf8), c.decoded);
                EXPECT_EQ(UrlEncodePart(c.decoded, pkName, ceAnsi), UrlEncodePart(c.decoded, pkName, ceUtf8));
            }
            continue;
        }
        TRenameName name(c.encoded);
        name.UrlDecode();
        const std::string bytes = name.GetText();
        EXPECT_ERROR_MESSAGE(ENameEditError, name.DecodeCharacters(ceAnsi),
                             "The decoded name is not valid text in the system's code page.");
        EXPECT_EQ(name.GetText(), bytes);
        EXPECT_THROW(UrlDecodePart(c.encoded, pkBaseName, ceAnsi), ENameEditError);
    }
    EXPECT_GT(run, 0) << "no case for code page " << GetACP();
}

// Under UTF-8 every part rule and name operation takes two-, three- and
// four-byte sequences as whole characters and never splits one.
TEST(NameEdit, Utf8NamesThroughEveryPartAndOperation) {
    if (!IsUtf8CodePage())
        GTEST_SKIP() << "needs UTF-8 as the ANSI code page (the code page 65001 run)";
    const std::string eAcute = "\xC3\xA9", capitalEAcute = "\xC3\x89", sigma = "\xCF\x83",
                      capitalSigma = "\xCE\xA3", zhong = "\xE4\xB8\xAD", ka = "\xE0\xA4\x95",
                      smile = "\xF0\x9F\x98\x80", shin = "\xD7\xA9";
    const std::string name = capitalEAcute + "t" + eAcute + "." + zhong + smile;
    using TEdit = std::function<std::string()>;
    const struct {
        const char* what;
        TEdit edit;
        std::string expected;
    } cases[] = {
        {"base name", [&] { return TRenameName(name).GetPart(pkBaseName); }, capitalEAcute + "t" + eAcute},
        {"extension", [&] { return TRenameName(name).GetPart(pkExtension); }, zhong + smile},
        {"set base name", [&] { return OverwritePart(name, pkBaseName, ka); }, ka + "." + zhong + smile},
        {"set extension", [&] { return OverwritePart(name, pkExtension, shin); },
         capitalEAcute + "t" + eAcute + "." + shin},
        {"insert at the head", [&] { return InsertIntoPart(name, pkExtension, ipHead, smile); },
         capitalEAcute + "t" + eAcute + "." + smile + zhong + smile},
        {"insert at the tail", [&] { return InsertIntoPart(name, pkBaseName, ipTail, sigma); },
         capitalEAcute + "t" + eAcute + sigma + "." + zhong + smile},
        {"replace, match case", [&] { return ReplaceInPart(name, pkName, eAcute, "e", true); },
         capitalEAcute + "te." + zhong + smile},
        {"replace, no case", [&] { return ReplaceInPart(name, pkName, eAcute, "e", false); },
         "ete." + zhong + smile},
        {"replace a Greek letter, no case",
         [&] { return ReplaceInPart(sigma + capitalSigma, pkName, sigma, "s", false); }, "ss"},
        {"replace a four-byte character", [&] { return ReplaceInPart(name, pkExtension, smile, "", true); },
         capitalEAcute + "t" + eAcute + "." + zhong},
        // the continuation bytes of a sequence are never a match of their own
        {"replace a continuation byte", [&] { return ReplaceInPart(name, pkName, "\xA9", "x", true); }, name},
        {"replace a lead byte", [&] { return ReplaceInPart(name, pkName, "\xE4", "x", true); }, name},
        {"replace the tail of a sequence",
         [&] { return ReplaceInPart(name, pkName, "\x98\x80", "x", true); }, name},
        {"lower case", [&] { return CapitalizePart(name, pkBaseName, ccLowerCase); },
         eAcute + "t" + eAcute + "." + zhong + smile},
        {"upper case", [&] { return CapitalizePart(name, pkName, ccUpperCase); },
         capitalEAcute + "T" + capitalEAcute + "." + zhong + smile},
        {"book title", [&] { return CapitalizePart(sigma + "o " + eAcute + "t" + eAcute, pkName, ccBookTitle); },
         capitalSigma + "o " + capitalEAcute + "t" + eAcute},
        {"URL encode as ANSI", [&] { return UrlEncodePart(name, pkExtension, ceAnsi); },
         capitalEAcute + "t" + eAcute + ".%E4%B8%AD%F0%9F%98%80"},
        {"URL decode as ANSI", [&] { return UrlDecodePart("%CE%A3.%F0%9F%98%80", pkBaseName, ceAnsi); },
         capitalSigma + ".%F0%9F%98%80"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.edit(), c.expected) << c.what;
}

TEST(NameEdit, AMalformedEscapeThrowsAndLeavesTheNameUnchanged) {
    const std::string cases[] = {"100%", "%4", "%G1", "a%", "%zz", "%%"};
    for (const auto& text : cases) {
        for (const TCharacterEncoding encoding : {ceUtf8, ceAnsi}) {
            TRenameName name(text);
            try {
                name.UrlDecode();
                name.DecodeCharacters(encoding);
                ADD_FAILURE() << "no error for " << text;
            } catch (const ENetError& e) {
                EXPECT_EQ(e.Message(), "The program cannot URL decode the string.");
            }
            EXPECT_EQ(name.GetText(), text);
            EXPECT_THROW(UrlDecodePart(text + ".txt", pkBaseName, encoding), ENetError) << text;
        }
    }
}

TEST(NameEdit, ValuesOutsideTheEnumerationsAreRejected) {
    TRenameName name("a.txt");
    const auto badKind = static_cast<TPartKind>(3);
    ExpectNameEditError([&] { name.GetPart(badKind); }, "The kind is not supported.", __LINE__);
    ExpectNameEditError([&] { name.SetPart(badKind, "x"); }, "The kind is not supported.", __LINE__);
    ExpectNameEditError([&] { name.Insert(static_cast<TInsertPosition>(2), "x"); },
                        "The position is not supported.", __LINE__);
    ExpectNameEditError([&] { name.Capitalize(static_cast<TCharacterCase>(3)); },
                        "The character case is not supported.", __LINE__);
    ExpectNameEditError([&] { name.EncodeCharacters(static_cast<TCharacterEncoding>(2)); },
                        "The character encoding is not supported.", __LINE__);
    ExpectNameEditError([&] { name.DecodeCharacters(static_cast<TCharacterEncoding>(255)); },
                        "The character encoding is not supported.", __LINE__);
    EXPECT_EQ(name.GetText(), "a.txt");

    TTextSrcSpecs source;
    source.Kind = static_cast<TSrcLinesKind>(5);
    ExpectNameEditError([&] { source.GetCurrent(); }, "The kind is not supported.", __LINE__);
    ExpectNameEditError([&] { source.GetCurrentOfEntries(); }, "The kind is not supported.", __LINE__);
}

// Every row is one entry: the line the file date (of the kind, by the
// pattern) or the folder name gives it, or why it has none.
TEST(TextSources, FileDatesAndFolderNamesComeFromEachEntry) {
    const TTempDir dir;
    // Noon in UTC: the same day in every time zone.
    const std::uint64_t jan2 = 132224400000000000ULL, jul4 = 132698736000000000ULL;
    const auto entry = [&](const std::string& directory, bool listed, std::optional<TDateParts> taken) {
        auto item = std::make_shared<TRenameItem>(dir.MakeFile("a.jpg"));
        item->Directory = directory;
        item->Info.Listed = listed;
        item->Info.Created = listed ? jan2 : 0;
        item->Info.Modified = listed ? jul4 : 0;
        item->Info.TakenRead = listed;
        item->Info.Taken = taken;
        return item;
    };
    const auto photo = entry("C:\\photos\\2021 Rome", true, TDateParts{2021, 7, 14, 9, 30, 5});
    const auto plain = entry("\\\\server\\share\\docs", true, std::nullopt);
    const auto unread = entry("C:\\", false, std::nullopt);
    const struct {
        std::shared_ptr<TRenameItem> entry;
        TSrcLinesKind kind;
        TFileDateKind date;
        const char* pattern;
        std::string expected;
    } cases[] = {
        {photo, skFileDate, TFileDateKind::Taken, "yyyymmdd_hhnnss", "20210714_093005"},
        {photo, skFileDate, TFileDateKind::Created, "yyyy-mm-dd", "2020-01-02"},
        {photo, skFileDate, TFileDateKind::Modified, "d.m.yy", "4.7.21"},
        {plain, skFileDate, TFileDateKind::Taken, "yyyy-mm-dd", "2021-07-04"},
        {unread, skFileDate, TFileDateKind::Modified, "yyyy", "The file date of \"a.jpg\" is not known."},
        {photo, skFolderName, TFileDateKind::Modified, "", "2021 Rome"},
        {plain, skFolderName, TFileDateKind::Modified, "", "docs"},
        {unread, skFolderName, TFileDateKind::Modified, "", ""},
    };
    for (const auto& c : cases) {
        TTextSrcSpecs source;
        source.Kind = c.kind;
        source.Specs.FileDate.Date = c.date;
        source.Specs.FileDate.Pattern = c.pattern;
        const TEntries entries = {c.entry.get(), c.entry.get()};
        TStringList lines;
        const std::string error = ErrorOf([&] { source.GetCurrentOfEntries().GetLines(2, &entries, lines); });
        EXPECT_EQ(error.empty() ? Lines(lines).at(1) : error, c.expected) << c.entry->Directory;
    }
    TTextSrcSpecs source;
    source.Kind = skFolderName;
    TStringList lines;
    ExpectNameEditError([&] { source.GetCurrentOfEntries().GetLines(1, nullptr, lines); },
                        "The text source needs the entries themselves.", __LINE__);
}

TEST(TextSources, CurrentFollowsTheKindAndAllKindsKeepTheirSettings) {
    TTextSrcSpecs source;
    source.Specs.Custom.Text = "x";
    source.Specs.Number.Prefix = "n";
    EXPECT_EQ(source.Kind, skCustom);
    EXPECT_EQ(&source.GetCurrent(), &source.Specs.Custom);
    source.Kind = skNumber;
    EXPECT_EQ(&source.GetCurrent(), &source.Specs.Number);
    source.Kind = skClipboard;
    EXPECT_EQ(&source.GetCurrent(), &source.Specs.Clipboard);

    TStringList lines;
    source.Kind = skCustom;
    source.GetCurrent().GetLines(2, lines);
    EXPECT_EQ(Lines(lines), (Texts{"x", "x"}));
    source.Kind = skNumber;
    source.GetCurrent().GetLines(2, lines);
    EXPECT_EQ(Lines(lines), (Texts{"n1", "n2"}));
}

TEST(TextSources, CustomLinesRepeatTheText) {
    const struct {
        std::string text;
        int count;
        Texts expected;
    } cases[] = {
        {"abc", 3, {"abc", "abc", "abc"}},
        {"", 2, {"", ""}},
        {"abc", 0, {}},
        {"abc", -1, {}},
    };
    for (const auto& c : cases) {
        TCustomSrcLinesSpecs source;
        source.Text = c.text;
        TStringList lines;
        lines.Add("old");
        source.GetLines(c.count, lines);
        EXPECT_EQ(Lines(lines), c.expected) << c.text << " x " << c.count;
    }
}

TEST(TextSources, NumberLinesCountInSixtyFourBitsAndPad) {
    const struct {
        std::string prefix, suffix;
        std::int32_t initial, increment, digits;
        char padding;
        int count;
        Texts expected;
    } cases[] = {
        {"", "", 1, 1, 1, '0', 3, {"1", "2", "3"}},
        {"img", "", 1, 1, 3, '0', 3, {"img001", "img002", "img003"}},
        {"", "", 7, 1, 0, '0', 1, {"7"}},
        {"", "", 7, 1, 3, '_', 1, {"__7"}},
        {"", "", 7, 1, 3, ' ', 1, {"  7"}},
        {"", "", 7, 1, 3, 'x', 1, {"xx7"}},
        {"", "", 1234, 1, 2, '0', 1, {"1234"}},
        {"a", ".txt", 0, 5, 2, '0', 3, {"a00.txt", "a05.txt", "a10.txt"}},
        {"", "", 3, -1, 1, '0', 4, {"3", "2", "1", "0"}},
        {"", "", 5, 0, 1, '0', 2, {"5", "5"}},
        {"", "", -1, 1, 1, '0', 0, {}},
        {"", "", 2147483647, 2147483647, 1, '0', 4, {"2147483647", "4294967294", "6442450941", "8589934588"}},
        {"", "", 2147483647, 1, 12, '0', 2, {"002147483647", "002147483648"}},
        {"", "", -2147483647 - 1, 2147483647, 1, '0', 0, {}},
        {"", "", 0, -2147483647 - 1, 1, '0', 1, {"0"}},
    };
    for (const auto& c : cases) {
        TNumberSrcLinesSpecs source;
        source.Prefix = c.prefix;
        source.Suffix = c.suffix;
        source.Initial = c.initial;
        source.Increment = c.increment;
        source.Digits = c.digits;
        source.Padding = c.padding;
        TStringList lines;
        lines.Add("old");
        source.GetLines(c.count, lines);
        EXPECT_EQ(Lines(lines), c.expected)
            << c.initial << " + k * " << c.increment << ", " << c.count << " lines";
    }
}

TEST(TextSources, NumberLinesPassTheWidthWithoutCutting) {
    TNumberSrcLinesSpecs source;
    source.Prefix = "img";
    source.Digits = 3;
    TStringList lines;
    source.GetLines(1000, lines);
    ASSERT_EQ(lines.Count(), 1000);
    EXPECT_EQ(lines[0], "img001");
    EXPECT_EQ(lines[998], "img999");
    EXPECT_EQ(lines[999], "img1000");
}

TEST(TextSources, ANegativeNumberDeliversNoLineAtAll) {
    const struct {
        std::int32_t initial, increment;
        int count;
    } cases[] = {
        {3, -1, 5},
        {-1, 1, 1},
        {-5, 10, 3},
        {2147483647, -2147483647 - 1, 2},
        {-2147483647 - 1, 2147483647, 1},
        {0, -1, 2},
    };
    for (const auto& c : cases) {
        TNumberSrcLinesSpecs source;
        source.Initial = c.initial;
        source.Increment = c.increment;
        TStringList lines;
        lines.Add("kept");
        ExpectNameEditError([&] { source.GetLines(c.count, lines); }, "Negative numbers are not supported.",
                            __LINE__);
        EXPECT_EQ(Lines(lines), Texts{"kept"}) << c.initial << " + k * " << c.increment;
    }
}

TEST(TextSources, NumberLinesRefuseAWidthNoFileNameHas) {
    // Padded as wide as a name may be long, and no wider: a wider number
    // could never be part of a file name (and a width near 2^31 would not
    // even fit in memory).
    const struct {
        std::int32_t digits;
        int count;
        size_t width; // 0: refused
    } cases[] = {
        {255, 2, 255}, {254, 1, 254}, {256, 2, 0}, {256, 0, 0}, {2147483647, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.digits << " digits, " << c.count << " lines");
        TNumberSrcLinesSpecs source;
        source.Digits = c.digits;
        TStringList lines;
        lines.Add("kept");
        if (c.width) {
            source.GetLines(c.count, lines);
            ASSERT_EQ(lines.Count(), c.count);
            EXPECT_EQ(lines[0].size(), c.width);
            EXPECT_EQ(lines[0], std::string(c.width - 1, '0') + "1");
        } else {
            ExpectNameEditError([&] { source.GetLines(c.count, lines); },
                                "Numbers wider than 255 digits are not supported.", __LINE__);
            EXPECT_EQ(Lines(lines), Texts{"kept"});
        }
    }
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

TEST(NameParts, SplitExactlyAsThePathRulesDo) {
    // Texts rich in delimiters, dots and double-byte lead bytes (0x81, 0x83,
    // 0x95 lead in code page 932, where 0x5C, the backslash, may be a trail byte).
    const char alphabet[] = {'\\', ':', '.', '.', 'a', 'B', ' ', '\x81', '\x83', '\x95', '\x5C', '\x2E', '\xE9'};
    const std::string parts[] = {"", "x", ".md", "md", "..md", "\x83\x5C"};
    std::mt19937 random(20261208);
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        for (int i = static_cast<int>(random() % 12); i > 0; --i)
            text += alphabet[random() % sizeof(alphabet)];
        SCOPED_TRACE("text: " + testing::PrintToString(text));
        const TRenameName name(text);
        ASSERT_EQ(name.GetPart(pkBaseName), TPath(text).GetBaseName());
        ASSERT_EQ(name.GetPart(pkExtension), TPath(text).GetExtension());
        const std::string& part = parts[random() % std::size(parts)];
        TPath base(text);
        base.SetBaseName(part);
        ASSERT_EQ(OverwritePart(text, pkBaseName, part), base.GetPath()) << "base name " << part;
        TPath extension(text);
        extension.SetExtension(part);
        ASSERT_EQ(OverwritePart(text, pkExtension, part), extension.GetPath()) << "extension " << part;
    }
}

// ---------------------------------------------------------------- regular expressions

TEST(NamePattern, ReplacesEveryMatchWithTheExpandedLine) {
    const struct {
        std::string pattern, replacement, name;
        TPartKind part;
        bool matchCase;
        std::string expected;
    } cases[] = {
        {"IMG_(\\d+)", "Holiday $1", "IMG_0042.jpg", pkBaseName, true, "Holiday 0042.jpg"},
        {"(\\d+)", "#$1", "photo 12 (edited) 7.JPEG", pkBaseName, true, "photo #12 (edited) #7.JPEG"},
        {"(\\w+)-(\\w+)", "$2-$1", "left-right.txt", pkName, true, "right-left.txt"},
        {"\\d+", "[$&]", "a1b22.txt", pkBaseName, true, "a[1]b[22].txt"},
        {"x", "$$", "axb", pkName, true, "a$b"},
        {"x", "$$1", "x", pkName, true, "$1"},
        // any other dollar stays as written, a group the pattern lacks too
        {"x", "$0$a$", "x", pkName, true, "$0$a$"},
        {"(a)", "$5$1$", "a", pkName, true, "$5a$"},
        {"(a)", "$10", "a", pkName, true, "a0"},
        // a group that took no part in the match is empty
        {"(a)|(b)", "[$1|$2]", "ab", pkName, true, "[a|][|b]"},
        // case
        {"photo", "img", "Photo PHOTO photo", pkName, false, "img img img"},
        {"photo", "img", "Photo PHOTO photo", pkName, true, "Photo PHOTO img"},
        {"[a-c]", "_", "AbC", pkName, false, "___"},
        // anchors see the whole part, not where the last match ended
        {"^a", "x", "aaa", pkName, true, "xaa"},
        {"a$", "x", "aaa.a", pkBaseName, true, "aax.a"},
        {"\\ba", "x", "a aa", pkName, true, "x xa"},
        {"^.", "", "abc", pkName, true, "bc"},
        // empty matches insert the line and move one character on
        {"x*", "-", "abc", pkName, true, "-a-b-c-"},
        {"a*", "-", "baaac", pkName, true, "-b--c-"},
        {"$", ".bak", "name.txt", pkName, true, "name.txt.bak"},
        {"^$", "txt", "README", pkExtension, true, "README.txt"},
        // matches never overlap and the line is never searched again
        {"aa", "a", "aaaa", pkName, true, "aa"},
        {"a", "aa", "aa", pkName, true, "aaaa"},
        // nothing matches: the name stays, as does an empty pattern
        {"\\d", "#", "abc.txt", pkName, true, "abc.txt"},
        {"", "x", "abc.txt", pkName, false, "abc.txt"},
        // only the chosen part is searched
        {"jpe?g", "jpg", "a.jpeg.jpeg", pkExtension, false, "a.jpeg.jpg"},
        {"\\.", "_", "a.b.c", pkBaseName, true, "a_b.c"},
        // one character per code point, two UTF-16 units or one (rows in
        // UTF-8, run where the code page holds them)
        {"^.", "Y", kGrinning + "_smile.txt", pkName, true, "Y_smile.txt"},
        {"^..", "Z", kGrinning + "_smile.txt", pkName, true, "Zsmile.txt"},
        {".", "[$&]", kGrinning + "a", pkName, true, "[" + kGrinning + "][a]"},
        {"^(.)(.)$", "$2$1", kGrinning + "a", pkName, true, "a" + kGrinning},
        {"^(.)(.)$", "x", kGrinning, pkName, true, kGrinning},
        {kGrinning + "+", "x", kGrinning + kGrinning + "a", pkName, true, "xa"},
        {kGrinning + "{2}", "x", kGrinning + kGrinning + kGrinning, pkName, true, "x" + kGrinning},
        {"[" + kGrinning + "-" + kGrinningTears + "]", "_", "a" + kBeaming + "b" + kSmiley, pkName, true,
         "a_b" + kSmiley},
        {"[" + kGrinning + "-" + kZipper + "]", "_", kSlightSmile + kZipper + kHearts, pkName, true, "__" + kHearts},
        {"[^a]", "_", "a" + kGrinning, pkName, true, "a_"},
        {"[^" + kGrinning + "]", "_", kGrinning + kBeaming, pkName, true, kGrinning + "_"},
        {"[a" + kGrinning + "]+", "_", "a" + kGrinning + "b", pkName, true, "_b"},
        {"\\W", "_", kGrinning + "a", pkName, true, "_a"},
        {"[\\S]", "_", kGrinning, pkName, true, "_"},
        {"\\w+", "_", kGrinning + "ab", pkName, true, kGrinning + "_"},
    };
    for (const auto& c : cases) {
        const auto pattern = InCodePage(c.pattern), replacement = InCodePage(c.replacement),
                   name = InCodePage(c.name), expected = InCodePage(c.expected);
        if (!pattern || !replacement || !name || !expected)
            continue;
        EXPECT_EQ(ReplaceMatchesInPart(*name, c.part, TNamePattern(*pattern, c.matchCase), *replacement), *expected)
            << PartName(c.part) << " of " << c.name << ": " << c.pattern << " -> " << c.replacement << " case "
            << c.matchCase;
    }
}

TEST(NamePattern, IgnoresCaseBeyondAsciiAsPlainReplaceDoes) {
    if (IsDoubleByteCodePage() || GetACP() == CP_UTF8)
        GTEST_SKIP() << "these bytes are letters of a single-byte code page only";
    const struct {
        std::string pattern, name;
        bool matchCase;
        std::string expected;
    } cases[] = {
        {"\xE9", "\xC9t\xE9", false, "ete"}, // Été
        {"\xE9", "\xC9t\xE9", true, "\xC9te"},
        {"[\xE0-\xE9]", "\xC9", false, "e"},
        {"\xC6", "\xE6", false, "e"}, // Æ and æ
    };
    for (const auto& c : cases) {
        const TNamePattern pattern(c.pattern, c.matchCase);
        EXPECT_EQ(ReplaceMatchesInPart(c.name, pkName, pattern, "e"), c.expected)
            << ::testing::PrintToString(c.name) << ": " << ::testing::PrintToString(c.pattern);
    }
}

TEST(NamePattern, MatchesCharactersOfADoubleByteCodePage) {
    if (!IsDoubleByteCodePage())
        GTEST_SKIP() << "needs a double-byte ANSI code page (the code page 932 run)";
    const struct {
        std::string pattern, replacement, name, expected;
    } cases[] = {
        // one character is two bytes, and its second byte never matches alone
        {".", "[$&]", kKanaA + "A", "[" + kKanaA + "][A]"},
        {"A", "x", kKanaA + "A", kKanaA + "x"},
        {"\\\\", "_", "a" + kHyo + "\\", "a" + kHyo + "_"},
        {"^.", "", kHyo + "b", "b"},
        {"x*", "-", kHyo, "-" + kHyo + "-"},
        {"(" + kSo + ")+", "<$1>", "a" + kSo + kSo + "b", "a<" + kSo + ">b"},
        {"[" + kKanaA + kSo + "]", "$$", kHyo + kSo + kKanaA, kHyo + "$$"},
    };
    for (const auto& c : cases) {
        const TNamePattern pattern(c.pattern, true);
        EXPECT_EQ(ReplaceMatchesInPart(c.name, pkName, pattern, c.replacement), c.expected)
            << ::testing::PrintToString(c.name) << ": " << ::testing::PrintToString(c.pattern);
    }
    // Without match case, full-width letters fold too (Ａ and ａ).
    EXPECT_EQ(ReplaceMatchesInPart("\x82\x60.txt", pkBaseName, TNamePattern("\x82\x81", false), "a"), "a.txt");
    EXPECT_EQ(ReplaceMatchesInPart("\x82\x60.txt", pkBaseName, TNamePattern("[\x82\x81-\x82\x9A]", false), "a"),
              "a.txt");
    // A lone lead byte is no character: the name is refused and stays.
    const TNamePattern any(".", true);
    TRenameName name("a\x83");
    EXPECT_ERROR_MESSAGE(ENameEditError, name.ReplaceMatches(any, "x"),
                         "The name holds bytes that are no characters of the system's code page.");
    EXPECT_EQ(name.GetText(), "a\x83");
    EXPECT_ERROR_MESSAGE(ENameEditError, ReplaceMatchesInPart("a.txt", pkName, any, "\x83"),
                         "The name holds bytes that are no characters of the system's code page.");
}

TEST(NamePattern, MatchesCharactersOfUtf8) {
    if (GetACP() != CP_UTF8)
        GTEST_SKIP() << "needs UTF-8 as the ANSI code page (the UTF-8 run)";
    const std::string eAcute = "\xC3\xA9";
    EXPECT_EQ(ReplaceMatchesInPart("a" + eAcute, pkName, TNamePattern(".", true), "[$&]"), "[a][" + eAcute + "]");
    EXPECT_EQ(ReplaceMatchesInPart(kGrinning, pkName, TNamePattern("x*", true), "-"), "-" + kGrinning + "-");
    EXPECT_EQ(ReplaceMatchesInPart(kGrinning, pkName, TNamePattern("^(.*)$", true), "<$1>"), "<" + kGrinning + ">");
}

TEST(NamePattern, AnInvalidPatternIsRefusedWithTheReason) {
    const struct {
        std::string pattern, reason; // reason empty: valid
    } cases[] = {
        {"(a", "unmatched parenthesis"},
        {"a)", "unmatched parenthesis"},
        {"[a", "unmatched bracket"},
        {"a{2", "unmatched brace"},
        {"a{3,1}", "invalid repeat count"},
        {"*a", "nothing to repeat"},
        {"a\\", "invalid escape"},
        {"[z-a]", "invalid range"},
        {"(a)\\2", "invalid back reference"},
        {"[[.nope.]]", "invalid collating element"},
        {"a|+", "nothing to repeat"},
        {"(a|?)", "nothing to repeat"},
        {"[(]|*", "nothing to repeat"},
        {"(\\))(", "unmatched parenthesis"},
        {"IMG_(\\d+)", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        const std::string message = c.reason.empty() ? "" : "The regular expression is not valid: " + c.reason + ".";
        for (const bool matchCase : {false, true}) {
            EXPECT_EQ(PatternProblem(c.pattern, matchCase), message);
            if (!message.empty())
                EXPECT_ERROR_MESSAGE(ENameEditError, TNamePattern(c.pattern, matchCase), message);
        }
    }
}

TEST(NamePattern, AMatchThatWouldBacktrackForeverGivesUp) {
    // Each further "a" doubles the matcher's work.
    const TNamePattern pattern("(a+)+b", true);
    const std::string name(60, 'a');
    TRenameName piece(name);
    EXPECT_ERROR_MESSAGE(ENameEditError, piece.ReplaceMatches(pattern, "x"),
                         "The regular expression is too complex to match.");
    EXPECT_EQ(piece.GetText(), name);
    // Heavy but polynomial matching of a name as long as a file name can be
    // does not give up.
    const TNamePattern three("^(.*)_(.*)_(.*)$", true);
    const std::string words = std::string(100, 'a') + "_" + std::string(100, 'b') + "_" + std::string(53, 'c');
    EXPECT_EQ(ReplaceMatchesInPart(words, pkName, three, "$3"), std::string(53, 'c'));
    EXPECT_EQ(ReplaceMatchesInPart(std::string(255, 'a'), pkName, three, "$3"), std::string(255, 'a'));
}

TEST(NamePattern, DeeplyNestedGroupsCompile) {
    const int depth = 20000; // an edit holds up to 32767 characters
    const std::string pattern = std::string(depth, '(') + "a" + std::string(depth, ')');
    EXPECT_EQ(PatternProblem(pattern, false), "");
    EXPECT_EQ(PatternProblem(pattern + ")", false), "The regular expression is not valid: unmatched parenthesis.");
}

TEST(NamePattern, TheMatcherThreadHandsBackItsErrors) {
    EXPECT_ERROR_MESSAGE(ENameEditError, RunWithMatcherStack([] { throw ENameEditError("Raised on the thread."); }),
                         "Raised on the thread.");
}

// Path values: the part rules, the operations, the character classes and the
// path list's file-name order.
#include "support/Vek_file.h"
#include "tests/common/TestSupport.h"

#include <vector>

namespace {

struct TPartsCase {
    std::string path, name, directory, drive, baseName, dottedExt, ext;
};

void ExpectParts(const TPartsCase& c) {
    const TPath p(c.path);
    SCOPED_TRACE("path: " + ::testing::PrintToString(c.path));
    EXPECT_EQ(p.GetName(), c.name);
    EXPECT_EQ(p.GetDirectory(), c.directory);
    EXPECT_EQ(p.GetDrive(), c.drive);
    EXPECT_EQ(p.GetBaseName(), c.baseName);
    EXPECT_EQ(p.GetDottedExtension(), c.dottedExt);
    EXPECT_EQ(p.GetExtension(), c.ext);
}

using Texts = std::vector<std::string>;

// Double-byte characters of code page 932 whose second byte is 0x5C, the backslash.
const std::string kHyo = "\x95\x5C"; // 表
const std::string kSo = "\x83\x5C";  // ソ

} // namespace

TEST(PathParts, FollowTheRulesOnEveryKindOfPath) {
    const TPartsCase cases[] = {
        // path            name        directory      drive          base     dotted      ext
        {"C:\\a\\b.txt", "b.txt", "C:\\a", "C:", "b", ".txt", "txt"},
        {"C:\\b.txt", "b.txt", "C:\\", "C:", "b", ".txt", "txt"},
        {"C:b.txt", "b.txt", "C:", "C:", "b", ".txt", "txt"},
        {"\\b.txt", "b.txt", "\\", "", "b", ".txt", "txt"},
        {"b.tar.gz", "b.tar.gz", "", "", "b.tar", ".gz", "gz"},
        {"C:\\a\\.profile", ".profile", "C:\\a", "C:", "", ".profile", "profile"},
        {"C:\\a\\name.", "name.", "C:\\a", "C:", "name", ".", ""},
        {"C:\\dir.d\\file", "file", "C:\\dir.d", "C:", "file", "", ""},
        {"\\\\srv\\share\\x", "x", "\\\\srv\\share", "\\\\srv\\share", "x", "", ""},
        {"C:\\a\\", "", "C:\\a", "C:", "", "", ""},
        // empty, drives and roots
        {"", "", "", "", "", "", ""},
        {"C:", "", "C:", "C:", "", "", ""},
        {"C:\\", "", "C:\\", "C:", "", "", ""},
        {"c:x", "x", "c:", "c:", "x", "", ""},
        {"\\", "", "\\", "", "", "", ""},
        {"\\\\", "", "\\\\", "\\\\", "", "", ""},
        {"\\\\\\", "", "\\\\\\", "\\\\", "", "", ""},
        {"\\\\srv", "srv", "\\\\", "\\\\srv", "srv", "", ""},
        {"\\\\srv\\share", "share", "\\\\srv", "\\\\srv\\share", "share", "", ""},
        {"\\\\srv\\share\\", "", "\\\\srv\\share", "\\\\srv\\share", "", "", ""},
        {"\\\\srv\\share\\d\\f.x", "f.x", "\\\\srv\\share\\d", "\\\\srv\\share", "f", ".x", "x"},
        // trailing and doubled backslashes
        {"C:\\a\\\\", "", "C:\\a\\\\", "C:", "", "", ""},
        {"C:\\a\\\\b", "b", "C:\\a\\\\", "C:", "b", "", ""},
        {"a\\", "", "a", "", "", "", ""},
        // names of only dots
        {".", ".", "", "", "", ".", ""},
        {"..", "..", "", "", ".", ".", ""},
        {"...", "...", "", "", "..", ".", ""},
        {"C:\\a\\..", "..", "C:\\a", "C:", ".", ".", ""},
        // the dot belongs to a directory, not to the name
        {"a.b\\c", "c", "a.b", "", "c", "", ""},
        {"D:\\x.y\\", "", "D:\\x.y", "D:", "", "", ""},
        {"a.b:c", "c", "a.b:", "", "c", "", ""},
        // blanks are ordinary characters
        {" .txt", " .txt", "", "", " ", ".txt", "txt"},
    };
    for (const auto& c : cases)
        ExpectParts(c);
}

TEST(PathParts, NeverSplitAtTheTrailByteOfADoubleByteCharacter) {
    if (!IsDoubleByteCodePage())
        GTEST_SKIP() << "needs a double-byte ANSI code page (the code page 932 run)";
    const TPartsCase cases[] = {
        {"C:\\" + kHyo + "\\x.txt", "x.txt", "C:\\" + kHyo, "C:", "x", ".txt", "txt"},
        {"C:\\a\\" + kHyo, kHyo, "C:\\a", "C:", kHyo, "", ""},
        {"C:\\" + kHyo + "\\", "", "C:\\" + kHyo, "C:", "", "", ""},
        {kHyo + ".txt", kHyo + ".txt", "", "", kHyo, ".txt", "txt"},
        {kSo + "\\x", "x", kSo, "", "x", "", ""},
        {kSo + kSo, kSo + kSo, "", "", kSo + kSo, "", ""},
        {"\\\\srv\\" + kHyo + "\\x", "x", "\\\\srv\\" + kHyo, "\\\\srv\\" + kHyo, "x", "", ""},
        {"\\\\" + kHyo + "\\s\\x", "x", "\\\\" + kHyo + "\\s", "\\\\" + kHyo + "\\s", "x", "", ""},
        {"a." + kHyo, "a." + kHyo, "", "", "a", "." + kHyo, kHyo},
        // a lone lead byte at the end is a character of its own
        {"a\\\x95", "\x95", "a", "", "\x95", "", ""},
        {std::string("a\x95"), "a\x95", "", "", "a\x95", "", ""},
    };
    for (const auto& c : cases)
        ExpectParts(c);
}

TEST(PathParts, DoubleByteTrailBytesAreBackslashesInASingleByteCodePage) {
    if (IsDoubleByteCodePage())
        GTEST_SKIP() << "checks the single-byte reading of the same bytes";
    ExpectParts({"C:\\a\\" + kHyo, "", "C:\\a\\\x95", "C:", "", "", ""});
}

// Under UTF-8 a character is a whole well-formed sequence of one to four
// bytes; every malformed byte is a character of its own, so no rule ever
// lands inside a valid sequence.
TEST(CharacterSteps, Utf8SequencesAreWholeCharacters) {
    if (!IsUtf8CodePage())
        GTEST_SKIP() << "needs UTF-8 as the ANSI code page (the code page 65001 run)";
    const struct {
        const char* what;
        std::string text;
        std::vector<size_t> steps;
    } cases[] = {
        {"ASCII", "a.", {1, 1}},
        {"two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", {2, 3, 4}},
        {"highest and lowest", "\xC2\x80\xF4\x8F\xBF\xBF\xEF\xBF\xBF", {2, 4, 3}},
        {"stray continuation bytes", "\x80\xBF" "a", {1, 1, 1}},
        {"truncated before ASCII", "\xE2\x82" "a\xF0\x9F\x98", {1, 1, 1, 1, 1, 1}},
        {"truncated before a sequence", "\xC3\xC3\xA9", {1, 2}},
        {"overlong forms", "\xC0\xAF\xC1\xBF\xE0\x80\xAF\xF0\x80\x80\xAF", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"a surrogate", "\xED\xA0\x80\xED\x9F\xBF", {1, 1, 1, 3}},
        {"above U+10FFFF", "\xF4\x90\x80\x80\xF5\x80", {1, 1, 1, 1, 1, 1}},
        {"a zero byte inside", std::string("\xC3\0", 2), {1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<size_t> steps;
        for (size_t i = 0; i < c.text.size(); i += CharSize(c.text, i))
            steps.push_back(CharSize(c.text, i));
        EXPECT_EQ(steps, c.steps);
        size_t start = 0;
        for (size_t step : c.steps) {
            EXPECT_EQ(IsTrailByte(c.text, start), false) << start;
            for (size_t k = 1; k < step; ++k)
                EXPECT_EQ(IsTrailByte(c.text, start + k), true) << start + k;
            start += step;
        }
    }
}

TEST(PathSetParts, ReplaceOnePartAndKeepTheRest) {
    enum TOp { opName, opBaseName, opExtension, opDottedExtension };
    const struct {
        TOp op;
        std::string path, text, expected;
    } cases[] = {
        {opName, "C:\\a\\old.txt", "new", "C:\\a\\new"},
        {opName, "", "x", "x"},
        {opName, "C:\\a\\", "x", "C:\\a\\x"},
        {opName, "C:", "x", "C:x"},
        {opName, "C:\\a\\b", "", "C:\\a\\"},
        {opBaseName, "C:\\a\\old.txt", "new", "C:\\a\\new.txt"},
        {opBaseName, "C:\\a\\.profile", "x", "C:\\a\\x.profile"},
        {opBaseName, "C:\\dir.d\\file", "x", "C:\\dir.d\\x"},
        {opBaseName, "a.tar.gz", "b", "b.gz"},
        {opBaseName, "name.", "x", "x."},
        {opBaseName, "a.txt", "", ".txt"},
        {opExtension, "a.txt", "doc", "a.doc"},
        {opExtension, "a.txt", ".doc", "a.doc"},
        {opExtension, "a", "doc", "a.doc"},
        {opExtension, "a.txt", "", "a"},
        {opExtension, "a", "", "a"},
        {opExtension, "C:\\dir.d\\file", "doc", "C:\\dir.d\\file.doc"},
        {opExtension, "name.", "", "name"},
        {opExtension, "name.", "md", "name.md"},
        {opExtension, "a.txt", "..md", "a..md"},
        {opExtension, ".profile", "", ""},
        {opExtension, "C:\\a\\.profile", "md", "C:\\a\\.md"},
        {opDottedExtension, "a.txt", ".md", "a.md"},
        {opDottedExtension, "a", "", "a"},
        {opDottedExtension, "a.b\\c", ".d", "a.b\\c.d"},
    };
    for (const auto& c : cases) {
        TPath p(c.path);
        switch (c.op) {
        case opName:
            p.SetName(c.text);
            break;
        case opBaseName:
            p.SetBaseName(c.text);
            break;
        case opExtension:
            p.SetExtension(c.text);
            break;
        case opDottedExtension:
            p.SetDottedExtension(c.text);
            break;
        }
        EXPECT_EQ(p.GetPath(), c.expected) << "op " << c.op << " on " << c.path << " with " << c.text;
    }
}

TEST(PathSetParts, ReplaceOnlyTheNameAfterADoubleByteDirectory) {
    if (!IsDoubleByteCodePage())
        GTEST_SKIP() << "needs a double-byte ANSI code page (the code page 932 run)";
    TPath p("C:\\" + kHyo + "\\old.txt");
    p.SetBaseName("new");
    EXPECT_EQ(p.GetPath(), "C:\\" + kHyo + "\\new.txt");
    p.SetName(kSo);
    EXPECT_EQ(p.GetPath(), "C:\\" + kHyo + "\\" + kSo);
    p.SetExtension("md");
    EXPECT_EQ(p.GetPath(), "C:\\" + kHyo + "\\" + kSo + ".md");
}

TEST(PathJoin, CombineAndAppendAddOneBackslash) {
    const struct {
        std::string directory, name, combined, appended;
    } cases[] = {
        {"C:\\a", "b.txt", "C:\\a\\b.txt", "C:\\a\\b.txt"},
        {"C:\\", "b.txt", "C:\\b.txt", "C:\\b.txt"},
        {"", "b.txt", "b.txt", "\\b.txt"},
        {"C:\\a", "\\b", "C:\\a\\\\b", "C:\\a\\b"},
        {"C:", "b", "C:\\b", "C:\\b"},
        {"a", "", "a\\", "a\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TPath::Combine(c.directory, c.name).GetPath(), c.combined)
            << c.directory << " + " << c.name;
        EXPECT_EQ(TPath(c.directory).Append(c.name).GetPath(), c.appended) << c.directory << " + " << c.name;
    }
}

TEST(PathJoin, ABackslashTrailByteIsNoSeparator) {
    if (!IsDoubleByteCodePage())
        GTEST_SKIP() << "needs a double-byte ANSI code page (the code page 932 run)";
    EXPECT_FALSE(TPath("C:\\" + kHyo).EndsWith('\\'));
    EXPECT_EQ(TPath::Combine("C:\\" + kHyo, "x").GetPath(), "C:\\" + kHyo + "\\x");
    EXPECT_EQ(TPath("C:\\" + kHyo).IncludeTrailing('\\').GetPath(), "C:\\" + kHyo + "\\");
    EXPECT_EQ(TPath("C:\\" + kHyo).ExcludeTrailing('\\').GetPath(), "C:\\" + kHyo);
    EXPECT_EQ(TPath("C:\\" + kHyo + "\\").ExcludeTrailing('\\').GetPath(), "C:\\" + kHyo);
}

TEST(PathOperations, LeadingAndTrailingCharacters) {
    EXPECT_EQ(TPath("a").IncludeLeading('\\').GetPath(), "\\a");
    EXPECT_EQ(TPath("\\a").IncludeLeading('\\').GetPath(), "\\a");
    EXPECT_EQ(TPath("").IncludeLeading('x').GetPath(), "x");
    EXPECT_EQ(TPath("\\\\a").ExcludeLeading('\\').GetPath(), "\\a");
    EXPECT_EQ(TPath("").ExcludeLeading('\\').GetPath(), "");
    EXPECT_EQ(TPath("a\\").IncludeTrailing('\\').GetPath(), "a\\");
    EXPECT_EQ(TPath("").IncludeTrailing('\\').GetPath(), "\\");
    EXPECT_EQ(TPath("a\\\\").ExcludeTrailing('\\').GetPath(), "a\\");
    EXPECT_EQ(TPath("").ExcludeTrailing('\\').GetPath(), "");
}

TEST(PathOperations, RemoveNameAddAndRemoveExtension) {
    std::string out;
    TPath p("C:\\a\\b.txt");
    p.RemoveName(out);
    EXPECT_EQ(out, "b.txt");
    EXPECT_EQ(p.GetPath(), "C:\\a");
    p.GetName(out);
    EXPECT_EQ(out, "a");

    EXPECT_EQ(TPath("a").AddExtension("txt").GetPath(), "a.txt");
    EXPECT_EQ(TPath("a").AddExtension("").GetPath(), "a");
    TPath q("d.x\\a.tar.gz");
    q.RemoveExtension(out);
    EXPECT_EQ(out, "gz");
    EXPECT_EQ(q.GetPath(), "d.x\\a.tar");
    q.GetExtension(out);
    EXPECT_EQ(out, "tar");
}

TEST(PathOperations, MakeRelativeDropsTheCommonDirectories) {
    const struct {
        std::string path, base, expected;
    } cases[] = {
        {"C:\\a\\b\\c.txt", "C:\\a", "b\\c.txt"},
        {"C:\\a\\b\\c.txt", "C:\\a\\", "b\\c.txt"},
        {"C:\\a\\b\\c.txt", "C:\\a\\d", "..\\b\\c.txt"},
        {"C:\\a\\b\\c.txt", "C:\\x\\y", "..\\..\\a\\b\\c.txt"},
        {"C:\\a\\b\\c.txt", "C:\\", "a\\b\\c.txt"},
        {"C:\\A\\B\\c.txt", "c:\\a\\b", "c.txt"},
        {"C:\\a\\b.txt", "D:\\a", "C:\\a\\b.txt"},
        {"\\\\srv\\share\\d\\f", "\\\\SRV\\Share\\d", "f"},
        {"a\\b.txt", "a", "b.txt"},
        {"C:\\a\\", "C:\\", "a\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TPath(c.path).MakeRelative(c.base).GetPath(), c.expected) << c.path << " from " << c.base;
}

TEST(PathOperations, ComponentsStartWithTheDrive) {
    const struct {
        std::string path;
        Texts components;
    } cases[] = {
        {"C:\\a\\b.txt", {"C:", "a", "b.txt"}},
        {"\\\\srv\\share\\x\\", {"\\\\srv\\share", "x"}},
        {"\\a\\\\b", {"\\", "a", "b"}},
        {"a", {"a"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.Add("old");
        TPath(c.path).GetComponents(list);
        EXPECT_EQ(Lines(list), c.components) << c.path;
    }
}

TEST(PathOperations, RebaseResolvesOnlyRelativePaths) {
    EXPECT_EQ(TPath("x\\y").Rebase("C:\\base").GetPath(), "C:\\base\\x\\y");
    EXPECT_EQ(TPath("D:\\x").Rebase("C:\\base").GetPath(), "D:\\x");
    EXPECT_EQ(TPath("\\x").Rebase("C:\\base").GetPath(), "\\x");
}

TEST(PathOperations, CaseConversionKeepsTheLength) {
    EXPECT_EQ(TPath("C:\\Dir\\File.TXT").ToLower().GetPath(), "c:\\dir\\file.txt");
    EXPECT_EQ(TPath("c:\\dir\\file.txt").ToUpper().GetPath(), "C:\\DIR\\FILE.TXT");
    if (IsDoubleByteCodePage()) {
        // The trail byte 0x5C (and trail bytes in the letter ranges) stay as they are.
        const std::string name = "a" + kSo + "\x82\x60" + "b"; // ソ and the full-width A
        EXPECT_EQ(TPath(name).ToUpper().GetPath(), "A" + kSo + "\x82\x60" + "B");
    }
}

// Under UTF-8 the file-name case folds whole sequences, and only where the
// other case has the same length, so that positions found in the folded text
// are positions in the text itself; bytes that are no UTF-8 stay.
TEST(PathOperations, Utf8CaseConversionKeepsTheLength) {
    if (!IsUtf8CodePage())
        GTEST_SKIP() << "needs UTF-8 as the ANSI code page (the code page 65001 run)";
    const struct {
        std::string text, lower, upper;
    } cases[] = {
        {"\xC3\x89" "cole.TXT", "\xC3\xA9" "cole.txt", "\xC3\x89" "COLE.TXT"},                         // École.TXT
        {"\xCE\xA3\xCE\xBF\xCF\x86", "\xCF\x83\xCE\xBF\xCF\x86", "\xCE\xA3\xCE\x9F\xCE\xA6"},          // Σοφ
        {"\xD0\x94\xD0\xBE\xD0\xBC", "\xD0\xB4\xD0\xBE\xD0\xBC", "\xD0\x94\xD0\x9E\xD0\x9C"},          // Дом
        {"\xEF\xBC\xA1\xEF\xBD\x81", "\xEF\xBD\x81\xEF\xBD\x81", "\xEF\xBC\xA1\xEF\xBC\xA1"},          // Ａａ
        {"\xE2\xB1\xAF\xC9\x90", "\xE2\xB1\xAF\xC9\x90", "\xE2\xB1\xAF\xC9\x90"}, // Ɐɐ: other length, kept
        {"\xF0\x9F\x98\x80" "a", "\xF0\x9F\x98\x80" "a", "\xF0\x9F\x98\x80" "A"},
        {"\xC9" "E\xE9" "e", "\xC9" "e\xE9" "e", "\xC9" "E\xE9" "E"}, // code page 1252 bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        EXPECT_EQ(LowerFileName(c.text), c.lower);
        EXPECT_EQ(UpperFileName(c.text), c.upper);
    }
    EXPECT_EQ(CompareFileNames("\xC3\x89" "COLE", "\xC3\xA9" "cole"), 0);
    // Bytes that are no UTF-8 widen to one substitute, yet the names stay two.
    EXPECT_NE(CompareFileNames("\xE9.txt", "\xE8.txt"), 0);
    TPathList list;
    list.SetSorted(true);
    list.SetDuplicates(dupIgnore);
    for (const char* p : {"C:\\\xE9.txt", "C:\\\xE8.txt", "C:\\\xC3\xA9.txt", "C:\\\xC3\x89.TXT"})
        list.Add(p);
    EXPECT_EQ(list.Count(), 3);
}

TEST(PathPredicates, AnswerByTheRules) {
    const struct {
        std::string path;
        bool hasDrive, isDrive, wildcardOnly, dot, dotDot, validPath, validName;
    } cases[] = {
        // path          drive  isDrive wild   dot    dotdot vPath  vName
        {"", false, false, true, false, false, true, true},
        {"C:", true, true, false, false, false, true, false},
        {"c:", true, true, false, false, false, true, false},
        {"C:\\", true, false, false, false, false, true, false},
        {"\\\\srv\\share", true, true, false, false, false, true, false},
        {"\\\\SRV\\share\\", true, false, false, false, false, true, false},
        {"C:\\a.txt", true, false, false, false, false, true, false},
        {"a.txt", false, false, false, false, false, true, true},
        {"*", false, false, true, false, false, false, false},
        {"?*?", false, false, true, false, false, false, false},
        {"a*", false, false, false, false, false, false, false},
        {".", false, false, false, true, false, true, true},
        {"..", false, false, false, false, true, true, true},
        {"...", false, false, false, false, false, true, true},
        {"a/b", false, false, false, false, false, false, false},
        {"a\"b", false, false, false, false, false, false, false},
        {"a<b", false, false, false, false, false, false, false},
        {"a>b", false, false, false, false, false, false, false},
        {"a|b", false, false, false, false, false, false, false},
        {"a\tb", false, false, false, false, false, false, false},
        {std::string("a\0b", 3), false, false, false, false, false, false, false},
        {"caf\xE9 \x80", false, false, false, false, false, true, true},
        {"a\\b", false, false, false, false, false, true, false},
    };
    for (const auto& c : cases) {
        const TPath p(c.path);
        SCOPED_TRACE("path: " + ::testing::PrintToString(c.path));
        EXPECT_EQ(p.HasDrive(), c.hasDrive);
        EXPECT_EQ(p.IsRelative(), !c.hasDrive);
        EXPECT_EQ(p.IsDrive(), c.isDrive);
        EXPECT_EQ(p.IsWildcardOnly(), c.wildcardOnly);
        EXPECT_EQ(p.IsDot(), c.dot);
        EXPECT_EQ(p.IsDotDot(), c.dotDot);
        EXPECT_EQ(p.IsValidPath(), c.validPath);
        EXPECT_EQ(p.IsValidName(), c.validName);
    }
}

TEST(PathPredicates, ADoubleByteCharacterIsTestedByItsFirstByte) {
    if (!IsDoubleByteCodePage())
        GTEST_SKIP() << "needs a double-byte ANSI code page (the code page 932 run)";
    // The trail byte 0x5C is part of the character, not a backslash.
    EXPECT_TRUE(TPath(kHyo + ".txt").IsValidName());
    EXPECT_TRUE(TPath("\x81\x7C").IsValidName()); // a trail byte with the value of |
    EXPECT_FALSE(TPath("a|").IsValidName());
}

TEST(PathCharacterClasses, MatchTheirDefinitions) {
    const std::string notPath = "\"*/<>?|";
    for (int b = 0; b < 256; ++b) {
        const auto c = static_cast<unsigned char>(b);
        const bool path = b >= 0x20 && notPath.find(static_cast<char>(b)) == std::string::npos;
        EXPECT_EQ(IsPathChar(c), path) << b;
        EXPECT_EQ(IsNameChar(c), path && b != ':' && b != '\\') << b;
        EXPECT_EQ(IsWildcardChar(c), b == '*' || b == '?') << b;
    }
}

TEST(PathCompare, IgnoresLetterCase) {
    EXPECT_EQ(TPath("C:\\A.TXT").Compare(TPath("c:\\a.txt")), 0);
    EXPECT_LT(TPath("C:\\a.txt").Compare(TPath("C:\\B.txt")), 0);
    EXPECT_GT(TPath("C:\\b").Compare(TPath("C:\\A")), 0);
    EXPECT_EQ(TPath("").Compare(TPath("")), 0);
}

TEST(PathList, KeepsOneEntryPerFileName) {
    TPathList list;
    list.SetSorted(true);
    list.SetDuplicates(dupIgnore);
    for (const char* p : {"C:\\b.txt", "C:\\A.TXT", "c:\\a.txt", "C:\\B.TXT", "C:\\c"})
        list.Add(p);
    EXPECT_EQ(Lines(list), (Texts{"C:\\A.TXT", "C:\\b.txt", "C:\\c"}));
    int index = -1;
    EXPECT_TRUE(list.Find("c:\\A.txt", index));
    EXPECT_EQ(index, 0);

    TPathList sensitive;
    sensitive.SetCaseSensitive(true);
    sensitive.SetSorted(true);
    sensitive.Add("C:\\A.TXT");
    sensitive.Add("c:\\a.txt");
    EXPECT_EQ(sensitive.Count(), 2);
}

TEST(PathExpand, ResolvesAgainstTheCurrentDirectory) {
    TTempDir dir;
    TFiles files;
    const std::string saved = files.GetWorkingDirectory();
    files.SetWorkingDirectory(dir.Path());
    EXPECT_EQ(TPath("x.txt").Expand().GetPath(), dir / "x.txt");
    EXPECT_EQ(TPath(".").Expand().GetPath(), dir.Path());
    EXPECT_EQ(TPath("a\\..\\b").Expand().GetPath(), dir / "b");
    EXPECT_EQ(TPath("C:\\a\\.\\b\\..\\c").Expand().GetPath(), "C:\\a\\c");
    // A full form longer than the classic buffer comes back whole, or not at
    // all where the system refuses it: never cut short.
    const std::string longName(300, 'n');
    const std::string expanded = TPath(longName).Expand().GetPath();
    EXPECT_TRUE(expanded.empty() || expanded == dir / longName) << expanded;
    EXPECT_EQ(TPath("C:\\a").ExpandUnc().GetPath(), "C:\\a");
    files.SetWorkingDirectory(saved);
}

// Paths whose directories and names are not ASCII, on disk: the system
// resolves them, gives their long form and their attributes, and the part
// rules split them where the system does (a 0x5C second byte is no separator).
TEST(PathExpand, ResolvesNamesThatAreNotAsciiOnDisk) {
    const struct {
        unsigned codePage;
        std::string directory, name;
    } cases[] = {
        {1252, "\xC9t\xE9 \xE0 Z\xFCrich", "r\xE9sum\xE9.txt"},
        {1252, "\xD8re\xDF", "\xA9 \xB1\xBD.doc"},
        {932, kHyo, kSo + "\x83\x74\x83\x67.txt"},
        {932, "\xB6\xC0\xB6\xC5", kHyo + kSo},
        {65001, "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1", "\xF0\x9F\x98\x80 \xE4\xB8\xAD.txt"}, // Ελλάδα
        {65001, "\xD0\x9C\xD0\xB8\xD1\x80", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D.\xE0\xA4\x95"},         // Мир
    };
    int run = 0;
    for (const auto& c : cases) {
        if (c.codePage != GetACP())
            continue;
        ++run;
        SCOPED_TRACE(::testing::PrintToString(c.directory) + " \\ " + ::testing::PrintToString(c.name));
        TTempDir root;
        const std::string directory = root.MakeDir(c.directory);
        const std::string path = directory + "\\" + c.name;
        root.MakeFile(c.directory + "\\" + c.name, "x");
        ASSERT_TRUE(EntryExists(path)) << "not created as named";
        EXPECT_EQ(TPath(path).GetDirectory(), directory);
        EXPECT_EQ(TPath(path).GetName(), c.name);
        EXPECT_EQ(TFile(path).GetLongPath(), path);
        EXPECT_TRUE(TFiles().IsRegularFile(path));
        EXPECT_TRUE(TFiles().IsDirectory(directory));
        TFiles files;
        const std::string saved = files.GetWorkingDirectory();
        files.SetWorkingDirectory(directory);
        EXPECT_EQ(TPath(c.name).Expand().GetPath(), path);
        EXPECT_EQ(TPath("..\\" + c.directory + "\\.\\" + c.name).Expand().GetPath(), path);
        files.SetWorkingDirectory(saved);
    }
    EXPECT_GT(run, 0) << "no case for code page " << GetACP();
}

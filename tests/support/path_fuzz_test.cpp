// Randomized texts through every path operation: nothing may crash or read out
// of bounds, and the parts must rebuild the text they came from.
#include "support/Vek_file.h"
#include "tests/common/TestSupport.h"

#include <random>

namespace {

// Rich in delimiters, dots, blanks and double-byte lead bytes (0x81, 0x83,
// 0x95, 0xE0 lead in code page 932; 0x5C, the backslash, is a trail byte there).
const char kAlphabet[] = {'\\', '\\', '\\', ':',    ':',    '.',    '.',    '.',    'a',    'B',    ' ',
                          '*',  '?',  '/',  '\x81', '\x83', '\x95', '\xE0', '\x40', '\x7C', '\xE9', '\0'};

std::string RandomText(std::mt19937& random) {
    std::uniform_int_distribution<int> pick(0, sizeof(kAlphabet) - 1);
    std::uniform_int_distribution<int> shortLength(0, 24);
    std::uniform_int_distribution<int> longLength(1000, 4000);
    const int length = random() % 50 == 0 ? longLength(random) : shortLength(random);
    std::string text;
    for (int i = 0; i < length; ++i)
        text += kAlphabet[pick(random)];
    return text;
}

bool EndsWithString(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

TEST(PathFuzz, PartsRebuildThePathAndSettersKeepIt) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomText(random);
        SCOPED_TRACE("text: " + ::testing::PrintToString(text));
        const TPath path(text);
        const std::string name = path.GetName();
        const std::string directory = path.GetDirectory();
        const std::string drive = path.GetDrive();
        const std::string baseName = path.GetBaseName();
        const std::string dotted = path.GetDottedExtension();
        const std::string ext = path.GetExtension();

        // The name is a tail; what precedes it is the directory, with the
        // backslash that the directory rule drops.
        ASSERT_TRUE(EndsWithString(text, name));
        const std::string prefix = text.substr(0, text.size() - name.size());
        ASSERT_TRUE(prefix == directory || prefix == directory + "\\") << "directory " << directory;
        ASSERT_EQ(text.compare(0, drive.size(), drive), 0) << "drive " << drive;
        ASSERT_EQ(baseName + dotted, name);
        ASSERT_TRUE(dotted.empty() || dotted[0] == '.');
        ASSERT_EQ(ext, dotted.empty() ? "" : dotted.substr(1));

        // The name holds no delimiter of its own.
        for (size_t i = 0; i < name.size(); i += CharSize(name, i))
            ASSERT_TRUE(CharSize(name, i) > 1 || (name[i] != '\\' && name[i] != ':')) << i;

        TPath copy(text);
        copy.SetName(name);
        ASSERT_EQ(copy.GetPath(), text);
        copy.SetBaseName(baseName);
        ASSERT_EQ(copy.GetPath(), text);
        copy.SetDottedExtension(dotted);
        ASSERT_EQ(copy.GetPath(), text);
        copy.SetExtension(ext);
        // An empty extension drops a lone dot; any other extension comes back.
        const std::string expected = dotted == "." ? text.substr(0, text.size() - 1) : text;
        ASSERT_EQ(copy.GetPath(), expected);

        // A lone lead byte at the end would pair with an appended backslash.
        const bool loneLeadAtEnd = !text.empty() && IsLeadByte(static_cast<unsigned char>(text.back())) &&
                                   !IsTrailByte(text, text.size() - 1);
        TPath trailing(text);
        trailing.IncludeTrailing('\\');
        ASSERT_TRUE(trailing.EndsWith('\\') || loneLeadAtEnd);
        if (!path.EndsWith('\\') && !loneLeadAtEnd) {
            ASSERT_EQ(trailing.ExcludeTrailing('\\').GetPath(), text);
        }

        // The rest must simply not fail.
        TStringList components;
        path.GetComponents(components);
        TPath relative(text);
        relative.MakeRelative(RandomText(random));
        ASSERT_EQ(TPath(text).ToUpper().GetLength(), path.GetLength());
        ASSERT_EQ(TPath(text).ToLower().GetLength(), path.GetLength());
        TPath(text).Append(RandomText(random));
        (void)path.IsValidPath();
        (void)path.IsValidName();
        (void)path.IsWildcardOnly();
        (void)path.IsDrive();
        (void)path.Compare(TPath(RandomText(random)));
    }
}

TEST(PathFuzz, PathListSortsAndFindsAnyText) {
    std::mt19937 random(7);
    TPathList list;
    list.SetSorted(true);
    list.SetDuplicates(dupIgnore);
    std::vector<std::string> added;
    for (int i = 0; i < 2000; ++i) {
        added.push_back(RandomText(random));
        list.Add(added.back());
    }
    for (int i = 1; i < list.Count(); ++i)
        ASSERT_LT(list.CompareStrings(list.Strings(i - 1), list.Strings(i)), 0) << i;
    for (const std::string& text : added)
        ASSERT_GE(list.IndexOf(text), 0) << ::testing::PrintToString(text);
}

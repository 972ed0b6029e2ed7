// The file-system layer: paths converted exactly, long ones made full and
// prefixed, paths from the system without the prefix; every kind of call
// reaching a folder nested beyond MAX_PATH.
#include "framework/Fw_fileapi.h"
#include "tests/common/TestSupport.h"

#include <algorithm>

TEST(FileApi, ALongPathGetsThePrefixAndAShortOneStaysAsGiven) {
    TTempDir dir;
    const std::string level(60, 'n');
    const std::string deep = "C:\\" + level + "\\" + level + "\\" + level + "\\" + level + "\\" + level;
    const std::string share = "\\\\server\\share\\" + level + "\\" + level + "\\" + level + "\\" + level;
    const TCurrentDirectory current(dir.Path());
    const std::string nested = level + "\\" + level + "\\" + level + "\\" + level;
    const std::wstring relative = WideOf(dir.Path()) + L"\\" + WideOf(nested);
    const struct {
        std::string path;
        std::wstring system; // empty: not text of the code page
    } cases[] = {
        {"C:\\a\\b.txt", L"C:\\a\\b.txt"},
        {"b.txt", L"b.txt"},
        {deep, L"\\\\?\\" + WideOf(deep)},
        // Full and normalised, as a prefixed path must be.
        {deep + "\\x\\..\\.\\y/z", L"\\\\?\\" + WideOf(deep) + L"\\y\\z"},
        {nested, L"\\\\?\\" + relative},
        {share, L"\\\\?\\UNC" + WideOf(share.substr(1))},
        {"\\\\?\\C:\\a", L"\\\\?\\C:\\a"},
        {GetACP() == CP_UTF8 ? "a\xFF.txt" : GetACP() == 932 ? "a.tx\x82" : "", L""},
    };
    for (const auto& c : cases) {
        if (c.path.empty())
            continue;
        SCOPED_TRACE(c.path.substr(0, 40));
        std::wstring system;
        SetLastError(kSentinelError);
        EXPECT_EQ(FileApi::ToSystemPath(c.path, system), !c.system.empty());
        EXPECT_TRUE(system == c.system) << Utf8(system);
        if (c.system.empty()) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
        }
    }
    // Back from the system without the prefix; a character that the code
    // page lacks is refused, or read as "?".
    std::string path;
    EXPECT_TRUE(FileApi::FromSystemPath(L"\\\\?\\C:\\a", path));
    EXPECT_EQ(path, "C:\\a");
    EXPECT_TRUE(FileApi::FromSystemPath(L"\\\\?\\UNC\\server\\share\\a", path));
    EXPECT_EQ(path, "\\\\server\\share\\a");
    const bool holdsAll = GetACP() == CP_UTF8;
    EXPECT_EQ(FileApi::FromSystemPath(L"C:\\\u0100\U0001F600", path), holdsAll);
    EXPECT_EQ(FileApi::ReadableSystemPath(L"\\\\?\\C:\\\u0100"), holdsAll ? "C:\\\xC4\x80" : "C:\\?");
}

TEST(FileApi, EveryCallReachesAFolderNestedBeyondMaxPath) {
    TTempDir dir;
    std::string folder = dir.Path();
    for (char level = 'a'; level < 'g'; ++level) {
        folder += "\\" + std::string(60, level);
        ASSERT_TRUE(FileApi::MakeDirectory(folder)) << folder.size();
    }
    const std::string file = folder + "\\a.txt";
    const HANDLE handle = FileApi::OpenFileHandle(file, GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    EXPECT_EQ(FileApi::Attributes(file) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    std::string full;
    EXPECT_TRUE(FileApi::FullPath(folder + "\\x\\..\\a.txt", full));
    EXPECT_EQ(full, file);
    EXPECT_TRUE(FileApi::CopyEntry(file, folder + "\\b.txt", true));
    EXPECT_FALSE(FileApi::CopyEntry(file, folder + "\\b.txt", true));
    EXPECT_TRUE(FileApi::MoveEntry(folder + "\\b.txt", folder + "\\c.txt"));
    std::string temporary;
    EXPECT_TRUE(FileApi::CreateTempFile(folder, "ini", temporary));
    const std::string temporaryName = temporary.substr(folder.size() + 1);
    EXPECT_TRUE(temporaryName.size() == 11 && temporaryName.compare(0, 3, "ini") == 0) << temporaryName;
    EXPECT_EQ(ListDirectory(folder), (std::vector<std::string>{"a.txt", "c.txt", temporaryName}));
    {
        const TCurrentDirectory current(folder);
        EXPECT_NE(FileApi::Attributes("c.txt"), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(FileApi::MaxNameUnits(folder), FileApi::kDefaultMaxNameUnits);
    for (const std::string& name : {std::string("a.txt"), std::string("c.txt"), temporaryName})
        EXPECT_TRUE(FileApi::DeleteEntry(folder + "\\" + name)) << name;
    EXPECT_TRUE(FileApi::RemoveEmptyDirectory(folder));
    EXPECT_EQ(FileApi::Attributes(folder), INVALID_FILE_ATTRIBUTES);
}

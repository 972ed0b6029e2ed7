// The file-system layer: paths converted exactly, long ones made full and
// prefixed, paths from the system without the prefix. The calls on paths
// beyond MAX_PATH are the main window's (mainform_test).
#include "framework/Fw_fileapi.h"
#include "tests/common/TestSupport.h"

TEST(FileApi, ALongPathGetsThePrefixAndAShortOneStaysAsGiven) {
    TTempDir dir;
    const TCurrentDirectory current(dir.Path());
    const std::string level = std::string(60, 'n') + "\\";
    const std::string nested = level + level + level + level + "x";
    const std::string deep = "C:\\" + nested, share = "\\\\server\\share\\" + nested;
    const std::string notText = GetACP() == CP_UTF8 ? "a\xFF" : GetACP() == 932 ? "a\x82" : "";
    const struct {
        std::string path;
        std::wstring system; // empty: refused
    } cases[] = {
        {"C:\\a\\b.txt", L"C:\\a\\b.txt"},
        {"b.txt", L"b.txt"},
        // Full and normalised, as a prefixed path must be.
        {deep + "\\x\\..\\.\\y/z", L"\\\\?\\" + WideOf(deep) + L"\\y\\z"},
        {nested + "\\" + nested, L"\\\\?\\" + WideOf(dir / nested + "\\" + nested)},
        {share, L"\\\\?\\UNC" + WideOf(share.substr(1))},
        {"\\\\?\\C:\\a", L"\\\\?\\C:\\a"},
        {notText, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.substr(0, 40));
        std::wstring system;
        EXPECT_EQ(FileApi::ToSystemPath(c.path, system), !c.system.empty() || c.path.empty());
        EXPECT_TRUE(system == c.system) << Utf8(system);
    }
    // Back from the system without the prefix; a character that the code
    // page lacks is refused, or read as "?".
    std::string path;
    EXPECT_TRUE(FileApi::FromSystemPath(L"\\\\?\\UNC\\server\\share\\a", path));
    EXPECT_EQ(path, "\\\\server\\share\\a");
    EXPECT_EQ(FileApi::FromSystemPath(L"C:\\\u0100", path), GetACP() == CP_UTF8);
    EXPECT_EQ(FileApi::ReadableSystemPath(L"\\\\?\\C:\\\u0100"), GetACP() == CP_UTF8 ? "C:\\\xC4\x80" : "C:\\?");
}

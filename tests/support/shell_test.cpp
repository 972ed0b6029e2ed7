// Dropped files read from drop handles built as the shell builds them.
#include "framework/Fw_handles.h"
#include "support/Vek_shell.h"
#include "tests/common/TestSupport.h"

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A DROPFILES block with the paths, wide as the shell writes it, or in the
// ANSI code page.
HGLOBAL MakeDrop(const std::vector<std::wstring>& paths, bool wide) {
    if (wide)
        return MakeDropBlock(paths);
    std::vector<std::string> ansi;
    for (const std::wstring& path : paths) {
        const int length = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::vector<char> bytes(static_cast<size_t>(length));
        WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, bytes.data(), length, nullptr, nullptr);
        ansi.emplace_back(bytes.data());
    }
    return MakeDropBlock(ansi);
}

// The path as the ANSI functions give it.
std::string Ansi(const std::wstring& path) {
    const int length = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, result.data(), length, nullptr, nullptr);
    result.resize(static_cast<size_t>(length - 1));
    return result;
}

#define EXPECT_SHELL_ERROR(call, message) EXPECT_ERROR_MESSAGE(EShellError, call, message)

const char kIndexError[] = "The program cannot get the path of the dropped file.";
const char kFinishedError[] = "The file drop has been already finished.";
const char kNotHeldError[] =
    "The path of a dropped file holds a character that the system's code page cannot represent.";

} // namespace

TEST(FileDrop, ReadsThePathsInDropOrder) {
    const std::vector<std::vector<std::wstring>> drops = {
        {L"C:\\work\\b.txt", L"C:\\work\\a.txt", L"D:\\photos\\2019 summer"},
        {L"C:\\only one.txt"},
        {L"C:\\" + std::wstring(250, L'x') + L"\\" + std::wstring(200, L'y') + L".dat"},
        {L"C:\\\u65e5\u672c\\\u8a9e.txt", L"C:\\caf\u00e9.txt"},
        {L"C:\\caf\u00e9.txt"},
        {L"C:\\\u65e5\u672c\\\u8a9e.txt"},
        {L"C:\\A\u0100.txt", L"C:\\b.txt"}, // A with macron: "AA.txt" by best fit in 1252
    };
    for (bool wide : {true, false}) {
        for (const auto& paths : drops) {
            SCOPED_TRACE(testing::Message() << (wide ? "wide" : "ANSI") << ", " << paths.size() << " paths");
            TGlobalHandle block(MakeDrop(paths, wide));
            TFileDrop drop(static_cast<HDROP>(block.Get()), false);
            ASSERT_EQ(drop.GetCount(), static_cast<int>(paths.size()));
            // A wide path with a character that the code page cannot hold is
            // refused, never given as a look-alike; what an ANSI drop holds
            // is what its maker wrote.
            bool allHeld = true;
            for (size_t i = 0; i < paths.size(); ++i) {
                std::string held;
                if (!wide || TryWideToAnsi(paths[i], held)) {
                    EXPECT_EQ(drop.GetFile(static_cast<int>(i)), Ansi(paths[i]));
                } else {
                    allHeld = false;
                    EXPECT_SHELL_ERROR(drop.GetFile(static_cast<int>(i)), kNotHeldError);
                }
            }
            TStringList files;
            files.Add("left over");
            if (!allHeld) {
                EXPECT_SHELL_ERROR(drop.GetFiles(files), kNotHeldError);
                EXPECT_EQ(Lines(files), std::vector<std::string>{"left over"});
                continue;
            }
            drop.GetFiles(files);
            ASSERT_EQ(files.Count(), static_cast<int>(paths.size()));
            for (size_t i = 0; i < paths.size(); ++i)
                EXPECT_EQ(files.Strings(static_cast<int>(i)), Ansi(paths[i]));
            EXPECT_SHELL_ERROR(drop.GetFile(static_cast<int>(paths.size())), kIndexError);
            EXPECT_SHELL_ERROR(drop.GetFile(-1), kIndexError);
            EXPECT_FALSE(drop.IsFinished());
        }
    }
}

TEST(FileDrop, AfterFinishOnlyFinishAndIsFinishedMayBeUsed) {
    TGlobalHandle block(MakeDrop({L"C:\\a.txt", L"C:\\b.txt"}, true));
    TFileDrop drop(static_cast<HDROP>(block.Get()), false);
    drop.Finish();
    // DragFinish freed the block.
    block.Detach();
    EXPECT_TRUE(drop.IsFinished());
    TStringList files;
    files.Add("kept");
    EXPECT_SHELL_ERROR(drop.GetCount(), kFinishedError);
    EXPECT_SHELL_ERROR(drop.GetFile(0), kFinishedError);
    EXPECT_SHELL_ERROR(drop.GetFiles(files), kFinishedError);
    EXPECT_EQ(files.Count(), 1) << "a failure leaves the list as it was";
    drop.Finish();
    EXPECT_TRUE(drop.IsFinished());
}

TEST(FileDrop, TheDestructorFinishesOnlyWhenAsked) {
    HGLOBAL kept = MakeDrop({L"C:\\a.txt"}, true);
    { TFileDrop drop(static_cast<HDROP>(kept), false); }
    SetLastError(kSentinelError);
    EXPECT_GT(GlobalSize(kept), 0u) << "the block is still there";
    TGlobalHandle keptOwner(kept);

    HGLOBAL finished = MakeDrop({L"C:\\a.txt"}, true);
    {
        TFileDrop drop(static_cast<HDROP>(finished), true);
        EXPECT_EQ(drop.GetCount(), 1);
    }
    SetLastError(kSentinelError);
    EXPECT_EQ(GlobalSize(finished), 0u) << "DragFinish freed the block";
    EXPECT_NE(GetLastError(), kSentinelError);
}

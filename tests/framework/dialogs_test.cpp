// The open-file dialog and the folder chooser, shown for real and answered as
// a user answers them.
#include "framework/Fw_dialogs.h"
#include "tests/common/DialogTestSupport.h"
#include "tests/common/TestSupport.h"

#include <objbase.h>
#include <shlobj.h>

namespace {

// A shell shortcut to the target, as the shell writes one.
void MakeShortcut(const std::string& link, const std::string& target) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkA* shellLink = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&shellLink));
    if (SUCCEEDED(result)) {
        shellLink->SetPath(target.c_str());
        IPersistFile* file = nullptr;
        result = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
        if (SUCCEEDED(result)) {
            const std::wstring wide(link.begin(), link.end());
            result = file->Save(wide.c_str(), TRUE);
            file->Release();
        }
        shellLink->Release();
    }
    CoUninitialize();
    ASSERT_TRUE(SUCCEEDED(result)) << "no shortcut " << link;
}

// The bytes of a literal with its terminating zero, which may hold zeros of its own.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N);
}

const char* const kNotInCodePage = "\" holds a character that the system's code page cannot represent.";

// Names of several scripts, with what a legacy code page (1252) shows of one
// that it cannot hold.
const struct TScriptName {
    std::wstring name;
    const char* legacyShown; // null: 1252 holds it
} kScriptNames[] = {
    {L"\u03a3\u03bf\u03c6\u03af\u03b1.txt", "?????.txt"}, // Greek
    {L"\u041c\u0438\u0440.txt", "???.txt"},               // Cyrillic
    {L"\u6587\u5b57.txt", "??.txt"},                        // CJK
    {L"\U0001F600.txt", "?.txt"},                           // an emoji: one character, two units
    {L"caf\u00e9.txt", nullptr},
    {L"\u0100.txt", "?.txt"}, // best fit would give "A.txt", another file here
};

std::vector<std::string> Answer(TOpenDialog& dialog, std::vector<TDialogAnswer> answers,
                                std::vector<TDialogSeen>* seen = nullptr) {
    TDialogAnswerer answerer(std::move(answers));
    dialog.Execute(nullptr);
    if (seen)
        *seen = answerer.Seen;
    return Lines(dialog.Files());
}

} // namespace

// ---------------------------------------------------------------- pure steps

TEST(Dialogs, SystemFilterEndsEveryPartInAZero) {
    const struct {
        std::string filter;
        std::string expected;
    } cases[] = {
        {"All|*", Bytes("All\0*\0")},
        {"Text|*.txt|All|*", Bytes("Text\0*.txt\0All\0*\0")},
        {"", Bytes("\0")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemFilter(c.filter), c.expected) << c.filter;
}

TEST(Dialogs, SplitSelectionJoinsNamesToTheFolder) {
    const struct {
        const char* what;
        std::string buffer;
        size_t fileOffset;
        bool fits;
        std::vector<std::string> expected;
    } cases[] = {
        {"one file", Bytes("C:\\d\\a.txt\0"), 5, true, {"C:\\d\\a.txt"}},
        {"one file, old name after it", Bytes("C:\\d\\a.txt\0name.txt\0"), 5, true, {"C:\\d\\a.txt"}},
        {"several", Bytes("C:\\d\0a.txt\0b.txt\0"), 5, true, {"C:\\d\\a.txt", "C:\\d\\b.txt"}},
        {"several in a root", Bytes("C:\\\0a\0b\0"), 4, true, {"C:\\a", "C:\\b"}},
        {"nothing", Bytes("\0"), 0, true, {}},
        {"one file cut short", std::string("C:\\d\\a.t"), 5, false, {}},
        {"several cut short", Bytes("C:\\d\0a.txt\0b.t"), 5, false, {}},
        {"several without the end", Bytes("C:\\d\0a.txt"), 5, false, {}},
        {"a name without its folder", Bytes("a.txt\0b.txt\0"), 0, false, {}},
    };
    for (const auto& c : cases) {
        TStringList files;
        files.Add("stale");
        EXPECT_EQ(SplitSelection(c.buffer, c.fileOffset, files), c.fits) << c.what;
        EXPECT_EQ(Lines(files), c.expected) << c.what;
    }
}

// ---------------------------------------------------------------- TOpenDialog

TEST(OpenDialog, ChosenFilesComeBackAsFullPaths) {
    TTempDir dir;
    dir.MakeFile("a.txt");
    dir.MakeFile("b c.txt");
    dir.MakeFile("d.txt");
    const TCurrentDirectory current(dir.Path());
    const struct {
        const char* what;
        TOpenOptions options;
        std::string typed;
        std::vector<std::string> expected;
    } cases[] = {
        {"one name", ofFileMustExist, "a.txt", {dir / "a.txt"}},
        {"a full path", ofFileMustExist, dir / "d.txt", {dir / "d.txt"}},
        {"one of several allowed", ofAllowMultiSelect | ofFileMustExist, "b c.txt", {dir / "b c.txt"}},
        {"several, in the order typed",
         ofAllowMultiSelect | ofFileMustExist,
         "\"d.txt\" \"a.txt\" \"b c.txt\"",
         {dir / "d.txt", dir / "a.txt", dir / "b c.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TOpenDialog dialog;
        dialog.SetTitle("Add");
        dialog.SetFilter("All|*");
        dialog.SetOptions(c.options);
        std::vector<TDialogSeen> seen;
        EXPECT_EQ(Answer(dialog, {{c.typed}}, &seen), c.expected);
        EXPECT_EQ(dialog.FileName(), c.expected.front());
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].Caption, "Add");
    }
}

TEST(OpenDialog, FilterIndexIsReadBack) {
    TTempDir dir;
    dir.MakeFile("a.txt");
    const TCurrentDirectory current(dir.Path());
    TOpenDialog dialog;
    dialog.SetFilter("Text|*.txt|All|*");
    Answer(dialog, {{"a.txt", IDOK, 2}});
    EXPECT_EQ(dialog.FilterIndex(), 2);
    Answer(dialog, {{"a.txt"}});
    EXPECT_EQ(dialog.FilterIndex(), 2) << "the filter chosen last is offered again";
    Answer(dialog, {{"a.txt", IDOK, 1}});
    EXPECT_EQ(dialog.FilterIndex(), 1);
}

TEST(OpenDialog, AChoiceTooLargeForTheRoomAsksAgainWithMore) {
    TTempDir dir;
    const std::string names[] = {"first-long-name.txt", "second-long-name.txt", "third-long-name.txt"};
    for (const std::string& name : names)
        dir.MakeFile(name);
    const TCurrentDirectory current(dir.Path());
    TOpenDialog dialog;
    dialog.SetOptions(ofAllowMultiSelect | ofFileMustExist);
    // Room for the folder and the first name only: twice as much holds all.
    dialog.SetInitialBufferSize(static_cast<std::uint32_t>(dir.Path().size() + names[0].size() + 3));
    const std::string typed = "\"" + names[0] + "\" \"" + names[1] + "\" \"" + names[2] + "\"";
    std::vector<TDialogSeen> seen;
    const std::vector<std::string> files = Answer(dialog, {{typed}, {typed}}, &seen);
    EXPECT_EQ(files, (std::vector<std::string>{dir / names[0], dir / names[1], dir / names[2]}));
    EXPECT_EQ(seen.size(), 2u);
}

TEST(OpenDialog, ShortcutsAreFollowedUnlessTheOptionSaysNot) {
    TTempDir dir;
    const std::string target = dir.MakeFile("target.txt");
    MakeShortcut(dir / "link.lnk", target);
    const TCurrentDirectory current(dir.Path());
    const struct {
        TOpenOptions options;
        std::string expected;
    } cases[] = {
        {ofFileMustExist, target},
        {ofFileMustExist | ofNoDereferenceLinks, dir / "link.lnk"},
    };
    for (const auto& c : cases) {
        TOpenDialog dialog;
        dialog.SetOptions(c.options);
        EXPECT_EQ(Answer(dialog, {{"link.lnk"}}), std::vector<std::string>{c.expected}) << c.options;
    }
}

TEST(Dialogs, SplitSelectionOfUtf16Names) {
    const struct {
        const char* what;
        std::wstring buffer;
        size_t fileOffset;
        bool fits;
        std::vector<std::wstring> expected;
    } cases[] = {
        {"one file", std::wstring(L"C:\\\u6587\\\U0001F600.txt\0", 13), 5, true, {L"C:\\\u6587\\\U0001F600.txt"}},
        {"several", std::wstring(L"C:\\\u03a3\0a\0\u041c\0\0", 10), 5, true,
         {L"C:\\\u03a3\\a", L"C:\\\u03a3\\\u041c"}},
        {"several in a root", std::wstring(L"C:\\\0a\0\0", 7), 4, true, {L"C:\\a"}},
        {"several cut short", std::wstring(L"C:\\d\0a\0b", 8), 5, false, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> files{L"stale"};
        EXPECT_EQ(SplitSelection(c.buffer, c.fileOffset, files), c.fits) << c.what;
        EXPECT_TRUE(files == c.expected) << c.what;
    }
}

// Under UTF-8 every name comes back exactly; under a legacy code page a name
// that it cannot hold refuses the choice, naming the path, and never comes
// back as a look-alike ("A.txt" for "\u0100.txt").
TEST(OpenDialog, NamesOfEveryScriptComeBackExactlyOrAreRefused) {
    TTempDir dir;
    dir.MakeFile("A.txt");
    dir.MakeFile("a.txt");
    for (const TScriptName& c : kScriptNames)
        MakeWideEntry(dir, c.name);
    const TCurrentDirectory current(dir.Path());
    const bool utf8 = GetACP() == CP_UTF8;
    for (const TScriptName& c : kScriptNames) {
        SCOPED_TRACE(Utf8(c.name));
        TOpenDialog dialog;
        dialog.SetOptions(ofFileMustExist);
        TDialogAnswerer answerer({TDialogAnswer{"", IDOK, 0, c.name}});
        if (utf8 || !c.legacyShown) {
            std::string expected;
            ASSERT_TRUE(TryWideToAnsi(c.name, expected));
            dialog.Execute(nullptr);
            EXPECT_EQ(Lines(dialog.Files()), std::vector<std::string>{dir / expected});
        } else {
            EXPECT_ERROR_MESSAGE(EDialogError, dialog.Execute(nullptr),
                                 "The path \"" + (dir / c.legacyShown) + kNotInCodePage);
            EXPECT_EQ(dialog.Files().Count(), 0);
            EXPECT_EQ(dialog.FileName(), "");
        }
    }
}

TEST(OpenDialog, SeveralNamesOfAnotherScriptComeBackExactly) {
    if (GetACP() != CP_UTF8)
        GTEST_SKIP() << "Wine's dialog reports the other files of such a choice not found under a legacy code page";
    TTempDir dir;
    dir.MakeFile("a.txt");
    MakeWideEntry(dir, L"\u041c\u0438\u0440.txt");
    const TCurrentDirectory current(dir.Path());
    TOpenDialog dialog;
    dialog.SetOptions(ofAllowMultiSelect | ofFileMustExist);
    TDialogAnswerer answerer({TDialogAnswer{"", IDOK, 0, L"\"a.txt\" \"\u041c\u0438\u0440.txt\""}});
    dialog.Execute(nullptr);
    EXPECT_EQ(Lines(dialog.Files()), (std::vector<std::string>{dir / "a.txt", dir / "\xD0\x9C\xD0\xB8\xD1\x80.txt"}));
}

// ---------------------------------------------------------------- SelectDirectory

TEST(SelectDirectory, OkReturnsTheStartDirectorySelected) {
    TTempDir dir;
    const std::string start = dir.MakeDir("start here");
    TDialogAnswerer answerer({TDialogAnswer{}});
    EXPECT_EQ(SelectDirectory("Specify the directory.", start, nullptr), start);
    ASSERT_EQ(answerer.Seen.size(), 1u);
    EXPECT_TRUE(answerer.Seen[0].Shows("Specify the directory."));
}

TEST(SelectDirectory, CancelAborts) {
    TTempDir dir;
    for (const std::string& start : {dir.Path(), dir / "missing"}) {
        TDialogAnswerer answerer({{"", IDCANCEL}});
        EXPECT_THROW(SelectDirectory("Specify the directory.", start, nullptr), EAbort) << start;
    }
}

TEST(SelectDirectory, FoldersOfEveryScriptComeBackExactlyOrAreRefused) {
    TTempDir dir;
    for (const TScriptName& c : kScriptNames)
        MakeWideEntry(dir, c.name, true);
    const bool utf8 = GetACP() == CP_UTF8;
    for (const TScriptName& c : kScriptNames) {
        SCOPED_TRACE(Utf8(c.name));
        const TDialogAnswer answer{"", IDOK, 0, L"", WideOf(dir.Path()) + L"\\" + c.name};
        // The chooser's answer, or the message of its error; asked again
        // (three times at most) when Wine's shell did not find the folder.
        const auto choose = [&]() -> std::string {
            for (int attempt = 0; attempt < 3; ++attempt) {
                TDialogAnswerer answerer({answer});
                try {
                    return SelectDirectory("Specify the directory.", dir.Path(), nullptr);
                } catch (const EAbort&) {
                    if (answerer.SelectionsMissed != 1)
                        return "cancelled, yet the folder was selected";
                } catch (const EDialogError& error) {
                    return error.Message();
                }
            }
            return "the chooser never selected the folder";
        };
        if (utf8 || !c.legacyShown) {
            std::string expected;
            ASSERT_TRUE(TryWideToAnsi(c.name, expected));
            EXPECT_EQ(choose(), dir / expected);
        } else {
            EXPECT_EQ(choose(), "The path \"" + (dir / c.legacyShown) + kNotInCodePage);
        }
    }
}

// File operations on a real disk, in a unique temporary folder per test.
#include "framework/Fw_fileapi.h"
#include "support/Vek_file.h"
#include "tests/common/TestSupport.h"

// The error of a throwing form, with its exact message.
#define EXPECT_FILE_ERROR(call, message) EXPECT_ERROR_MESSAGE(EFileError, call, message)

TEST(FileRename, RenamesInPlace) {
    TTempDir dir;
    TFiles files;
    const struct {
        const char* oldName;
        const char* newName;
        bool directory;
    } cases[] = {
        {"a.txt", "b.txt", false}, {"photo.JPG", "2019 photo.jpg", false}, {"folder", "renamed folder", true},
        {"x", "x.tar.gz", false},  {"same.txt", "same.txt", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.oldName) + " -> " + c.newName);
        const std::string path = c.directory ? dir.MakeDir(c.oldName) : dir.MakeFile(c.oldName, c.oldName);
        ASSERT_TRUE(files.TryRename(path, c.newName));
        EXPECT_EQ(NameOnDisk(dir / c.newName), c.newName);
        if (std::string(c.oldName) != c.newName) {
            EXPECT_FALSE(EntryExists(path));
        }
        if (!c.directory) {
            EXPECT_EQ(ReadFileText(dir / c.newName), c.oldName);
        }
    }
}

TEST(FileRename, ChangesTheLetterCaseOnDisk) {
    // One call on Windows; under Wine on a case-sensitive host the system
    // reports success and changes nothing, and the rename goes through an
    // unused name. Either way the name on disk is the one asked for.
    TTempDir dir;
    TFiles files;
    const struct {
        const char* oldName;
        const char* newName;
        bool directory;
    } cases[] = {
        {"a.txt", "A.TXT", false},
        {"Mixed.Case", "mixed.case", false},
        {"dir", "DIR", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.oldName) + " -> " + c.newName);
        const std::string path = c.directory ? dir.MakeDir(c.oldName) : dir.MakeFile(c.oldName, "contents");
        ASSERT_TRUE(files.TryRename(path, c.newName));
        EXPECT_EQ(NameOnDisk(dir / c.newName), c.newName);
        if (!c.directory) {
            EXPECT_EQ(ReadFileText(dir / c.newName), "contents");
        }
        // Nothing is left behind under a temporary name.
        EXPECT_EQ(ListDirectory(dir.Path()).size(), static_cast<size_t>(&c - cases + 1));
    }
}

TEST(FileRename, RefusesWithoutTouchingTheDisk) {
    TTempDir dir;
    TFiles files;
    const std::string a = dir.MakeFile("a.txt", "a");
    dir.MakeFile("b.txt", "b");
    const struct {
        std::string path, newName;
    } cases[] = {
        {a, ""},   {"", "x.txt"}, {a, "sub\\x.txt"}, {a, "C:x.txt"}, {a, "x/y"}, {a, "x*"},
        {a, "x?"}, {a, "x\"y"},   {a, "x<y"},        {a, "x>y"},     {a, "x|y"}, {a, "x\ty"},
        {a, "x\x1Fy"}, {a, std::string("x\0y", 3)},
        // Longer than any file system's name.
        {a, std::string(256, 'n')}, {a, std::string(252, 'n') + ".txt"}, {a, std::string(100000, 'n')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.newName.substr(0, 40)) + " of " + std::to_string(c.newName.size()));
        SetLastError(kSentinelError);
        EXPECT_FALSE(files.TryRename(c.path, c.newName));
        EXPECT_EQ(GetLastError(), kSentinelError); // no system call was made
    }
    EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST(FileRename, FailsWhereTheSystemWouldChangeTheName) {
    // The system drops trailing dots and blanks; the entry would not carry the
    // requested name, so the rename fails and the old name stays.
    TTempDir dir;
    TFiles files;
    const std::string a = dir.MakeFile("a.txt", "a");
    for (const char* newName : {"b.", "b ", "b. .", "b.."}) {
        SCOPED_TRACE(::testing::PrintToString(newName));
        EXPECT_FALSE(files.TryRename(a, newName));
        EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{"a.txt"});
        EXPECT_EQ(ReadFileText(a), "a");
    }
    // Device names are refused by the system itself.
    for (const char* device : {"NUL", "con.txt", "COM1"}) {
        SCOPED_TRACE(device);
        EXPECT_FALSE(files.TryRename(a, device));
        EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{"a.txt"});
    }
}

TEST(FileRename, ARenameTakenBackKeepsTheNameAsTheDiskSpellsIt) {
    // The path names the entry in other letter case than the disk does.
    const struct {
        bool directory;
        const char* newName;
    } cases[] = {{false, "abc "}, {false, "abc."}, {true, "abc "}, {true, "abc."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << (c.directory ? "directory" : "file") << " to \"" << c.newName << "\"");
        TTempDir dir;
        c.directory ? dir.MakeDir("bdA.D") : dir.MakeFile("bdA.D", "x");
        EXPECT_FALSE(TFiles().TryRename(dir / "Bda.d", c.newName));
        EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{"bdA.D"});
    }
}

TEST(FileRename, NeverReplacesAnExistingEntry) {
    TTempDir dir;
    TFiles files;
    const std::string a = dir.MakeFile("a.txt", "a");
    dir.MakeFile("b.txt", "b");
    dir.MakeDir("d");
    for (const char* target : {"b.txt", "B.TXT", "d"}) {
        SCOPED_TRACE(target);
        SetLastError(kSentinelError);
        EXPECT_FALSE(files.TryRename(a, target));
        EXPECT_NE(GetLastError(), kSentinelError);
        EXPECT_EQ(ReadFileText(a), "a");
        EXPECT_EQ(ReadFileText(dir / "b.txt"), "b");
    }
    EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"a.txt", "b.txt", "d"}));
}

TEST(FileRename, ReportsAMissingSource) {
    TTempDir dir;
    TFiles files;
    SetLastError(kSentinelError);
    EXPECT_FALSE(files.TryRename(dir / "missing.txt", "x.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(EntryExists(dir / "x.txt"));
    EXPECT_FILE_ERROR(files.Rename(dir / "missing.txt", "x.txt"), "The program could not rename the file.");
}

// Names that are not ASCII, put on disk in the code page the suite runs
// under (each case names its code page): Latin-1 letters in 1252; in 932
// double-byte characters whose second byte is a backslash (0x5C), and
// half-width katakana. A change of letter case only, of an accented or a
// full-width name, is a rename too. Each is renamed and back.
TEST(FileRename, RenamesNamesThatAreNotAscii) {
    const struct {
        unsigned codePage;
        const char* oldName;
        const char* newName;
        bool directory;
    } cases[] = {
        {1252, "caf\xE9.txt", "Caf\xE9 cr\xE8me br\xFBl\xE9\x65.txt", false},
        {1252, "plain.txt", "na\xEFve \xA3\xA7\xB5\xBD.txt", false},
        {1252, "\xE9t\xE9.txt", "\xC9T\xC9.TXT", false},
        {1252, "\xC5ngstr\xF6m", "\xE5NGSTR\xD6M", true},
        {932, "\x95\x5C.txt", "\x83\x5C\x83\x74\x83\x67.txt", false}, // hyou -> sofuto
        {932, "\x8B\x40\x94\x5C", "\x8B\x40\x94\x5C\x82\xA0", true},  // kinou -> kinou-a
        {932, "plain.txt", "\xB6\xC0\xB6\xC5.txt", false},            // half-width katakana
        {932, "\x82\x60\x82\x61.txt", "\x82\x81\x82\x82.txt", false}, // full-width AB -> ab
        {65001, "\xC3\xA9t\xC3\xA9.txt", "\xC3\x89T\xC3\x89.TXT", false},                 // été -> ÉTÉ
        {65001, "\xD0\x94\xD0\xBE\xD0\xBC", "\xD0\xB4\xD0\xBE\xD0\xBC", true},           // Дом -> дом
        {65001, "plain.txt", "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80.txt", false},     // Chinese, an emoji
        {65001, "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87", true},
    };
    int run = 0;
    for (const auto& c : cases) {
        if (c.codePage != GetACP())
            continue;
        ++run;
        SCOPED_TRACE(::testing::PrintToString(c.oldName) + " -> " + ::testing::PrintToString(c.newName));
        TTempDir dir;
        const std::string path = c.directory ? dir.MakeDir(c.oldName) : dir.MakeFile(c.oldName, "contents");
        ASSERT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{c.oldName}) << "not created as named";
        ASSERT_TRUE(TFiles().TryRename(path, c.newName));
        EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{c.newName});
        if (!c.directory) {
            EXPECT_EQ(ReadFileText(dir / c.newName), "contents");
        }
        ASSERT_TRUE(TFiles().TryRename(dir / c.newName, c.oldName));
        EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{c.oldName});
    }
    EXPECT_GT(run, 0) << "no case for code page " << GetACP();
}

// The system stores names in UTF-16 and drops trailing dots and blanks: a
// name that would not come back as given is refused before the disk is
// touched, never reported done under another name.
TEST(FileRename, RefusesANameTheSystemWouldStoreOtherwise) {
    const struct {
        unsigned codePage; // 0: any
        const char* newName;
    } cases[] = {
        {0, "b."},
        {0, "b "},
        {0, "b. ."},
        {932, "\xED\x40.txt"},  // a second spelling: the system stores 0xFA 0x5C
        {932, "a\x81\x20.txt"}, // a lead byte without its trail byte
        {932, "a.tx\x82"},      // a lead byte at the end
    };
    TTempDir dir;
    const std::string a = dir.MakeFile("a.txt", "a");
    for (const auto& c : cases) {
        if (c.codePage != 0 && c.codePage != GetACP())
            continue;
        SCOPED_TRACE(::testing::PrintToString(c.newName));
        EXPECT_FALSE(TFiles().TryRename(a, c.newName));
        EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{"a.txt"});
    }
}

// A name's length counts as the file system counts it, in UTF-16 units,
// against the longest name that its volume takes (255 on Wine's drives and
// on NTFS); a name too long is refused with the limit in characters.
TEST(FileRename, ANameIsKeptUpToTheVolumesLongestNameInUtf16Units) {
    TTempDir dir;
    std::wstring emoji;
    for (int i = 0; i < 128; ++i)
        emoji += L"\U0001F600";
    const struct {
        std::wstring name;
        bool kept;
    } cases[] = {
        {std::wstring(251, L'x') + L".txt", true},
        {std::wstring(252, L'x') + L".txt", false},
        {std::wstring(100, L'\u3042'), true},   // 300 bytes in UTF-8, 200 in code page 932
        {emoji.substr(0, 254) + L"x", true},    // 255 units
        {emoji, false},                         // 256 units
    };
    for (const auto& c : cases) {
        std::string name;
        if (!TryWideToAnsi(c.name, name))
            continue; // the code page cannot hold it
        SCOPED_TRACE(name.substr(0, 12) + "... of " + std::to_string(c.name.size()));
        EXPECT_EQ(IsStorableName(dir.Path(), name), c.kept);
        EXPECT_EQ(NameTooLongMessage(dir.Path(), name),
                  c.kept ? "" : "The name \"" + name + "\" is too long: the disk takes names of at most 255 characters.");
    }
}

// The long form as Windows makes it: a component without a tilde as it
// stands (letter case kept), one with a tilde looked up in its directory.
TEST(FileQueries, LongPathsOfShortNames) {
    TTempDir dir;
    dir.MakeDir("Holiday pictures");
    TLongPathNames names;
    std::uint32_t attributes = 0;
    for (const char* name : {"Picture number 1.jpeg", "Picture number 2.jpeg", "a~b.txt"}) {
        const std::string path = dir.MakeFile(std::string("Holiday pictures\\") + name);
        std::wstring shortPath(32768, L'\0');
        shortPath.resize(GetShortPathNameW(WideOf(path).c_str(), shortPath.data(), 32768));
        EXPECT_EQ(names.Get(NarrowOf(shortPath), attributes), path) << NarrowOf(shortPath);
    }
    EXPECT_EQ(names.Get(dir / "HOLIDAY PICTURES", attributes), dir / "HOLIDAY PICTURES");
    std::string longPath;
    EXPECT_FALSE(names.TryGet(dir / "NOSUCH~1\\x.txt", longPath, attributes));
}

TEST(FileRename, ARelativePathIsResolvedAgainstTheCurrentDirectory) {
    TTempDir dir;
    TFiles files;
    dir.MakeFile("rel.txt", "r");
    const std::string saved = files.GetWorkingDirectory();
    files.SetWorkingDirectory(dir.Path());
    EXPECT_EQ(files.GetWorkingDirectory(), dir.Path());
    EXPECT_TRUE(files.TryRename("rel.txt", "moved.txt"));
    files.SetWorkingDirectory(saved);
    EXPECT_FALSE(EntryExists(dir / "rel.txt"));
    EXPECT_EQ(ReadFileText(dir / "moved.txt"), "r");
}

TEST(FileOperations, MoveCopyDeleteAndRemoveDirectory) {
    TTempDir dir;
    TFiles files;
    const std::string a = dir.MakeFile("a", "1");
    const std::string b = dir.MakeFile("b", "2");
    const std::string sub = dir.MakeDir("sub");

    EXPECT_FALSE(files.TryMove(a, b));
    EXPECT_TRUE(files.TryMove(a, sub + "\\a"));
    EXPECT_FALSE(EntryExists(a));
    EXPECT_EQ(ReadFileText(sub + "\\a"), "1");

    EXPECT_FALSE(files.TryCopy(b, sub + "\\a", false));
    EXPECT_EQ(ReadFileText(sub + "\\a"), "1");
    EXPECT_TRUE(files.TryCopy(b, sub + "\\a", true));
    EXPECT_EQ(ReadFileText(sub + "\\a"), "2");
    EXPECT_TRUE(files.TryCopy(b, dir / "c", false));
    EXPECT_EQ(ReadFileText(dir / "c"), "2");

    EXPECT_FALSE(files.TryRemoveDir(sub)); // not empty
    EXPECT_TRUE(files.TryDelete(sub + "\\a"));
    EXPECT_FALSE(EntryExists(sub + "\\a"));
    EXPECT_TRUE(files.TryRemoveDir(sub));
    EXPECT_FALSE(EntryExists(sub));

    EXPECT_FILE_ERROR(files.Move(dir / "none", dir / "x"), "The program could not move the file.");
    EXPECT_FILE_ERROR(files.Copy(dir / "none", dir / "x", true), "The program could not copy the file.");
    EXPECT_FILE_ERROR(files.Delete(dir / "none"), "The program could not delete the file.");
    EXPECT_FILE_ERROR(files.RemoveDir(dir / "none"), "The program could not remove the directory.");
    files.Move(b, dir / "b2");
    EXPECT_EQ(ReadFileText(dir / "b2"), "2");
}

TEST(FileOperations, ThrowingFormsGoThroughTheTryForms) {
    // A class that overrides the try forms changes the throwing forms too.
    class TRefusingFiles : public TFiles {
    public:
        int Calls = 0;
        bool TryMove(const std::string&, const std::string&) override { return ++Calls, false; }
        bool TryCopy(const std::string&, const std::string&, bool) override { return ++Calls, false; }
        bool TryDelete(const std::string&) override { return ++Calls, false; }
        bool TryRename(const std::string&, const std::string&) override { return ++Calls, false; }
        bool TryRemoveDir(const std::string&) override { return ++Calls, false; }
    } files;
    TTempDir dir;
    const std::string a = dir.MakeFile("a", "1");
    EXPECT_FILE_ERROR(files.Move(a, dir / "b"), "The program could not move the file.");
    EXPECT_FILE_ERROR(files.Copy(a, dir / "b", true), "The program could not copy the file.");
    EXPECT_FILE_ERROR(files.Delete(a), "The program could not delete the file.");
    EXPECT_FILE_ERROR(files.Rename(a, "b"), "The program could not rename the file.");
    EXPECT_FILE_ERROR(files.RemoveDir(dir.Path()), "The program could not remove the directory.");
    EXPECT_EQ(files.Calls, 5);
    EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{"a"});
}

TEST(FileQueries, ExistenceAndKind) {
    TTempDir dir;
    TFiles files;
    const std::string file = dir.MakeFile("f.txt");
    const std::string sub = dir.MakeDir("d");
    const struct {
        std::string path;
        bool exists, directory, regular;
    } cases[] = {
        {file, true, false, true},
        {sub, true, true, false},
        {dir / "missing", false, false, false},
        {"", false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(files.Exists(c.path), c.exists);
        EXPECT_EQ(files.IsDirectory(c.path), c.directory);
        EXPECT_EQ(files.IsRegularFile(c.path), c.regular);
    }
    EXPECT_TRUE(files.DriveExists("C:\\"));
    EXPECT_FALSE(files.DriveExists("Q:\\"));
}

TEST(FileQueries, AttributesAndTheirError) {
    TTempDir dir;
    const std::string sub = dir.MakeDir("d");
    EXPECT_NE(TFile(sub).GetAttributes() & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(TFile(dir.MakeFile("f")).GetAttributes() & FILE_ATTRIBUTE_DIRECTORY, 0u);
    std::uint32_t attributes = 12345;
    SetLastError(kSentinelError);
    EXPECT_FALSE(TFile(dir / "missing").TryGetAttributes(attributes));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(attributes, 12345u);
    EXPECT_FILE_ERROR(TFile(dir / "missing").GetAttributes(),
                      "The program could not get the attributes of the file.");
}

TEST(FileQueries, LongPath) {
    TTempDir dir;
    const std::string file = dir.MakeFile("a long name.text");
    std::string longPath;
    EXPECT_TRUE(TFile(file).TryGetLongPath(longPath));
    EXPECT_EQ(longPath, file);
    EXPECT_EQ(TFile(file).GetLongPath(), file);

    // Refused before the system is asked: not a valid path.
    for (const std::string& bad : {std::string("C:\\a*b"), std::string("C:\\a|b")}) {
        SetLastError(kSentinelError);
        EXPECT_FALSE(TFile(bad).TryGetLongPath(longPath));
        EXPECT_EQ(GetLastError(), kSentinelError);
    }
    EXPECT_FALSE(TFile(dir / "missing").TryGetLongPath(longPath));
    EXPECT_FILE_ERROR(TFile(dir / "missing").GetLongPath(),
                      "The program could not get the long path of the file.");
}

TEST(FileTemp, CreatesAnEmptyFileWithTheShortPrefix) {
    TTempDir dir;
    TFiles files;
    const std::string created = files.CreateTempFile(dir.Path(), "abc");
    EXPECT_EQ(TPath(created).GetDirectory(), dir.Path());
    EXPECT_EQ(TPath(created).GetName().substr(0, 3), "abc");
    EXPECT_EQ(ReadFileText(created), "");
    EXPECT_NE(files.CreateTempFile(dir.Path(), ""), created);

    SetLastError(kSentinelError);
    EXPECT_FILE_ERROR(files.CreateTempFile(dir.Path(), "abcd"), "The prefix is too long.");
    EXPECT_EQ(GetLastError(), kSentinelError);
    EXPECT_EQ(ListDirectory(dir.Path()).size(), 2u);
    EXPECT_FILE_ERROR(files.CreateTempFile(dir / "missing", "abc"),
                      "The program could not create the temporary file.");
}

// A folder stored under another code page, whose bytes are not UTF-8, is not
// entered: the system would read them as the substitute character, which
// names another folder (here one called by that very character).
TEST(FileWorkingDirectory, APathThatIsNoTextIsIgnored) {
    if (!IsUtf8CodePage())
        GTEST_SKIP() << "needs UTF-8 as the ANSI code page (the code page 65001 run)";
    TTempDir dir;
    const std::string substitute = dir.MakeDir("\xEF\xBF\xBD");
    TFiles files;
    const std::string saved = files.GetWorkingDirectory();
    files.SetWorkingDirectory(dir.Path());
    files.SetWorkingDirectory(dir / "\xE9");
    EXPECT_EQ(files.GetWorkingDirectory(), dir.Path());
    files.SetWorkingDirectory(substitute);
    EXPECT_EQ(files.GetWorkingDirectory(), substitute);
    files.SetWorkingDirectory(saved);
}

TEST(FileWorkingDirectory, AMissingDirectoryIsIgnored) {
    TTempDir dir;
    TFiles files;
    const std::string saved = files.GetWorkingDirectory();
    files.SetWorkingDirectory(dir.Path());
    files.SetWorkingDirectory(dir / "missing");
    EXPECT_EQ(files.GetWorkingDirectory(), dir.Path());
    files.SetWorkingDirectory(saved);
    EXPECT_EQ(files.GetWorkingDirectory(), saved);
}

// The in-memory INI file.
#include "framework/Fw_inifiles.h"
#include "tests/common/TestSupport.h"

#include <vector>

namespace {

using Texts = std::vector<std::string>;

// An INI file with no file behind it, filled from a text.
class TTextIni : public TMemIniFile {
public:
    explicit TTextIni(const std::string& text) : TMemIniFile(std::string()) { SetText(text); }
};

#define EXPECT_INI_ERROR(call, message) EXPECT_ERROR_MESSAGE(EIniFileError, call, message)

const char* const kSample = "; written by hand\r\n"
                            "[System]\r\n"
                            "CurrentDirectory=C:\\Work\r\n"
                            "\r\n"
                            "[MainForm,ViewHandler]\r\n"
                            "  ShowToolbar = 0 \r\n"
                            "Unknown=kept\r\n"
                            "damaged line without equals\r\n"
                            "ShowToolbar=1\r\n"
                            "\r\n"
                            "[Foreign]\r\n"
                            "Key=Value\r\n"
                            "[system]\r\n"
                            "CurrentDirectory=D:\\Second\r\n"
                            "Extra=only here\r\n";

} // namespace

TEST(MemIniFileRead, FindsSectionsAndKeysAsWindowsDoes) {
    TTextIni ini(kSample);
    const struct {
        const char* section;
        const char* key;
        const char* expected; // "<default>" when the default comes back
    } cases[] = {
        {"System", "CurrentDirectory", "C:\\Work"},
        {"SYSTEM", "currentdirectory", "C:\\Work"},   // without regard to case
        {"System", "Extra", "<default>"},             // a later duplicate section is not read
        {"MainForm,ViewHandler", "ShowToolbar", "0"}, // blanks around, first duplicate key wins
        {"mainform,viewhandler", "Unknown", "kept"},  //
        {"MainForm,ViewHandler", "damaged line without equals", "<default>"},
        {"MainForm", "ShowToolbar", "<default>"}, // sections are whole names
        {"Foreign", "Key", "Value"},              //
        {"Missing", "Key", "<default>"},          //
        {"", "", "<default>"},                    //
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " / " + c.key);
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.expected);
    }
}

TEST(MemIniFileRead, ParsesEveryKindOfLine) {
    const struct {
        std::string text;
        const char* key;
        std::string expected;
    } cases[] = {
        {"[S]\nK=v", "K", "v"},                         // LF only, no final break
        {"[S]\rK=v\r", "K", "v"},                       // CR only
        {"  [ S ]  trailing\r\nK=v", "K", "v"},         // blanks around the name, text after "]"
        {"[S]\r\nK=\"  quoted  \"", "K", "  quoted  "}, // one pair of quotes is removed
        {"[S]\r\nK=\"\"", "K", ""},                     //
        {"[S]\r\nK=\"open", "K", "\"open"},             // a lone quote stays
        {"[S]\r\nK=a=b", "K", "a=b"},                   // the first "=" splits
        {"[S]\r\nK=", "K", ""},                         //
        {"[S]\r\n=value", "", "<default>"},             // no key
        {"[S]\r\n;K=comment", ";K", "<default>"},       // a comment is no key
        {"[S]\r\n[broken\r\nK=v", "K", "v"},            // a damaged header stays in the section before
        {"K=v\r\n[S]", "K", "<default>"},               // a key before every section belongs to none
        {"[S]\r\nK=1\r\nK=2", "K", "1"},                // duplicate keys: the first
        {std::string("[S]\r\nK=a\0b", 10), "K", std::string("a\0b", 3)}, // a zero byte ends nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        TTextIni ini(c.text);
        EXPECT_EQ(ini.ReadString("S", c.key, "<default>"), c.expected);
        // Whatever the lines were, they come back: only the line breaks change.
        TTextIni again(ini.GetText());
        EXPECT_EQ(again.GetText(), ini.GetText());
    }
}

TEST(MemIniFileRead, IntegersAndBooleansKeepTheCurrentValueUnlessValid) {
    const struct {
        const char* line; // empty: the key is missing
        int current;
        int expectedInteger;
        bool currentBool;
        bool expectedBool;
    } cases[] = {
        {"", 7, 7, true, true},
        {"", 7, 7, false, false},
        {"V=42", 7, 42, false, true},
        {"V= -3 ", 7, -3, false, true},
        {"V=0", 7, 0, true, false},
        {"V=0x10", 7, 16, false, true},
        {"V=2", 7, 2, false, true}, // any non-zero integer is true
        {"V=abc", 7, 7, true, true},
        {"V=abc", 7, 7, false, false},
        {"V=", 7, 7, true, true},
        {"V=12abc", 7, 7, false, false},
        {"V=99999999999", 7, 7, true, true}, // out of range
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TTextIni ini(std::string("[S]\r\n") + c.line + "\r\n");
        EXPECT_EQ(ini.ReadInteger("S", "V", c.current), c.expectedInteger);
        EXPECT_EQ(ini.ReadBool("S", "V", c.currentBool), c.expectedBool);
    }
}

TEST(MemIniFileWrite, ChangesOnlyWhatItWrites) {
    TTextIni ini(kSample);
    ini.WriteString("system", "currentdirectory",
                    "E:\\New"); // the first section, the key as spelt in the file
    ini.WriteBool("MainForm,ViewHandler", "SHOWTOOLBAR", true);         // the first of the duplicate keys
    ini.WriteInteger("MainForm,ViewHandler", "RememberPlacement", -12); // after the section's last line
    ini.WriteString("Foreign", "Key", " padded ");
    ini.WriteString("MainForm,ViewHandler,Form,Bounds", "Left", "10"); // a new section at the end
    EXPECT_EQ(ini.GetText(), "; written by hand\r\n"
                             "[System]\r\n"
                             "CurrentDirectory=E:\\New\r\n"
                             "\r\n"
                             "[MainForm,ViewHandler]\r\n"
                             "ShowToolbar=1\r\n"
                             "Unknown=kept\r\n"
                             "damaged line without equals\r\n"
                             "ShowToolbar=1\r\n"
                             "RememberPlacement=-12\r\n"
                             "\r\n"
                             "[Foreign]\r\n"
                             "Key=\" padded \"\r\n"
                             "[system]\r\n"
                             "CurrentDirectory=D:\\Second\r\n"
                             "Extra=only here\r\n"
                             "\r\n"
                             "[MainForm,ViewHandler,Form,Bounds]\r\n"
                             "Left=10\r\n");
}

TEST(MemIniFileWrite, EveryValueReadsBackAsWritten) {
    const std::string values[] = {
        "",       "plain",   " leading", "trailing\t",      "\"quoted\"",      "\"",
        "\"open", "close\"", "a=b",      "; not a comment", "[not a section]", "\xE9t\xE9"};
    TMemIniFile ini(std::string{});
    for (const std::string& value : values)
        ini.WriteString("S", "K" + IntToStr(&value - values), value);
    TTextIni again(ini.GetText());
    for (const std::string& value : values)
        EXPECT_EQ(again.ReadString("S", "K" + IntToStr(&value - values), "<default>"), value)
            << testing::PrintToString(value);
}

TEST(MemIniFileWrite, RefusesWhatCannotBeStoredAndChangesNothing) {
    TTextIni ini("[S]\r\nK=v\r\n");
    const struct {
        const char* section;
        const char* key;
        const char* value;
        const char* message;
    } cases[] = {
        {"A]B", "K", "v", "The section name is not valid."},
        {"A\r\nB", "K", "v", "The section name is not valid."},
        {" S", "K", "v", "The section name is not valid."},
        {"S", "", "v", "The key name is not valid."},
        {"S", "K=", "v", "The key name is not valid."},
        {"S", " K", "v", "The key name is not valid."},
        {"S", "[K", "v", "The key name is not valid."},
        {"S", ";K", "v", "The key name is not valid."},
        {"S", "K\n", "v", "The key name is not valid."},
        {"S", "K", "line\r\nbreak", "The value cannot hold a line break."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.section) + "|" + c.key + "|" + c.value));
        EXPECT_INI_ERROR(ini.WriteString(c.section, c.key, c.value), c.message);
        EXPECT_EQ(ini.GetText(), "[S]\r\nK=v\r\n");
    }
}

TEST(MemIniFileWrite, ErasesEveryDuplicate) {
    TTextIni ini("[A]\r\nK=1\r\nX=2\r\nk=3\r\n[B]\r\nK=4\r\n[a]\r\nK=5\r\n");
    Texts names;
    TStringList strings;
    ini.ReadSections(strings);
    EXPECT_EQ(Lines(strings), (Texts{"A", "B"}));
    ini.ReadSection("a", strings);
    EXPECT_EQ(Lines(strings), (Texts{"K", "X", "k"}));

    ini.DeleteKey("A", "K");
    EXPECT_FALSE(ini.ValueExists("A", "K")); // the second "k" does not come forward
    EXPECT_TRUE(ini.ValueExists("A", "X"));
    ini.EraseSection("a");
    EXPECT_FALSE(ini.SectionExists("A")); // nor does the second "[a]"
    EXPECT_EQ(ini.GetText(), "[B]\r\nK=4\r\n");
    ini.Clear();
    EXPECT_EQ(ini.GetText(), "");
}

TEST(MemIniFileWrite, DoubleByteSectionNamesAreWholeCharacters) {
    if (!IsDoubleByteCodePage())
        GTEST_SKIP() << "needs a double-byte code page";
    // 0x83 0x5D is one character of code page 932 whose second byte is "]".
    const std::string name = "Col\x83\x5Dumn";
    TMemIniFile ini(std::string{});
    ini.WriteString(name, "Width", "80");
    TTextIni again(ini.GetText());
    EXPECT_EQ(again.ReadString(name, "Width", ""), "80");
    TStringList strings;
    again.ReadSections(strings);
    EXPECT_EQ(Lines(strings), (Texts{name}));
}

TEST(MemIniFileDisk, RoundTripKeepsWhatTheProgramDoesNotKnow) {
    TTempDir dir;
    const std::string path = dir.MakeFile("Settings.ini", kSample);
    {
        TMemIniFile ini(path);
        EXPECT_EQ(ini.FileName(), path);
        EXPECT_EQ(ini.ReadString("Foreign", "Key", ""), "Value");
        ini.WriteString("System", "CurrentDirectory", "C:\\Work");
        ini.UpdateFile();
    }
    EXPECT_EQ(ReadFileText(path), kSample);
    EXPECT_EQ(ListDirectory(dir.Path()), (Texts{"Settings.ini"})); // no temporary file left

    TMemIniFile ini(path);
    ini.WriteInteger("New", "Value", 5);
    ini.UpdateFile();
    EXPECT_EQ(ReadFileText(path), std::string(kSample) + "\r\n[New]\r\nValue=5\r\n");
}

// A file saved with a UTF-8 byte-order mark keeps its first section: read
// as written, and saved with one header, not a second section appended.
// A settings file written under another code page (code page 1252 bytes, no
// UTF-8) reads under any code page, and what the program does not change is
// written back byte for byte.
TEST(MemIniFileDisk, AFileOfAnotherCodePageKeepsItsBytes) {
    const std::string text = "[System]\r\nCurrentDirectory=C:\\Caf\xE9\r\n[Caf\xE9]\r\nK\xE9y=\xC9t\xE9\r\n";
    TTempDir dir;
    const std::string path = dir.MakeFile("Settings.ini", text);
    {
        TMemIniFile ini(path);
        EXPECT_EQ(ini.ReadString("System", "CurrentDirectory", ""), "C:\\Caf\xE9");
        if (!IsDoubleByteCodePage()) { // there 0xE9 starts a character with the "]" or "y" after it
            EXPECT_EQ(ini.ReadString("Caf\xE9", "K\xE9y", ""), "\xC9t\xE9");
        }
        ini.WriteString("New", "Value", "1");
        ini.UpdateFile();
    }
    EXPECT_EQ(ReadFileText(path), text + "\r\n[New]\r\nValue=1\r\n");
}

TEST(MemIniFileDisk, AByteOrderMarkDoesNotHideTheFirstSection) {
    TTempDir dir;
    const std::string path =
        dir.MakeFile("Settings.ini", "\xEF\xBB\xBF[System]\r\nCurrentDirectory=C:\\Work\r\n");
    {
        TMemIniFile ini(path);
        EXPECT_TRUE(ini.SectionExists("System"));
        EXPECT_EQ(ini.ReadString("System", "CurrentDirectory", ""), "C:\\Work");
        ini.WriteString("System", "CurrentDirectory", "D:\\Other");
        ini.UpdateFile();
    }
    EXPECT_EQ(ReadFileText(path), "[System]\r\nCurrentDirectory=D:\\Other\r\n");
}

TEST(MemIniFileDisk, MissingFileIsEmptyAndWrittenOnRequest) {
    TTempDir dir;
    const std::string path = dir / "Settings.ini";
    TMemIniFile ini(path);
    EXPECT_FALSE(EntryExists(path));
    EXPECT_EQ(ini.GetText(), "");
    EXPECT_EQ(ini.ReadInteger("S", "K", 3), 3);
    ini.WriteBool("S", "K", false);
    ini.UpdateFile();
    EXPECT_EQ(ReadFileText(path), "[S]\r\nK=0\r\n");
    EXPECT_EQ(ListDirectory(dir.Path()), (Texts{"Settings.ini"}));
}

TEST(MemIniFileDisk, AFailedWriteLeavesTheFileAsItWas) {
    TTempDir dir;
    const struct {
        const char* what;
        bool readOnly;
        bool missingFolder;
        const char* message;
    } cases[] = {
        {"read-only file", true, false, "The settings file is read-only."},
        {"missing folder", false, true, "The program could not write the settings file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = c.missingFolder ? dir / "missing\\Settings.ini"
                                                 : dir.MakeFile("Settings.ini", "[S]\r\nK=old\r\n");
        if (c.readOnly) {
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        TMemIniFile ini(path);
        EXPECT_EQ(ini.ReadString("S", "K", ""), c.missingFolder ? "" : "old");
        ini.WriteString("S", "K", "new");
        EXPECT_INI_ERROR(ini.UpdateFile(), c.message);
        if (c.missingFolder) {
            EXPECT_FALSE(EntryExists(path));
            EXPECT_EQ(ListDirectory(dir.Path()), Texts{});
        } else {
            EXPECT_EQ(ReadFileText(path), "[S]\r\nK=old\r\n");
            EXPECT_EQ(ListDirectory(dir.Path()), (Texts{"Settings.ini"}));
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    }
}

TEST(MemIniFileDisk, AFileThatCannotBeReadIsNotTakenForEmpty) {
    TTempDir dir;
    const std::string path = dir.MakeFile("Settings.ini", "[S]\r\nK=v\r\n");
    // Another program holds the file open without sharing it.
    HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_INI_ERROR(TMemIniFile ini(path), "The program could not read the settings file.");
    CloseHandle(locked);
    TMemIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "K", ""), "v");
}

// Name operations as values: the stored form of presets and steps, the
// preview of a step over names, and a preset's steps applied all or nothing.
#include "app/names/Trel_presets.h"
#include "tests/common/TestSupport.h"

#include <optional>

namespace {

// The presets of a file, one a line: the name, then each step described.
std::string Described(const std::vector<TPreset>& presets) {
    std::string text;
    for (const TPreset& preset : presets) {
        text += preset.Name + ":";
        for (const TNameStep& step : preset.Steps)
            text += " " + DescribeStep(step) + ";";
        text += "\n";
    }
    return text;
}

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at; (at = text.find(what)) != std::string::npos;)
        text.replace(at, what.size(), with);
    return text;
}

TNameStep Step(TNameOperation operation, TPartKind part) {
    TNameStep step;
    step.Operation = operation;
    step.Part = part;
    return step;
}

} // namespace

// Every row is a file of presets; what it holds, described, or why it is
// refused. What is read is written anew and reads back the same.
TEST(StoredPresets, ReadWrittenAndReadBackOrRefusedNamingFileSectionAndKey) {
    const std::string head = "[P]\nVersion=1\n[P,Step1]\n";
    const std::string refused = "The file \"<file>\" cannot be used: in the section ";
    const struct {
        const char* what;
        std::string file, expected;
    } cases[] = {
        {"every operation and source",
         "[All]\nVersion=1\n[All,Step1]\nOperation=Insert\nPart=Base name\nPosition=Tail\nSource=Number\n"
         "Prefix=#\nSuffix=!\nInitial=7\nIncrement=2\nDigits=3\nPadding=_\n[All,Step2]\nOperation=Overwrite\n"
         "Part=Extension\nSource=Clipboard\n[All,Step3]\noperation=replace\nPart=name\nMatchCase=1\n"
         "RegularExpression=1\nOldText=IMG_(\\d+)\nSource=Custom\nText=\"Holiday $1 \"\n[All,Step4]\n"
         "Operation=Capitalize\nPart=Extension\nCase=Book title\n[All,Step5]\nOperation=URL Encode\nPart=Name\n"
         "Encoding=ANSI\n[All,Step6]\nOperation=URL Decode\nPart=Base name\n[All,Step7]\nOperation=Insert\n"
         "Source=File date\nDate=date taken\nFormat=yyyymmdd_\n[All,Step8]\nOperation=Overwrite\n"
         "Source=Folder name\n",
         "All: Insert the numbers \"#__7!\", \"#__9!\", ... at the tail of the base name; Overwrite the "
         "extension with the clipboard's lines; Replace \"IMG_(\\d+)\" with \"Holiday $1 \" in the name (a "
         "regular expression), matching case; Book title of the extension; URL Encode the name as ANSI; URL "
         "Decode the base name as UTF-8; Insert the date taken as \"yyyymmdd_\" at the head of the base name; "
         "Overwrite the base name with the folder's name;\n"},
        {"missing keys keep a new dialog's values", head + "Operation=Insert\n",
         "P: Insert \"\" at the head of the base name;\n"},
        {"in name order; unknown keys and sections left alone",
         "[b]\nVersion=1\nColour=blue\n[b,Step1]\nOperation=Capitalize\nCase=Upper case\nWhy=tidy\n[A]\n"
         "Version=1\n[A,Step1]\nOperation=Overwrite\nText=x\n[Orphan,Step1]\nOperation=Nothing\n",
         "A: Overwrite the base name with \"x\";\nb: Upper case of the base name;\n"},
        {"no version", "[P]\n[P,Step1]\nOperation=Insert\n", refused + "\"P\", the key \"Version\" is missing."},
        {"another version", "[P]\nVersion=2\n[P,Step1]\nOperation=Insert\n",
         refused + "\"P\", the key \"Version\" has a value that the program cannot take (\"2\")."},
        {"no step", "[P]\nVersion=1\n", refused + "\"P,Step1\", the key \"Operation\" is missing."},
        {"an unknown operation", head + "Operation=Shuffle\n",
         refused + "\"P,Step1\", the key \"Operation\" has a value that the program cannot take (\"Shuffle\")."},
        {"an unknown part", head + "Operation=Insert\nPart=Bass name\n",
         refused + "\"P,Step1\", the key \"Part\" has a value that the program cannot take (\"Bass name\")."},
        {"an unknown source", head + "Operation=Insert\nSource=Dice\n",
         refused + "\"P,Step1\", the key \"Source\" has a value that the program cannot take (\"Dice\")."},
        {"too many digits", head + "Operation=Insert\nSource=Number\nDigits=256\n",
         refused + "\"P,Step1\", the key \"Digits\" has a value that the program cannot take (\"256\")."},
        {"a padding of two characters", head + "Operation=Overwrite\nSource=Number\nPadding=ab\n",
         refused + "\"P,Step1\", the key \"Padding\" has a value that the program cannot take (\"ab\")."},
        {"no number", head + "Operation=Insert\nSource=Number\nInitial=one\n",
         refused + "\"P,Step1\", the key \"Initial\" has a value that the program cannot take (\"one\")."},
        {"a file date without a format", head + "Operation=Insert\nSource=File date\nDate=Created\nFormat=\n",
         refused + "\"P,Step1\", the key \"Format\" has a value that the program cannot take (\"\")."},
        {"a pattern that does not compile", head + "Operation=Replace\nRegularExpression=1\nOldText=(a\n",
         refused + "\"P,Step1\", the key \"OldText\" has a value that the program cannot take (\"(a\")."},
        {"a second damaged preset refuses the first too",
         head + "Operation=Insert\n[Q]\nVersion=1\n[Q,Step1]\nOperation=Capitalize\nCase=Shouting\n",
         refused + "\"Q,Step1\", the key \"Case\" has a value that the program cannot take (\"Shouting\")."},
    };
    const TTempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TMemIniFile file(dir / "Presets.ini");
        file.SetText(c.file);
        std::vector<TPreset> presets;
        const std::string error = ErrorOf([&] { presets = ReadPresets(file); });
        EXPECT_EQ(error.empty() ? Described(presets) : error, Replaced(c.expected, "<file>", dir / "Presets.ini"));
        TMemIniFile written(dir / "Written.ini");
        for (const TPreset& preset : presets)
            WritePreset(written, preset);
        EXPECT_EQ(Described(ReadPresets(written)), Described(presets));
    }
}

TEST(StoredPresets, AChangeKeepsWhatTheProgramDoesNotKnowOrFailsWithoutChanging) {
    const TTempDir dir;
    const std::string path = dir.MakeFile("Presets.ini", "; mine\r\n[A]\r\nVersion=1\r\nNote=kept\r\n[A,Step1]\r\n"
                                                         "Operation=Capitalize\r\nWhy=kept too\r\n[Other]x\r\n");
    // "[Other]x" is a section of a preset without a version: damaged.
    TPresetStore store(path);
    EXPECT_EQ(ErrorOf([&] { store.Load(); }),
              "The file \"" + path + "\" cannot be used: in the section \"Other\", the key \"Version\" is missing.");
    EXPECT_ERROR_MESSAGE(EPresetError, store.Save({"B", {Step(noCapitalize, pkName)}}), ErrorOf([&] { store.Load(); }));
    TMemIniFile repaired(path);
    repaired.EraseSection("Other");
    repaired.UpdateFile();
    store.Load();
    store.Save({"B", {Step(noUrlEncode, pkName)}});
    store.Rename("A", "A2");
    const TMemIniFile file(path);
    EXPECT_EQ(file.ReadString("A2", "Note", ""), "kept");
    EXPECT_EQ(file.ReadString("A2,Step1", "Why", ""), "kept too");
    EXPECT_FALSE(file.SectionExists("A"));
    EXPECT_EQ(Described(store.Presets()), "A2: Lower case of the base name;\nB: URL Encode the name as UTF-8;\n");
    // An exported file holds the preset alone, and imports as it was.
    ExportPresets(dir / "B.ini", {*store.Find("b")});
    EXPECT_EQ(Described(ImportPresets(dir / "B.ini")), "B: URL Encode the name as UTF-8;\n");
    // A file that cannot be written: the presets stay as they were.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_ERROR_MESSAGE(EPresetError, store.Delete("B"),
                         "The presets could not be written to \"" + path + "\". The settings file is read-only.");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(store.Presets().size(), 2u);
    EXPECT_NE(ReadFileText(path).find("[B]"), std::string::npos);
}

// The line under a name dialog's fields: the first selected name as it would
// become and how many change, or why the values cannot be applied.
TEST(StepPreview, TellsTheFirstNameAndHowManyChangeOrWhyNot) {
    TNameStep replace = Step(noReplace, pkBaseName);
    replace.OldText = "IMG_";
    replace.Source.Specs.Custom.Text = "Holiday ";
    TNameStep numbers = Step(noInsert, pkBaseName);
    numbers.Position = ipTail;
    numbers.Source.Kind = skNumber;
    numbers.Source.Specs.Number.Initial = 1;
    numbers.Source.Specs.Number.Increment = -1;
    TNameStep pattern = Step(noReplace, pkName);
    pattern.RegularExpression = true;
    pattern.OldText = "(a+)+b";
    const TNames photos = {"IMG_0001.jpg", "IMG_0002.jpg", "notes.txt"};
    const struct {
        TNameStep step;
        TNames names;
        std::string expected;
    } cases[] = {
        {replace, photos, "IMG_0001.jpg -> Holiday 0001.jpg; 2 of 3 names change."},
        {Step(noCapitalize, pkExtension), {"a.txt", "B.TXT"}, "a.txt -> a.txt; 1 of 2 names change."},
        {numbers, photos, "Negative numbers are not supported."},
        {Step(noUrlDecode, pkBaseName), {"a%41.txt", "%FF.txt"},
         "\"%FF.txt\" cannot be changed: The decoded name is not valid UTF-8."},
        {pattern, {std::string(60, 'a')}, "\"" + std::string(60, 'a') + "\" cannot be changed: The regular "
                                          "expression is too complex to match."},
        {replace, {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreviewText(c.step, c.names), c.expected) << DescribeStep(c.step);
    // A slice at a time: the step readied, then the first name, then the rest.
    TStepPreview preview(replace, photos);
    EXPECT_FALSE(preview.Advance(1));
    EXPECT_FALSE(preview.Advance(1));
    EXPECT_EQ(preview.Text(), "IMG_0001.jpg -> Holiday 0001.jpg; counting.");
    EXPECT_TRUE(preview.Advance(2));
}

TEST(StepsApplied, AllOrNothingNamingTheStepAndTheName) {
    TNameStep insert = Step(noInsert, pkBaseName);
    insert.Position = ipTail;
    insert.Source.Specs.Custom.Text = "-x";
    const std::vector<TNameStep> steps = {insert, Step(noUrlDecode, pkBaseName), Step(noCapitalize, pkName)};
    TNames names = {"a%41.txt", "b%42.txt"};
    ApplySteps(steps, names);
    EXPECT_EQ(names, (TNames{"aa-x.txt", "bb-x.txt"}));
    names = {"a%41.txt", "b%FF.txt"};
    EXPECT_ERROR_MESSAGE(ENameEditError, ApplySteps(steps, names),
                         "Step 2 (URL Decode the base name as UTF-8) fails on \"b%FF.txt\": The decoded name is not "
                         "valid UTF-8.");
    EXPECT_EQ(names, (TNames{"a%41.txt", "b%FF.txt"}));
}

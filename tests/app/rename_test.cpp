// Rename items, their vocabulary and orders, and the list editor.
#include "app/names/Trel_listedit.h"
#include "app/names/Trel_rename.h"
#include "app/rename/Trel_renamecommand.h"
#include "app/rename/Trel_renamejournal.h"
#include "app/rename/Trel_renamesubcommand.h"
#include "tests/common/TestSupport.h"

#include <commctrl.h>

#include <fstream>
#include <functional>
#include <memory>
#include <random>

namespace {

using TItems = std::vector<std::unique_ptr<TRenameItem>>;

// An item of a real file, with its fields then set as a test needs them.
std::unique_ptr<TRenameItem> MakeItem(const TTempDir& dir, const std::string& newName,
                                      TRenameItemType type = TRenameItemType::RegularFile,
                                      TRenameItemResult result = TRenameItemResult::None) {
    if (!EntryExists(dir / "item"))
        dir.MakeFile("item");
    auto item = std::make_unique<TRenameItem>(dir / "item");
    item->OldName = newName;
    item->NewName = newName;
    item->Type = type;
    item->Result = result;
    return item;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

int LocaleCompare(const std::string& a, const std::string& b) {
    if (IsUtf8CodePage()) {
        // CompareStringA would read the bytes in the locale's code page.
        std::wstring wideA, wideB;
        AnsiToWideLenient(a, wideA);
        AnsiToWideLenient(b, wideB);
        return CompareStringW(LOCALE_USER_DEFAULT, 0, wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                              static_cast<int>(wideB.size())) -
               CSTR_EQUAL;
    }
    return CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

} // namespace

TEST(RenameItem, TakesDirectoryNameAndTypeFromThePath) {
    TTempDir dir;
    dir.MakeFile("img001.JPG");
    dir.MakeDir("Photos");
    const struct {
        std::string path;
        std::string directory;
        std::string name;
        TRenameItemType type;
    } cases[] = {
        {dir / "img001.JPG", dir.Path(), "img001.JPG", TRenameItemType::RegularFile},
        {dir / "Photos", dir.Path(), "Photos", TRenameItemType::Directory},
        {"C:\\windows", "C:\\", "windows", TRenameItemType::Directory}, // a root keeps its separator
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        TRenameItem item(c.path);
        EXPECT_EQ(item.Directory, c.directory);
        EXPECT_EQ(item.OldName, c.name);
        EXPECT_EQ(item.NewName, c.name);
        EXPECT_EQ(item.Type, c.type);
        EXPECT_EQ(item.Result, TRenameItemResult::None);
        EXPECT_EQ(item.GetPath().GetPath(), c.path);
    }
}

TEST(RenameItem, AVanishedPathIsNoItem) {
    TTempDir dir;
    const std::string path = dir.MakeFile("gone.txt");
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_ERROR_MESSAGE(ERenameError, TRenameItem item(path), "The program cannot determine the file type.");
}

TEST(RenameItem, PathFollowsTheOldName) {
    TTempDir dir;
    TRenameItem item(dir.MakeFile("before.txt"));
    item.OldName = "after.txt"; // as a successful rename leaves it
    EXPECT_EQ(item.GetPath().GetPath(), dir / "after.txt");
    TRenameItem root("C:\\windows");
    root.OldName = "other";
    EXPECT_EQ(root.GetPath().GetPath(), "C:\\other");
}

// An entry whose names are not ASCII renamed on disk and back, in the code
// page the suite runs under; a name that the code page cannot hold as given
// fails the rename and leaves the entry as it was.
TEST(RenameSubCommand, RenamesNamesThatAreNotAsciiAndBack) {
    const struct {
        unsigned codePage;
        const char* oldName;
        const char* newName;
        bool renamed;
    } cases[] = {
        {1252, "a.txt", "\xE0 la carte \xA7 1.txt", true},
        {1252, "caf\xE9.txt", "CAF\xC9.TXT", true},                  // letter case only
        {932, "\x95\x5C.txt", "\x83\x5C\x83\x74\x83\x67.txt", true}, // second bytes 0x5C
        {932, "\xB1\xB2.txt", "\xB3\xB4.txt", true},                 // half-width katakana
        {932, "a.txt", "\xED\x40.txt", false},                       // stored as 0xFA 0x5C
        // under UTF-8: Greek, Cyrillic, Hebrew, Devanagari, Chinese and an emoji
        {65001, "\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1.txt", "\xD0\xBC\xD0\xB8\xD1\x80.txt", true},
        {65001, "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D.txt", "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87",
         true},
        {65001, "\xE4\xB8\xAD\xE6\x96\x87.doc", "\xF0\x9F\x98\x80 \xE4\xB8\xAD.doc", true},
        {65001, "\xC3\xA9" "cole.txt", "\xC3\x89" "cole.txt", true},                     // letter case only
        {65001, "\xCE\xB1.txt", "\xCE\x91.txt", true},                                    // letter case only
        {65001, "a.txt", "\xC3.txt", false},                                             // no UTF-8
    };
    int run = 0;
    for (const auto& c : cases) {
        if (c.codePage != GetACP())
            continue;
        ++run;
        SCOPED_TRACE(::testing::PrintToString(c.oldName) + " -> " + ::testing::PrintToString(c.newName));
        TTempDir dir;
        TRenameItem item(dir.MakeFile(c.oldName, "x"));
        ASSERT_EQ(item.OldName, c.oldName);
        item.NewName = c.newName;
        TRenameSubCommand command(&item);
        if (!c.renamed) {
            EXPECT_ERROR_MESSAGE(ERenameError, command.Execute(), "The program could not rename the file.");
            EXPECT_EQ(item.Result, TRenameItemResult::Failed);
            EXPECT_EQ(item.OldName, c.oldName);
            EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{c.oldName});
            continue;
        }
        command.Execute();
        EXPECT_EQ(item.Result, TRenameItemResult::Succeeded);
        EXPECT_EQ(item.OldName, c.newName);
        EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{c.newName});
        command.Undo();
        EXPECT_EQ(item.OldName, c.oldName);
        EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{c.oldName});
    }
    EXPECT_GT(run, 0) << "no case for code page " << GetACP();
}

TEST(ListEditVocabulary, TextsAndImagesOfTypesAndResults) {
    TTempDir dir;
    auto item = MakeItem(dir, "x");
    // Text and image of one value; an empty text: the error's message.
    auto expect = [&](const std::function<std::string()>& text, const std::function<int()>& image,
                      const char* expectedText, int expectedImage, const char* error) {
        if (error) {
            EXPECT_ERROR_MESSAGE(EListEditError, text(), error);
            EXPECT_ERROR_MESSAGE(EListEditError, image(), error);
            return;
        }
        EXPECT_EQ(text(), expectedText);
        EXPECT_EQ(image(), expectedImage);
    };
    const struct {
        bool type;
        int value;
        const char* text;
        int image;
    } cases[] = {
        {true, 0, "Directory", 1}, {true, 1, "Regular file", 0}, {true, 2, nullptr, 0},
        {true, 255, nullptr, 0},   {false, 0, "None", 2},        {false, 1, "Succeeded", 3},
        {false, 2, "Failed", 4},   {false, 3, "Skipped", 5},     {false, 4, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.type ? "type " : "result ") << c.value);
        if (c.type) {
            item->Type = static_cast<TRenameItemType>(c.value);
            expect([&] { return TypeText(item->Type); }, [&] { return TypeImageIndex(*item); }, c.text,
                   c.image, c.text ? nullptr : "The type is not supported.");
        } else {
            item->Result = static_cast<TRenameItemResult>(c.value);
            expect([&] { return ResultText(item->Result); }, [&] { return ResultImageIndex(*item); }, c.text,
                   c.image, c.text ? nullptr : "The result is not supported.");
        }
    }
}

TEST(ListEditCompare, ComparesAsTheLocaleDoes) {
    TTempDir dir;
    using TCompare = int (*)(const TRenameItem&, const TRenameItem&);
    using TKey = std::string (*)(const TRenameItem&);
    auto named = [&](const std::string& name) { return MakeItem(dir, name); };
    auto typed = [&](TRenameItemType type) { return MakeItem(dir, "x", type); };
    auto resulted = [&](TRenameItemResult result) {
        return MakeItem(dir, "x", TRenameItemType::RegularFile, result);
    };
    const struct {
        const char* what;
        TCompare compare;
        TKey key;
        std::unique_ptr<TRenameItem> a, b;
        int expected; // sign
    } cases[] = {
        {"new names", CompareByNewName, SortKeyByNewName, named("apple"), named("banana"), -1},
        {"case differs", CompareByNewName, SortKeyByNewName, named("a.txt"), named("A.txt"), -1},
        {"case differs", CompareByOldName, SortKeyByOldName, named("B.txt"), named("b.txt"), 1},
        {"equal", CompareByOldName, SortKeyByOldName, named("same"), named("same"), 0},
        {"digits as text", CompareByNewName, SortKeyByNewName, named("img10"), named("img9"), -1},
        {"directory first", CompareByType, SortKeyByType, typed(TRenameItemType::Directory),
         typed(TRenameItemType::RegularFile), -1},
        {"none first", CompareByResult, SortKeyByResult, resulted(TRenameItemResult::None),
         resulted(TRenameItemResult::Succeeded), -1},
        {"failed before skipped", CompareByResult, SortKeyByResult, resulted(TRenameItemResult::Skipped),
         resulted(TRenameItemResult::Failed), 1},
        {"same result", CompareByResult, SortKeyByResult, resulted(TRenameItemResult::Failed),
         resulted(TRenameItemResult::Failed), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Sign(c.compare(*c.a, *c.b)), c.expected);
        EXPECT_EQ(Sign(c.compare(*c.b, *c.a)), -c.expected);
        EXPECT_EQ(Sign(c.key(*c.a).compare(c.key(*c.b))), c.expected);
    }
    if (IsUtf8CodePage()) {
        // The locale's order, not the order of the UTF-8 bytes (0xC3 sorts after 'z').
        const struct {
            std::unique_ptr<TRenameItem> a, b;
        } utf8Cases[] = {
            {named("\xC3\xA9t\xC3\xA9"), named("zoo")},  // été before zoo
            {named("e"), named("\xC3\xA9")},              // e before é
            {named("\xC3\xA9"), named("f")},              // é before f
            {named("\xCE\xB1"), named("\xCE\xB2")},      // α before β
            // read as code page 1252 bytes, é would be "Ã©" and sort before b, α "Î±" before z
            {named("b"), named("\xC3\xA9")},
            {named("z"), named("\xCE\xB1")},
        };
        for (const auto& c : utf8Cases) {
            SCOPED_TRACE(::testing::PrintToString(c.a->NewName) + " < " + ::testing::PrintToString(c.b->NewName));
            EXPECT_LT(CompareByNewName(*c.a, *c.b), 0);
            EXPECT_LT(SortKeyByNewName(*c.a).compare(SortKeyByNewName(*c.b)), 0);
            EXPECT_LT(CompareFileNames(c.a->NewName, c.b->NewName), 0);
        }
    }
    auto a = named("x");
    auto b = named("y");
    a->Directory = "C:\\B";
    b->Directory = "C:\\a";
    EXPECT_EQ(Sign(CompareByDirectory(*a, *b)), Sign(LocaleCompare("C:\\B", "C:\\a")));
    EXPECT_EQ(Sign(SortKeyByDirectory(*a).compare(SortKeyByDirectory(*b))),
              Sign(LocaleCompare("C:\\B", "C:\\a")));
}

// Sorting by keys gives exactly the order of sorting by the locale comparison,
// and that order agrees with CompareStringA for every pair of rows.
TEST(ListEditCompare, KeySortIsTheLocaleOrder) {
    std::vector<std::string> pieces = {"a",    "b",    "A", "B",    "z",  "Z",    "e",  "E",    "\xE9",
                                       "\xC9", "\xE8", "-", "'",    " ",  ".",    "_",  "~",    "!",
                                       "(",    "0",    "1", "9",    "10", "\xDF", "ss", "\xE6", "ae",
                                       "\xAD", "\xF1", "n", "\xFC", "u",  "[",    "#"};
    if (IsDoubleByteCodePage()) {
        // Hiragana, katakana (one with the trail byte of "\"), kanji, full-width
        // Latin, and single-byte katakana.
        for (const char* piece : {"\x82\xA0", "\x82\xA2", "\x83\x41", "\x83\x5C", "\x88\x9F", "\x82\x60",
                                  "\x82\x81", "\xB1", "\xB2"})
            pieces.push_back(piece);
    }
    if (IsUtf8CodePage()) {
        // The same characters as UTF-8, and Greek, Cyrillic, Chinese and an emoji.
        for (std::string& piece : pieces) {
            std::wstring wide;
            ASSERT_TRUE(TryAnsiToWide(piece, wide, 1252) && TryWideToAnsi(wide, piece, CP_UTF8));
        }
        for (const char* piece : {"\xC3\xA9", "\xC3\x89", "\xCE\xB1", "\xCE\x91", "\xD0\xB6", "\xE4\xB8\xAD",
                                  "\xF0\x9F\x98\x80"})
            pieces.push_back(piece);
    }
    std::mt19937 random(IsDoubleByteCodePage() ? 932 : 1252);
    TTempDir dir;
    for (const int count : {400, 3000}) {
        SCOPED_TRACE(count);
        TItems items;
        TListViewModel byCompare(nullptr), byKey(nullptr);
        byCompare.SetCount(count);
        byKey.SetCount(count);
        for (int i = 0; i < count; ++i) {
            std::string name;
            const int length = 1 + static_cast<int>(random() % 6);
            for (int p = 0; p < length; ++p)
                name += pieces[random() % pieces.size()];
            if (i > 0 && random() % 8 == 0)
                name = static_cast<TRenameItem*>(byKey.Items(static_cast<int>(random() % i))->GetData())
                           ->NewName;
            items.push_back(MakeItem(dir, name));
            byCompare.Items(i)->SetData(items.back().get());
            byKey.Items(i)->SetData(items.back().get());
        }
        auto item = [](TListViewModel* m, int i) {
            return static_cast<TRenameItem*>(m->Items(i)->GetData());
        };
        auto position = [&](TRenameItem* it) {
            return static_cast<int>(
                std::find_if(items.begin(), items.end(), [&](auto& p) { return p.get() == it; }) -
                items.begin());
        };
        byCompare.Sort(
            [&](TListViewModel* m, int a, int b) { return CompareByNewName(*item(m, a), *item(m, b)); });
        byKey.SortByKey([&](TListViewModel* m, int i) { return SortKeyByNewName(*item(m, i)); });
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(byKey.Items(i)->GetData(), byCompare.Items(i)->GetData()) << "row " << i;
        if (count > 400)
            continue;
        for (int i = 0; i < count; ++i) {
            for (int j = i + 1; j < count; ++j) {
                TRenameItem* a = item(&byKey, i);
                TRenameItem* b = item(&byKey, j);
                const int order = LocaleCompare(a->NewName, b->NewName);
                ASSERT_LE(order, 0) << testing::PrintToString(a->NewName) << " sorted before "
                                    << testing::PrintToString(b->NewName);
                if (order == 0) {
                    ASSERT_LT(position(a), position(b)) << "equal names keep their order";
                }
            }
        }
    }
}

TEST(RenameList, AddsInsertsAndRemovesRows) {
    TTempDir dir;
    TItems items;
    for (const char* name : {"a", "b", "c", "d"})
        items.push_back(MakeItem(dir, name));
    auto describe = [](TListViewModel& model) {
        std::string text;
        for (int i = 0; i < model.Count(); ++i) {
            text += static_cast<TRenameItem*>(model.Items(i)->GetData())->NewName;
            const int state = model.Items(i)->GetState();
            text += state == 3 ? "+ " : state == 2 ? "s " : state == 1 ? "f " : "  ";
        }
        return text;
    };
    TListViewModel model(nullptr);
    model.SetMultiSelect(true);
    TRenameList list(model);
    EXPECT_EQ(list.Add(items[0].get()), 0);
    EXPECT_EQ(list.Add(items[1].get()), 1);
    EXPECT_EQ(describe(model), "as b+ "); // the focus moved on, the selection stayed
    list.Insert(0, items[2].get());
    EXPECT_EQ(describe(model), "c+ as bs ");
    EXPECT_EQ(list.Add(items[3].get()), 3);
    EXPECT_EQ(describe(model), "cs as bs d+ ");
    model.Reverse();
    EXPECT_EQ(list.Remove(items[0].get()), 2); // by identity, wherever it stands now
    EXPECT_EQ(describe(model), "d+ bs cs ");
    list.Delete(0);
    EXPECT_EQ(describe(model), "b+ cs "); // the focus passes to the row that takes the place
    EXPECT_ERROR_MESSAGE(EListEditError, list.Remove(items[0].get()), "The program cannot remove the item.");
    EXPECT_EQ(describe(model), "b+ cs ");
    EXPECT_EQ(items[0]->NewName, "a"); // never freed by the list
}

// A run cut off under a legacy code page, found at a start under UTF-8: the
// old code page can no longer be had, so the journal's names are converted
// and the run is taken back; a name that does not convert keeps the journal.
TEST(RenameRecovery, AJournalOfALegacyCodePageIsTakenBackUnderUtf8) {
    if (!IsUtf8CodePage())
        GTEST_SKIP() << "needs UTF-8 as the ANSI code page (the code page 65001 run)";
    const struct {
        unsigned codePage;
        const char* from;    // in the journal's code page
        const char* fromNow; // the same name in UTF-8; null: does not convert
    } cases[] = {
        {1252, "caf\xE9 \xC5", "caf\xC3\xA9 \xC3\x85"},
        {932, "\x95\x5C\xB1", "\xE8\xA1\xA8\xEF\xBD\xB1"}, // a kanji ending in 0x5C, a half-width katakana
        {932, "a\x82", nullptr},                             // a lone lead byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.from));
        TTempDir dir;
        dir.MakeFile("x", "1");
        TJournal journal;
        journal.Started = "2024-05-01 14:03:07";
        journal.CodePage = c.codePage;
        journal.BootTime = CurrentBootTime();
        journal.Steps = {{dir.Path(), c.from, "x"}};
        journal.Begun = 1;
        const std::string path = dir / "Rename-00000001-00000001.journal";
        {
            std::ofstream(path, std::ios::binary) << FormatJournal(journal);
        }
        if (!c.fromNow) {
            EXPECT_THROW(TInterruptedRun run(path), ERenameJournalError);
            EXPECT_TRUE(EntryExists(path));
            EXPECT_TRUE(EntryExists(dir / "x"));
            continue;
        }
        TInterruptedRun run(path);
        EXPECT_EQ(run.Renames(), 1);
        const TTakeBack takeBack = run.TakeBack();
        EXPECT_EQ(takeBack.Succeeded, 1);
        EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{c.fromNow});
    }
}

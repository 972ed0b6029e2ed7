// The program's main window, driven as a user drives it: commands chosen
// from its menus, keys pressed on its list, files dropped on it, dialogs and
// message boxes answered; the menus, rows and status text read back from the
// controls.
#include "app/Trel_mainform.h"
#include "app/dialogs/Trel_checkdialog.h"
#include "app/dialogs/Trel_freeeditdialog.h"
#include "app/dialogs/Trel_partdialog.h"
#include "app/dialogs/Trel_resultsdialog.h"
#include "app/handlers/Trel_filehandler.h"
#include "app/rename/Trel_renamejournal.h"
#include "framework/Fw_clipbrd.h"
#include "framework/Fw_fileapi.h"
#include "framework/Fw_inifiles.h"
#include "framework/Fw_scope.h"
#include "tests/common/DialogTestSupport.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/MainFormTestSupport.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

namespace {

const char* const kCannotAdd = "The program can not add files to the list.";
const char* const kNothingToAdd = "No files to add to the list.";

// Counts the texts written to a status bar.
class TStatusWrites {
public:
    explicit TStatusWrites(HWND statusBar) : FWindow(statusBar) {
        FCount = 0;
        FOriginal = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(statusBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting)));
        FSaved = FOriginal;
    }
    TStatusWrites(const TStatusWrites&) = delete;
    TStatusWrites& operator=(const TStatusWrites&) = delete;
    ~TStatusWrites() { SetWindowLongPtrA(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FSaved)); }

    int Count() const { return FCount; }

private:
    static LRESULT CALLBACK Counting(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == SB_SETTEXTA)
            ++FCount;
        return CallWindowProcA(FOriginal, window, msg, wParam, lParam);
    }

    static inline int FCount = 0;
    static inline WNDPROC FOriginal = nullptr;
    HWND FWindow;
    WNDPROC FSaved;
};

} // namespace

// ---------------------------------------------------------------- states

TEST(MainForm, CommandsAndStatusFollowTheRowsAndTheSelection) {
    TMainFormBench bench;
    TShownErrors errors;
    bench.Open(bench.Make("a.txt b.txt c.txt"));
    const char* const always[] = {
        "FileNewAc",
        "FileExitAc",
        "EditAddDirectoryAc",
        "EditAddRegularFilesAc",
        "EditSelectAllAc",
        "EditSelectByTypeDirectoryAc",
        "EditSelectByResultNoneAc",
        "EditReverseSelectionAc",
        "RenameResultsAc",
        "HelpContentsAc",
        "HelpAboutAc",
    };
    const struct {
        const char* what;
        std::function<void()> act;
        std::vector<const char*> enabled;
        std::vector<const char*> disabled;
        const char* status;
    } cases[] = {
        {"three rows, none selected",
         [&] { bench.Select(""); },
         {"EditUndoAc", "RenamePerformAc", "NameEnterAc"},
         {"EditRedoAc", "EditCutAc", "EditCopyAc", "EditDeleteAc", "RenameRestoreAc", "NameCopyAc",
          "NameInsertAc", "NameFreeEditAc"},
         "3 items"},
        {"two selected",
         [&] { bench.Select("0 2"); },
         {"EditUndoAc", "EditCutAc", "EditCopyAc", "EditDeleteAc", "RenamePerformAc", "NameCopyAc",
          "NameInsertAc", "NameOverwriteAc", "NameReplaceAc", "NameCapitalizeAc", "NameUrlEncodeAc",
          "NameUrlDecodeAc", "NameFreeEditAc", "NameEnterAc"},
         {"EditRedoAc", "RenameRestoreAc"},
         "2 items selected"},
        {"one selected: the word stays plural",
         [&] { bench.Select("1"); },
         {"EditCutAc"},
         {},
         "1 items selected"},
        {"no rows after Undo",
         [&] { bench.Choose("EditUndoAc"); },
         {"EditRedoAc"},
         {"EditUndoAc", "EditCutAc", "EditCopyAc", "EditDeleteAc", "RenamePerformAc", "RenameRestoreAc",
          "NameInsertAc", "NameEnterAc"},
         "0 items"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        Settle();
        for (const char* action : c.enabled)
            EXPECT_TRUE(bench.MenuEnabled(action)) << action;
        for (const char* action : c.disabled)
            EXPECT_FALSE(bench.MenuEnabled(action)) << action;
        for (const char* action : always)
            EXPECT_TRUE(bench.MenuEnabled(action)) << action;
        EXPECT_EQ(bench.Status(), c.status);
        // The tool buttons show the same states.
        const HWND toolBar = bench.Form().ToolBar1.Handle();
        for (const char* action : {"EditCutAc", "RenamePerformAc", "EditUndoAc"})
            EXPECT_EQ(SendMessageA(toolBar, TB_ISBUTTONENABLED, static_cast<WPARAM>(bench.CommandId(action)),
                                   0) != 0,
                      bench.MenuEnabled(action))
                << action;
    }
    EXPECT_TRUE(errors.Messages.empty());
}

TEST(MainForm, ABurstOfChangesIsCountedOnceAtTheNextIdleMoment) {
    TMainFormBench bench;
    bench.Open(bench.Make("a b c d e"));
    TStatusWrites writes(bench.Form().StatusBar1.Handle());
    // Five changes of the selection, one after the other, without a pause.
    for (int row = 0; row < 5; ++row)
        SetListViewItemState(bench.List(), row, row % 2 ? 0 : LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(bench.Status(), "5 items selected");
    EXPECT_EQ(writes.Count(), 0);
    Settle();
    EXPECT_EQ(bench.Status(), "3 items selected");
    EXPECT_EQ(writes.Count(), 1);
    Settle();
    EXPECT_EQ(writes.Count(), 1);
}

TEST(MainForm, RowsShowTheEntriesFields) {
    TMainFormBench bench;
    const std::vector<std::string> paths = bench.Make("photo.JPG album\\");
    bench.Open(paths);
    const struct {
        int row;
        std::vector<std::string> texts;
        int image;
        int stateImage;
    } cases[] = {
        {0, {"photo.JPG", "photo.JPG", bench.Dir().Path(), "Regular file", "None"}, 0, 2},
        {1, {"album", "album", bench.Dir().Path(), "Directory", "None"}, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(bench.Text(c.row, column), c.texts[static_cast<size_t>(column)]) << column;
        LVITEMA item{};
        item.mask = LVIF_IMAGE | LVIF_STATE;
        item.iItem = c.row;
        item.stateMask = LVIS_STATEIMAGEMASK;
        ASSERT_TRUE(SendMessageA(bench.List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(item.iImage, c.image);
        EXPECT_EQ(item.state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(c.stateImage + 1));
    }
    // A row beyond the list is left as the caller had it.
    EXPECT_EQ(bench.Text(2, 0), "untouched");
}

// ---------------------------------------------------------------- paths in

TEST(MainForm, CommandLinePathsAreAddedOnceAtTheFirstIdleMoment) {
    const struct {
        const char* what;
        const char* names;             // made in the folder
        std::vector<std::string> args; // relative to the folder, or absolute
        const char* rows;
        std::vector<std::string> errors;
    } cases[] = {
        {"two files", "a.txt b.txt", {"b.txt", "a.txt"}, "b.txt* a.txt*", {}},
        {"none", "a.txt", {}, "", {}},
        {"a duplicate once", "a.txt", {"a.txt", "A.TXT"}, "a.txt*", {}},
        {"one missing path adds nothing", "a.txt", {"a.txt", "gone.txt"}, "", {kCannotAdd}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TMainFormBench bench;
        TShownErrors errors;
        bench.Make(c.names);
        TTrelMainForm& form = bench.Open(c.args);
        EXPECT_EQ(bench.Rows(), c.rows);
        EXPECT_EQ(errors.Messages, c.errors);
        // The hourglass went with the addition, failed or not.
        EXPECT_EQ(form.BusyCount(), 0);
        EXPECT_EQ(Screen->GetCursor(), crDefault);
        // Later idle moments add nothing more.
        Settle();
        EXPECT_EQ(bench.Rows(), c.rows);
        EXPECT_EQ(errors.Messages.size(), c.errors.size());
    }
}

// Names of four scripts (Greek, Cyrillic, CJK, an emoji), in the folder.
struct TScriptFiles {
    explicit TScriptFiles(TMainFormBench& bench) {
        for (const wchar_t* name : {L"\u03a3\u03bf\u03c6\u03af\u03b1.txt", L"\u041c\u0438\u0440.txt",
                                    L"\u6587\u5b57.txt", L"\U0001F600.txt"}) {
            Names.push_back(name);
            Paths.push_back(MakeWideEntry(bench.Dir(), name));
        }
    }
    // The rows that show them all, selected, under UTF-8 (Σοφία.txt, Мир.txt, 文字.txt, 😀.txt).
    static constexpr const char* kRows =
        "\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1.txt* \xD0\x9C\xD0\xB8\xD1\x80.txt* "
        "\xE6\x96\x87\xE5\xAD\x97.txt* \xF0\x9F\x98\x80.txt*";
    std::vector<std::wstring> Names;
    std::vector<std::wstring> Paths;
};

std::string NotInCodePage(const std::string& shown) {
    return "The path \"" + shown + "\" holds a character that the system's code page cannot represent.";
}

// Under UTF-8 every way in carries names of any script to the rows; under a
// legacy code page each refuses them with its message, never adding a
// look-alike.
TEST(MainForm, NamesOfAnyScriptEnterByEveryWayOrAreRefused) {
    const bool utf8 = GetACP() == CP_UTF8;
    const struct {
        const char* what;
        std::function<void(TMainFormBench&, const TScriptFiles&)> give; // null: the command line
        const char* legacyError; // null: the path named
    } ways[] = {
        {"command line", nullptr, nullptr},
        {"dropped",
         [](TMainFormBench& bench, const TScriptFiles& files) {
             PostMessageA(bench.Form().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropBlock(files.Paths)),
                          0);
             Settle();
         },
         "The path of a dropped file holds a character that the system's code page cannot represent."},
        {"pasted",
         [](TMainFormBench& bench, const TScriptFiles& files) {
             std::wstring text;
             for (const std::wstring& path : files.Paths)
                 text += path + L"\r\n";
             PutClipboardUnicode(text);
             EXPECT_TRUE(RunLoopUntil([&] { return bench.MenuEnabled("EditPasteAc"); }));
             Press(ShortCut('V', scCtrl), bench.List());
         },
         "The clipboard text holds a character that the system's code page cannot represent."},
        {"add dialog",
         [](TMainFormBench& bench, const TScriptFiles& files) {
             std::wstring typed;
             for (const std::wstring& name : files.Names)
                 typed += L"\"" + name + L"\" ";
             // Wine's dialog finds no file of a choice of several such names
             // under a legacy code page: one name there.
             if (GetACP() != CP_UTF8)
                 typed = files.Names[0];
             TDialogAnswerer answerer({TDialogAnswer{"", IDOK, 0, typed}});
             Press(ShortCut(VK_INSERT), bench.List());
             EXPECT_EQ(answerer.Seen.size(), 1u);
         },
         nullptr},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        TMainFormBench bench;
        TShownErrors errors;
        bench.Make("A.txt");
        const TScriptFiles files(bench);
        if (way.give) {
            bench.Open();
            way.give(bench, files);
        } else {
            std::wstring line = L"Trelvane.exe";
            for (const std::wstring& path : files.Paths)
                line += L" \"" + path + L"\"";
            bench.Open(ParseCommandLine(line.c_str()));
        }
        if (utf8) {
            EXPECT_EQ(bench.Rows(), files.kRows);
            EXPECT_TRUE(errors.Messages.empty()) << errors.Messages.front();
        } else {
            EXPECT_EQ(bench.Rows(), "");
            const std::string expected = way.legacyError ? way.legacyError : NotInCodePage(bench.Dir() / "?????.txt");
            EXPECT_EQ(errors.Messages, std::vector<std::string>{expected});
        }
        EXPECT_EQ(Screen->GetCursor(), crDefault);
    }
}

TEST(MainForm, CommandLineArgumentsAreReadInUtf16) {
    const bool utf8 = GetACP() == CP_UTF8;
    const struct {
        std::wstring line;
        std::vector<std::string> paths;   // under UTF-8
        std::vector<std::string> refused; // under a legacy code page
    } cases[] = {
        {L"", {}, {}},
        {L"Trelvane.exe", {}, {}},
        {L"\"C:\\Program Files\\Trelvane.exe\" a.txt \"b c.txt\"", {"a.txt", "b c.txt"}, {}},
        {L"t.exe \u03a3.txt \"C:\\\u6587 \u5b57\\\U0001F600\"",
         {"\xCE\xA3.txt", "C:\\\xE6\x96\x87 \xE5\xAD\x97\\\xF0\x9F\x98\x80"},
         {"?.txt", "C:\\? ?\\?"}},
        {L"t.exe \u0100.txt A.txt", {"\xC4\x80.txt", "A.txt"}, {"?.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.line));
        const TCommandLine line = ParseCommandLine(c.line.c_str());
        if (utf8 || c.refused.empty()) {
            EXPECT_EQ(line.Paths, c.paths);
            EXPECT_TRUE(line.Refused.empty());
        } else {
            EXPECT_EQ(line.Refused, c.refused);
        }
    }
}

// Under UTF-8 the names of any script go out as they came in: to the
// clipboard, the in-place edit box, the Free Edit memo and the disk.
TEST(MainForm, NamesOfAnyScriptAreCopiedEditedAndRenamed) {
    if (GetACP() != CP_UTF8)
        GTEST_SKIP() << "only under UTF-8";
    TMainFormBench bench;
    TShownErrors errors;
    const TScriptFiles files(bench);
    std::wstring line = L"Trelvane.exe";
    for (const std::wstring& path : files.Paths)
        line += L" \"" + path + L"\"";
    bench.Open(ParseCommandLine(line.c_str()));
    ASSERT_EQ(bench.Rows(), files.kRows);

    std::wstring paths, names;
    for (size_t i = 0; i < files.Names.size(); ++i) {
        paths += files.Paths[i] + L"\r\n";
        // The part dialog offers "Base name" first.
        names += files.Names[i].substr(0, files.Names[i].size() - 4) + L"\r\n";
    }
    bench.Choose("EditCopyAc");
    EXPECT_TRUE(ClipboardUnicode() == paths) << Utf8(ClipboardUnicode());
    {
        TIdleScript script({[] { ClickControl(Application->Dialog<TTrelPartDialog>().OkButton); }});
        bench.Choose("NameCopyAc");
    }
    EXPECT_TRUE(ClipboardUnicode() == names) << Utf8(ClipboardUnicode());
    std::string memo;
    {
        TIdleScript script({[] { ClickControl(Application->Dialog<TTrelPartDialog>().OkButton); },
                            [&] {
                                TTrelFreeEditDialog& dialog = Application->Dialog<TTrelFreeEditDialog>();
                                char text[256] = "";
                                SendMessageA(dialog.Memo->Handle(), WM_GETTEXT, sizeof(text),
                                             reinterpret_cast<LPARAM>(text));
                                memo = text;
                                ClickControl(dialog.CancelButton);
                            }});
        bench.Choose("NameFreeEditAc");
    }
    EXPECT_EQ(memo, Utf8(names));

    // The in-place edit shows the name and takes a new one of another script.
    bench.Select("0");
    Settle();
    Press(ShortCut(VK_F2), bench.List());
    ASSERT_TRUE(bench.Form().ListView1.IsEditing());
    const HWND edit = bench.Form().ListView1.EditHandle();
    char shown[256] = "";
    SendMessageA(edit, WM_GETTEXT, sizeof(shown), reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(std::string(shown), Utf8(files.Names[0]));
    const std::wstring renamed = L"\u0421\u043e\u0444\u0438\u044f \U0001F4C4.txt";
    SetWindowTextW(edit, renamed.c_str());
    PostKey(VK_RETURN, edit);
    EXPECT_TRUE(RunLoopUntil([&] { return !bench.Form().ListView1.IsEditing(); }));
    Settle();
    EXPECT_EQ(bench.Text(0, 0), Utf8(renamed));
    bench.Choose("RenamePerformAc");
    const std::wstring folder = WideOf(bench.Dir().Path()) + L"\\";
    EXPECT_EQ(GetFileAttributesW((folder + files.Names[0]).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW((folder + renamed).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(bench.Text(0, 1), Utf8(renamed));
    bench.Choose("RenameRestoreAc");
    EXPECT_NE(GetFileAttributesW((folder + files.Names[0]).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((folder + renamed).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(errors.Messages.empty()) << errors.Messages.front();
}

// A name pasted into the in-place edit box or the Free Edit memo that the
// code page cannot hold is refused: nothing is renamed to a
// look-alike that the user did not see.
TEST(MainForm, EditBoxesRefuseATextTheCodePageCannotHold) {
    const bool utf8 = GetACP() == CP_UTF8;
    const std::string refused = "The text holds a character that the system's code page cannot represent.";
    const struct {
        std::wstring typed;
        bool legacyRefuses;
        bool utf8Refuses; // a lone surrogate, as a paste can bring
        std::string name; // accepted: the new name
    } cases[] = {
        {L"b2.txt", false, false, "b2.txt"},
        {L"\u0100.txt", true, false, "\xC4\x80.txt"},
        {L"x\xD800.txt", true, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.typed.substr(0, 1)));
        const bool refuses = utf8 ? c.utf8Refuses : c.legacyRefuses;
        TMainFormBench bench;
        TShownErrors errors;
        bench.Open(bench.Make("a.txt b.txt"));
        bench.Select("1");
        Settle();
        Press(ShortCut(VK_F2), bench.List());
        ASSERT_TRUE(bench.Form().ListView1.IsEditing());
        const HWND edit = bench.Form().ListView1.EditHandle();
        // Pasted, as another program's text arrives: the box keeps it in
        // UTF-16, whatever the code page.
        PutClipboardUnicode(c.typed);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, WM_PASTE, 0, 0);
        // Wine's list view keeps its box's text in the code page, so the box
        // itself shows the look-alike there: the row takes exactly what the
        // box shows, or nothing.
        wchar_t shown[64] = L"";
        GetWindowTextW(edit, shown, 64);
        std::string boxName;
        const bool boxRefuses = !TryWideToAnsi(shown, boxName);
        PostKey(VK_RETURN, edit);
        EXPECT_TRUE(RunLoopUntil([&] { return !bench.Form().ListView1.IsEditing(); }));
        Settle();
        EXPECT_EQ(bench.Text(1, 0), boxRefuses ? "b.txt" : boxName);
        EXPECT_EQ(bench.MenuEnabled("EditUndoAc"), !boxRefuses);
        EXPECT_EQ(errors.Messages, boxRefuses ? std::vector<std::string>{refused} : std::vector<std::string>{});
        if (!refuses) {
            EXPECT_EQ(boxName, c.name);
        }

        // The same text in the Free Edit memo: OK refuses it and the dialog
        // stays, until Cancel.
        errors.Messages.clear();
        bench.Select("0");
        Settle();
        std::vector<std::string> shownWhileOpen;
        {
            TIdleScript script({[] { ClickControl(Application->Dialog<TTrelPartDialog>().OkButton); },
                                [&] {
                                    const HWND memo = Application->Dialog<TTrelFreeEditDialog>().Memo->Handle();
                                    PutClipboardUnicode(c.typed);
                                    SendMessageA(memo, EM_SETSEL, 0, -1);
                                    SendMessageA(memo, WM_PASTE, 0, 0);
                                    ClickControl(Application->Dialog<TTrelFreeEditDialog>().OkButton);
                                },
                                [&] {
                                    shownWhileOpen = errors.Messages;
                                    if (Application->Dialog<TTrelFreeEditDialog>().IsModal())
                                        ClickControl(Application->Dialog<TTrelFreeEditDialog>().CancelButton);
                                }});
            bench.Choose("NameFreeEditAc");
        }
        EXPECT_EQ(shownWhileOpen, refuses ? std::vector<std::string>{refused} : std::vector<std::string>{});
        // The part dialog offers "Base name": the extension stays.
        EXPECT_EQ(bench.Text(0, 0), refuses ? "a.txt" : c.name + ".txt");
    }
}

TEST(MainForm, DroppedFilesAreAddedInTheShellsOrder) {
    TMainFormBench bench;
    TShownErrors errors;
    const std::vector<std::string> paths = bench.Make("a.txt b.txt c.txt");
    bench.Open();
    const struct {
        const char* what;
        std::vector<std::string> dropped;
        const char* rows;
        std::vector<std::string> errors;
    } cases[] = {
        {"two files", {paths[1], paths[0]}, "b.txt* a.txt*", {}},
        {"one new beside a known one", {paths[0], paths[2]}, "b.txt a.txt c.txt*", {}},
        {"only known ones", {paths[2]}, "b.txt a.txt c.txt*", {kNothingToAdd}},
        {"a missing one", {bench.Dir() / "gone.txt"}, "b.txt a.txt c.txt*", {kCannotAdd}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        errors.Messages.clear();
        PostMessageA(bench.Form().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropBlock(c.dropped)), 0);
        Settle();
        EXPECT_EQ(bench.Rows(), c.rows);
        EXPECT_EQ(errors.Messages, c.errors);
        EXPECT_EQ(Screen->GetCursor(), crDefault);
    }
    // Each addition is one step back.
    bench.Choose("EditUndoAc");
    EXPECT_EQ(bench.Rows(), "b.txt a.txt");
}

TEST(MainForm, PasteFollowsTheClipboardWithoutInput) {
    TMainFormBench bench;
    TShownErrors errors;
    const std::vector<std::string> paths = bench.Make("a.txt b.txt");
    bench.Open();
    // Another program changes the clipboard: no key, no click on the window.
    const auto putElsewhere = [](const std::string& text) {
        std::thread([text] {
            TClipboard clipboard;
            if (text.empty())
                EmptyClipboard();
            else
                clipboard.SetText(text);
        }).join();
    };
    putElsewhere("");
    EXPECT_TRUE(RunLoopUntil([&] { return !bench.MenuEnabled("EditPasteAc"); }));
    putElsewhere(paths[0] + "\r\n" + paths[1] + "\r\n");
    EXPECT_TRUE(RunLoopUntil([&] { return bench.MenuEnabled("EditPasteAc"); }));
    Press(ShortCut('V', scCtrl), bench.List());
    EXPECT_EQ(bench.Rows(), "a.txt* b.txt*");
    // A bad line in the text adds nothing, and the hourglass goes.
    putElsewhere(paths[0] + "\r\n\r\n");
    Press(ShortCut('V', scCtrl), bench.List());
    EXPECT_EQ(bench.Rows(), "a.txt* b.txt*");
    EXPECT_EQ(errors.Messages, std::vector<std::string>{kCannotAdd});
    EXPECT_EQ(Screen->GetCursor(), crDefault);
}

TEST(MainForm, AddDialogsAnsweredByTheUserAddTheirChoice) {
    TMainFormBench bench;
    TShownErrors errors;
    bench.Make("a.txt b.txt photos\\");
    bench.Open();
    {
        TDialogAnswerer answerer({{"\"b.txt\" \"a.txt\""}});
        Press(ShortCut(VK_INSERT), bench.List());
        ASSERT_EQ(answerer.Seen.size(), 1u);
    }
    const std::string files = bench.Rows();
    EXPECT_TRUE(files == "a.txt* b.txt*" || files == "b.txt* a.txt*") << files;
    {
        const TCurrentDirectory start(bench.Dir() / "photos");
        TDialogAnswerer answerer({TDialogAnswer{}});
        Press(ShortCut(VK_INSERT, scShift), bench.List());
        ASSERT_EQ(answerer.Seen.size(), 1u);
    }
    EXPECT_EQ(bench.Text(2, 1), "photos");
    EXPECT_EQ(bench.Text(2, 3), "Directory");
    // A cancelled dialog changes nothing and shows nothing.
    {
        TDialogAnswerer answerer({{"", IDCANCEL}});
        bench.Choose("EditAddRegularFilesAc");
    }
    EXPECT_EQ(bench.Form().ListView1.ItemCount(), 3);
    EXPECT_TRUE(errors.Messages.empty());
}

// ---------------------------------------------------------------- editing

TEST(MainForm, ListEditsFromKeysAreEachOneUndoStep) {
    const struct {
        const char* what;
        const char* selected;
        TShortCut key;
        const char* rows;
        bool clipboard; // the selected paths were copied
        bool undoable;
    } cases[] = {
        {"Delete of a scattered selection", "0 2 4", ShortCut(VK_DELETE), "b d", false, true},
        {"Cut", "1 3", ShortCut('X', scCtrl), "a c e", true, true},
        {"Copy", "1 2", ShortCut('C', scCtrl), "a b* c* d e", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TMainFormBench bench;
        const std::vector<std::string> paths = bench.Make("a b c d e");
        bench.Open(paths);
        SetClipboardText("before");
        bench.Select(c.selected);
        Press(c.key, bench.List());
        EXPECT_EQ(bench.Rows(), c.rows);
        std::string copied;
        std::istringstream in(c.selected);
        for (int row; in >> row;)
            copied += paths[static_cast<size_t>(row)] + "\r\n";
        EXPECT_EQ(ClipboardText(), c.clipboard ? copied : "before");
        // One Undo brings every deleted row back.
        if (c.undoable) {
            Press(ShortCut('Z', scCtrl), bench.List());
            EXPECT_EQ(bench.Form().ListView1.ItemCount(), 5);
            EXPECT_TRUE(bench.MenuEnabled("EditRedoAc"));
        }
    }
}

TEST(MainForm, SelectionCommandsFromTheMenus) {
    TMainFormBench bench;
    bench.Open(bench.Make("a.txt b\\ c.txt"));
    const struct {
        const char* action;
        const char* rows;
    } cases[] = {
        {"EditSelectByTypeDirectoryAc", "a.txt b* c.txt"}, {"EditReverseSelectionAc", "a.txt* b c.txt*"},
        {"EditSelectByTypeFileAc", "a.txt* b c.txt*"},     {"EditSelectByResultSucceededAc", "a.txt b c.txt"},
        {"EditSelectAllAc", "a.txt* b* c.txt*"},
    };
    for (const auto& c : cases) {
        bench.Choose(c.action);
        EXPECT_EQ(bench.Rows(), c.rows) << c.action;
    }
    EXPECT_EQ(bench.Status(), "3 items selected");
}

TEST(MainForm, DereferenceShortcutsIsACheckItemOfTheAddDialog) {
    TMainFormBench bench;
    TTrelMainForm& form = bench.Open();
    for (bool expected : {false, true, false}) {
        bench.Choose("EditDereferenceShortcutsAc");
        EXPECT_EQ(bench.MenuChecked("EditDereferenceShortcutsAc"), expected);
    }
    form.Close();
    EXPECT_NE(ReadFileText(bench.SettingsFile()).find("DereferenceShortcuts=0"), std::string::npos);
}

// ---------------------------------------------------------------- rename

TEST(MainForm, PerformAndRestoreOfSkippedEntriesFromTheRenameMenu) {
    TMainFormBench bench;
    TShownErrors errors;
    bench.Open(bench.Make("a.txt b.txt"));
    EXPECT_FALSE(bench.MenuEnabled("RenameRestoreAc"));
    bench.Choose("RenamePerformAc");
    // Unchanged names are skipped; the rename is on top of the history.
    EXPECT_EQ(bench.Text(0, 4), "Skipped");
    EXPECT_EQ(bench.Text(1, 4), "Skipped");
    EXPECT_TRUE(bench.MenuEnabled("RenameRestoreAc"));
    EXPECT_FALSE(bench.MenuEnabled("EditUndoAc"));
    bench.Choose("EditSelectByResultSkippedAc");
    EXPECT_EQ(bench.Rows(), "a.txt* b.txt*");
    bench.Choose("RenameRestoreAc");
    EXPECT_FALSE(bench.MenuEnabled("RenameRestoreAc"));
    EXPECT_TRUE(bench.MenuEnabled("EditUndoAc"));
    EXPECT_TRUE(EntryExists(bench.Dir() / "a.txt"));
    EXPECT_TRUE(errors.Messages.empty());
    EXPECT_EQ(Screen->GetCursor(), crDefault);
}

TEST(MainForm, PerformAsksBeforeASwapAndRunsItInASafeOrderOnlyOnYes) {
    TMainFormBench bench;
    TShownErrors errors;
    bench.Dir().MakeFile("a.txt", "a");
    bench.Dir().MakeFile("b.txt", "b");
    bench.Open(std::vector<std::string>{bench.Dir() / "a.txt", bench.Dir() / "b.txt"});
    for (int row = 0; row < 2; ++row)
        bench.Item(row).NewName = bench.Item(row).OldName == "a.txt" ? "b.txt" : "a.txt";
    const std::string question = "2 entries take names that other entries of this run give up. Rename them in a "
                                 "safe order, through temporary names where names swap?";
    {
        TDialogAnswerer yes({{"", IDYES}});
        bench.Choose("RenamePerformAc");
        ASSERT_EQ(yes.Seen.size(), 1u);
        EXPECT_TRUE(yes.Seen[0].Shows(question));
    }
    EXPECT_EQ(ReadFileText(bench.Dir() / "a.txt"), "b");
    EXPECT_EQ(ReadFileText(bench.Dir() / "b.txt"), "a");
    EXPECT_EQ(bench.Text(0, 4), "Succeeded");
    bench.Choose("RenameRestoreAc");
    EXPECT_EQ(ReadFileText(bench.Dir() / "a.txt"), "a");
    EXPECT_TRUE(errors.Messages.empty());
    // No runs the list in its order: the first new name is taken.
    {
        TDialogAnswerer no({{"", IDNO}});
        bench.Choose("RenamePerformAc");
        EXPECT_EQ(no.Seen.size(), 1u);
    }
    EXPECT_EQ(errors.Messages, std::vector<std::string>{"The program could not rename the file."});
    EXPECT_EQ(ListDirectory(bench.Dir().Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(ReadFileText(bench.Dir() / "a.txt"), "a");
}

// Closes the program-wide dialog of the class whenever it is modal, at idle
// moments, and counts how often.
template <class TDialog>
class TDialogCloser {
public:
    TDialogCloser()
        : FId(Application->AddIdleHandler([this](TObject*, bool&) {
              TDialog& dialog = Application->Dialog<TDialog>();
              if (dialog.IsModal()) {
                  ++Shown;
                  dialog.CloseButton->Click();
              }
          })) {}
    TDialogCloser(const TDialogCloser&) = delete;
    TDialogCloser& operator=(const TDialogCloser&) = delete;
    ~TDialogCloser() { Application->RemoveIdleHandler(FId); }

    int Shown = 0;

private:
    unsigned FId;
};

TEST(MainForm, CheckSelectsTheEntriesThatWouldFailAndChangesNothing) {
    TMainFormBench bench;
    TShownErrors errors;
    bench.Open(bench.Make("a.txt b.txt c.txt"));
    // A swap of two names: the first rename would find its target taken.
    const char* const newNames[] = {"b.txt", "a.txt", "c.txt"};
    for (int row = 0; row < 3; ++row)
        static_cast<TRenameItem*>(bench.Form().Model().Items(row)->GetData())->NewName = newNames[row];
    bench.Select("");
    TDialogCloser<TTrelCheckDialog> closer;
    Press(ShortCut('K', scCtrl), bench.List());
    EXPECT_TRUE(RunLoopUntil([&] { return closer.Shown == 1; }));
    Settle();
    EXPECT_EQ(bench.Rows(), "a.txt* b.txt c.txt");
    EXPECT_EQ(bench.Status(), "1 items selected");
    EXPECT_EQ(ListDirectory(bench.Dir().Path()), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    // Not a command: the add is still the one thing to undo.
    EXPECT_TRUE(bench.MenuEnabled("EditUndoAc"));
    EXPECT_FALSE(bench.MenuEnabled("RenameRestoreAc"));
    EXPECT_TRUE(errors.Messages.empty());
}

TEST(MainForm, ARunCutOffLastTimeIsOfferedForTakingBackAtTheFirstIdleMoment) {
    TMainFormBench bench;
    TShownErrors errors;
    // A perform of a.txt -> x.txt whose process ended after the rename.
    bench.Make("x.txt");
    TJournal journal;
    journal.Started = "2024-05-01 14:03:07";
    journal.CodePage = GetACP();
    journal.BootTime = CurrentBootTime();
    journal.Steps = {{bench.Dir().Path(), "a.txt", "x.txt"}};
    std::ofstream(bench.Journals() + "\\Rename-00000001-00000001.journal", std::ios::binary)
        << FormatJournal(journal) << ".";
    // Found from inside the box's own loop: a closer that keeps posting until
    // the box is there would keep the window from ever going idle.
    TDialogAnswerer yes({{"", IDYES}});
    TDialogCloser<TTrelResultsDialog> results;
    bench.Open(bench.Make("c.txt"));
    ASSERT_EQ(yes.Seen.size(), 1u);
    const auto& texts = yes.Seen[0].Texts;
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& text) {
        return text.find("Renames found done on disk: 1 of 1") != std::string::npos;
    }));
    EXPECT_EQ(results.Shown, 1);
    EXPECT_EQ(ListDirectory(bench.Dir().Path()), (std::vector<std::string>{"a.txt", "c.txt"}));
    EXPECT_TRUE(ListDirectory(bench.Journals()).empty());
    // The command line follows the recovery.
    EXPECT_EQ(bench.Rows(), "c.txt*");
    EXPECT_TRUE(errors.Messages.empty());
}

// ---------------------------------------------------------------- long names and paths

// Whether the disk keeps the name exactly, tried in the empty folder:
// Windows keeps 255 UTF-16 units; Wine on a host file system that counts
// bytes (255 on ext4) refuses a longer name in UTF-8, or cuts it short.
bool DiskKeeps(const TTempDir& dir, const std::wstring& name) {
    CloseHandle(CreateFileW((WideOf(dir.Path()) + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                            nullptr));
    const std::vector<std::string> made = ListDirectory(dir.Path());
    for (const std::string& entry : made)
        FileApi::DeleteEntry(dir / entry);
    return made == std::vector<std::string>{NarrowOf(name)};
}

// Names and paths at the system's limits through the whole chain: a run cut
// off last time is taken back at the start, the command line and the
// clipboard bring the paths in, a new name is typed in place, the check
// passes it or selects its entry, the rename and its restore go to the disk.
TEST(MainForm, LongNamesAndPathsGoThroughTheWholeChain) {
    const struct {
        const char* what;
        std::vector<std::wstring> folders; // nested in the bench's folder
        std::wstring newName;              // of a.txt
        bool tooLong;
    } rows[] = {
        {"a folder nested beyond 260 bytes", {6, std::wstring(60, L'n')}, L"b.txt", false},
        {"a name of 255 characters", {}, std::wstring(251, L'x') + L".txt", false},
        {"a name of 256 characters", {}, std::wstring(252, L'x') + L".txt", true},
        {"a name of 200 Greek letters", {}, std::wstring(200, L'\u03bb'), false},
        {"a name of 100 Japanese characters", {}, std::wstring(100, L'\u6587'), false},
        {"a path of 300 Japanese characters", {4, std::wstring(75, L'\u3042')}, L"\u6587\u5b57.txt", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::string newName, folder;
        if (!TryWideToAnsi(row.newName, newName) || !TryWideToAnsi(row.folders.empty() ? L"" : row.folders[0], folder))
            continue; // the code page cannot hold it
        TMainFormBench bench;
        TShownErrors errors;
        const bool kept = !row.tooLong && DiskKeeps(bench.Dir(), row.newName);
        folder = bench.Dir().Path();
        for (const std::wstring& level : row.folders)
            ASSERT_TRUE(FileApi::MakeDirectory(folder += "\\" + NarrowOf(level)));
        const std::string a = folder + "\\a.txt", pasted = folder + "\\p.txt", renamed = folder + "\\" + newName;
        // A perform of a.txt cut off after its rename.
        for (const std::string& file : {pasted, kept ? renamed : a})
            CloseHandle(FileApi::OpenFileHandle(file, GENERIC_WRITE, 0, CREATE_NEW));
        const TJournal journal{TJournalRun::Perform, "2024-05-01 14:03:07", GetACP(), CurrentBootTime(),
                               {{folder, "a.txt", newName}}, 0};
        if (kept)
            std::ofstream(bench.Journals() + "\\Rename-00000001-00000001.journal", std::ios::binary)
                << FormatJournal(journal) << ".";
        {
            TDialogAnswerer yes(kept ? std::vector<TDialogAnswer>{{"", IDYES}} : std::vector<TDialogAnswer>{});
            TDialogCloser<TTrelResultsDialog> results;
            bench.Open(ParseCommandLine((L"Trelvane.exe \"" + WideOf(a) + L"\"").c_str()));
            EXPECT_EQ(results.Shown, kept ? 1 : 0);
        }
        EXPECT_TRUE(EntryExists(a) && ListDirectory(bench.Journals()).empty());
        PutClipboardUnicode(WideOf(pasted) + L"\r\n");
        EXPECT_TRUE(RunLoopUntil([&] { return bench.MenuEnabled("EditPasteAc"); }));
        Press(ShortCut('V', scCtrl), bench.List());
        EXPECT_EQ(bench.Rows(), "a.txt p.txt*");
        bench.Select("0");
        Settle();
        Press(ShortCut(VK_F2), bench.List());
        ASSERT_TRUE(bench.Form().ListView1.IsEditing());
        SetWindowTextW(bench.Form().ListView1.EditHandle(), row.newName.c_str());
        PostKey(VK_RETURN, bench.Form().ListView1.EditHandle());
        EXPECT_TRUE(RunLoopUntil([&] { return !bench.Form().ListView1.IsEditing(); }));
        Settle();
        // Shown whole, as the list draws a row.
        EXPECT_EQ(ListText(bench.List(), 0, 0, 260), newName);
        bench.Select("");
        {
            TDialogCloser<TTrelCheckDialog> closer;
            Press(ShortCut('K', scCtrl), bench.List());
            EXPECT_TRUE(RunLoopUntil([&] { return closer.Shown == 1; }));
        }
        EXPECT_EQ(bench.Rows(), row.tooLong ? "a.txt* p.txt" : "a.txt p.txt");
        bench.Choose("RenamePerformAc");
        EXPECT_EQ(EntryExists(renamed), kept);
        bench.Choose("RenameRestoreAc");
        EXPECT_TRUE(EntryExists(a));
        // Refused by the check's rule, or by the host beneath Wine.
        const std::string refusal = row.tooLong ? "The name \"" + newName +
                                                      "\" is too long: the disk takes names of at most 255 characters."
                                                : "The program could not rename the file.";
        EXPECT_EQ(errors.Messages, kept ? std::vector<std::string>{} : std::vector<std::string>{refusal});
    }
}

// Only a journal in the user's own folder is offered, and the question names
// what the run touched; one where earlier versions wrote them is reported
// once and left alone.
TEST(MainForm, AtTheStartOnlyTheUsersOwnJournalsAreOfferedNamingWhatTheyTouch) {
    struct TCase {
        const char* name;
        bool besideTheProgram;
        const char* folder; // of the run, below the bench's folder
        int answer;
        std::vector<std::string> shown;
    } const cases[] = {
        {"own folder", false, "", IDNO, {"Folders: <dir>\n", "    x.txt -> a.txt\n"}},
        {"beside the program", true, "", IDOK,
         {"A rename journal was found where earlier versions of the program wrote them: "
          "\"Rename-00000001-00000001.journal\" in \"<earlier>\". It is not offered",
          "move it into \"<own>\""}},
        {"folders that do not exist", false, "\\gone", IDNO,
         {"Folders: <dir>\\gone\n", "These folders cannot be reached now: <dir>\\gone.",
          "None of its renames is found"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TMainFormBench bench;
        bench.Make("x.txt");
        TJournal journal;
        journal.Started = "2024-05-01 14:03:07";
        journal.CodePage = GetACP();
        journal.Steps = {{bench.Dir().Path() + c.folder, "a.txt", "x.txt"}};
        const std::string journalPath = (c.besideTheProgram ? bench.EarlierJournals() : bench.Journals()) +
                                        "\\Rename-00000001-00000001.journal";
        std::ofstream(journalPath, std::ios::binary) << FormatJournal(journal) << ".";
        {
            TDialogAnswerer box({{"", c.answer}});
            bench.Open();
            ASSERT_EQ(box.Seen.size(), 1u);
            const std::string text = box.Seen[0].Texts.empty() ? "" : box.Seen[0].Texts.back();
            for (std::string part : c.shown) {
                for (const auto& [mark, path] :
                     {std::pair<std::string, std::string>{"<dir>", bench.Dir().Path()},
                      {"<earlier>", bench.EarlierJournals()},
                      {"<own>", bench.Journals()}})
                    if (const size_t at = part.find(mark); at != std::string::npos)
                        part.replace(at, mark.size(), path);
                EXPECT_NE(text.find(part), std::string::npos) << part << "\nin: " << text;
            }
        }
        EXPECT_TRUE(EntryExists(journalPath)) << "the journal stays where it is";
        EXPECT_EQ(ListDirectory(bench.Dir().Path()), std::vector<std::string>{"x.txt"});
        bench.Close();
        // At the next start a reported journal is not reported again.
        TDialogAnswerer next(c.besideTheProgram ? std::vector<TDialogAnswer>{}
                                                : std::vector<TDialogAnswer>{{"", IDNO}});
        bench.Open();
        bench.Close();
    }
}

TEST(MainForm, AnInPlaceEditKeepsItsKeysAndIsRenamedAndRestored) {
    TMainFormBench bench;
    TShownErrors errors;
    bench.Open(bench.Make("a.txt b.txt"));
    bench.Select("0 1");
    Settle();
    Press(ShortCut(VK_F2), bench.List());
    ASSERT_TRUE(bench.Form().ListView1.IsEditing());
    // The edit starts with the other rows deselected (the edited one may be
    // selected by the list itself).
    const auto othersSelected = [&] { return bench.Rows().find("a.txt*") != std::string::npos; };
    EXPECT_FALSE(othersSelected()) << bench.Rows();
    const HWND edit = bench.Form().ListView1.EditHandle();
    SendMessageA(edit, EM_SETSEL, 0, -1);
    // Delete and Ctrl+A belong to the edit box: no row goes, none is selected.
    Press(ShortCut(VK_DELETE), edit);
    Press(ShortCut('A', scCtrl), edit);
    EXPECT_EQ(GetWindowTextLengthA(edit), 0);
    EXPECT_EQ(bench.Form().ListView1.ItemCount(), 2);
    EXPECT_FALSE(othersSelected()) << bench.Rows();
    SetWindowTextA(edit, "c.txt");
    PostKey(VK_RETURN, edit);
    EXPECT_TRUE(RunLoopUntil([&] { return !bench.Form().ListView1.IsEditing(); }));
    Settle();
    EXPECT_EQ(bench.Text(1, 0), "c.txt");
    EXPECT_TRUE(bench.MenuEnabled("EditUndoAc"));
    // The new name on disk, and back.
    bench.Choose("RenamePerformAc");
    EXPECT_FALSE(EntryExists(bench.Dir() / "b.txt"));
    EXPECT_TRUE(EntryExists(bench.Dir() / "c.txt"));
    EXPECT_EQ(bench.Text(1, 1), "c.txt");
    EXPECT_EQ(bench.Text(1, 4), "Succeeded");
    EXPECT_EQ(bench.Text(0, 4), "Skipped");
    bench.Choose("RenameRestoreAc");
    EXPECT_TRUE(EntryExists(bench.Dir() / "b.txt"));
    EXPECT_FALSE(EntryExists(bench.Dir() / "c.txt"));
    EXPECT_EQ(bench.Text(1, 1), "b.txt");
    EXPECT_TRUE(errors.Messages.empty());
}

// ---------------------------------------------------------------- closing

TEST(MainForm, TheCloseQueryAsksOnlyWithSomethingToClear) {
    const struct {
        const char* what;
        bool add;
        int answer;
        bool asked;
        bool closed;
        const char* rows;
    } cases[] = {
        {"nothing added", false, IDOK, false, true, ""},
        {"rows, Cancel", true, IDCANCEL, true, false, "a.txt* b.txt*"},
        {"rows, OK", true, IDOK, true, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TMainFormBench bench;
        TShownErrors errors;
        const std::vector<std::string> paths = bench.Make("a.txt b.txt");
        TTrelMainForm& form = bench.Open(c.add ? paths : std::vector<std::string>{});
        {
            TBoxCloser closer(c.answer);
            PostMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(bench.CommandId("FileExitAc"), 0), 0);
            // The closer looks for a box until it goes: the loop is never idle meanwhile.
            EXPECT_TRUE(RunLoopUntil([&] { return closer.Seen.Found || !form.IsVisible(); }));
            EXPECT_EQ(closer.Seen.Found, c.asked);
            if (c.asked) {
                EXPECT_TRUE(closer.Seen.Shows(NewConfirmationText));
                EXPECT_EQ(closer.Seen.Caption, "Trelvane");
            }
        }
        Settle();
        EXPECT_EQ(form.IsVisible(), !c.closed);
        EXPECT_EQ(bench.Rows(), c.rows);
        // The settings are written only by a close that goes on.
        EXPECT_EQ(EntryExists(bench.SettingsFile()), c.closed);
        EXPECT_EQ(bench.MenuEnabled("EditUndoAc"), !c.closed);
        EXPECT_TRUE(errors.Messages.empty());
    }
}

TEST(MainForm, SettingsAreLoadedAtTheStartAndWrittenAtCloseKeepingWhatIsUnknown) {
    static const char kGarbage[] = "\x01\xff[[=\0\r\n=\r\n[System\r\nCurrentDirectory\r\n";
    const struct {
        const char* what;
        std::string file; // "-": none
        bool dereference;
        const char* currentDirectory; // under the folder; "" the folder itself
    } cases[] = {
        {"missing: the defaults", "-", true, ""},
        {"stored values",
         "[System]\r\nCurrentDirectory=<dir>\\start\r\n[MainForm,EditHandler]\r\nDereferenceShortcuts=0\r\n",
         false, "start"},
        {"a directory that is gone stays aside",
         "[System]\r\nCurrentDirectory=<dir>\\gone\r\n[MainForm,EditHandler]\r\nDereferenceShortcuts=1\r\n",
         true, ""},
        {"values that are not numbers", "[MainForm,EditHandler]\r\nDereferenceShortcuts=yes please\r\n", true,
         ""},
        {"garbage", std::string(kGarbage, sizeof(kGarbage) - 1), true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TMainFormBench bench;
        TShownErrors errors;
        bench.Make("start\\");
        std::string text = c.file;
        for (size_t at; (at = text.find("<dir>")) != std::string::npos;)
            text.replace(at, 5, bench.Dir().Path());
        const std::string unknown = "[Elsewhere]\r\nKept=as it was\r\n";
        if (c.file != "-")
            bench.Dir().MakeFile("Settings.ini", text + unknown);
        TTrelMainForm& form = bench.Open();
        EXPECT_EQ(bench.MenuChecked("EditDereferenceShortcutsAc"), c.dereference);
        const std::string expectedDirectory =
            *c.currentDirectory ? bench.Dir() / c.currentDirectory : bench.Dir().Path();
        EXPECT_EQ(CurrentDirectory(), expectedDirectory);
        form.Close();
        EXPECT_FALSE(form.IsVisible());
        const TMemIniFile saved(bench.SettingsFile());
        EXPECT_EQ(saved.ReadString("System", "CurrentDirectory", ""), expectedDirectory);
        EXPECT_EQ(saved.ReadString("MainForm,EditHandler", "DereferenceShortcuts", ""),
                  c.dereference ? "1" : "0");
        EXPECT_EQ(saved.ReadString("MainForm,EditHandler,AddRegularFilesDialog", "FilterIndex", ""), "1");
        if (c.file != "-") {
            EXPECT_EQ(saved.ReadString("Elsewhere", "Kept", ""), "as it was");
        }
        // Sections without keys never appear.
        EXPECT_FALSE(saved.SectionExists("MainForm,FileHandler"));
        EXPECT_FALSE(saved.SectionExists("MainForm,HelpHandler"));
        EXPECT_TRUE(errors.Messages.empty());
    }
}

TEST(MainForm, AReadOnlySettingsFileLetsTheUserCloseWithoutSaving) {
    const struct {
        int answer;
        bool closed;
    } cases[] = {{IDNO, false}, {IDYES, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        TMainFormBench bench;
        TShownErrors errors;
        const std::string stored = "[MainForm,EditHandler]\r\nDereferenceShortcuts=0\r\n";
        bench.Dir().MakeFile("Settings.ini", stored);
        SetFileAttributesA(bench.SettingsFile().c_str(), FILE_ATTRIBUTE_READONLY);
        TTrelMainForm& form = bench.Open();
        {
            TBoxCloser closer(c.answer);
            bench.Choose("FileExitAc");
            ASSERT_TRUE(closer.Seen.Found);
            const bool explains =
                std::any_of(closer.Seen.Texts.begin(), closer.Seen.Texts.end(), [](auto& text) {
                    return text.find("The settings file is read-only.") == 0 &&
                           text.find(CloseWithoutSettingsText) != std::string::npos;
                });
            EXPECT_TRUE(explains);
            EXPECT_EQ(closer.Seen.Buttons.size(), 2u);
        }
        EXPECT_EQ(form.IsVisible(), !c.closed);
        EXPECT_EQ(ReadFileText(bench.SettingsFile()), stored);
        EXPECT_TRUE(errors.Messages.empty());
    }
}

TEST(MainForm, AFailedStartFreesWhatWasBuilt) {
    TMainFormBench bench;
    // A settings file that cannot be read: a folder of that name.
    bench.Dir().MakeDir("Settings.ini");
    const HWND viewerBefore = GetClipboardViewer();
    EXPECT_ERROR_MESSAGE(EIniFileError,
                         std::make_unique<TTrelMainForm>(std::vector<std::string>{}, bench.SettingsFile()),
                         "The program could not read the settings file.");
    // The clipboard watcher left the chain, and nothing of the window runs
    // at the next idle moments.
    EXPECT_EQ(GetClipboardViewer(), viewerBefore);
    Settle();
    Settle();
    EXPECT_EQ(Screen->GetCursor(), crDefault);
}

TEST(MainForm, AboutShowsTheProgramsText) {
    TMainFormBench bench;
    bench.Open();
    TBoxCloser closer(IDOK);
    PostMessageA(bench.Form().Handle(), WM_COMMAND, MAKEWPARAM(bench.CommandId("HelpAboutAc"), 0), 0);
    EXPECT_TRUE(RunLoopUntil([&] { return closer.Seen.Found; }));
    EXPECT_EQ(closer.Seen.Caption, "About");
    EXPECT_TRUE(closer.Seen.Shows(AboutText()));
}

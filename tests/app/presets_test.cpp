// Repeat Last Operation, the presets and the scripted start, driven through
// the program's main window as a user drives them; the scripted start
// through the program itself, run as a child process.
#include "app/Trel_mainform.h"
#include "app/dialogs/Trel_capitalizedialog.h"
#include "app/dialogs/Trel_insertdialog.h"
#include "app/dialogs/Trel_presetdialogs.h"
#include "app/dialogs/Trel_replacedialog.h"
#include "framework/Fw_handles.h"
#include "support/Vek_file.h"
#include "tests/common/DialogTestSupport.h"
#include "tests/common/FormTestSupport.h"
#include "tests/common/MainFormTestSupport.h"

#include <commctrl.h>

#include <functional>

namespace {

using Presets = TFreshDialogsTest;

// The dialog of the shortcut, shown with its values as set and accepted with OK.
template <class TDialog>
void Accept(TMainFormBench& bench, TShortCut key) {
    TIdleScript script({[] { ClickControl(Application->Dialog<TDialog>().OkButton); }});
    Press(key, bench.List());
}

// Chooses the preset's item of the Presets submenu.
void ChoosePreset(TMainFormBench& bench, int index) {
    const int command = bench.Form().PresetActions.Actions(index).CommandId();
    PostMessageA(bench.Form().Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    Settle();
}

std::string MenuText(TMainFormBench& bench, int command) {
    char text[128] = "";
    GetMenuStringA(bench.Form().MainMenu1.Handle(), static_cast<UINT>(command), text, sizeof(text), MF_BYCOMMAND);
    return text;
}

} // namespace

TEST_F(Presets, RepeatLastOperationAppliesItToTheSelectionWithoutItsDialog) {
    TMainFormBench bench;
    TShownErrors errors;
    bench.Open(bench.Make("a.txt b.txt c.txt"));
    bench.Select("0");
    Settle();
    EXPECT_FALSE(bench.MenuEnabled("NameRepeatAc"));
    TTrelInsertDialog& insert = Application->Dialog<TTrelInsertDialog>();
    insert.Values.Position = ipTail;
    insert.Values.Source.Specs.Custom.Text = "-1";
    std::string preview;
    {
        TIdleScript script({[&] {
            EXPECT_TRUE(RunLoopUntil([&] { return !insert.Preview().Text().empty(); }));
            preview = insert.Preview().Text();
            ClickControl(insert.OkButton);
        }});
        Press(ShortCut('D', scCtrl), bench.List());
    }
    EXPECT_EQ(preview, "a.txt -> a-1.txt; 1 of 1 names change.");
    bench.Select("2");
    Settle();
    Press(ShortCut(VK_F4), bench.List());
    EXPECT_EQ(bench.Rows(0), "a-1.txt b.txt c-1.txt*");
    EXPECT_TRUE(errors.Messages.empty());
}

TEST_F(Presets, SavedFromThreeOperationsAppliedAfterARestartAndUndoneAtOnce) {
    TMainFormBench bench;
    TShownErrors errors;
    const std::vector<std::string> paths = bench.Make("IMG_0001.jpg IMG_0002.jpg notes.txt");
    bench.Open(paths);
    TTrelReplaceDialogValues& replace = Application->Dialog<TTrelReplaceDialog>().Values;
    replace.OldText = "IMG_";
    replace.Source.Specs.Custom.Text = "Holiday ";
    Accept<TTrelReplaceDialog>(bench, ShortCut('R', scCtrl));
    Application->Dialog<TTrelCapitalizeDialog>().Values = {pkExtension, ccUpperCase};
    Accept<TTrelCapitalizeDialog>(bench, ShortCut('T', scCtrl));
    TTrelInsertDialogValues& insert = Application->Dialog<TTrelInsertDialog>().Values;
    insert.Position = ipTail;
    insert.Source.Kind = skNumber;
    insert.Source.Specs.Number.Prefix = " #";
    insert.Source.Specs.Number.Digits = 2;
    Accept<TTrelInsertDialog>(bench, ShortCut('D', scCtrl));
    const std::string renamed = "Holiday 0001 #01.JPG* Holiday 0002 #02.JPG* notes #03.TXT*";
    ASSERT_EQ(bench.Rows(0), renamed);

    // All three ticked (the newest is focused), the oldest moved down one.
    TTrelSavePresetDialog& save = Application->Dialog<TTrelSavePresetDialog>();
    {
        TIdleScript script({[&] {
                                save.StepList->Focus();
                                for (const WORD key : {VK_SPACE, VK_UP, VK_SPACE, VK_UP, VK_SPACE})
                                    PostKey(key, save.StepList->Handle());
                            },
                            [&] { ClickControl(save.MoveDownButton); },
                            [&] { PostText(save.NameEdit->Handle(), "Holiday photos"); },
                            [&] { ClickControl(save.OkButton); }});
        bench.Choose("NameSaveAsPresetAc");
    }
    {
        TBoxCloser clear(IDOK);
        bench.Close();
    }
    bench.Open(paths);
    EXPECT_TRUE(bench.MenuEnabled("NameRepeatAc"));
    const int command = bench.Form().PresetActions.Actions(0).CommandId();
    EXPECT_EQ(MenuText(bench, command), "Holiday photos");
    ChoosePreset(bench, 0);
    EXPECT_EQ(bench.Rows(0), renamed);
    EXPECT_EQ(bench.Status(), "Preset \"Holiday photos\" applied to 3 names.");
    Press(ShortCut('Z', scCtrl), bench.List());
    EXPECT_EQ(bench.Rows(0), "IMG_0001.jpg* IMG_0002.jpg* notes.txt*");
    const std::vector<TPreset> stored = ReadPresets(TMemIniFile(bench.Dir() / "Presets.ini"));
    ASSERT_EQ(stored.size(), 1u);
    ASSERT_EQ(stored[0].Steps.size(), 3u);
    EXPECT_EQ(stored[0].Steps[0].Operation, noCapitalize);
    EXPECT_EQ(stored[0].Steps[1].Operation, noReplace);
    EXPECT_TRUE(errors.Messages.empty());
}

TEST_F(Presets, AFailingStepAppliesNoStepAndTheMessageNamesTheStepAndTheName) {
    TMainFormBench bench;
    TShownErrors errors;
    bench.Dir().MakeFile("Presets.ini", "[Decode]\r\nVersion=1\r\n[Decode,Step1]\r\nOperation=Insert\r\n"
                                        "Position=Tail\r\nText=-x\r\n[Decode,Step2]\r\nOperation=URL Decode\r\n");
    bench.Open(bench.Make("a%41.txt b%FF.txt"));
    ChoosePreset(bench, 0);
    EXPECT_EQ(errors.Messages, std::vector<std::string>{"Step 2 (URL Decode the base name as UTF-8) fails on "
                                                        "\"b%FF.txt\": The decoded name is not valid UTF-8."});
    EXPECT_EQ(bench.Rows(0), "a%41.txt* b%FF.txt*");
}

TEST_F(Presets, ImportOfADamagedFileAddsNothing) {
    TMainFormBench bench;
    TShownErrors errors;
    const std::string damaged =
        bench.Dir().MakeFile("damaged.ini", "[Good]\r\nVersion=1\r\n[Good,Step1]\r\nOperation=Capitalize\r\n"
                                            "[Bad]\r\nVersion=1\r\n[Bad,Step1]\r\nOperation=Shuffle\r\n");
    bench.Open();
    TTrelManagePresetsDialog& manage = Application->Dialog<TTrelManagePresetsDialog>();
    {
        TDialogAnswerer answerer({{damaged}});
        TIdleScript script({[&] { ClickControl(manage.ImportButton); }, [&] { ClickControl(manage.CloseButton); }});
        bench.Choose("NameManagePresetsAc");
        EXPECT_EQ(answerer.Seen.size(), 1u);
    }
    EXPECT_EQ(errors.Messages,
              std::vector<std::string>{"The file \"" + damaged + "\" cannot be used: in the section \"Bad,Step1\", "
                                       "the key \"Operation\" has a value that the program cannot take (\"Shuffle\")."});
    EXPECT_EQ(bench.Form().PresetActions.Count(), 0);
    EXPECT_FALSE(EntryExists(bench.Dir() / "Presets.ini"));
}

// ---------------------------------------------------------------- the program started by a script

namespace {

// The program, copied into a folder beside a presets file, started there with
// arguments as another program starts it; the windows it shows are found and
// answered from outside.
class TProgramRun {
public:
    TProgramRun(const TTempDir& dir, const std::string& arguments) {
        const std::string program = dir / "Trelvane.exe";
        CopyFileA((ProgramDirectory() + TRELVANE_PROGRAM_FROM_TESTS).c_str(), program.c_str(), TRUE);
        std::string line = "\"" + program + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        EXPECT_TRUE(CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   dir.Path().c_str(), &startup, &info));
        FProcess.Attach(info.hProcess);
        TKernelHandle thread(info.hThread);
        FId = info.dwProcessId;
    }
    ~TProgramRun() {
        if (FProcess && WaitForSingleObject(FProcess.Get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(FProcess.Get(), 99);
    }

    // A visible top-level window of the program with the class and caption.
    HWND Window(const char* className, const char* caption = nullptr) {
        HWND found = nullptr;
        PollUntil(
            [&] {
                for (HWND w = GetTopWindow(nullptr); w && !found; w = GetWindow(w, GW_HWNDNEXT)) {
                    DWORD process = 0;
                    GetWindowThreadProcessId(w, &process);
                    char text[256] = "";
                    GetWindowTextA(w, text, sizeof(text));
                    if (process == FId && IsWindowVisible(w) && ClassOf(w) == className &&
                        (!caption || std::string(text) == caption))
                        found = w;
                }
                return found != nullptr;
            },
            std::chrono::milliseconds(30000));
        EXPECT_NE(found, nullptr) << className << " " << (caption ? caption : "");
        return found;
    }
    // Presses the button of the message box that shows; notes its text.
    void Answer(int button) {
        const HWND box = Window("#32770");
        if (!box)
            return;
        char text[512] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        Boxes.push_back(text);
        PostMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
    }
    // Closes the main window and agrees to clearing the list.
    void Close() {
        PostMessageA(Window("TrelvaneForm", "Trelvane"), WM_CLOSE, 0, 0);
        Answer(IDOK);
        Boxes.pop_back();
    }
    int ExitCode() {
        EXPECT_EQ(WaitForSingleObject(FProcess.Get(), 60000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeProcess(FProcess.Get(), &code);
        return static_cast<int>(code);
    }

    std::vector<std::string> Boxes;

private:
    TKernelHandle FProcess;
    DWORD FId = 0;
};

// A row's text of a list view of another process, read through memory of
// that process.
std::string RowOf(HWND list, int row) {
    DWORD id = 0;
    GetWindowThreadProcessId(list, &id);
    const TKernelHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id));
    char* remote = static_cast<char*>(VirtualAllocEx(process.Get(), nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    LVITEMA item{};
    item.pszText = remote + sizeof(item);
    item.cchTextMax = 256;
    WriteProcessMemory(process.Get(), remote, &item, sizeof(item), nullptr);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
    char text[256] = "";
    ReadProcessMemory(process.Get(), remote + sizeof(item), text, sizeof(text) - 1, nullptr);
    VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
    return text;
}

} // namespace

TEST(ScriptedStart, AppliesThePresetPerformsAndEndsWithItsExitCode) {
    const TTempDir dir;
    dir.MakeFile("Presets.ini", "[Holiday]\r\nVersion=1\r\n[Holiday,Step1]\r\nOperation=Replace\r\nOldText=IMG_\r\n"
                                "Text=\"Holiday \"\r\n[Holiday,Step2]\r\nOperation=Capitalize\r\nPart=Extension\r\n"
                                "Case=Upper case\r\n");
    dir.MakeEntries("IMG_1.jpg notes.txt IMG_2.jpg IMG_3.jpg");
    dir.MakeFile("Holiday 3.JPG");
    const struct {
        const char* what;
        const char* arguments;
        std::function<void(TProgramRun&)> user;
        int exitCode;
        std::vector<std::string> boxes;
        const char* onDisk;
    } cases[] = {
        {"the names shown, nothing renamed", "/preset:Holiday IMG_1.jpg notes.txt",
         [](TProgramRun& run) {
             const HWND panel = FindWindowExA(run.Window("TrelvaneForm", "Trelvane"), nullptr, "TrelvanePanel", nullptr);
             const HWND list = FindWindowExA(panel, nullptr, WC_LISTVIEWA, nullptr);
             EXPECT_TRUE(PollUntil([&] { return RowOf(list, 1) == "notes.TXT"; }));
             EXPECT_EQ(RowOf(list, 0), "Holiday 1.JPG");
             run.Close();
         },
         kExitRenamed, {}, "IMG_1.jpg"},
        {"renamed, closed at once", "/perform \"/preset:holiday\" IMG_2.jpg", [](TProgramRun&) {}, kExitRenamed, {},
         "Holiday 2.JPG"},
        {"a rename that fails keeps the results open", "/preset:Holiday /perform IMG_3.jpg",
         [](TProgramRun& run) {
             run.Answer(IDOK);
             PostMessageA(run.Window("TrelvaneForm", "Results"), WM_CLOSE, 0, 0);
             run.Close();
         },
         kExitNotRenamed, {"The program could not rename the file."}, "IMG_3.jpg"},
        {"an unknown preset", "/preset:Nope IMG_1.jpg", [](TProgramRun& run) { run.Answer(IDOK); }, kExitRefused,
         {"There is no preset named \"Nope\"."}, "IMG_1.jpg"},
        {"an unknown option", "/prest:Holiday IMG_1.jpg", [](TProgramRun& run) { run.Answer(IDOK); },
         kExitRefused, {"The option \"/prest:Holiday\" is not known."}, "IMG_1.jpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TProgramRun run(dir, c.arguments);
        c.user(run);
        EXPECT_EQ(run.ExitCode(), c.exitCode);
        EXPECT_EQ(run.Boxes, c.boxes);
        EXPECT_TRUE(EntryExists(dir / c.onDisk));
    }
}

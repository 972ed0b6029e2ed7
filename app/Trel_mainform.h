// The program's one window: the menus, the toolbar, the list of entries and
// the status bar, with the handlers that carry out the menus.
#pragma once

#include "app/handlers/Trel_edithandler.h"
#include "app/handlers/Trel_filehandler.h"
#include "app/handlers/Trel_handler.h"
#include "app/handlers/Trel_helphandler.h"
#include "app/handlers/Trel_namehandler.h"
#include "app/handlers/Trel_renamehandler.h"
#include "app/handlers/Trel_viewhandler.h"
#include "framework/Fw_forms.h"
#include "support/Vek_clipboard.h"
#include "support/Vek_command.h"
#include "support/Vek_listviewmodel.h"

#include <memory>
#include <string>
#include <vector>

// The paths given on a command line, in order, in the program's code page,
// and the options: /preset:"name" applies the preset to the added paths,
// /perform as well renames them after.
struct TCommandLine {
    TCommandLine(std::vector<std::string> paths = {}) : Paths(std::move(paths)) {}

    std::vector<std::string> Paths;
    // The arguments that the code page cannot hold, as a message shows them
    // (NameForMessage); while there is one, nothing of the command line is
    // added.
    std::vector<std::string> Refused;
    // Empty: no preset.
    std::string Preset;
    bool Perform = false;
    // Why the options cannot be followed (an unknown option, /perform
    // without a preset); while there is a reason, nothing is added.
    std::string Problem;
};
// The arguments after the program's own name, read from the UTF-16 command
// line: the ANSI one holds a look-alike of a character that the code page
// lacks, which may name another file. A slash and a word ("/perform",
// "/preset:...") is an option, known or not (case ignored); anything else a
// path.
TCommandLine ParseCommandLine(const wchar_t* commandLine);
// What the program returns at its end after a scripted start: every entry
// renamed or skipped (and for a start without /perform), a rename that did
// not succeed, a command line that could not be followed.
constexpr int kExitRenamed = 0;
constexpr int kExitNotRenamed = 1;
constexpr int kExitRefused = 2;
// The process's own command line.
TCommandLine CommandLinePaths();
// "Settings.ini" in the executable's directory, whatever the current directory.
std::string DefaultSettingsFile();

// What every row shows while a rename or a restore runs.
extern const char* const BusyRowText;
// Asked after the settings could not be saved at close.
extern const char* const CloseWithoutSettingsText;

// The main window. It owns the list's model, the undo history, every rename
// item and the handlers, maps each command to one handler operation inside
// the busy bracket (the hourglass while the outermost command runs), and
// recomputes the commands' states and the status text once per burst of
// changes, at the next idle moment.
class TTrelMainForm : public TForm {
public:
    // At the first idle moment the runs that a journal shows were cut off are
    // offered for taking back, then the command-line paths are added; the
    // settings are loaded from the file at the end of construction (when it
    // exists) and saved to it at close. A step that fails frees what was
    // built, in the teardown order, and the error passes on.
    explicit TTrelMainForm(TCommandLine commandLine = CommandLinePaths(),
                           std::string settingsFile = DefaultSettingsFile(),
                           std::vector<std::string> journalFolders = DefaultJournalFolders(),
                           std::vector<std::string> earlierJournalFolders = EarlierJournalFolders());
    ~TTrelMainForm() override;

    const std::string& SettingsFile() const { return FSettingsFile; }
    // "Presets.ini" beside the settings file.
    std::string PresetsFile() const;
    // The rows behind the list.
    TListViewModel& Model() const { return *FModel; }

    // The enabled and checked states of the commands, the bars' visibility
    // and the status text, from the list and the handlers now.
    void UpdateControls();

    // Nesting brackets around a command: the hourglass shows from the
    // outermost begin to its end, and the end asks for an update.
    void BeginBusy();
    void EndBusy();
    int BusyCount() const { return FBusyCount; }

    // No key is a shortcut while a new name is edited in place: Delete,
    // Ctrl+A or F2 then belong to the edit box.
    bool IsShortCut(const MSG& msg) override;

    TActionList& ActionList1;
    // One action per preset, rebuilt with the Presets submenu.
    TActionList& PresetActions;
    TMainMenu& MainMenu1;
    TPopupMenu& PopupMenu1;
    TImageList& ImageList1;
    TImageList& ImageList2;
    TToolBar& ToolBar1;
    TStatusBar& StatusBar1;
    TPanel& Panel1;
    TListView& ListView1;

protected:
    // Dropped files; everything else as any form.
    void Dispatch(TMessage& Message) override;

private:
    TActionList& CreateActionList();
    void WireControls();
    void BindActions();
    void BindNameActions();
    void BindViewActions();
    // The action's execute handler runs the work inside the busy bracket.
    void Bind(const char* action, std::function<void(TAction&)> work);
    template <class F>
    void RunBusy(F&& work);

    void ListView1Data(TListView& Sender, TListItemData& Item);
    void ListView1ColumnClick(TListView& Sender, int Column);
    void ListView1Editing(TListView& Sender, int Index, bool& AllowEdit);
    void ListView1Edited(TListView& Sender, int Index, const std::string& Text);
    void ActionList1Update(TActionList& Sender, bool& Handled);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FirstIdle();
    void LoadPresets();
    // The Presets submenu: one item per preset, in name order, then a
    // separator and Manage Presets.
    void RebuildPresetsMenu();
    void ApplyPreset(const std::string& name);
    void AddCommandLine();
    // The command line's preset over the added entries, then with /perform
    // the rename; the program closes when every entry was renamed or
    // skipped, and stays open otherwise.
    void RunScript();
    // A message, then the program ends with kExitRefused.
    void RefuseCommandLine(const std::string& message);
    void DropFiles(TMessage& Message);
    void Enable(const char* action, bool enabled);
    void Check(const char* action, bool checked);

    struct THandlerSection {
        const char* Name;
        THandler* Handler;
    };
    // The handlers in start-up order with their settings sections; one that
    // does not exist is skipped.
    std::vector<THandlerSection> HandlerSections() const;
    // Each handler's settings in its section under "MainForm", in start-up order.
    void WalkHandlers(TMemIniFile& iniFile, TIniSection& section,
                      void (THandler::*settings)(TMemIniFile&, TIniSection&));
    void LoadSettings();
    void SaveSettings();

    TCommandLine FCommandLine;
    std::string FSettingsFile;

    // Created in this order and freed in the reverse one (the members'
    // order), by the destructor as by a constructor that fails part-way.
    std::unique_ptr<TListViewModel> FModel;
    std::unique_ptr<TInvoker> FInvoker;
    std::unique_ptr<TObjectList> FItemList;
    std::unique_ptr<TFileHandler> FFileHandler;
    std::unique_ptr<TEditHandler> FEditHandler;
    std::unique_ptr<TNameHandler> FNameHandler;
    std::unique_ptr<TViewHandler> FViewHandler;
    std::unique_ptr<TRenameHandler> FRenameHandler;
    std::unique_ptr<THelpHandler> FHelpHandler;
    std::unique_ptr<TClipboardWatcher> FClipboardWatcher;

    // An idle handler of the application, removed when the owner goes.
    class TIdleHook {
    public:
        TIdleHook() = default;
        TIdleHook(const TIdleHook&) = delete;
        TIdleHook& operator=(const TIdleHook&) = delete;
        ~TIdleHook() { Remove(); }
        void Add(TIdleEvent handler);
        void Remove();

    private:
        unsigned FId = 0;
    };
    // The one-shot idle handler: interrupted runs, then the command line.
    TIdleHook FFirstIdleHook;
    int FBusyCount = 0;
    bool FUpdatePending = false;
    // The items of the Presets submenu before Manage Presets (separator too).
    int FPresetItems = 0;
    // Shown in the status bar instead of the counts until the next command or
    // change of the selection (which preset ran).
    std::string FStatusNote;
    // The program ends without asking (a scripted start that is done).
    bool FCloseQuietly = false;
};

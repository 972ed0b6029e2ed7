#include "app/Trel_mainform.h"

#include "app/images/Trel_images.h"
#include "app/names/Trel_listedit.h"
#include "app/names/Trel_rename.h"
#include "framework/Fw_clipbrd.h"
#include "framework/Fw_fileapi.h"
#include "framework/Fw_inifiles.h"
#include "framework/Fw_scope.h"
#include "support/Vek_file.h"
#include "support/Vek_inifile.h"
#include "support/Vek_shell.h"

#include <shellapi.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>

const char* const BusyRowText = "(Busy...)";
const char* const CloseWithoutSettingsText = "Do you want to close the program without saving the settings?";

namespace {

const char* const kSettingsFileName = "Settings.ini";
const char* const kSystemSection = "System";
const char* const kMainFormSection = "MainForm";
const char* const kCurrentDirectoryKey = "CurrentDirectory";

// The number of the list's own columns after the caption: old name,
// directory, type, result. The shown info columns follow them.
constexpr int kSubItemCount = 4;

const TFormDef kMainFormDef{"Trelvane", 525, 402, bsSizeable, poDefault};

const TControlDef kControls[] = {
    {ckToolBar, "ToolBar1", 0, 0, 525, 30, "", coNone, mrNone, nullptr, alTop},
    {ckStatusBar, "StatusBar1", 0, 380, 525, 22, "", coNone, mrNone, nullptr, alBottom},
    {ckPanel, "Panel1", 0, 30, 525, 350, "", coNone, mrNone, nullptr, alClient},
    {ckListView, "ListView1", 0, 0, 525, 350, "", coMultiSelect | coRowSelect | coEditLabels, mrNone,
     "Panel1", alClient},
};

const TListColumnDef kColumns[] = {
    {"New name  ", 100}, {"Old name", 100}, {"Directory", 100}, {"Type", 100}, {"Result", 100},
};

constexpr int Image(TActionImage image) {
    return static_cast<int>(image);
}

// In menu order. The hints are the toolbar's tool tips.
const TActionDef kActions[] = {
    {"FileNewAc", "&New", ShortCut('N', scCtrl), Image(TActionImage::New), "New"},
    {"FileExitAc", "E&xit"},
    {"EditUndoAc", "&Undo", ShortCut('Z', scCtrl), Image(TActionImage::Undo), "Undo edit"},
    {"EditRedoAc", "&Redo", ShortCut('Y', scCtrl), Image(TActionImage::Redo), "Redo edit"},
    {"EditCutAc", "Cu&t", ShortCut('X', scCtrl), Image(TActionImage::Cut), "Cut"},
    {"EditCopyAc", "&Copy", ShortCut('C', scCtrl), Image(TActionImage::Copy), "Copy"},
    {"EditPasteAc", "&Paste", ShortCut('V', scCtrl), Image(TActionImage::Paste), "Paste"},
    {"EditAddDirectoryAc", "&Directory...", ShortCut(VK_INSERT, scShift)},
    {"EditAddRegularFilesAc", "&Regular Files...", ShortCut(VK_INSERT), Image(TActionImage::AddFiles),
     "Add files"},
    {"EditDereferenceShortcutsAc", "Dereference &Shortcuts", scNone, -1, nullptr, aoAutoCheck | aoChecked},
    {"EditDeleteAc", "D&elete", ShortCut(VK_DELETE), Image(TActionImage::Delete), "Delete"},
    {"EditSelectAllAc", "Select &All", ShortCut('A', scCtrl), Image(TActionImage::SelectAll), "Select all"},
    {"EditSelectByTypeDirectoryAc", "&Directory", scNone, -1, "Select by kind - directory"},
    {"EditSelectByTypeFileAc", "&File", scNone, -1, "Select by kind - file"},
    {"EditSelectByResultSucceededAc", "&Succeeded"},
    {"EditSelectByResultFailedAc", "&Failed"},
    {"EditSelectByResultSkippedAc", "S&kipped"},
    {"EditSelectByResultNoneAc", "&None"},
    {"EditReverseSelectionAc", "Re&verse Selection"},
    {"NameCopyAc", "&Copy..."},
    {"NameInsertAc", "&Insert...", ShortCut('D', scCtrl)},
    {"NameOverwriteAc", "&Overwrite...", ShortCut('G', scCtrl)},
    {"NameReplaceAc", "&Replace...", ShortCut('R', scCtrl)},
    {"NameCapitalizeAc", "Capi&talize...", ShortCut('T', scCtrl)},
    {"NameUrlEncodeAc", "&URL Encode...", ShortCut('U', scCtrl)},
    {"NameUrlDecodeAc", "UR&L Decode...", ShortCut('U', scCtrl | scShift)},
    {"NameFreeEditAc", "&Free Edit...", ShortCut('E', scCtrl), Image(TActionImage::FreeEdit), "Free edit"},
    {"NameEnterAc", "&Enter", ShortCut(VK_F2)},
    // F4 repeats, as in Windows programs; F1 and F2 are taken, Alt+F4 is the
    // system's.
    {"NameRepeatAc", "Repe&at Last Operation", ShortCut(VK_F4)},
    {"NameSaveAsPresetAc", "Save as Pre&set..."},
    {"NameManagePresetsAc", "&Manage Presets..."},
    {"ViewToolbarAc", "&Toolbar", scNone, -1, nullptr, aoAutoCheck | aoChecked},
    {"ViewStatusBarAc", "&Status Bar", scNone, -1, nullptr, aoAutoCheck | aoChecked},
    {"ViewRememberPlacementAc", "&Remember Placement", scNone, -1, nullptr, aoAutoCheck | aoChecked},
    {"ViewColumnSizeAc", "&Size", scNone, -1, nullptr, aoAutoCheck},
    {"ViewColumnModifiedAc", "&Modified", scNone, -1, nullptr, aoAutoCheck},
    {"ViewColumnCreatedAc", "&Created", scNone, -1, nullptr, aoAutoCheck},
    {"ViewColumnDateTakenAc", "&Date taken", scNone, -1, nullptr, aoAutoCheck},
    {"ViewSortByNewNameAc", "&New Name"},
    {"ViewSortByOldNameAc", "&Old Name"},
    {"ViewSortByDirectoryAc", "&Directory"},
    {"ViewSortByTypeAc", "&Type"},
    {"ViewSortByResultAc", "&Result"},
    {"ViewSortBySizeAc", "&Size"},
    {"ViewSortByModifiedAc", "&Modified"},
    {"ViewSortByCreatedAc", "&Created"},
    {"ViewSortByDateTakenAc", "Date t&aken"},
    {"ViewInvertAc", "&Invert"},
    {"ViewMoveUpAc", "Move &Up", scNone, Image(TActionImage::MoveUp), "Move up"},
    {"ViewMoveDownAc", "Move &Down", scNone, Image(TActionImage::MoveDown), "Move down"},
    {"ViewRefreshAc", "Re&fresh", ShortCut(VK_F5)},
    {"RenameCheckAc", "&Check...", ShortCut('K', scCtrl)},
    {"RenamePerformAc", "&Perform", scNone, Image(TActionImage::PerformRename), "Perform rename"},
    {"RenameRestoreAc", "&Restore"},
    {"RenameResultsAc", "Re&sults", ShortCut('I', scCtrl), Image(TActionImage::Results), "Results"},
    {"HelpContentsAc", "&Contents"},
    {"HelpAboutAc", "&About"},
};

const char* const kNameMenu = "&Name";
// Its items are the presets, then "Manage Presets...".
const char* const kPresetsMenu = "&Presets";
// The command identifiers of the presets' items: after those of the actions.
constexpr int kFirstPresetCommandId = FirstActionCommandId + 0x1000;

const TMenuItemDef kMainMenu[] = {
    {0, "&File"},
    {1, nullptr, "FileNewAc"},
    {1, "-"},
    {1, nullptr, "FileExitAc"},
    {0, "&Edit"},
    {1, nullptr, "EditUndoAc"},
    {1, nullptr, "EditRedoAc"},
    {1, "-"},
    {1, nullptr, "EditCutAc"},
    {1, nullptr, "EditCopyAc"},
    {1, nullptr, "EditPasteAc"},
    {1, "A&dd"},
    {2, nullptr, "EditAddDirectoryAc"},
    {2, nullptr, "EditAddRegularFilesAc"},
    {2, "-"},
    {2, nullptr, "EditDereferenceShortcutsAc"},
    {1, nullptr, "EditDeleteAc"},
    {1, "-"},
    {1, nullptr, "EditSelectAllAc"},
    {1, "&Select by Type"},
    {2, nullptr, "EditSelectByTypeDirectoryAc"},
    {2, nullptr, "EditSelectByTypeFileAc"},
    {1, "Select by Re&sult"},
    {2, nullptr, "EditSelectByResultSucceededAc"},
    {2, nullptr, "EditSelectByResultFailedAc"},
    {2, nullptr, "EditSelectByResultSkippedAc"},
    {2, nullptr, "EditSelectByResultNoneAc"},
    {1, nullptr, "EditReverseSelectionAc"},
    {0, kNameMenu},
    {1, nullptr, "NameCopyAc"},
    {1, "-"},
    {1, nullptr, "NameInsertAc"},
    {1, nullptr, "NameOverwriteAc"},
    {1, nullptr, "NameReplaceAc"},
    {1, "-"},
    {1, nullptr, "NameCapitalizeAc"},
    {1, nullptr, "NameUrlEncodeAc"},
    {1, nullptr, "NameUrlDecodeAc"},
    {1, "-"},
    {1, nullptr, "NameFreeEditAc"},
    {1, nullptr, "NameEnterAc"},
    {1, "-"},
    {1, nullptr, "NameRepeatAc"},
    {1, nullptr, "NameSaveAsPresetAc"},
    {1, kPresetsMenu},
    {2, nullptr, "NameManagePresetsAc"},
    {0, "&View"},
    {1, nullptr, "ViewToolbarAc"},
    {1, nullptr, "ViewStatusBarAc"},
    {1, nullptr, "ViewRememberPlacementAc"},
    {1, "-"},
    {1, "&Columns"},
    {2, nullptr, "ViewColumnSizeAc"},
    {2, nullptr, "ViewColumnModifiedAc"},
    {2, nullptr, "ViewColumnCreatedAc"},
    {2, nullptr, "ViewColumnDateTakenAc"},
    {1, "Sort &By"},
    {2, nullptr, "ViewSortByNewNameAc"},
    {2, nullptr, "ViewSortByOldNameAc"},
    {2, nullptr, "ViewSortByDirectoryAc"},
    {2, nullptr, "ViewSortByTypeAc"},
    {2, nullptr, "ViewSortByResultAc"},
    {2, "-"},
    {2, nullptr, "ViewSortBySizeAc"},
    {2, nullptr, "ViewSortByModifiedAc"},
    {2, nullptr, "ViewSortByCreatedAc"},
    {2, nullptr, "ViewSortByDateTakenAc"},
    {1, nullptr, "ViewInvertAc"},
    {1, "-"},
    {1, nullptr, "ViewMoveUpAc"},
    {1, nullptr, "ViewMoveDownAc"},
    {1, "-"},
    {1, nullptr, "ViewRefreshAc"},
    {0, "&Rename"},
    {1, nullptr, "RenameCheckAc"},
    {1, nullptr, "RenamePerformAc"},
    {1, nullptr, "RenameRestoreAc"},
    {1, "-"},
    {1, nullptr, "RenameResultsAc"},
    {0, "&Help", "HelpContentsAc", ShortCut(VK_F1)},
    {1, nullptr, "HelpContentsAc"},
    {1, "-"},
    {1, nullptr, "HelpAboutAc"},
};

const TMenuItemDef kPopupMenu[] = {
    {0, nullptr, "EditUndoAc"},
    {0, nullptr, "EditRedoAc"},
    {0, "-"},
    {0, nullptr, "EditCutAc"},
    {0, nullptr, "EditCopyAc"},
    {0, nullptr, "EditPasteAc"},
    {0, "A&dd"},
    {1, nullptr, "EditAddDirectoryAc"},
    {1, nullptr, "EditAddRegularFilesAc"},
    {1, "-"},
    {1, nullptr, "EditDereferenceShortcutsAc"},
    {0, nullptr, "EditDeleteAc"},
    {0, "-"},
    {0, nullptr, "EditSelectAllAc"},
    {0, "&Select by Type"},
    {1, nullptr, "EditSelectByTypeDirectoryAc"},
    {1, nullptr, "EditSelectByTypeFileAc"},
    {0, "Select by Re&sult"},
    {1, nullptr, "EditSelectByResultSucceededAc"},
    {1, nullptr, "EditSelectByResultFailedAc"},
    {1, nullptr, "EditSelectByResultSkippedAc"},
    {1, nullptr, "EditSelectByResultNoneAc"},
    {0, nullptr, "EditReverseSelectionAc"},
};

// One group of buttons a line; null is a separator.
// clang-format off
const char* const kToolButtons[] = {
    "FileNewAc", nullptr,
    "EditUndoAc", "EditRedoAc", nullptr,
    "EditCutAc", "EditCopyAc", "EditPasteAc", "EditAddRegularFilesAc", "EditDeleteAc", nullptr,
    "EditSelectAllAc", "NameFreeEditAc", nullptr,
    "ViewMoveUpAc", "ViewMoveDownAc", nullptr,
    "RenamePerformAc", nullptr,
    "RenameResultsAc",
};
// clang-format on

// The item of the menu whose caption is this.
TMenuItem& MenuItemNamed(TMenuItem& parent, const std::string& caption) {
    for (int i = 0; i < parent.Count(); ++i)
        if (parent.Items(i).Caption() == caption)
            return parent.Items(i);
    throw EInvalidOperation(Format("The menu has no item %s.", caption.c_str()));
}

// A text as a menu shows it: an ampersand is no access key.
std::string MenuCaption(const std::string& text) {
    std::string caption;
    for (const char c : text)
        caption += c == '&' ? std::string("&&") : std::string(1, c);
    return caption;
}

// The Sort By actions of the columns, left to right.
const char* const kSortByColumn[] = {
    "ViewSortByNewNameAc", "ViewSortByOldNameAc", "ViewSortByDirectoryAc",
    "ViewSortByTypeAc",    "ViewSortByResultAc",
};

// Enabled only while at least one row is selected.
const char* const kSelectionEditActions[] = {"EditCutAc", "EditCopyAc", "EditDeleteAc"};
const char* const kSelectionNameActions[] = {
    "NameCopyAc",       "NameInsertAc",    "NameOverwriteAc", "NameReplaceAc",
    "NameCapitalizeAc", "NameUrlEncodeAc", "NameUrlDecodeAc", "NameFreeEditAc",
};
const char* const kSelectionViewActions[] = {"ViewMoveUpAc", "ViewMoveDownAc"};

// View > Columns and View > Sort By of each info column, in its order.
struct TInfoActions {
    TInfoColumn Column;
    const char* Show;
    const char* Sort;
};
const TInfoActions kInfoActions[] = {
    {TInfoColumn::Size, "ViewColumnSizeAc", "ViewSortBySizeAc"},
    {TInfoColumn::Modified, "ViewColumnModifiedAc", "ViewSortByModifiedAc"},
    {TInfoColumn::Created, "ViewColumnCreatedAc", "ViewSortByCreatedAc"},
    {TInfoColumn::DateTaken, "ViewColumnDateTakenAc", "ViewSortByDateTakenAc"},
};

} // namespace

namespace {

const char* const kPresetOption = "/preset:";

// A slash and a word, up to a colon or the end ("/perform", "/preset:..."):
// a path has a separator or a dot in it ("/home/me/a.txt" under Wine).
bool IsOption(const std::string& argument) {
    std::size_t end = 1;
    while (end < argument.size() && std::isalpha(static_cast<unsigned char>(argument[end])))
        ++end;
    return argument[0] == '/' && end > 1 && (end == argument.size() || argument[end] == ':');
}

void TakeOption(const std::string& option, TCommandLine& commandLine) {
    const std::string prefix = option.substr(0, std::strlen(kPresetOption));
    if (AnsiCompareText(option, "/perform") == 0)
        commandLine.Perform = true;
    else if (AnsiCompareText(prefix, kPresetOption) == 0 && option.size() > prefix.size())
        commandLine.Preset = option.substr(prefix.size());
    else if (commandLine.Problem.empty())
        commandLine.Problem = Format("The option \"%s\" is not known.", option.c_str());
}

} // namespace

TCommandLine ParseCommandLine(const wchar_t* commandLine) {
    TCommandLine result;
    // An empty line would give the program's own path as the only argument.
    if (commandLine == nullptr || *commandLine == L'\0')
        return result;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
    if (arguments == nullptr)
        return result;
    auto free = ScopeExit([arguments] { LocalFree(arguments); });
    for (int i = 1; i < count; ++i) {
        const std::wstring argument = arguments[i];
        std::string text;
        if (!FileApi::FromSystemPath(argument, text))
            result.Refused.push_back(NameForMessage(argument));
        else if (IsOption(text))
            TakeOption(text, result);
        else
            result.Paths.push_back(std::move(text));
    }
    if (result.Perform && result.Preset.empty() && result.Problem.empty())
        result.Problem = "The option /perform needs a preset (/preset:\"name\").";
    return result;
}

TCommandLine CommandLinePaths() {
    return ParseCommandLine(GetCommandLineW());
}

std::string DefaultSettingsFile() {
    return ProgramDirectory() + kSettingsFileName;
}

// TTrelMainForm::TIdleHook

void TTrelMainForm::TIdleHook::Add(TIdleEvent handler) {
    Remove();
    FId = Application->AddIdleHandler(std::move(handler));
}

void TTrelMainForm::TIdleHook::Remove() {
    if (FId) {
        Application->RemoveIdleHandler(FId);
        FId = 0;
    }
}

// TTrelMainForm

TTrelMainForm::TTrelMainForm(TCommandLine commandLine, std::string settingsFile,
                             std::vector<std::string> journalFolders,
                             std::vector<std::string> earlierJournalFolders)
    : TForm(kMainFormDef), ActionList1(CreateActionList()),
      PresetActions(CreateComponent<TActionList>(kFirstPresetCommandId)),
      MainMenu1(CreateComponent<TMainMenu>(kMainMenu, ActionList1)),
      PopupMenu1(CreateComponent<TPopupMenu>(kPopupMenu, ActionList1)),
      ImageList1(CreateComponent<TImageList>()), ImageList2(CreateComponent<TImageList>()),
      ToolBar1((CreateControls(kControls), Control<TToolBar>("ToolBar1"))),
      StatusBar1(Control<TStatusBar>("StatusBar1")), Panel1(Control<TPanel>("Panel1")),
      ListView1(Control<TListView>("ListView1")), FCommandLine(std::move(commandLine)),
      FSettingsFile(std::move(settingsFile)) {
    WireControls();
    BindActions();

    FModel = std::make_unique<TListViewModel>(ListView1.Handle());
    FInvoker = std::make_unique<TInvoker>();
    FItemList = std::make_unique<TObjectList>(true);
    FFileHandler = std::make_unique<TFileHandler>(*FModel, *FItemList, *FInvoker);
    FEditHandler = std::make_unique<TEditHandler>(*FModel, *FItemList, *FInvoker);
    FNameHandler = std::make_unique<TNameHandler>(*FModel, *FItemList, *FInvoker);
    FNameHandler->Presets().SetFileName(PresetsFile());
    FViewHandler = std::make_unique<TViewHandler>(*FModel, *FItemList, *FInvoker);
    FRenameHandler = std::make_unique<TRenameHandler>(*FModel, *FItemList, *FInvoker);
    FRenameHandler->JournalFolders = std::move(journalFolders);
    FRenameHandler->EarlierJournalFolders = std::move(earlierJournalFolders);
    FHelpHandler = std::make_unique<THelpHandler>(*FModel, *FItemList, *FInvoker);
    FClipboardWatcher = std::make_unique<TClipboardWatcher>();
    FFirstIdleHook.Add([this](TObject*, bool& done) {
        FirstIdle();
        // The update that the addition asked for comes before the loop waits.
        done = false;
    });
    DragAcceptFiles(Handle(), TRUE);
    FViewHandler->SetControls(*this, ToolBar1, StatusBar1, ListView1);
    FViewHandler->ResetColumnWidths();
    FClipboardWatcher->OnChange = [this](TObject*) { UpdateControls(); };
    FClipboardWatcher->SetEnabled(true);
    UpdateControls();
    LoadSettings();
}

TTrelMainForm::~TTrelMainForm() {
    // Nothing may reach the handlers or the items while they go.
    ListView1.OnData = nullptr;
    ListView1.OnChange = nullptr;
    ListView1.OnColumnClick = nullptr;
    ListView1.OnEditing = nullptr;
    ListView1.OnEdited = nullptr;
    ActionList1.OnUpdate = nullptr;
    OnCloseQuery = nullptr;
    if (FClipboardWatcher)
        FClipboardWatcher->OnChange = nullptr;
    if (Handle())
        DragAcceptFiles(Handle(), FALSE);
}

TActionList& TTrelMainForm::CreateActionList() {
    TActionList& actions = CreateComponent<TActionList>();
    actions.AddActions(kActions);
    return actions;
}

void TTrelMainForm::WireControls() {
    AddActionList(ActionList1);
    AddActionList(PresetActions);
    SetMainMenu(&MainMenu1);
    ImageList1.AddImages([](HIMAGELIST list, int) { AddActionImages(list); });
    ImageList2.AddImages([](HIMAGELIST list, int) { AddRowImages(list); });
    ToolBar1.SetImages(&ImageList1);
    ToolBar1.SetButtons(ActionList1, kToolButtons);
    ListView1.AddColumns(kColumns);
    ListView1.SetSmallImages(&ImageList2);
    ListView1.SetStateImages(&ImageList2);
    ListView1.SetPopupMenu(&PopupMenu1);
    ListView1.OnData = [this](TListView& sender, TListItemData& item) { ListView1Data(sender, item); };
    ListView1.OnChange = [this](TListView&, int, int) {
        FUpdatePending = true;
        if (FBusyCount == 0)
            FStatusNote.clear();
    };
    ListView1.OnColumnClick = [this](TListView& sender, int column) { ListView1ColumnClick(sender, column); };
    ListView1.OnEditing = [this](TListView& sender, int index, bool& allow) {
        ListView1Editing(sender, index, allow);
    };
    ListView1.OnEdited = [this](TListView& sender, int index, const std::string& text) {
        ListView1Edited(sender, index, text);
    };
    ActionList1.OnUpdate = [this](TActionList& sender, bool& handled) { ActionList1Update(sender, handled); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
}

void TTrelMainForm::Bind(const char* action, std::function<void(TAction&)> work) {
    ActionList1.Action(action).OnExecute = [this, work = std::move(work)](TAction& sender) {
        RunBusy([&] { work(sender); });
    };
}

void TTrelMainForm::BindActions() {
    Bind("FileNewAc", [this](TAction&) { FFileHandler->New(true); });
    Bind("FileExitAc", [this](TAction&) { Close(); });
    Bind("EditUndoAc", [this](TAction&) { FEditHandler->Undo(); });
    Bind("EditRedoAc", [this](TAction&) { FEditHandler->Redo(); });
    Bind("EditCutAc", [this](TAction&) { FEditHandler->Cut(); });
    Bind("EditCopyAc", [this](TAction&) { FEditHandler->Copy(); });
    Bind("EditPasteAc", [this](TAction&) { FEditHandler->Paste(); });
    Bind("EditAddDirectoryAc", [this](TAction&) { FEditHandler->AddDirectory(); });
    Bind("EditAddRegularFilesAc", [this](TAction&) { FEditHandler->AddRegularFiles(); });
    Bind("EditDereferenceShortcutsAc",
         [this](TAction& action) { FEditHandler->SetDereferenceShortcuts(action.Checked()); });
    Bind("EditDeleteAc", [this](TAction&) { FEditHandler->Delete(); });
    Bind("EditSelectAllAc", [this](TAction&) { FEditHandler->SelectAll(); });
    Bind("EditSelectByTypeDirectoryAc",
         [this](TAction&) { FEditHandler->SelectByType(TRenameItemType::Directory); });
    Bind("EditSelectByTypeFileAc",
         [this](TAction&) { FEditHandler->SelectByType(TRenameItemType::RegularFile); });
    Bind("EditSelectByResultSucceededAc",
         [this](TAction&) { FEditHandler->SelectByResult(TRenameItemResult::Succeeded); });
    Bind("EditSelectByResultFailedAc",
         [this](TAction&) { FEditHandler->SelectByResult(TRenameItemResult::Failed); });
    Bind("EditSelectByResultSkippedAc",
         [this](TAction&) { FEditHandler->SelectByResult(TRenameItemResult::Skipped); });
    Bind("EditSelectByResultNoneAc",
         [this](TAction&) { FEditHandler->SelectByResult(TRenameItemResult::None); });
    Bind("EditReverseSelectionAc", [this](TAction&) { FEditHandler->ReverseSelection(); });
    BindNameActions();
    BindViewActions();
    Bind("RenameCheckAc", [this](TAction&) { FRenameHandler->Check(); });
    Bind("RenamePerformAc", [this](TAction&) { FRenameHandler->Perform(); });
    Bind("RenameRestoreAc", [this](TAction&) { FRenameHandler->Restore(); });
    Bind("RenameResultsAc", [this](TAction&) { FRenameHandler->ShowResults(); });
    Bind("HelpContentsAc", [this](TAction&) { FHelpHandler->Contents(); });
    Bind("HelpAboutAc", [this](TAction&) { FHelpHandler->About(); });
}

void TTrelMainForm::BindViewActions() {
    Bind("ViewToolbarAc", [this](TAction& action) { FViewHandler->SetToolbarVisible(action.Checked()); });
    Bind("ViewStatusBarAc", [this](TAction& action) { FViewHandler->SetStatusBarVisible(action.Checked()); });
    Bind("ViewRememberPlacementAc",
         [this](TAction& action) { FViewHandler->RememberPlacement = action.Checked(); });
    Bind("ViewSortByNewNameAc", [this](TAction&) { FViewHandler->SortByNewName(); });
    Bind("ViewSortByOldNameAc", [this](TAction&) { FViewHandler->SortByOldName(); });
    Bind("ViewSortByDirectoryAc", [this](TAction&) { FViewHandler->SortByDirectory(); });
    Bind("ViewSortByTypeAc", [this](TAction&) { FViewHandler->SortByType(); });
    Bind("ViewSortByResultAc", [this](TAction&) { FViewHandler->SortByResult(); });
    for (const TInfoActions& info : kInfoActions) {
        const TInfoColumn column = info.Column;
        Bind(info.Show,
             [this, column](TAction& action) { FViewHandler->SetInfoColumnShown(column, action.Checked()); });
        Bind(info.Sort, [this, column](TAction&) { FViewHandler->SortByInfo(column); });
    }
    Bind("ViewInvertAc", [this](TAction&) { FViewHandler->Invert(); });
    Bind("ViewMoveUpAc", [this](TAction&) { FViewHandler->MoveUp(); });
    Bind("ViewMoveDownAc", [this](TAction&) { FViewHandler->MoveDown(); });
    Bind("ViewRefreshAc", [this](TAction&) { FViewHandler->Refresh(); });
}

void TTrelMainForm::BindNameActions() {
    Bind("NameCopyAc", [this](TAction&) { FNameHandler->Copy(); });
    Bind("NameInsertAc", [this](TAction&) { FNameHandler->Insert(); });
    Bind("NameOverwriteAc", [this](TAction&) { FNameHandler->Overwrite(); });
    Bind("NameReplaceAc", [this](TAction&) { FNameHandler->Replace(); });
    Bind("NameCapitalizeAc", [this](TAction&) { FNameHandler->Capitalize(); });
    Bind("NameUrlEncodeAc", [this](TAction&) { FNameHandler->UrlEncode(); });
    Bind("NameUrlDecodeAc", [this](TAction&) { FNameHandler->UrlDecode(); });
    Bind("NameFreeEditAc", [this](TAction&) { FNameHandler->FreeEdit(); });
    Bind("NameRepeatAc", [this](TAction&) { FNameHandler->RepeatLastOperation(); });
    Bind("NameSaveAsPresetAc", [this](TAction&) {
        auto rebuild = ScopeExit([this] { RebuildPresetsMenu(); });
        FNameHandler->SaveAsPreset();
    });
    Bind("NameManagePresetsAc", [this](TAction&) {
        auto rebuild = ScopeExit([this] { RebuildPresetsMenu(); });
        FNameHandler->ManagePresets();
    });
    Bind("NameEnterAc", [this](TAction&) {
        const int focused = ListView1.FocusedIndex();
        ListView1.ClearSelection();
        if (focused >= 0)
            ListView1.EditLabel(focused);
    });
}

template <class F>
void TTrelMainForm::RunBusy(F&& work) {
    BeginBusy();
    auto end = ScopeExit([this] { EndBusy(); });
    work();
    // Rows that the command added or renamed show their values in the shown
    // info columns.
    if (FBusyCount == 1 && FViewHandler)
        FViewHandler->ReadShownFileInfo();
}

void TTrelMainForm::BeginBusy() {
    if (++FBusyCount == 1) {
        Screen->SetCursor(crHourGlass);
        FStatusNote.clear();
    }
}

void TTrelMainForm::EndBusy() {
    if (--FBusyCount == 0) {
        FUpdatePending = true;
        Screen->SetCursor(crDefault);
    }
}

bool TTrelMainForm::IsShortCut(const MSG& msg) {
    return !ListView1.IsEditing() && TForm::IsShortCut(msg);
}

void TTrelMainForm::Enable(const char* action, bool enabled) {
    ActionList1.Action(action).SetEnabled(enabled);
}

void TTrelMainForm::Check(const char* action, bool checked) {
    ActionList1.Action(action).SetChecked(checked);
}

void TTrelMainForm::UpdateControls() {
    const int count = ListView1.ItemCount();
    const int selected = ListView1.SelectedCount();
    const bool anySelected = selected > 0;
    Enable("EditUndoAc", FEditHandler->CanUndo());
    Enable("EditRedoAc", FEditHandler->CanRedo());
    for (const char* action : kSelectionEditActions)
        Enable(action, anySelected);
    Enable("EditPasteAc", TClipboard::HasText());
    for (const char* action : kSelectionNameActions)
        Enable(action, anySelected);
    Enable("NameEnterAc", ListView1.FocusedIndex() >= 0);
    Enable("NameRepeatAc", anySelected && !FNameHandler->RecentSteps().empty());
    Enable("NameSaveAsPresetAc", !FNameHandler->RecentSteps().empty());
    for (int i = 0; i < PresetActions.Count(); ++i)
        PresetActions.Actions(i).SetEnabled(anySelected);
    for (const char* action : kSelectionViewActions)
        Enable(action, anySelected);
    Enable("RenameCheckAc", count > 0);
    Enable("RenamePerformAc", count > 0);
    Enable("RenameRestoreAc", FRenameHandler->CanRestore());

    Check("EditDereferenceShortcutsAc", FEditHandler->GetDereferenceShortcuts());
    Check("ViewToolbarAc", FViewHandler->GetToolbarVisible());
    Check("ViewStatusBarAc", FViewHandler->GetStatusBarVisible());
    Check("ViewRememberPlacementAc", FViewHandler->RememberPlacement);
    for (const TInfoActions& info : kInfoActions)
        Check(info.Show, FViewHandler->IsInfoColumnShown(info.Column));

    if (!FStatusNote.empty())
        StatusBar1.SetSimpleText(FStatusNote);
    else
        StatusBar1.SetSimpleText(anySelected ? Format("%d items selected", selected) : Format("%d items", count));
}

void TTrelMainForm::ActionList1Update(TActionList& /*Sender*/, bool& Handled) {
    Handled = true;
    if (FUpdatePending) {
        FUpdatePending = false;
        UpdateControls();
    }
}

void TTrelMainForm::ListView1Data(TListView& /*Sender*/, TListItemData& Item) {
    const int index = Item.Index();
    if (!FModel || !FRenameHandler || index < 0 || index >= FModel->Count())
        return;
    const std::vector<TInfoColumn>& infoColumns = FViewHandler->ShownInfoColumns();
    const int subItems = kSubItemCount + static_cast<int>(infoColumns.size());
    Item.ReserveSubItems(subItems);
    if (FRenameHandler->IsBusy()) {
        // The worker may be changing the items: none is read.
        Item.SetCaption(BusyRowText);
        Item.SetImageIndex(-1);
        Item.SetStateIndex(-1);
        for (int i = 0; i < subItems; ++i)
            Item.AddSubItem(std::string());
        return;
    }
    const auto& item = *static_cast<const TRenameItem*>(FModel->Items(index)->GetData());
    Item.SetCaption(item.NewName);
    Item.AddSubItem(item.OldName);
    Item.AddSubItem(item.Directory);
    Item.AddSubItem(TypeText(item.Type));
    Item.AddSubItem(ResultText(item.Result));
    for (const TInfoColumn column : infoColumns)
        Item.AddSubItem(InfoText(item, column));
    Item.SetImageIndex(TypeImageIndex(item));
    Item.SetStateIndex(ResultImageIndex(item));
}

void TTrelMainForm::ListView1ColumnClick(TListView& /*Sender*/, int Column) {
    if (Column >= 0 && Column < static_cast<int>(std::size(kSortByColumn)))
        ActionList1.Action(kSortByColumn[Column]).Choose();
    else if (const std::optional<TInfoColumn> info = FViewHandler->InfoColumnAt(Column))
        ActionList1.Action(kInfoActions[static_cast<int>(*info)].Sort).Choose();
}

void TTrelMainForm::ListView1Editing(TListView& /*Sender*/, int /*Index*/, bool& AllowEdit) {
    // No row is read while a rename runs.
    AllowEdit = !FRenameHandler->IsBusy();
}

void TTrelMainForm::ListView1Edited(TListView& /*Sender*/, int Index, const std::string& Text) {
    RunBusy([&] { FNameHandler->Enter(Index, Text); });
}

void TTrelMainForm::FirstIdle() {
    FFirstIdleHook.Remove();
    // A run cut off last time is settled before anything new is added: its
    // entries may be among the paths of the command line.
    RunBusy([&] { FRenameHandler->RecoverInterruptedRuns(); });
    LoadPresets();
    AddCommandLine();
}

std::string TTrelMainForm::PresetsFile() const {
    TPath path(FSettingsFile);
    path.SetName(kPresetsFileName);
    return path.GetPath();
}

void TTrelMainForm::LoadPresets() {
    // A damaged file is told about; the program goes on without its presets.
    try {
        FNameHandler->Presets().Load();
    } catch (const Exception&) {
        Application->HandleException();
    }
    RebuildPresetsMenu();
}

void TTrelMainForm::RebuildPresetsMenu() {
    TMenuItem& menu = MenuItemNamed(MenuItemNamed(MainMenu1.Items(), kNameMenu), kPresetsMenu);
    for (; FPresetItems > 0; --FPresetItems)
        menu.DeleteItem(0);
    PresetActions.Clear();
    const std::vector<TPreset>& presets = FNameHandler->Presets().Presets();
    for (const TPreset& preset : presets) {
        const std::string caption = MenuCaption(preset.Name);
        TAction& action = PresetActions.Add({"NamePresetAc", caption.c_str()});
        const std::string name = preset.Name;
        action.OnExecute = [this, name](TAction&) { RunBusy([&] { ApplyPreset(name); }); };
        menu.InsertItem(FPresetItems++, &action);
    }
    if (FPresetItems > 0)
        menu.InsertItem(FPresetItems++, nullptr);
    FUpdatePending = true;
}

void TTrelMainForm::ApplyPreset(const std::string& name) {
    const int selected = ListView1.SelectedCount();
    FNameHandler->ApplyPreset(name);
    FStatusNote = Format("Preset \"%s\" applied to %d names.", name.c_str(), selected);
}

void TTrelMainForm::AddCommandLine() {
    if (!FCommandLine.Problem.empty())
        return RefuseCommandLine(FCommandLine.Problem);
    const bool scripted = !FCommandLine.Preset.empty();
    if (scripted && !FNameHandler->Presets().Find(FCommandLine.Preset))
        return RefuseCommandLine(Format("There is no preset named \"%s\".", FCommandLine.Preset.c_str()));
    // As with a path that does not exist, one that cannot be named refuses
    // the whole command line.
    if (!FCommandLine.Refused.empty()) {
        const std::string message =
            Format("The path \"%s\" holds a character that the system's code page cannot represent.",
                   FCommandLine.Refused.front().c_str());
        if (scripted)
            return RefuseCommandLine(message);
        throw EHandlerError(message);
    }
    if (FCommandLine.Paths.empty())
        return scripted ? RefuseCommandLine("The preset has no paths to apply to.") : void();
    // Until the script is done, its end is a failure.
    if (FCommandLine.Perform)
        Application->SetExitCode(kExitNotRenamed);
    TStringList paths;
    paths.SetCapacity(static_cast<int>(FCommandLine.Paths.size()));
    for (const std::string& path : FCommandLine.Paths)
        paths.Add(path);
    RunBusy([&] { FEditHandler->AddPaths(paths); });
    if (scripted)
        RunScript();
}

void TTrelMainForm::RunScript() {
    // The added entries are the selected ones.
    RunBusy([&] { ApplyPreset(FCommandLine.Preset); });
    if (!FCommandLine.Perform)
        return;
    // Its error is told, then the results show how far it came.
    try {
        RunBusy([&] { FRenameHandler->Perform(); });
    } catch (...) {
        Application->HandleException();
    }
    for (int row = 0; row < FModel->Count(); ++row) {
        const TRenameItemResult result = static_cast<TRenameItem*>(FModel->Items(row)->GetData())->Result;
        if (result != TRenameItemResult::Succeeded && result != TRenameItemResult::Skipped)
            return RunBusy([&] { FRenameHandler->ShowResults(); });
    }
    Application->SetExitCode(kExitRenamed);
    FCloseQuietly = true;
    Close();
}

void TTrelMainForm::RefuseCommandLine(const std::string& message) {
    Application->SetExitCode(kExitRefused);
    Application->HandleException(std::make_exception_ptr(EHandlerError(message)));
    FCloseQuietly = true;
    Close();
}

void TTrelMainForm::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_DROPFILES)
        DropFiles(Message);
    else
        TForm::Dispatch(Message);
}

void TTrelMainForm::DropFiles(TMessage& Message) {
    Message.Result = 0;
    TFileDrop drop(reinterpret_cast<HDROP>(Message.WParam), true);
    RunBusy([&] {
        SetForegroundWindow(Handle());
        TStringList paths;
        drop.GetFiles(paths);
        // The shell's memory goes back before the work on the paths starts.
        drop.Finish();
        FEditHandler->AddPaths(paths);
    });
}

void TTrelMainForm::FormCloseQuery(TObject* /*Sender*/, bool& CanClose) {
    // New asks before anything is cleared; a No ends the close in the silent
    // abort, with the list and the history as they were. A scripted start
    // that is done ends without asking.
    if (!FCloseQuietly)
        ActionList1.Action("FileNewAc").Execute();
    try {
        SaveSettings();
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        // The settings cannot always be written (a read-only file, a folder
        // the user may not write to): the user decides whether to close
        // anyway, so the program can always be ended.
        CanClose = Application->MsgBox(e.Message() + "\r\n\r\n" + CloseWithoutSettingsText,
                                       MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
    }
}

std::vector<TTrelMainForm::THandlerSection> TTrelMainForm::HandlerSections() const {
    return {
        {"FileHandler", FFileHandler.get()},     {"EditHandler", FEditHandler.get()},
        {"NameHandler", FNameHandler.get()},     {"ViewHandler", FViewHandler.get()},
        {"RenameHandler", FRenameHandler.get()}, {"HelpHandler", FHelpHandler.get()},
    };
}

void TTrelMainForm::WalkHandlers(TMemIniFile& iniFile, TIniSection& section,
                                 void (THandler::*settings)(TMemIniFile&, TIniSection&)) {
    const TSubSection form(section, kMainFormSection);
    for (const THandlerSection& handler : HandlerSections()) {
        if (!handler.Handler)
            continue;
        const TSubSection handlerSection(section, handler.Name);
        (handler.Handler->*settings)(iniFile, section);
    }
}

void TTrelMainForm::LoadSettings() {
    TFiles files;
    if (!files.Exists(FSettingsFile))
        return;
    TMemIniFile iniFile(FSettingsFile);
    TIniSection section;
    {
        const TSubSection system(section, kSystemSection);
        // A directory that cannot be entered (it no longer exists) is left aside.
        files.SetWorkingDirectory(
            iniFile.ReadString(section.GetSectionName(), kCurrentDirectoryKey, files.GetWorkingDirectory()));
    }
    WalkHandlers(iniFile, section, &THandler::LoadSettings);
    UpdateControls();
}

void TTrelMainForm::SaveSettings() {
    // The file is read first, so that the keys and sections that the program
    // does not know are written back as they were.
    TMemIniFile iniFile(FSettingsFile);
    TIniSection section;
    {
        const TSubSection system(section, kSystemSection);
        iniFile.WriteString(section.GetSectionName(), kCurrentDirectoryKey, TFiles().GetWorkingDirectory());
    }
    WalkHandlers(iniFile, section, &THandler::SaveSettings);
    iniFile.UpdateFile();
}

#include "app/handlers/Trel_namehandler.h"

#include "app/commands/Trel_nameeditcommand.h"
#include "app/dialogs/Trel_capitalizedialog.h"
#include "app/dialogs/Trel_freeeditdialog.h"
#include "app/dialogs/Trel_insertdialog.h"
#include "app/dialogs/Trel_overwritedialog.h"
#include "app/dialogs/Trel_partdialog.h"
#include "app/dialogs/Trel_presetdialogs.h"
#include "app/dialogs/Trel_replacedialog.h"
#include "app/dialogs/Trel_urlencodingdialog.h"
#include "app/handlers/Trel_fileinforeader.h"
#include "framework/Fw_clipbrd.h"
#include "framework/Fw_forms.h"
#include "framework/Fw_scope.h"
#include "support/Vek_list.h"

#include <algorithm>

namespace {

const char* const kRecentSection = "Recent";
const char* const kPresetFilter = "Presets (*.ini)|*.ini|All files|*.*";

// The program's dialog of the class, shown; a cancel ends the operation.
template <class TDialog>
TDialog& Accepted() {
    TDialog& dialog = Application->Dialog<TDialog>();
    if (!dialog.Execute())
        Abort();
    return dialog;
}

TRenameItem* ItemOf(TListViewModelItem* row) {
    return static_cast<TRenameItem*>(row->GetData());
}

std::vector<std::string> PresetNames(const TPresetStore& store) {
    std::vector<std::string> names;
    for (const TPreset& preset : store.Presets())
        names.push_back(preset.Name);
    return names;
}

bool AskYesNo(const std::string& question) {
    return Application->MsgBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::string ReplacePresetQuestion(const std::string& name) {
    return Format("A preset named \"%s\" exists already. Do you want to replace it?", name.c_str());
}

// Reads what the steps' text sources need of the entries and has not been
// read (their file dates), as the list's columns are read; false when the
// user cancelled the reading.
bool ReadForSteps(const std::vector<TNameStep>& steps, const TEntries& entries) {
    if (std::none_of(steps.begin(), steps.end(), ReadsFileDates))
        return true;
    const bool taken = std::any_of(steps.begin(), steps.end(), ReadsDateTaken);
    return ReadAndStoreFileInfo(FileInfoRequests(entries, taken));
}

// As ReadForSteps; a cancelled reading ends the operation without a change.
void ReadForStepsOrAbort(const std::vector<TNameStep>& steps, const TEntries& entries) {
    if (!ReadForSteps(steps, entries))
        Abort();
}

} // namespace

// ---------------------------------------------------------------- the selection

TNameHandler::TSelection TNameHandler::ReadSelection() {
    TListViewModel& model = Model();
    model.ReadFromView(true);
    const int selected = model.SelectedCount();
    TSelection selection;
    selection.Items.reserve(static_cast<std::size_t>(selected));
    selection.Names.reserve(static_cast<std::size_t>(selected));
    // The selected rows in list order, whatever order they were selected in.
    for (int row = 0; static_cast<int>(selection.Items.size()) < selected; ++row) {
        TListViewModelItem* entry = model.Items(row);
        if (!entry->GetSelected())
            continue;
        selection.Items.push_back(ItemOf(entry));
        selection.Names.push_back(ItemOf(entry)->NewName);
    }
    return selection;
}

void TNameHandler::Commit(const TSelection& selection, const TNames& names) {
    TAutoPointer<TNameEditCommand> command(new TNameEditCommand(Model()));
    TObjectList& subCommands = command->SubCommands().PendingCommands();
    subCommands.SetCapacity(static_cast<int>(names.size()));
    for (std::size_t k = 0; k < names.size(); ++k)
        AddNew<TSetSubCommand>(subCommands, selection.Items[k], names[k]);
    ExecuteCommand(Invoker(), command);
}

void TNameHandler::ApplyToSelection(TSelection& selection, const TNameStep& step) {
    ReadForStepsOrAbort({step}, selection.Items);
    TNames names = selection.Names;
    ApplyStep(step, names, nullptr, &selection.Items);
    Commit(selection, names);
}

template <class TDialog, class F>
void TNameHandler::RunDialog(F&& stepOf) {
    TSelection selection = ReadSelection();
    TDialog& dialog = Application->Dialog<TDialog>();
    dialog.Preview().SetNames(&selection.Names, &selection.Items);
    // The preview reads the first entry alone: one directory listed, at most
    // one photo opened, and only once while its name stays.
    dialog.Preview().ReadFor = [&selection](const TNameStep& step) {
        if (!selection.Items.empty())
            ReadForSteps({step}, {selection.Items.front()});
    };
    auto forget = ScopeExit([&dialog] {
        dialog.Preview().SetNames(nullptr);
        dialog.Preview().ReadFor = nullptr;
    });
    if (!dialog.Execute())
        Abort();
    const TNameStep step = stepOf(dialog.Values);
    ApplyToSelection(selection, step);
    if (static_cast<int>(FRecent.size()) == kRecentSteps)
        FRecent.erase(FRecent.begin());
    FRecent.push_back(step);
}

void TNameHandler::SelectedParts(TPartKind part, TStrings& parts) {
    const TSelection selection = ReadSelection();
    TStringList result;
    result.SetCapacity(static_cast<int>(selection.Names.size()));
    for (const std::string& name : selection.Names)
        result.Add(TRenameName(name).GetPart(part));
    parts.Assign(result);
}

// ---------------------------------------------------------------- the operations

void TNameHandler::Copy() {
    const TPartKind part = Accepted<TTrelPartDialog>().Values;
    TStringList parts;
    SelectedParts(part, parts);
    TClipboard().SetText(parts.Text());
}

void TNameHandler::Insert() {
    RunDialog<TTrelInsertDialog>(InsertStep);
}

void TNameHandler::Overwrite() {
    RunDialog<TTrelOverwriteDialog>(OverwriteStep);
}

void TNameHandler::Replace() {
    RunDialog<TTrelReplaceDialog>(ReplaceStep);
}

void TNameHandler::Capitalize() {
    RunDialog<TTrelCapitalizeDialog>(CapitalizeStep);
}

void TNameHandler::UrlEncode() {
    Application->Dialog<TTrelUrlEncodingDialog>().Operation = noUrlEncode;
    RunDialog<TTrelUrlEncodingDialog>([](const auto& values) { return UrlCodingStep(values, noUrlEncode); });
}

void TNameHandler::UrlDecode() {
    Application->Dialog<TTrelUrlEncodingDialog>().Operation = noUrlDecode;
    RunDialog<TTrelUrlEncodingDialog>([](const auto& values) { return UrlCodingStep(values, noUrlDecode); });
}

void TNameHandler::FreeEdit() {
    const TPartKind part = Accepted<TTrelPartDialog>().Values;
    TStringList parts;
    SelectedParts(part, parts);
    TTrelFreeEditDialog& dialog = Application->Dialog<TTrelFreeEditDialog>();
    dialog.Values.Text = parts.Text();
    dialog.Values.LineCount = parts.Count();
    if (!dialog.Execute())
        Abort();
    // The dialog accepts only as many lines as there are parts, counted as
    // the text is split here.
    TStringList lines;
    lines.SetText(dialog.Values.Text);
    CheckLineCount(lines.Count(), parts.Count());
    const TSelection selection = ReadSelection();
    TNames names = selection.Names;
    for (std::size_t k = 0; k < names.size(); ++k)
        names[k] = OverwritePart(names[k], part, lines.Strings(static_cast<int>(k)));
    Commit(selection, names);
}

void TNameHandler::Enter(int index, const std::string& text) {
    TAutoPointer<TNameEditCommand> command(new TNameEditCommand(Model()));
    TObjectList& subCommands = command->SubCommands().PendingCommands();
    subCommands.SetCapacity(1);
    AddNew<TSetSubCommand>(subCommands, ItemOf(Model().Items(index)), text);
    ExecuteCommand(Invoker(), command);
}

void TNameHandler::RepeatLastOperation() {
    if (FRecent.empty())
        throw EHandlerError("There is no operation to repeat.");
    TSelection selection = ReadSelection();
    ApplyToSelection(selection, FRecent.back());
}

// ---------------------------------------------------------------- presets

void TNameHandler::ApplyPreset(const std::string& name) {
    const TPreset* preset = FPresets.Find(name);
    if (!preset)
        throw EHandlerError(Format("There is no preset named \"%s\".", name.c_str()));
    const TSelection selection = ReadSelection();
    ReadForStepsOrAbort(preset->Steps, selection.Items);
    TNames names = selection.Names;
    ApplySteps(preset->Steps, names, &selection.Items);
    Commit(selection, names);
}

void TNameHandler::ConfirmReplace(const std::string& name) {
    if (FPresets.Find(name) && !AskYesNo(ReplacePresetQuestion(name)))
        Abort();
}

void TNameHandler::SaveAsPreset() {
    TTrelSavePresetDialog& dialog = Application->Dialog<TTrelSavePresetDialog>();
    if (!dialog.Execute(FRecent))
        Abort();
    ConfirmReplace(dialog.Value.Name);
    FPresets.Save(dialog.Value);
}

void TNameHandler::ManagePresets() {
    TTrelManagePresetsDialog& dialog = Application->Dialog<TTrelManagePresetsDialog>();
    dialog.OnCommand = [this](TPresetCommand command, const std::string& name) {
        switch (command) {
        case TPresetCommand::Rename:
            RenamePreset(name);
            break;
        case TPresetCommand::Delete:
            DeletePreset(name);
            break;
        case TPresetCommand::Export:
            ExportPreset(name);
            break;
        case TPresetCommand::Import:
            ImportPresets();
            break;
        }
        return PresetNames(FPresets);
    };
    auto forget = ScopeExit([&dialog] { dialog.OnCommand = nullptr; });
    dialog.Execute(PresetNames(FPresets));
}

void TNameHandler::RenamePreset(const std::string& name) {
    TTrelPresetNameDialog& dialog = Application->Dialog<TTrelPresetNameDialog>();
    dialog.Value = name;
    if (!dialog.Execute())
        Abort();
    if (AnsiCompareText(dialog.Value, name) != 0)
        ConfirmReplace(dialog.Value);
    FPresets.Rename(name, dialog.Value);
}

void TNameHandler::DeletePreset(const std::string& name) {
    if (!AskYesNo(Format("Do you want to delete the preset \"%s\"?", name.c_str())))
        Abort();
    FPresets.Delete(name);
}

void TNameHandler::ExportPreset(const std::string& name) {
    const TPreset* preset = FPresets.Find(name);
    if (!preset)
        return;
    FPresetFileDialog.SetTitle("Export Preset");
    FPresetFileDialog.SetFilter(kPresetFilter);
    FPresetFileDialog.SetDefaultExtension("ini");
    FPresetFileDialog.SetOptions(ofSaveDialog | ofHideReadOnly | ofPathMustExist | ofEnableSizing);
    FPresetFileDialog.SetFileName(name + ".ini");
    FPresetFileDialog.Execute();
    ExportPresets(FPresetFileDialog.FileName(), {*preset});
}

void TNameHandler::ImportPresets() {
    FPresetFileDialog.SetTitle("Import Presets");
    FPresetFileDialog.SetFilter(kPresetFilter);
    FPresetFileDialog.SetOptions(ofHideReadOnly | ofFileMustExist | ofEnableSizing);
    FPresetFileDialog.SetFileName(std::string());
    FPresetFileDialog.Execute();
    // The whole file is read before anything is added.
    std::vector<TPreset> chosen;
    for (TPreset& preset : ::ImportPresets(FPresetFileDialog.FileName()))
        if (!FPresets.Find(preset.Name) || AskYesNo(ReplacePresetQuestion(preset.Name)))
            chosen.push_back(std::move(preset));
    if (!chosen.empty())
        FPresets.Add(chosen);
}

// ---------------------------------------------------------------- settings

void TNameHandler::LoadSettings(TMemIniFile& iniFile, TIniSection& section) {
    std::vector<TNameStep> recent;
    for (int i = 1; i <= kRecentSteps; ++i) {
        const TSubSection sub(section, kRecentSection + IntToStr(i));
        // A damaged entry of the history is left out; the rest is kept.
        TNameStep step;
        if (iniFile.SectionExists(section.GetSectionName()) && TryReadStep(iniFile, section.GetSectionName(), step))
            recent.push_back(step);
    }
    FRecent = std::move(recent);
}

void TNameHandler::SaveSettings(TMemIniFile& iniFile, TIniSection& section) {
    for (int i = 1; i <= kRecentSteps; ++i) {
        const TSubSection step(section, kRecentSection + IntToStr(i));
        iniFile.EraseSection(section.GetSectionName());
        if (i <= static_cast<int>(FRecent.size()))
            WriteStep(iniFile, section.GetSectionName(), FRecent[static_cast<std::size_t>(i - 1)]);
    }
}

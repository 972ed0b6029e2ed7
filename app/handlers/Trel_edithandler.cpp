#include "app/handlers/Trel_edithandler.h"

#include "app/commands/Trel_editcommand.h"
#include "app/commands/Trel_listeditcommand.h"
#include "framework/Fw_clipbrd.h"
#include "support/Vek_file.h"
#include "support/Vek_list.h"

#include <memory_resource>
#include <memory>
#include <string_view>
#include <unordered_set>

const char* const AddDirectoryCaption = "Specify the directory.";

namespace {

const char* const kAddDialogSection = "AddRegularFilesDialog";
const char* const kFilterIndexKey = "FilterIndex";
const char* const kDereferenceShortcutsKey = "DereferenceShortcuts";

TRenameItem* RowItem(TListViewModel& model, int row) {
    return static_cast<TRenameItem*>(model.Items(row)->GetData());
}

} // namespace

TEditHandler::TEditHandler(TListViewModel& model, TObjectList& itemList, TInvoker& invoker)
    : THandler(model, itemList, invoker) {
    FAddDialog.SetTitle("Add");
    FAddDialog.SetFilter("All|*");
    FAddDialog.SetFilterIndex(1);
    FAddDialog.SetOptions(FAddDialog.Options() | ofAllowMultiSelect | ofPathMustExist | ofFileMustExist);
}

TEditHandler::~TEditHandler() = default;

// ---------------------------------------------------------------- history

void TEditHandler::Undo() {
    if (!CanUndo())
        throw EHandlerError("The program cannot undo anything.");
    Invoker().Undo();
}

void TEditHandler::Redo() {
    if (!CanRedo())
        throw EHandlerError("The program cannot redo anything.");
    Invoker().Redo();
}

bool TEditHandler::CanUndo() {
    return Invoker().CanUndo() && dynamic_cast<TEditCommand*>(Invoker().GetLastUndo()) != nullptr;
}

bool TEditHandler::CanRedo() {
    return Invoker().CanRedo() && dynamic_cast<TEditCommand*>(Invoker().GetLastRedo()) != nullptr;
}

// ---------------------------------------------------------------- clipboard

void TEditHandler::Cut() {
    Copy();
    Delete();
}

void TEditHandler::Copy() {
    TListViewModel& model = Model();
    model.ReadFromView(true);
    const int selected = model.SelectedCount();
    TStringList paths;
    paths.SetCapacity(selected);
    for (int row = 0; paths.Count() < selected && row < model.Count(); ++row)
        if (model.Items(row)->GetSelected())
            paths.Add(RowItem(model, row)->GetPath().GetPath());
    TClipboard clipboard;
    clipboard.SetText(paths.Text());
}

void TEditHandler::Paste() {
    TStringList lines;
    {
        // Closed again before the paths are added: other programs may want
        // the clipboard meanwhile.
        const TClipboard clipboard;
        lines.SetText(clipboard.GetText());
    }
    AddPaths(lines);
}

// ---------------------------------------------------------------- adding

void TEditHandler::AddDirectory() {
    TFiles files;
    const std::string directory = SelectDirectory(AddDirectoryCaption, files.GetWorkingDirectory());
    // The next choice starts where this one ended.
    files.SetWorkingDirectory(directory);
    TStringList paths;
    paths.Add(directory);
    AddPaths(paths);
}

void TEditHandler::AddRegularFiles() {
    FAddDialog.SetFileName("");
    FAddDialog.Execute();
    TStringList paths;
    paths.Assign(FAddDialog.Files());
    AddPaths(paths);
}

bool TEditHandler::GetDereferenceShortcuts() const {
    return (FAddDialog.Options() & ofNoDereferenceLinks) == 0;
}

void TEditHandler::SetDereferenceShortcuts(bool value) {
    if (value == GetDereferenceShortcuts())
        return;
    FAddDialog.SetOptions(value ? (FAddDialog.Options() & ~TOpenOptions(ofNoDereferenceLinks))
                                : (FAddDialog.Options() | ofNoDereferenceLinks));
}

std::vector<std::string> RowPaths(TListViewModel& model) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(model.Count()));
    for (int row = 0; row < model.Count(); ++row)
        paths.push_back(RowItem(model, row)->GetPath().GetPath());
    return paths;
}

std::vector<bool> SelectNewPaths(const std::vector<std::string>& known,
                                 const std::vector<std::string>& candidates) {
    // Every path's key (paths of one key name one entry to the file system),
    // one after the other in one text rather than a string each: hundreds of
    // thousands of small strings cost more than the hashing.
    const size_t count = known.size() + candidates.size();
    auto path = [&](size_t i) -> const std::string& {
        return i < known.size() ? known[i] : candidates[i - known.size()];
    };
    std::string keys;
    std::vector<size_t> ends(count);
    for (size_t i = 0; i < count; ++i) {
        AppendPathKey(path(i), keys);
        ends[i] = keys.size();
    }
    auto key = [&](size_t i) {
        const size_t start = i == 0 ? 0 : ends[i - 1];
        return std::string_view(keys.data() + start, ends[i] - start);
    };
    // The set's nodes come from one growing block: a heap call per node costs
    // more than everything else here (under Wine four times as much).
    std::pmr::monotonic_buffer_resource nodes;
    std::pmr::unordered_set<std::string_view> met(&nodes);
    met.reserve(count);
    for (size_t i = 0; i < known.size(); ++i)
        met.insert(key(i));
    std::vector<bool> added(candidates.size());
    for (size_t i = 0; i < candidates.size(); ++i)
        added[i] = met.insert(key(known.size() + i)).second;
    return added;
}

void TEditHandler::AddPaths(const TStrings& paths) {
    TAutoPointer<TListEditCommand> command(new TListEditCommand(Model()));
    // The new items stay here until the whole batch has succeeded: one bad
    // path leaves nothing behind in the item list.
    std::vector<std::unique_ptr<TRenameItem>> items;
    try {
        const int count = paths.Count();
        TObjectList& subCommands = command->SubCommands().PendingCommands();
        subCommands.SetCapacity(count);
        std::vector<std::string> longPaths;
        longPaths.reserve(static_cast<size_t>(count));
        // Read with the long path: under Wine each read scans the directory.
        std::vector<std::uint32_t> attributes(static_cast<size_t>(count));
        // One for the batch: a directory in which several short names are
        // looked up is listed once.
        TLongPathNames longNames;
        for (int i = 0; i < count; ++i) {
            TPath path(paths.Strings(i));
            path.Expand();
            longPaths.push_back(longNames.Get(path.GetPath(), attributes[static_cast<size_t>(i)]));
        }
        const std::vector<bool> added = SelectNewPaths(RowPaths(Model()), longPaths);
        for (size_t i = 0; i < longPaths.size(); ++i) {
            if (!added[i])
                continue;
            items.push_back(std::make_unique<TRenameItem>(longPaths[i], attributes[i]));
            AddNew<TAddSubCommand>(subCommands, Model(), items.back().get());
        }
    } catch (const EFileError&) {
        throw EHandlerError("The program can not add files to the list.");
    }
    if (items.empty())
        throw EHandlerError("No files to add to the list.");
    TObjectList& itemList = ItemList();
    itemList.SetCapacity(itemList.Count() + static_cast<int>(items.size()));
    for (std::unique_ptr<TRenameItem>& item : items)
        itemList.Add(item.release());
    ExecuteCommand(Invoker(), command);
}

// ---------------------------------------------------------------- deleting and selecting

void TEditHandler::Delete() {
    TListViewModel& model = Model();
    TAutoPointer<TListEditCommand> command(new TListEditCommand(model));
    model.ReadFromView(true);
    const int selected = model.SelectedCount();
    TObjectList& subCommands = command->SubCommands().PendingCommands();
    subCommands.SetCapacity(selected);
    // From the last row up: each sub-command's row is still where it was
    // when its turn comes.
    for (int row = model.Count() - 1; subCommands.Count() < selected && row >= 0; --row) {
        if (!model.Items(row)->GetSelected())
            continue;
        AddNew<TDeleteSubCommand>(subCommands, model, row);
    }
    ExecuteCommand(Invoker(), command);
}

template <class F>
void TEditHandler::ChangeSelection(F&& change) {
    TListViewModel& model = Model();
    model.ReadFromView(true);
    change(model);
    model.WriteToView(true);
}

void TEditHandler::SelectAll() {
    ChangeSelection([](TListViewModel& model) { model.SelectAll(); });
}

void TEditHandler::SelectByType(TRenameItemType type) {
    ChangeSelection([type](TListViewModel& model) {
        for (int row = 0; row < model.Count(); ++row)
            model.Items(row)->SetSelected(RowItem(model, row)->Type == type);
    });
}

void TEditHandler::SelectByResult(TRenameItemResult result) {
    ChangeSelection([result](TListViewModel& model) {
        for (int row = 0; row < model.Count(); ++row)
            model.Items(row)->SetSelected(RowItem(model, row)->Result == result);
    });
}

void TEditHandler::ReverseSelection() {
    ChangeSelection([](TListViewModel& model) { model.InvertSelection(); });
}

// ---------------------------------------------------------------- settings

void TEditHandler::LoadSettings(TMemIniFile& iniFile, TIniSection& section) {
    {
        const TSubSection dialogSection(section, kAddDialogSection);
        FAddDialog.SetFilterIndex(
            iniFile.ReadInteger(section.GetSectionName(), kFilterIndexKey, FAddDialog.FilterIndex()));
    }
    SetDereferenceShortcuts(
        iniFile.ReadBool(section.GetSectionName(), kDereferenceShortcutsKey, GetDereferenceShortcuts()));
}

void TEditHandler::SaveSettings(TMemIniFile& iniFile, TIniSection& section) {
    {
        const TSubSection dialogSection(section, kAddDialogSection);
        iniFile.WriteInteger(section.GetSectionName(), kFilterIndexKey, FAddDialog.FilterIndex());
    }
    iniFile.WriteBool(section.GetSectionName(), kDereferenceShortcutsKey, GetDereferenceShortcuts());
}

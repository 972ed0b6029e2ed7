#include "app/handlers/Trel_edithandler.h"

#include "app/commands/Trel_editcommand.h"
#include "app/commands/Trel_listeditcommand.h"
#include "framework/Fw_clipbrd.h"
#include "support/Vek_autopointer.h"
#include "support/Vek_file.h"

#include <functional>
#include <memory>
#include <string_view>

const char* const AddDirectoryCaption = "Specify the directory.";

namespace {

const char* const kAddDialogSection = "AddRegularFilesDialog";
const char* const kFilterIndexKey = "FilterIndex";
const char* const kDereferenceShortcutsKey = "DereferenceShortcuts";

TRenameItem* RowItem(TListViewModel& model, int row) {
    return static_cast<TRenameItem*>(model.Items(row)->GetData());
}

// Pushes a sub-section for the object's life, so that the stack is handed
// back as it came also when a read or write fails.
class TSubSection {
public:
    TSubSection(TIniSection& section, const std::string& name) : FSection(section) { FSection.Push(name); }
    TSubSection(const TSubSection&) = delete;
    TSubSection& operator=(const TSubSection&) = delete;
    ~TSubSection() { FSection.Pop(); }

private:
    TIniSection& FSection;
};

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
    // Every path in the file system's lower case, one after the other in one
    // text: names equal there are the names the file system takes for one.
    const size_t count = known.size() + candidates.size();
    auto path = [&](size_t i) -> const std::string& {
        return i < known.size() ? known[i] : candidates[i - known.size()];
    };
    size_t bytes = 0;
    for (size_t i = 0; i < count; ++i)
        bytes += path(i).size();
    std::string names;
    names.reserve(bytes);
    std::vector<size_t> ends(count);
    for (size_t i = 0; i < count; ++i) {
        AppendLowerFileName(path(i), names);
        ends[i] = names.size();
    }
    auto name = [&](size_t i) {
        const size_t start = i == 0 ? 0 : ends[i - 1];
        return std::string_view(names.data() + start, ends[i] - start);
    };

    // A hash table of the names met so far, by position (0 for a free slot),
    // at most half full so that a search ends after a slot or two.
    size_t capacity = 1;
    while (capacity < 2 * count)
        capacity *= 2;
    const size_t mask = capacity - 1;
    std::vector<size_t> slots(capacity, 0);
    std::vector<size_t> hashes(count);
    auto addIfNew = [&](size_t i) {
        const std::string_view added = name(i);
        const size_t hash = std::hash<std::string_view>{}(added);
        hashes[i] = hash;
        for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const size_t held = slots[slot];
            if (held == 0) {
                slots[slot] = i + 1;
                return true;
            }
            if (hashes[held - 1] == hash && name(held - 1) == added)
                return false;
        }
    };
    for (size_t i = 0; i < known.size(); ++i)
        addIfNew(i);
    std::vector<bool> added(candidates.size());
    for (size_t i = 0; i < candidates.size(); ++i)
        added[i] = addIfNew(known.size() + i);
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
        for (int i = 0; i < count; ++i) {
            TPath path(paths.Strings(i));
            path.Expand();
            longPaths.push_back(TFile(path.GetPath()).GetLongPath());
        }
        const std::vector<bool> added = SelectNewPaths(RowPaths(Model()), longPaths);
        for (size_t i = 0; i < longPaths.size(); ++i) {
            if (!added[i])
                continue;
            items.push_back(std::make_unique<TRenameItem>(longPaths[i]));
            TAutoPointer<TAddSubCommand> subCommand(new TAddSubCommand(Model(), items.back().get()));
            subCommands.Add(subCommand.Get());
            subCommand.Release();
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
    Invoker().PendingCommands().Add(command.Get());
    command.Release();
    Invoker().Execute();
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
        TAutoPointer<TDeleteSubCommand> subCommand(new TDeleteSubCommand(model, row));
        subCommands.Add(subCommand.Get());
        subCommand.Release();
    }
    Invoker().PendingCommands().Add(command.Get());
    command.Release();
    Invoker().Execute();
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

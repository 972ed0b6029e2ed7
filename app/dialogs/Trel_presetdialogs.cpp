#include "app/dialogs/Trel_presetdialogs.h"

#include "app/images/Trel_images.h"
#include "framework/Fw_imglist.h"

#include <algorithm>
#include <utility>

namespace {

const TControlDef kSaveControls[] = {
    {ckLabel, "Label11", 10, 10, 400, 26, "&Operations (the newest last):", coCenterVertically},
    {ckListView, "ListView11", 10, 40, 400, 220, "", coRowSelect},
    {ckButton, "Button11", 420, 40, 96, 26, "Move &Up"},
    {ckButton, "Button12", 420, 70, 96, 26, "Move &Down"},
    {ckLabel, "Label21", 10, 270, 121, 26, "&Name:", coCenterVertically},
    {ckEdit, "Edit21", 135, 270, 381, 23},
    {ckButton, "Button91", 310, 310, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 415, 310, 101, 26, "Cancel", coCancel, mrCancel},
};

const TControlDef kNameControls[] = {
    {ckLabel, "Label11", 10, 10, 121, 26, "&Name:", coCenterVertically},
    {ckEdit, "Edit11", 135, 10, 321, 23},
    {ckButton, "Button91", 250, 50, 101, 26, "OK", coDefault, mrOk},
    {ckButton, "Button92", 355, 50, 101, 26, "Cancel", coCancel, mrCancel},
};

const TControlDef kManageControls[] = {
    {ckListView, "ListView11", 10, 10, 400, 250, "", coRowSelect},
    {ckButton, "Button11", 420, 10, 96, 26, "&Rename..."},
    {ckButton, "Button12", 420, 40, 96, 26, "&Delete"},
    {ckButton, "Button13", 420, 80, 96, 26, "&Export..."},
    {ckButton, "Button14", 420, 110, 96, 26, "&Import..."},
    {ckButton, "Button92", 420, 234, 96, 26, "Close", coDefault | coCancel, mrCancel},
};

// The list's one column fills it, less room for a scroll bar.
constexpr int kListColumnWidth = 376;

// The check boxes of the rows, the empty one first.
TImageList& CheckImages(TForm& form) {
    TImageList& images = form.CreateComponent<TImageList>();
    images.AddImages([](HIMAGELIST list, int) { AddCheckImages(list); });
    return images;
}

} // namespace

int MoveRow(std::vector<TPresetRow>& rows, int index, int delta) {
    const int to = index + delta;
    if (index < 0 || to < 0 || index >= static_cast<int>(rows.size()) || to >= static_cast<int>(rows.size()))
        return index;
    std::swap(rows[static_cast<std::size_t>(index)], rows[static_cast<std::size_t>(to)]);
    return to;
}

TPreset PresetFromRows(const std::vector<TPresetRow>& rows, const std::string& name) {
    CheckPresetName(name);
    TPreset preset{name, {}};
    for (const TPresetRow& row : rows)
        if (row.Ticked)
            preset.Steps.push_back(row.Step);
    if (preset.Steps.empty())
        throw EInvalidOperation("No operation is ticked.");
    return preset;
}

// ---------------------------------------------------------------- TTrelSavePresetDialog

TTrelSavePresetDialog::TTrelSavePresetDialog() : TForm({"Save as Preset", 526, 346, bsDialog, poMainFormCenter}) {
    CreateControls(kSaveControls);
    StepList = &Control<TListView>("ListView11");
    MoveUpButton = &Control<TButton>("Button11");
    MoveDownButton = &Control<TButton>("Button12");
    NameEdit = &Control<TEdit>("Edit21");
    OkButton = &Control<TButton>("Button91");
    CancelButton = &Control<TButton>("Button92");
    StepList->AddColumn("Operation", kListColumnWidth);
    StepList->SetStateImages(&CheckImages(*this));
    StepList->OnData = [this](TListView&, TListItemData& item) {
        if (item.Index() < 0 || item.Index() >= static_cast<int>(Rows.size()))
            return;
        const TPresetRow& row = Rows[static_cast<std::size_t>(item.Index())];
        item.SetCaption(DescribeStep(row.Step));
        item.SetStateIndex(row.Ticked ? 1 : 0);
    };
    StepList->OnToggle = [this](TListView&, int index) { Toggle(index); };
    StepList->OnChange = [this](TListView&, int, int) { UpdateControls(); };
    MoveUpButton->OnClick = [this](TObject*) { Move(-1); };
    MoveDownButton->OnClick = [this](TObject*) { Move(1); };
    NameEdit->OnChange = [this](TObject*) { UpdateControls(); };
}

bool TTrelSavePresetDialog::Execute(const std::vector<TNameStep>& steps) {
    Rows.clear();
    for (const TNameStep& step : steps)
        Rows.push_back({step, false});
    StepList->SetItemCount(static_cast<int>(Rows.size()));
    if (!Rows.empty())
        StepList->Select(static_cast<int>(Rows.size()) - 1);
    StepList->UpdateItems(0, static_cast<int>(Rows.size()));
    NameEdit->SetText(Value.Name);
    UpdateControls();
    return ShowModal() == mrOk;
}

void TTrelSavePresetDialog::UpdateControls() {
    const int focused = StepList->FocusedIndex();
    MoveUpButton->SetEnabled(focused > 0);
    MoveDownButton->SetEnabled(focused >= 0 && focused + 1 < static_cast<int>(Rows.size()));
    bool ticked = false;
    for (const TPresetRow& row : Rows)
        ticked = ticked || row.Ticked;
    OkButton->SetEnabled(ticked && PresetNameProblem(NameEdit->GetText()).empty());
}

void TTrelSavePresetDialog::Move(int delta) {
    const int from = StepList->FocusedIndex();
    const int to = MoveRow(Rows, from, delta);
    StepList->UpdateItems(std::min(from, to), std::max(from, to));
    StepList->Select(to);
    StepList->Focus();
    UpdateControls();
}

void TTrelSavePresetDialog::Toggle(int index) {
    if (index < 0 || index >= static_cast<int>(Rows.size()))
        return;
    Rows[static_cast<std::size_t>(index)].Ticked = !Rows[static_cast<std::size_t>(index)].Ticked;
    StepList->UpdateItems(index, index);
    UpdateControls();
}

bool TTrelSavePresetDialog::CloseQuery() {
    return CloseWithValues(*this, Value, [this] { return PresetFromRows(Rows, NameEdit->GetText()); });
}

// ---------------------------------------------------------------- TTrelPresetNameDialog

TTrelPresetNameDialog::TTrelPresetNameDialog() : TForm({"Rename Preset", 466, 86, bsDialog, poMainFormCenter}) {
    CreateControls(kNameControls);
    NameEdit = &Control<TEdit>("Edit11");
    OkButton = &Control<TButton>("Button91");
    NameEdit->OnChange = [this](TObject*) { OkButton->SetEnabled(PresetNameProblem(NameEdit->GetText()).empty()); };
}

bool TTrelPresetNameDialog::Execute() {
    NameEdit->SetText(Value);
    OkButton->SetEnabled(PresetNameProblem(Value).empty());
    return ShowModal() == mrOk;
}

bool TTrelPresetNameDialog::CloseQuery() {
    return CloseWithValues(*this, Value, [this] {
        const std::string name = NameEdit->GetText();
        CheckPresetName(name);
        return name;
    });
}

// ---------------------------------------------------------------- TTrelManagePresetsDialog

TTrelManagePresetsDialog::TTrelManagePresetsDialog()
    : TForm({"Manage Presets", 526, 270, bsDialog, poMainFormCenter}) {
    CreateControls(kManageControls);
    PresetList = &Control<TListView>("ListView11");
    RenameButton = &Control<TButton>("Button11");
    DeleteButton = &Control<TButton>("Button12");
    ExportButton = &Control<TButton>("Button13");
    ImportButton = &Control<TButton>("Button14");
    CloseButton = &Control<TButton>("Button92");
    PresetList->AddColumn("Preset", kListColumnWidth);
    PresetList->OnData = [this](TListView&, TListItemData& item) {
        if (item.Index() >= 0 && item.Index() < static_cast<int>(Names.size()))
            item.SetCaption(Names[static_cast<std::size_t>(item.Index())]);
    };
    PresetList->OnChange = [this](TListView&, int, int) { UpdateControls(); };
    RenameButton->OnClick = [this](TObject*) { Run(TPresetCommand::Rename); };
    DeleteButton->OnClick = [this](TObject*) { Run(TPresetCommand::Delete); };
    ExportButton->OnClick = [this](TObject*) { Run(TPresetCommand::Export); };
    ImportButton->OnClick = [this](TObject*) { Run(TPresetCommand::Import); };
}

void TTrelManagePresetsDialog::Execute(const std::vector<std::string>& names) {
    ShowNames(names);
    ShowModal();
}

void TTrelManagePresetsDialog::ShowNames(const std::vector<std::string>& names) {
    const int focused = PresetList->FocusedIndex();
    Names = names;
    PresetList->SetItemCount(static_cast<int>(Names.size()));
    PresetList->UpdateItems(0, static_cast<int>(Names.size()));
    PresetList->ClearSelection();
    if (!Names.empty())
        PresetList->Select(std::clamp(focused, 0, static_cast<int>(Names.size()) - 1));
    UpdateControls();
}

void TTrelManagePresetsDialog::UpdateControls() {
    const int focused = PresetList->FocusedIndex();
    const bool chosen = focused >= 0 && focused < static_cast<int>(Names.size()) && PresetList->SelectedCount() > 0;
    for (TButton* button : {RenameButton, DeleteButton, ExportButton})
        button->SetEnabled(chosen);
}

void TTrelManagePresetsDialog::Run(TPresetCommand command) {
    const int focused = PresetList->FocusedIndex();
    const std::string name =
        focused >= 0 && focused < static_cast<int>(Names.size()) ? Names[static_cast<std::size_t>(focused)] : "";
    if (OnCommand)
        ShowNames(OnCommand(command, name));
}

// The dialogs of the presets: Save as Preset (the recent operations ticked,
// ordered and named), the preset name of Rename, and Manage Presets.
#pragma once

#include "app/dialogs/Trel_namedialog.h"
#include "app/names/Trel_presets.h"

#include <functional>
#include <string>
#include <vector>

// A recent operation offered for a preset, and whether it is ticked.
struct TPresetRow {
    TNameStep Step;
    bool Ticked = false;
};

// The row at the index moved one place up (delta -1) or down (+1), when
// there is such a place; returns where the row is now.
int MoveRow(std::vector<TPresetRow>& rows, int index, int delta);
// The preset the rows and the name give: the ticked steps in their order.
// Raises EPresetError with the name's problem (CheckPresetName), or
// EInvalidOperation "No operation is ticked.".
TPreset PresetFromRows(const std::vector<TPresetRow>& rows, const std::string& name);

class TTrelSavePresetDialog : public TForm {
public:
    TTrelSavePresetDialog();

    // Shows the steps (the oldest first), none ticked, and the name of the
    // last OK; true when it was closed with OK, which has stored the preset
    // in Value.
    bool Execute(const std::vector<TNameStep>& steps);
    bool CloseQuery() override;
    // Move Up and Move Down while the focused row can move so; OK while a
    // row is ticked and the name can be a preset's.
    void UpdateControls();

    TPreset Value;
    std::vector<TPresetRow> Rows;

    TListView* StepList;
    TButton* MoveUpButton;
    TButton* MoveDownButton;
    TEdit* NameEdit;
    TButton* OkButton;
    TButton* CancelButton;

private:
    void Move(int delta);
    void Toggle(int index);
};

// Asks for a preset's name (Rename); OK only while the name can be one.
class TTrelPresetNameDialog : public TForm {
public:
    TTrelPresetNameDialog();

    // Shows Value; true when closed with OK, which has stored the name typed.
    bool Execute();
    bool CloseQuery() override;

    std::string Value;

    TEdit* NameEdit;
    TButton* OkButton;
};

enum class TPresetCommand { Rename, Delete, Export, Import };

// The presets by name, with Rename, Delete and Export of the selected one,
// and Import. The commands are carried out by OnCommand, which gives the
// names after it; an error it raises is shown and the list stays.
class TTrelManagePresetsDialog : public TForm {
public:
    TTrelManagePresetsDialog();

    // Shows the names until the dialog is closed.
    void Execute(const std::vector<std::string>& names);
    // Rename, Delete and Export only while a preset is selected.
    void UpdateControls();

    std::function<std::vector<std::string>(TPresetCommand command, const std::string& name)> OnCommand;
    std::vector<std::string> Names;

    TListView* PresetList;
    TButton* RenameButton;
    TButton* DeleteButton;
    TButton* ExportButton;
    TButton* ImportButton;
    TButton* CloseButton;

private:
    void Run(TPresetCommand command);
    void ShowNames(const std::vector<std::string>& names);
};

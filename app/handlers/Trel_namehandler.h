// The Name menu: the name operations on the selected entries, each one
// undoable command, the in-place edit of one name, the repetition of the
// last operation and the presets.
#pragma once

#include "app/handlers/Trel_handler.h"
#include "app/names/Trel_namestep.h"
#include "app/names/Trel_presets.h"
#include "app/names/Trel_rename.h"
#include "framework/Fw_dialogs.h"

#include <string>
#include <vector>

// How many operations the handler remembers.
constexpr int kRecentSteps = 20;

// Each operation but Enter asks for its settings in the program's dialog of
// that operation (created on first use, kept with its last accepted values
// until the program ends), which previews the result over the selection. A
// cancelled dialog raises the silent abort: nothing changes and nothing is
// shown. Every other error raises with its message and changes nothing
// either. The operations over the selection read the selection from the list
// control first; the new names then go to the list control's rows through one
// name edit command on the invoker's history.
class TNameHandler : public THandler {
public:
    using THandler::THandler;

    // The chosen part of every selected new name, each followed by CR LF, on
    // the clipboard as its only text. Not undoable; the list is not changed.
    void Copy();
    // The text source's line k at the head or tail of the chosen part of the
    // k-th selected entry (in list order).
    void Insert();
    // The text source's line k as the chosen part of the k-th selected entry.
    void Overwrite();
    // Every occurrence of the old text in the chosen part replaced by line k;
    // with the regular expression option, every match of the old text as a
    // pattern, compiled once for the operation.
    void Replace();
    // The chosen part in lower case, upper case or as a book title.
    void Capitalize();
    // The chosen part converted to the encoding, then percent-encoded.
    void UrlEncode();
    // The chosen part percent-decoded, then converted from the encoding.
    void UrlDecode();
    // The chosen parts of the selected entries, one a line, edited in the Free
    // Edit dialog; line k becomes the part of the k-th selected entry.
    void FreeEdit();
    // The accepted in-place edit of a row's new name: the text becomes the
    // whole new name of the row's entry as it is, unchecked (an unchanged
    // text too: the entry's result goes back to None). No dialog; the
    // selection is not read. A row outside the list raises the list index error.
    void Enter(int index, const std::string& text);

    // The operations done through the six dialogs above, oldest first, at
    // most kRecentSteps.
    const std::vector<TNameStep>& RecentSteps() const { return FRecent; }
    // The newest of them applied once more to the selection, without its
    // dialog (a clipboard source reads the clipboard now).
    void RepeatLastOperation();
    // Save as Preset: the recent operations offered in the dialog; the ticked
    // ones, in the order given, stored under the name given (a preset of that
    // name is replaced only when the user agrees).
    void SaveAsPreset();
    // The preset's steps over the selection, in order, as one command: all or
    // nothing (the message names the step and the name). None of the name
    // raises EHandlerError.
    void ApplyPreset(const std::string& name);
    // Manage Presets: rename, delete, export and import.
    void ManagePresets();
    TPresetStore& Presets() { return FPresets; }

    // The recent operations, in the sub-sections "Recent1" (the oldest) to
    // "Recent20"; one that cannot be read is left out.
    void LoadSettings(TMemIniFile& iniFile, TIniSection& section) override;
    void SaveSettings(TMemIniFile& iniFile, TIniSection& section) override;

private:
    struct TSelection {
        TEntries Items;
        TNames Names;
    };
    // The selection read from the list control, in list order.
    TSelection ReadSelection();
    // One name edit command that gives each entry its name.
    void Commit(const TSelection& selection, const TNames& names);
    // The step over the selection as one command.
    void ApplyToSelection(TSelection& selection, const TNameStep& step);
    // The dialog shown with the selection's preview; its accepted values made
    // a step, applied, and remembered.
    template <class TDialog, class F>
    void RunDialog(F&& stepOf);
    // The chosen part of every selected entry's new name, in list order.
    void SelectedParts(TPartKind part, TStrings& parts);
    // Asked before a preset of the name is replaced; No ends in the silent
    // abort.
    void ConfirmReplace(const std::string& name);
    void RenamePreset(const std::string& name);
    void DeletePreset(const std::string& name);
    void ExportPreset(const std::string& name);
    void ImportPresets();

    std::vector<TNameStep> FRecent;
    TPresetStore FPresets;
    // Lives as long as the handler, so that it opens where it was last used.
    TOpenDialog FPresetFileDialog;
};

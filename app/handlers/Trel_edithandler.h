// The Edit menu: undo and redo of edits, the clipboard, adding paths,
// deleting entries and the selection commands.
#pragma once

#include "app/handlers/Trel_handler.h"
#include "app/names/Trel_rename.h"
#include "framework/Fw_dialogs.h"

#include <string>
#include <vector>

// Carries out the Edit menu. It is also the one way in for paths: the
// clipboard, the file dialog, the folder chooser, the command line and
// dropped files all end in AddPaths.
class TEditHandler : public THandler {
public:
    TEditHandler(TListViewModel& model, TObjectList& itemList, TInvoker& invoker);
    ~TEditHandler() override;

    // Undo and Redo act only on list and name edits; anything else on top of
    // the history (a rename) makes them refuse with "The program cannot undo
    // anything." / "The program cannot redo anything.".
    void Undo();
    void Redo();
    bool CanUndo();
    bool CanRedo();

    // Copy, then Delete; when Delete fails the clipboard keeps the text.
    void Cut();
    // The current paths of the selected entries on the clipboard as text, in
    // list order, each line ended by CR LF.
    void Copy();
    // The clipboard's lines to AddPaths: a line ends at CR LF, CR or LF; a
    // break at the very end starts no further line.
    void Paste();
    // One directory chosen in the folder chooser, which starts at the current
    // directory; the choice becomes the current directory. Cancel ends in the
    // silent abort.
    void AddDirectory();
    // The files chosen in the "Add" dialog. Cancel ends in the silent abort.
    void AddRegularFiles();
    // Whether a shortcut chosen in the "Add" dialog stands for its target.
    bool GetDereferenceShortcuts() const;
    void SetDereferenceShortcuts(bool value);

    // Removes the selected entries as one undoable step.
    void Delete();
    void SelectAll();
    // Selects exactly the entries of the type (of the result).
    void SelectByType(TRenameItemType type);
    void SelectByResult(TRenameItemResult result);
    void ReverseSelection();

    // Adds the paths as new entries, in the given order, in one undoable step;
    // afterwards exactly the new entries are selected, at the end of the list.
    // Each path is made absolute against the current directory and long. A
    // path naming a file already in the list (by its current path), or named
    // earlier in the batch, is skipped. One path that cannot be made long (an
    // empty or invalid one, one that does not exist) adds nothing and raises
    // "The program can not add files to the list."; nothing new to add raises
    // "No files to add to the list.".
    void AddPaths(const TStrings& paths);

    // Section "AddRegularFilesDialog": "FilterIndex"; then "DereferenceShortcuts".
    void LoadSettings(TMemIniFile& iniFile, TIniSection& section) override;
    void SaveSettings(TMemIniFile& iniFile, TIniSection& section) override;

    const TOpenDialog& AddDialog() const { return FAddDialog; }

private:
    // The model's rows and selection taken from the list control, changed,
    // and handed back.
    template <class F>
    void ChangeSelection(F&& change);

    // Lives as long as the handler, so that its filter and options persist
    // between uses.
    TOpenDialog FAddDialog;
};

// The caption of the folder chooser of AddDirectory.
extern const char* const AddDirectoryCaption;

// The current path of every row's entry, in row order.
std::vector<std::string> RowPaths(TListViewModel& model);

// The duplicate test of AddPaths, without the disk: for each candidate, in
// order, whether it names a file that no known path and no earlier candidate
// names. Two paths name the same file when they have one key (PathKey).
// Linear time (hashed).
std::vector<bool> SelectNewPaths(const std::vector<std::string>& known,
                                 const std::vector<std::string>& candidates);

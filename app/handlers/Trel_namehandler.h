// The Name menu: the name operations on the selected entries, each one
// undoable command, and the in-place edit of one name.
#pragma once

#include "app/handlers/Trel_handler.h"
#include "app/names/Trel_nameedit.h"

#include <functional>
#include <string>

// Each operation but Enter asks for its settings in the program's dialog of
// that operation (created on first use, kept with its last accepted values
// until the program ends). A cancelled dialog raises the silent abort: nothing
// changes and nothing is shown. Every other error raises with its message and
// changes nothing either. The operations over the selection read the
// selection from the list control first; the new names then go to the list
// control's rows through one name edit command on the invoker's history.
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

    // The Name menu keeps no settings.
    void LoadSettings(TMemIniFile& iniFile, TIniSection& section) override;
    void SaveSettings(TMemIniFile& iniFile, TIniSection& section) override;

private:
    // The new name of the k-th selected entry from its current new name.
    using TNewName = std::function<std::string(const std::string& newName, int k)>;
    // Reads the selection from the list control and runs one name edit
    // command that gives each selected entry, in list order, its new name.
    // With a source, its lines are made first (one per selected entry) and
    // passed to newName in lines; a source that fails changes nothing. With
    // matcherStack the new names are made on a thread whose stack takes a
    // regular expression's matching of long names.
    void EditSelected(const TSrcLinesSpecs* source, TStrings& lines, const TNewName& newName,
                      bool matcherStack = false);
    // The chosen part of every selected entry's new name, in list order.
    void SelectedParts(TPartKind part, TStrings& parts);
};

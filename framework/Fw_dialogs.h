// The system's open-file dialog and folder chooser.
#pragma once

#include "framework/Fw_classes.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The system could not show a dialog.
class EDialogError : public Exception {
public:
    using Exception::Exception;
};

// Options of the open-file dialog, combined with |.
enum TOpenOption : std::uint32_t {
    ofHideReadOnly = 0x01,       // no "Open as read-only" box
    ofAllowMultiSelect = 0x02,   // several files may be chosen at once
    ofPathMustExist = 0x04,      // a typed folder must exist
    ofFileMustExist = 0x08,      // a typed file must exist
    ofEnableSizing = 0x10,       // the user may resize the dialog
    ofNoDereferenceLinks = 0x20, // a chosen shortcut is returned itself, not its target
    ofSaveDialog = 0x40,         // the system's save dialog, which asks before a file is replaced
};
using TOpenOptions = std::uint32_t;

// The open-file dialog. Its settings persist between uses, so the filter the
// user chose last is offered again.
class TOpenDialog : public TObject {
public:
    TOpenDialog();
    ~TOpenDialog() override;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title) { FTitle = title; }
    // "Name|pattern" pairs joined by "|", such as "Text|*.txt|All|*".
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& filter) { FFilter = filter; }
    // The chosen filter, counted from 1; read back after the dialog.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int index) { FFilterIndex = index; }
    // ofHideReadOnly | ofEnableSizing until changed.
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions options) { FOptions = options; }
    // Added to a typed name without an extension ("ini", without the dot).
    const std::string& DefaultExtension() const { return FDefaultExtension; }
    void SetDefaultExtension(const std::string& extension) { FDefaultExtension = extension; }
    // The name shown in the name box when the dialog opens; after it, the
    // first chosen file's full path.
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& fileName) { FFileName = fileName; }
    // Every chosen file as a full path, in the order the dialog reports them.
    const TStringList& Files() const { return FFiles; }
    // The room for the chosen names, in characters, that the dialog gets
    // first. A choice that does not fit makes the dialog appear again with
    // enough room.
    std::uint32_t InitialBufferSize() const { return FInitialBufferSize; }
    void SetInitialBufferSize(std::uint32_t size) { FInitialBufferSize = size; }

    // Shows the dialog, owned by the window the application's message boxes
    // use. Cancel raises EAbort; a failure of the system's dialog raises
    // EDialogError "The program could not show the file dialog.". A chosen
    // path with a character that the code page cannot hold refuses the whole
    // choice with EDialogError naming the path. Files and FileName change
    // only when the user chose.
    void Execute();
    void Execute(HWND owner);

private:
    std::string FTitle;
    std::string FFilter;
    int FFilterIndex = 1;
    TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
    std::string FDefaultExtension;
    std::string FFileName;
    TStringList FFiles;
    std::uint32_t FInitialBufferSize;
};

// Lets the user choose one file-system directory in a tree rooted at the
// desktop, with caption shown above the tree and start selected when it names
// an existing directory. Returns the chosen directory's full path. Cancel
// raises EAbort; a failure of the system's chooser raises EDialogError "The
// program could not show the folder chooser.". Without an owner the window of
// the application's message boxes owns it. A chosen path with a character
// that the code page cannot hold raises EDialogError naming the path.
std::string SelectDirectory(const std::string& caption, const std::string& start);
std::string SelectDirectory(const std::string& caption, const std::string& start, HWND owner);

// "Name|pattern" pairs as the system's dialogs take them: every part ended by
// a zero, and one more zero at the end. An empty filter gives two zeros.
std::string SystemFilter(const std::string& filter);
// The chosen files as the system reports them in its buffer, with the offset
// of the first name: one file is a full path ended by a zero; several are a
// folder and a zero (the offset points past it), then each name ended by a
// zero, up to an empty name. The names are joined to the folder, which may end
// in a separator (a drive's root). False, with no files, when the selection
// does not end inside the buffer or its offset does not fit it: it was cut
// short.
bool SplitSelection(std::string_view buffer, std::size_t fileOffset, TStrings& files);
// The same for the UTF-16 buffer of the system's UTF-16 dialog.
bool SplitSelection(std::wstring_view buffer, std::size_t fileOffset, std::vector<std::wstring>& files);

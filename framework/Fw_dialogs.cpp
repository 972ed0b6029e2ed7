#include "framework/Fw_dialogs.h"

#include "framework/Fw_forms.h"

#include <cderr.h>
#include <commdlg.h>
#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

// ---------------------------------------------------------------- TOpenDialog

namespace {

// Room for a few thousand chosen files of ordinary name lengths, so that a
// large selection rarely needs the dialog a second time; the memory is held
// only while the dialog shows.
constexpr std::uint32_t kDefaultBufferSize = 256 * 1024;

// The largest room the dialog is ever given, in characters: far beyond any
// real selection, and an end to growing should the system keep asking.
constexpr std::size_t kMaxBufferSize = 64 * 1024 * 1024;

// The buffer's size against the room the dialog is told about (see Execute).
constexpr std::size_t kWineSlackFactor = 2;

DWORD SystemOptions(TOpenOptions options) {
    DWORD flags = OFN_EXPLORER;
    if (options & ofHideReadOnly)
        flags |= OFN_HIDEREADONLY;
    if (options & ofAllowMultiSelect)
        flags |= OFN_ALLOWMULTISELECT;
    if (options & ofPathMustExist)
        flags |= OFN_PATHMUSTEXIST;
    if (options & ofFileMustExist)
        flags |= OFN_FILEMUSTEXIST;
    if (options & ofEnableSizing)
        flags |= OFN_ENABLESIZING;
    if (options & ofNoDereferenceLinks)
        flags |= OFN_NODEREFERENCELINKS;
    if (options & ofSaveDialog)
        flags |= OFN_OVERWRITEPROMPT;
    return flags;
}

[[noreturn]] void FileDialogFailed() {
    throw EDialogError("The program could not show the file dialog.");
}

bool EndsWithLinkExtension(const std::wstring& path) {
    return path.size() > 4 && lstrcmpiW(path.c_str() + path.size() - 4, L".lnk") == 0;
}

// OLE for the thread while the object lives.
class TOleScope {
public:
    TOleScope() : FInitialized(SUCCEEDED(OleInitialize(nullptr))) {}
    TOleScope(const TOleScope&) = delete;
    TOleScope& operator=(const TOleScope&) = delete;
    ~TOleScope() {
        if (FInitialized)
            OleUninitialize();
    }

    // False when the thread already runs COM in a way OLE cannot join.
    bool Initialized() const { return FInitialized; }

private:
    bool FInitialized;
};

// Releases a COM interface.
template <class T>
class TComPtr {
public:
    TComPtr() = default;
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    ~TComPtr() {
        if (FPointer)
            FPointer->Release();
    }

    T* operator->() const { return FPointer; }
    T** Receive() { return &FPointer; }
    void** ReceiveVoid() { return reinterpret_cast<void**>(&FPointer); }

private:
    T* FPointer = nullptr;
};

// The file a shell shortcut points at, or empty when it names none.
std::wstring ShortcutTarget(const std::wstring& link) {
    TComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                shellLink.ReceiveVoid())))
        return std::wstring();
    TComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.ReceiveVoid())))
        return std::wstring();
    if (FAILED(file->Load(link.c_str(), STGM_READ)))
        return std::wstring();
    wchar_t target[MAX_PATH] = L"";
    if (shellLink->GetPath(target, MAX_PATH, nullptr, 0) != S_OK)
        return std::wstring();
    return target;
}

// Shortcuts among the chosen files become the files they point at, as the
// system's dialog does itself where it can; a shortcut that points at no file
// stays as it is.
void ResolveShortcuts(std::vector<std::wstring>& files) {
    if (std::none_of(files.begin(), files.end(), [](const std::wstring& f) { return EndsWithLinkExtension(f); }))
        return;
    const TOleScope ole;
    for (std::wstring& path : files) {
        if (!EndsWithLinkExtension(path))
            continue;
        std::wstring target = ShortcutTarget(path);
        if (!target.empty())
            path = std::move(target);
    }
}

// A text the dialog only shows (a title, a filter, a name to start from):
// exactly where it can be, else as the system converts it.
std::wstring ShownText(const std::string& text) {
    std::wstring wide;
    if (TryAnsiToWide(text, wide) || text.size() > static_cast<std::size_t>(INT_MAX))
        return wide;
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length > 0) {
        wide.resize(static_cast<std::size_t>(length));
        MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    }
    return wide;
}

// The chosen path in the program's code page. The dialogs are asked for
// UTF-16 names: the ANSI ones would hold a look-alike of a character that
// the code page lacks, which may name another file.
std::string ChosenPath(const std::wstring& path) {
    std::string text;
    if (!TryWideToAnsi(path, text))
        throw EDialogError(Format("The path \"%s\" holds a character that the system's code page cannot represent.",
                                  NameForMessage(path).c_str()));
    return text;
}

// The chosen files into files, shortcuts resolved when asked: every name
// converts, or the choice is refused as a whole and files stay.
void ChosenFiles(std::vector<std::wstring>& chosen, bool resolveShortcuts, TStrings& files) {
    if (chosen.empty())
        FileDialogFailed();
    if (resolveShortcuts)
        ResolveShortcuts(chosen);
    TStringList result;
    result.SetCapacity(static_cast<int>(chosen.size()));
    for (const std::wstring& path : chosen)
        result.Add(ChosenPath(path));
    files.Assign(result);
}

template <class TChar>
bool EndsInSeparator(const std::basic_string<TChar>& folder) {
    if constexpr (sizeof(TChar) == 1)
        return folder.back() == '\\' && !IsTrailByte(folder, folder.size() - 1);
    else
        return folder.back() == L'\\';
}

template <class TChar>
bool SplitSelectionOf(std::basic_string_view<TChar> buffer, std::size_t fileOffset,
                      std::vector<std::basic_string<TChar>>& files) {
    using TString = std::basic_string<TChar>;
    files.clear();
    const std::size_t firstEnd = buffer.find(TChar(0));
    if (firstEnd == std::basic_string_view<TChar>::npos)
        return false;
    const TString first(buffer.substr(0, firstEnd));
    if (first.empty())
        return true;
    // The name of one full path starts after its folder, never at 0.
    if (fileOffset == 0 || fileOffset > firstEnd + 1)
        return false;
    if (fileOffset <= firstEnd) {
        files.push_back(first);
        return true;
    }
    // The folder, then the names up to an empty one.
    TString folder = first;
    if (!EndsInSeparator(folder))
        folder += TChar('\\');
    std::vector<TString> names;
    for (std::size_t start = firstEnd + 1;;) {
        const std::size_t end = buffer.find(TChar(0), start);
        if (end == std::basic_string_view<TChar>::npos)
            return false;
        if (end == start)
            break;
        names.push_back(folder + TString(buffer.substr(start, end - start)));
        start = end + 1;
    }
    files = std::move(names);
    return true;
}

} // namespace

TOpenDialog::TOpenDialog() : FInitialBufferSize(kDefaultBufferSize) {}

TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::Execute() {
    Execute(Application->ActiveOwner());
}

void TOpenDialog::Execute(HWND owner) {
    const std::wstring filter = ShownText(SystemFilter(FFilter));
    const std::wstring title = ShownText(FTitle);
    const std::wstring fileName = ShownText(FFileName);
    const std::wstring defaultExtension = ShownText(FDefaultExtension);
    std::size_t size = std::max<std::size_t>(FInitialBufferSize, fileName.size() + 2);
    for (;;) {
        // The name box shows what the buffer holds; the rest stays zero, and
        // one zero beyond the room given ends any text the system leaves
        // unended. Wine's UTF-16 dialog writes a choice of several files
        // whole even where it does not fit the room it was given (and then
        // reports success): the buffer holds as much again behind the room,
        // which the next, larger attempt needs anyway.
        std::vector<wchar_t> buffer(kWineSlackFactor * size + 1, L'\0');
        std::copy(fileName.begin(), fileName.end(), buffer.begin());
        OPENFILENAMEW dialog = {};
        dialog.lStructSize = sizeof(dialog);
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = filter.c_str();
        dialog.nFilterIndex = static_cast<DWORD>(std::max(FFilterIndex, 0));
        dialog.lpstrFile = buffer.data();
        dialog.nMaxFile = static_cast<DWORD>(size);
        dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
        dialog.Flags = SystemOptions(FOptions);
        dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
        std::size_t needed = 0;
        const bool answered = (FOptions & ofSaveDialog) ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
        if (answered) {
            std::vector<std::wstring> chosen;
            // Some systems cut a choice that does not fit short and still
            // report success: that is a choice too large as well.
            if (SplitSelection(std::wstring_view(buffer.data(), size), dialog.nFileOffset, chosen)) {
                ChosenFiles(chosen, !(FOptions & ofNoDereferenceLinks), FFiles);
                FFileName = FFiles.Strings(0);
                FFilterIndex = static_cast<int>(dialog.nFilterIndex);
                return;
            }
        } else {
            const DWORD error = CommDlgExtendedError();
            if (error == 0)
                Abort();
            if (error != FNERR_BUFFERTOOSMALL)
                FileDialogFailed();
            // The first character tells the size needed, a 16-bit count that
            // a large choice overflows.
            needed = static_cast<std::uint16_t>(buffer[0]) + 2u;
        }
        // The choice did not fit: show the dialog again with room for at
        // least what it asked for and at least twice as much as before.
        if (size >= kMaxBufferSize)
            FileDialogFailed();
        size = std::min<std::size_t>(std::max(size * 2, needed), kMaxBufferSize);
    }
}

std::string SystemFilter(const std::string& filter) {
    std::string result;
    for (char c : filter)
        result += c == '|' ? '\0' : c;
    // Every part ends in a zero, and the list in one more.
    result += '\0';
    result += '\0';
    return result;
}

bool SplitSelection(std::string_view buffer, std::size_t fileOffset, TStrings& files) {
    std::vector<std::string> names;
    const bool fits = SplitSelectionOf(buffer, fileOffset, names);
    TStringList list;
    for (const std::string& name : names)
        list.Add(name);
    files.Assign(list);
    return fits;
}

bool SplitSelection(std::wstring_view buffer, std::size_t fileOffset, std::vector<std::wstring>& files) {
    return SplitSelectionOf(buffer, fileOffset, files);
}

// ---------------------------------------------------------------- SelectDirectory

namespace {

[[noreturn]] void FolderChooserFailed() {
    throw EDialogError("The program could not show the folder chooser.");
}

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The start directory of a folder chooser, and whether the chooser has
// selected it.
struct TBrowseStart {
    std::wstring Path;
    bool Selected = false;
};

// Attempts at selecting the start directory: the shell can fail to find it
// once while it still reads the folders (seen under Wine); the next attempt
// finds it.
constexpr int kSelectAttempts = 3;

// Selects the start directory, passed as the callback's data, once the
// chooser has filled its tree, and notes when the selection reaches it.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM param, LPARAM data) {
    auto* start = reinterpret_cast<TBrowseStart*>(data);
    if (!start)
        return 0;
    if (message == BFFM_SELCHANGED) {
        wchar_t path[MAX_PATH] = L"";
        if (SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), path))
            start->Selected = lstrcmpiW(path, start->Path.c_str()) == 0;
    } else if (message == BFFM_INITIALIZED) {
        for (int attempt = 0; attempt < kSelectAttempts && !start->Selected; ++attempt)
            SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->Path.c_str()));
    }
    return 0;
}

struct TItemIdListTraits {
    using THandleType = PIDLIST_ABSOLUTE;
    static void Free(PIDLIST_ABSOLUTE list) { CoTaskMemFree(list); }
};
// An item list that the shell allocated, freed with CoTaskMemFree.
using TItemIdList = TOwnedHandle<TItemIdListTraits>;

} // namespace

std::string SelectDirectory(const std::string& caption, const std::string& start) {
    return SelectDirectory(caption, start, Application->ActiveOwner());
}

std::string SelectDirectory(const std::string& caption, const std::string& start, HWND owner) {
    // The resizable form of the chooser needs OLE.
    const TOleScope ole;
    const std::wstring title = ShownText(caption);
    wchar_t displayName[MAX_PATH] = L"";
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = nullptr; // the desktop
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | (ole.Initialized() ? BIF_NEWDIALOGSTYLE : 0);
    TBrowseStart startSelection;
    browse.lpfn = BrowseCallback;
    if (IsDirectory(start) && TryAnsiToWide(start, startSelection.Path))
        browse.lParam = reinterpret_cast<LPARAM>(&startSelection);
    const TItemIdList chosen(SHBrowseForFolderW(&browse));
    if (!chosen)
        Abort();
    // A file-system path is at most MAX_PATH characters long here: the
    // shell's call takes no buffer size. Asked in UTF-16, for the reason the
    // file dialog is.
    wchar_t path[MAX_PATH] = L"";
    if (!SHGetPathFromIDListW(chosen.Get(), path) || path[0] == L'\0')
        FolderChooserFailed();
    return ChosenPath(path);
}

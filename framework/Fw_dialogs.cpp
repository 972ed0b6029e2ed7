#include "framework/Fw_dialogs.h"

#include "framework/Fw_forms.h"

#include <cderr.h>
#include <commdlg.h>
#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
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
    return flags;
}

[[noreturn]] void FileDialogFailed() {
    throw EDialogError("The program could not show the file dialog.");
}

bool EndsWithLinkExtension(const std::string& path) {
    return path.size() > 4 && lstrcmpiA(path.c_str() + path.size() - 4, ".lnk") == 0;
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
std::string ShortcutTarget(const std::string& link) {
    TComPtr<IShellLinkA> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                shellLink.ReceiveVoid())))
        return std::string();
    TComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.ReceiveVoid())))
        return std::string();
    const int length = MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::string();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide.data(), length);
    if (FAILED(file->Load(wide.c_str(), STGM_READ)))
        return std::string();
    char target[MAX_PATH] = "";
    if (shellLink->GetPath(target, MAX_PATH, nullptr, 0) != S_OK)
        return std::string();
    return target;
}

// Shortcuts among the chosen files become the files they point at, as the
// system's dialog does itself where it can; a shortcut that points at no file
// stays as it is.
void ResolveShortcuts(TStringList& files) {
    bool any = false;
    for (int i = 0; i < files.Count() && !any; ++i)
        any = EndsWithLinkExtension(files.Strings(i));
    if (!any)
        return;
    const TOleScope ole;
    for (int i = 0; i < files.Count(); ++i) {
        const std::string path = files.Strings(i);
        if (!EndsWithLinkExtension(path))
            continue;
        const std::string target = ShortcutTarget(path);
        if (!target.empty())
            files.Put(i, target);
    }
}

} // namespace

TOpenDialog::TOpenDialog() : FInitialBufferSize(kDefaultBufferSize) {}

TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::Execute() {
    Execute(Application->ActiveOwner());
}

void TOpenDialog::Execute(HWND owner) {
    const std::string filter = SystemFilter(FFilter);
    std::size_t size = std::max<std::size_t>(FInitialBufferSize, FFileName.size() + 2);
    for (;;) {
        // The name box shows what the buffer holds; the rest stays zero, and
        // one zero beyond the room given ends any text the system leaves
        // unended.
        std::vector<char> buffer(size + 1, '\0');
        std::memcpy(buffer.data(), FFileName.data(), FFileName.size());
        OPENFILENAMEA dialog = {};
        dialog.lStructSize = sizeof(dialog);
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = filter.c_str();
        dialog.nFilterIndex = static_cast<DWORD>(std::max(FFilterIndex, 0));
        dialog.lpstrFile = buffer.data();
        dialog.nMaxFile = static_cast<DWORD>(size);
        dialog.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
        dialog.Flags = SystemOptions(FOptions);
        std::size_t needed = 0;
        if (GetOpenFileNameA(&dialog)) {
            TStringList files;
            // Some systems cut a choice that does not fit short and still
            // report success: that is a choice too large as well.
            if (SplitSelection(std::string_view(buffer.data(), size), dialog.nFileOffset, files)) {
                if (files.Count() == 0)
                    FileDialogFailed();
                if (!(FOptions & ofNoDereferenceLinks))
                    ResolveShortcuts(files);
                FFiles.Assign(files);
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
            // The first two bytes tell the size needed, a 16-bit count that
            // a large choice overflows.
            std::uint16_t stated = 0;
            std::memcpy(&stated, buffer.data(), sizeof(stated));
            needed = stated + 2u;
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
    files.Clear();
    const std::size_t firstEnd = buffer.find('\0');
    if (firstEnd == std::string_view::npos)
        return false;
    const std::string first(buffer.substr(0, firstEnd));
    if (first.empty())
        return true;
    // The name of one full path starts after its folder, never at 0.
    if (fileOffset == 0 || fileOffset > firstEnd + 1)
        return false;
    if (fileOffset <= firstEnd) {
        files.Add(first);
        return true;
    }
    // The folder, then the names up to an empty one.
    std::string folder = first;
    if (!(folder.back() == '\\' && !IsTrailByte(folder, folder.size() - 1)))
        folder += '\\';
    TStringList names;
    for (std::size_t start = firstEnd + 1;;) {
        const std::size_t end = buffer.find('\0', start);
        if (end == std::string_view::npos)
            return false;
        if (end == start)
            break;
        names.Add(folder + std::string(buffer.substr(start, end - start)));
        start = end + 1;
    }
    files.Assign(names);
    return true;
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
    std::string Path;
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
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), path))
            start->Selected = lstrcmpiA(path, start->Path.c_str()) == 0;
    } else if (message == BFFM_INITIALIZED) {
        for (int attempt = 0; attempt < kSelectAttempts && !start->Selected; ++attempt)
            SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(start->Path.c_str()));
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
    char displayName[MAX_PATH] = "";
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = nullptr; // the desktop
    browse.pszDisplayName = displayName;
    browse.lpszTitle = caption.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | (ole.Initialized() ? BIF_NEWDIALOGSTYLE : 0);
    TBrowseStart startSelection{start};
    browse.lpfn = BrowseCallback;
    browse.lParam = IsDirectory(start) ? reinterpret_cast<LPARAM>(&startSelection) : 0;
    const TItemIdList chosen(SHBrowseForFolderA(&browse));
    if (!chosen)
        Abort();
    // A file-system path is at most MAX_PATH long here: the shell's call
    // takes no buffer size.
    char path[MAX_PATH] = "";
    if (!SHGetPathFromIDListA(chosen.Get(), path) || path[0] == '\0')
        FolderChooserFailed();
    return path;
}

#include "tests/common/TestSupport.h"

#include "framework/Fw_clipbrd.h"
#include "framework/Fw_fileapi.h"
#include "framework/Fw_forms.h"
#include "framework/Fw_handles.h"
#include "framework/Fw_messages.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

// In UTF-16, so that entries whose names the code page cannot hold go too
// (a folder left behind is where the next file dialog opens).
void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

} // namespace

TTempDir::TTempDir() {
    char base[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, base);
    std::string root = (length > 0 && length < MAX_PATH) ? std::string(base, length) : std::string(".\\");
    static LONG counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::ostringstream name;
        name << root << "trelvane-test-" << GetCurrentProcessId() << "-" << InterlockedIncrement(&counter);
        if (CreateDirectoryA(name.str().c_str(), nullptr)) {
            FPath = name.str();
            // Long form: the temporary folder may be given in its 8.3 form.
            char longPath[MAX_PATH];
            const DWORD n = GetLongPathNameA(FPath.c_str(), longPath, MAX_PATH);
            if (n > 0 && n < MAX_PATH)
                FPath.assign(longPath, n);
            return;
        }
    }
    ADD_FAILURE() << "could not create a temporary folder under " << root;
}

std::wstring WideOf(const std::string& text) {
    std::wstring wide;
    EXPECT_TRUE(TryAnsiToWide(text, wide)) << text;
    return wide;
}

std::string NarrowOf(const std::wstring& wide) {
    std::string text;
    EXPECT_TRUE(TryWideToAnsi(wide, text)) << Utf8(wide);
    return text;
}

std::string Utf8(const std::wstring& wide) {
    std::string text;
    EXPECT_TRUE(TryWideToAnsi(wide, text, CP_UTF8));
    return text;
}

std::wstring MakeWideEntry(const TTempDir& dir, const std::wstring& name, bool folder) {
    const std::wstring path = WideOf(dir.Path()) + L"\\" + name;
    if (folder) {
        EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << GetLastError();
    } else {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    return path;
}

TTempDir::~TTempDir() {
    // Prefixed, for the folders nested beyond MAX_PATH inside it.
    std::wstring path;
    if (!FPath.empty() && TryAnsiToWide(FPath, path))
        RemoveTree(path.compare(0, 4, L"\\\\?\\") == 0 ? path : L"\\\\?\\" + path);
}

std::string TTempDir::MakeFile(const std::string& name, const std::string& contents) const {
    const std::string path = *this / name;
    std::ofstream out(path, std::ios::binary);
    out << contents;
    EXPECT_TRUE(out.good()) << "could not create " << path;
    return path;
}

std::string TTempDir::MakeDir(const std::string& name) const {
    const std::string path = *this / name;
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << "could not create " << path;
    return path;
}

std::vector<std::string> TTempDir::MakeEntries(const std::string& names) const {
    std::vector<std::string> paths;
    std::istringstream in(names);
    for (std::string name; in >> name;)
        paths.push_back(name.back() == '\\' ? MakeDir(name.substr(0, name.size() - 1)) : MakeFile(name));
    return paths;
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "could not open " << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool EntryExists(const std::string& path) {
    return FileApi::Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

std::string NameOnDisk(const std::string& path) {
    // List the directory and match without regard to case: a direct lookup of
    // the path may answer with the name as asked rather than as stored.
    const size_t slash = path.find_last_of('\\');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const std::string& entry : ListDirectory(directory))
        if (lstrcmpiA(entry.c_str(), name.c_str()) == 0)
            return entry;
    return std::string();
}

std::vector<std::string> ListDirectory(const std::string& directory) {
    std::vector<std::string> names;
    for (FileApi::TDirectorySearch search(directory + "\\*"); search.Found(); search.Next())
        if (search.Name() != "." && search.Name() != "..")
            names.push_back(search.Name());
    std::sort(names.begin(), names.end());
    return names;
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH] = "";
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    EXPECT_TRUE(length > 0 && length < MAX_PATH);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

TCurrentDirectory::TCurrentDirectory(const std::string& path) : FSaved(CurrentDirectory()) {
    EXPECT_TRUE(SetCurrentDirectoryA(path.c_str())) << path;
}

TCurrentDirectory::~TCurrentDirectory() {
    SetCurrentDirectoryA(FSaved.c_str());
}

std::vector<std::string> Lines(const TStrings& strings) {
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(strings.Count()));
    for (int i = 0; i < strings.Count(); ++i)
        result.push_back(strings.Strings(i));
    return result;
}

bool PollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        // Wait for the next message or a short while, whichever comes first.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string ResourceBytes(const char* name) {
    HRSRC found = FindResourceA(nullptr, name, RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    EXPECT_NE(bytes, nullptr) << name;
    return bytes ? std::string(static_cast<const char*>(bytes), SizeofResource(nullptr, found))
                 : std::string();
}

bool IsDoubleByteCodePage() {
    CPINFO info;
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2;
}

namespace {

template <class TChar>
HGLOBAL MakeDropBlockOf(const std::vector<std::basic_string<TChar>>& paths) {
    std::basic_string<TChar> names;
    for (const auto& path : paths) {
        names += path;
        names += TChar(0);
    }
    names += TChar(0);
    const size_t bytes = names.size() * sizeof(TChar);
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    if (memory == nullptr)
        return nullptr;
    TGlobalLock lock(memory);
    auto* header = static_cast<DROPFILES*>(lock.Data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = sizeof(TChar) == sizeof(wchar_t) ? TRUE : FALSE;
    std::memcpy(static_cast<char*>(lock.Data()) + sizeof(DROPFILES), names.data(), bytes);
    return memory;
}

} // namespace

HGLOBAL MakeDropBlock(const std::vector<std::string>& paths) {
    return MakeDropBlockOf(paths);
}

HGLOBAL MakeDropBlock(const std::vector<std::wstring>& paths) {
    return MakeDropBlockOf(paths);
}

void SetClipboardText(const std::string& text) {
    TClipboard().SetText(text);
}

void EmptyTheClipboard() {
    const TClipboard clipboard;
    EXPECT_TRUE(EmptyClipboard());
}

std::string ClipboardText() {
    return TClipboard().GetText();
}

void PutClipboardUnicode(const std::wstring& text) {
    std::thread([&text] {
        const TClipboard clipboard;
        EXPECT_TRUE(EmptyClipboard());
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        TGlobalHandle memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
        ASSERT_TRUE(memory);
        {
            const TGlobalLock lock(memory.Get());
            std::memcpy(lock.Data(), text.c_str(), bytes);
        }
        ASSERT_NE(SetClipboardData(CF_UNICODETEXT, memory.Get()), nullptr);
        memory.Detach();
    }).join();
}

namespace {

template <class TChar>
std::basic_string<TChar> ReadClipboardAs(UINT format) {
    const TClipboard clipboard;
    if (!IsClipboardFormatAvailable(format))
        return {};
    const HANDLE data = GetClipboardData(format);
    if (data == nullptr) {
        ADD_FAILURE() << "format " << format << " offered but not given";
        return {};
    }
    const TGlobalLock lock(data);
    return static_cast<const TChar*>(lock.Data());
}

} // namespace

std::wstring ClipboardUnicode() {
    return ReadClipboardAs<wchar_t>(CF_UNICODETEXT);
}

std::string ClipboardPlain() {
    return ReadClipboardAs<char>(CF_TEXT);
}

TShownErrors::TShownErrors() {
    Application->OnException = [this](TObject*, const Exception& e) {
        Messages.push_back(e.Message());
        OnMainThread = OnMainThread && IsMainThread();
    };
}

TShownErrors::~TShownErrors() {
    Application->OnException = nullptr;
}

std::string ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const EAbort&) {
        return "abort";
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

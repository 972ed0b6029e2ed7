#include "framework/Fw_fileapi.h"

#include "framework/Fw_sysutils.h"

#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winnetwk.h>

#include <atomic>
#include <map>
#include <mutex>
#include <vector>

namespace FileApi {

namespace {

// From this length on a path gets the prefix: CreateDirectoryW refuses a
// plain path that leaves no room for an 8.3 name below MAX_PATH, the other
// calls one of MAX_PATH or more.
constexpr std::size_t kPrefixFrom = MAX_PATH - 12;
// The longest path that the system takes, prefix included.
constexpr std::size_t kMaxPathUnits = 32767;
// The first room given to a call that tells the size it needs: most paths fit.
constexpr DWORD kFirstTryUnits = 512;

const std::wstring kPrefix = L"\\\\?\\";
const std::wstring kUncPrefix = L"\\\\?\\UNC\\";
const std::wstring kDevicePrefix = L"\\\\.\\";

bool StartsWith(const std::wstring& text, const std::wstring& start) {
    return text.compare(0, start.size(), start) == 0;
}

// "X:\..." or "\\...": a path that no current directory completes.
bool IsFullyQualified(const std::wstring& path) {
    return (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') ||
           (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\');
}

// Reads a text from a call that writes it into the room given and answers
// its length, or, when it does not fit, the room it needs (terminator
// included), or 0 on failure.
template <class F>
bool ReadGrowing(F&& call, std::wstring& text) {
    std::wstring buffer(kFirstTryUnits, L'\0');
    for (;;) {
        const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0 || length > kMaxPathUnits + 1)
            return false;
        if (length < buffer.size()) {
            buffer.resize(length);
            text = std::move(buffer);
            return true;
        }
        buffer.resize(length);
    }
}

bool WideFullPath(const std::wstring& path, std::wstring& fullPath) {
    return ReadGrowing([&](wchar_t* room, DWORD size) { return GetFullPathNameW(path.c_str(), size, room, nullptr); },
                       fullPath);
}

bool WidePath(const std::string& path, std::wstring& wide) {
    if (TryAnsiToWide(path, wide))
        return true;
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return false;
}

// The text where it converts exactly (the common case, at once), else
// character by character with "?" for what the code page lacks.
std::string ReadableText(const std::wstring& wide) {
    std::string text;
    return TryWideToAnsi(wide, text) ? text : NameForMessage(wide);
}

// The path without the prefix: \\?\C:\a gives C:\a, \\?\UNC\srv\share gives \\srv\share.
std::wstring WithoutPrefix(std::wstring path) {
    if (StartsWith(path, kUncPrefix))
        return L"\\\\" + path.substr(kUncPrefix.size());
    if (StartsWith(path, kPrefix) && path.size() >= kPrefix.size() + 2 && path[kPrefix.size() + 1] == L':')
        return path.substr(kPrefix.size());
    return path;
}

// The root of a full path that holds the volume: "C:\" or "\\server\share\".
std::wstring RootOf(const std::wstring& fullPath) {
    if (fullPath.size() >= 2 && fullPath[1] == L':')
        return fullPath.substr(0, 2) + L"\\";
    std::size_t end = 2;
    for (int part = 0; part < 2 && end != std::wstring::npos; ++part)
        end = fullPath.find(L'\\', end + (part == 0 ? 0 : 1));
    return (end == std::wstring::npos ? fullPath : fullPath.substr(0, end)) + L"\\";
}

} // namespace

bool ToSystemPath(const std::string& path, std::wstring& systemPath) {
    std::wstring wide;
    if (!WidePath(path, wide))
        return false;
    const bool marked = StartsWith(wide, kPrefix) || StartsWith(wide, kDevicePrefix);
    if (marked || (wide.size() < kPrefixFrom && IsFullyQualified(wide))) {
        systemPath = std::move(wide);
        return true;
    }
    // A prefixed path is taken as it is written: it must be full, without
    // "." or "..", separated by backslashes, as the system makes it.
    std::wstring full;
    if (wide.empty() || !WideFullPath(wide, full) || full.size() < kPrefixFrom) {
        systemPath = std::move(wide);
        return true;
    }
    systemPath = (full[0] == L'\\' && full[1] == L'\\') ? kUncPrefix + full.substr(2) : kPrefix + full;
    return true;
}

bool FromSystemPath(std::wstring systemPath, std::string& path) {
    return TryWideToAnsi(WithoutPrefix(std::move(systemPath)), path);
}

std::string ReadableSystemPath(std::wstring systemPath) {
    return ReadableText(WithoutPrefix(std::move(systemPath)));
}

DWORD Attributes(const std::string& path) {
    std::wstring wide;
    return ToSystemPath(path, wide) ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool FullPath(const std::string& path, std::string& fullPath) {
    std::wstring wide, full;
    if (!WidePath(path, wide))
        return false;
    return !wide.empty() && WideFullPath(wide, full) && FromSystemPath(std::move(full), fullPath);
}

bool MoveEntry(const std::string& existing, const std::string& target, DWORD flags) {
    std::wstring from, to;
    return ToSystemPath(existing, from) && ToSystemPath(target, to) && MoveFileExW(from.c_str(), to.c_str(), flags);
}

bool CopyEntry(const std::string& existing, const std::string& target, bool failIfExists) {
    std::wstring from, to;
    return ToSystemPath(existing, from) && ToSystemPath(target, to) &&
           CopyFileW(from.c_str(), to.c_str(), failIfExists);
}

bool DeleteEntry(const std::string& path) {
    std::wstring wide;
    return ToSystemPath(path, wide) && DeleteFileW(wide.c_str());
}

bool MakeDirectory(const std::string& path) {
    std::wstring wide;
    return ToSystemPath(path, wide) && CreateDirectoryW(wide.c_str(), nullptr);
}

bool RemoveEmptyDirectory(const std::string& path) {
    std::wstring wide;
    return ToSystemPath(path, wide) && RemoveDirectoryW(wide.c_str());
}

HANDLE OpenFileHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    std::wstring wide;
    if (!ToSystemPath(path, wide))
        return INVALID_HANDLE_VALUE;
    return CreateFileW(wide.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool CreateTempFile(const std::string& directory, const std::string& prefix, std::string& path) {
    // As the system's GetTempFileName does with a unique number of 0, for a
    // folder of any length: from a number that differs per call, the first
    // name that is free.
    static std::atomic<unsigned> next{static_cast<unsigned>(GetTickCount())};
    const bool separated =
        !directory.empty() && directory.back() == '\\' && !IsTrailByte(directory, directory.size() - 1);
    const std::string folder = directory.empty() || separated ? directory : directory + "\\";
    constexpr unsigned kNumbers = 0x10000;
    for (unsigned attempt = 0; attempt < kNumbers; ++attempt) {
        const unsigned number = next++ % kNumbers;
        const std::string candidate = folder + prefix + Format("%04X.tmp", number);
        const HANDLE file = OpenFileHandle(candidate, GENERIC_WRITE, 0, CREATE_NEW);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            path = candidate;
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

UINT DriveType(const std::string& root) {
    std::wstring wide;
    return ToSystemPath(root, wide) ? GetDriveTypeW(wide.c_str()) : DRIVE_NO_ROOT_DIR;
}

bool CurrentDirectory(std::string& path) {
    std::wstring wide;
    return ReadGrowing([](wchar_t* room, DWORD size) { return GetCurrentDirectoryW(size, room); }, wide) &&
           FromSystemPath(std::move(wide), path);
}

bool ChangeDirectory(const std::string& path) {
    std::wstring wide;
    return ToSystemPath(path, wide) && SetCurrentDirectoryW(wide.c_str());
}

bool ModulePath(HMODULE module, std::string& path) {
    // A path longer than the room comes back cut off (and, on older systems,
    // without its terminating zero): grow until it fits.
    std::wstring buffer(kFirstTryUnits, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return false;
        if (length < buffer.size()) {
            buffer.resize(length);
            path = ReadableSystemPath(std::move(buffer));
            return true;
        }
        if (buffer.size() > kMaxPathUnits)
            return false;
        buffer.resize(buffer.size() * 2);
    }
}

bool LocalAppDataFolder(std::string& path) {
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known))) {
        const std::wstring folder = known;
        CoTaskMemFree(known);
        return FromSystemPath(folder, path);
    }
    CoTaskMemFree(known);
    std::wstring variable;
    return ReadGrowing([](wchar_t* room, DWORD size) { return GetEnvironmentVariableW(L"LOCALAPPDATA", room, size); },
                       variable) &&
           FromSystemPath(std::move(variable), path);
}

bool ShellOpen(const std::string& path, HWND owner, int show) {
    // Not prefixed: the shell hands the path on to another program.
    std::wstring wide;
    if (!WidePath(path, wide))
        return false;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpFile = wide.c_str();
    info.nShow = show;
    return ShellExecuteExW(&info) != FALSE;
}

namespace {

// The volume's answer for the path, or 0 when it gives none.
std::size_t AskMaxNameUnits(const std::string& path) {
    std::wstring wide, full;
    if (!WidePath(path, wide) || wide.empty())
        return 0;
    // A full path names its root already: the system need not complete it.
    wide = WithoutPrefix(std::move(wide));
    if (!IsFullyQualified(wide) && !WideFullPath(wide, full))
        return 0;
    std::wstring root = RootOf(full.empty() ? wide : full);
    CharLowerBuffW(root.data(), static_cast<DWORD>(root.size()));
    // Asked from the worker thread of a rename as well.
    static std::mutex lock;
    static std::map<std::wstring, std::size_t> known;
    const std::lock_guard<std::mutex> guard(lock);
    const auto found = known.find(root);
    if (found != known.end())
        return found->second;
    DWORD length = 0;
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, &length, nullptr, nullptr, 0) || length == 0)
        return 0;
    known.emplace(root, length);
    return length;
}

} // namespace

std::size_t MaxNameUnits(const std::string& path) {
    // A check asks for each of many entries, mostly for one directory many
    // times in a row.
    thread_local std::string lastPath;
    thread_local std::size_t lastUnits = 0;
    if (lastUnits != 0 && path == lastPath)
        return lastUnits;
    const std::size_t units = AskMaxNameUnits(path);
    if (units == 0)
        return kDefaultMaxNameUnits;
    lastPath = path;
    lastUnits = units;
    return units;
}

// ---------------------------------------------------------------- the network

namespace {

using TGetUniversalName = DWORD(WINAPI*)(LPCWSTR, DWORD, LPVOID, LPDWORD);

std::wstring SystemFolder() {
    std::wstring folder;
    ReadGrowing([](wchar_t* room, DWORD size) { return GetSystemDirectoryW(room, size); }, folder);
    return folder;
}

// The network library is loaded when first needed, and only from the
// system's folder: a file of its name beside the program is never loaded.
TGetUniversalName UniversalNameFunction() {
    static const TGetUniversalName function = [] {
        HMODULE library = LoadLibraryExW(L"mpr.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        // A system without the flag (Windows 7 without its update) takes the full path.
        if (!library && GetLastError() == ERROR_INVALID_PARAMETER)
            library = LoadLibraryW((SystemFolder() + L"\\mpr.dll").c_str());
        if (!library)
            return TGetUniversalName(nullptr);
        return reinterpret_cast<TGetUniversalName>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "WNetGetUniversalNameW")));
    }();
    return function;
}

} // namespace

bool UniversalName(const std::string& path, std::string& universalName) {
    std::wstring wide;
    const TGetUniversalName getUniversalName = UniversalNameFunction();
    if (!getUniversalName || !WidePath(path, wide))
        return false;
    // UNIVERSAL_NAME_INFOW points into the same buffer.
    DWORD size = 1024;
    std::vector<char> buffer(size);
    DWORD result = getUniversalName(wide.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
    if (result == ERROR_MORE_DATA) {
        buffer.resize(size);
        result = getUniversalName(wide.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
    }
    if (result != NO_ERROR)
        return false;
    const auto* info = reinterpret_cast<const UNIVERSAL_NAME_INFOW*>(buffer.data());
    return info->lpUniversalName && FromSystemPath(info->lpUniversalName, universalName);
}

// ---------------------------------------------------------------- TDirectorySearch

TDirectorySearch::TDirectorySearch(const std::string& pattern) {
    std::wstring wide;
    if (ToSystemPath(pattern, wide))
        FHandle = FindFirstFileW(wide.c_str(), &FData);
    FFound = FHandle != INVALID_HANDLE_VALUE;
}

TDirectorySearch::~TDirectorySearch() {
    if (FHandle != INVALID_HANDLE_VALUE)
        FindClose(FHandle);
}

bool TDirectorySearch::Next() {
    FFound = FFound && FindNextFileW(FHandle, &FData);
    return FFound;
}

std::string TDirectorySearch::Name() const {
    return ReadableText(FData.cFileName);
}

std::string TDirectorySearch::ShortName() const {
    return ReadableText(FData.cAlternateFileName);
}

bool ReadOpenFile(HANDLE file, std::size_t maxBytes, std::string& bytes) {
    bytes.resize(maxBytes);
    std::size_t filled = 0;
    // A read may give fewer bytes than asked for before the end.
    while (filled < maxBytes) {
        DWORD read = 0;
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(maxBytes - filled, MAXDWORD));
        if (!ReadFile(file, bytes.data() + filled, ask, &read, nullptr)) {
            bytes.clear();
            return false;
        }
        if (read == 0)
            break;
        filled += read;
    }
    bytes.resize(filled);
    return true;
}


} // namespace FileApi

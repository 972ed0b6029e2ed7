// The program's one way to the file system: every call of framework/,
// support/ and app/ that names a file or a folder goes through here.
//
// Paths are the program's text (the ANSI code page). Each one is converted
// exactly, never to a look-alike that may name another file, and handed to
// the system's UTF-16 function. A path too long for the system's plain form
// is made full and given the \\?\ prefix (\\?\UNC\ for a share) here and only
// here, so that it works on every Windows version, with or without the
// system's long-path setting; a path that the system gives back never carries
// the prefix. A call whose path does not convert fails, with
// ERROR_NO_UNICODE_TRANSLATION as the thread's last error.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace FileApi {

// The path as the system's UTF-16 functions take it.
bool ToSystemPath(const std::string& path, std::wstring& systemPath);
// A path that the system gave, in the program's text, without the prefix;
// false when it holds a character that the code page cannot represent.
bool FromSystemPath(std::wstring systemPath, std::string& path);
// The same for a path the program only reads from (its own folder): a
// character that the code page lacks becomes "?", which no file name holds,
// so the text names no file rather than another one.
std::string ReadableSystemPath(std::wstring systemPath);

// The entry's attribute bits, or INVALID_FILE_ATTRIBUTES.
DWORD Attributes(const std::string& path);
// The full path that the system resolves (current directory, "." and "..").
bool FullPath(const std::string& path, std::string& fullPath);
// The universal (\\server\share) form of a path on a mapped network drive;
// false for any other path.
bool UniversalName(const std::string& path, std::string& universalName);

bool MoveEntry(const std::string& existing, const std::string& target, DWORD flags = 0);
bool CopyEntry(const std::string& existing, const std::string& target, bool failIfExists);
bool DeleteEntry(const std::string& path);
bool MakeDirectory(const std::string& path);
bool RemoveEmptyDirectory(const std::string& path);
// CreateFileW with default security, no template and normal attributes;
// INVALID_HANDLE_VALUE on failure.
HANDLE OpenFileHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition);
// Reads an open file from where it stands, up to maxBytes or its end.
bool ReadOpenFile(HANDLE file, std::size_t maxBytes, std::string& bytes);
// Creates a new empty file in directory, named prefix (at most 3 characters),
// four hexadecimal digits and ".tmp", as the system's temporary file names go.
bool CreateTempFile(const std::string& directory, const std::string& prefix, std::string& path);
UINT DriveType(const std::string& root);

bool CurrentDirectory(std::string& path);
bool ChangeDirectory(const std::string& path);
// The path of the module's file (null: the executable), as ReadableSystemPath gives it.
bool ModulePath(HMODULE module, std::string& path);
// The user's folder for local application data.
bool LocalAppDataFolder(std::string& path);

// Opens the file with the program the shell associates with it, without the
// shell's own error boxes.
bool ShellOpen(const std::string& path, HWND owner, int show);

// The longest name, in UTF-16 units, that the volume holding the path takes
// (asked once per drive or share; kDefaultMaxNameUnits when the system does not tell).
constexpr std::size_t kDefaultMaxNameUnits = 255;
std::size_t MaxNameUnits(const std::string& path);

// The entries of a directory search (FindFirstFileW and FindNextFileW), one
// at a time; the object owns the search handle.
class TDirectorySearch {
public:
    // pattern: a folder followed by "\*", or the path of one entry.
    explicit TDirectorySearch(const std::string& pattern);
    TDirectorySearch(const TDirectorySearch&) = delete;
    TDirectorySearch& operator=(const TDirectorySearch&) = delete;
    ~TDirectorySearch();

    // Whether an entry is at hand.
    bool Found() const { return FFound; }
    // Moves to the next entry; false at the end.
    bool Next();
    // The entry's name as the disk spells it; a character that the code page
    // lacks is "?", so the name equals no name that the program can hold.
    std::string Name() const;
    // Its short (8.3) alias, the same way; empty when it has none.
    std::string ShortName() const;
    DWORD Attributes() const { return FData.dwFileAttributes; }
    std::uint64_t Size() const { return std::uint64_t{FData.nFileSizeHigh} << 32 | FData.nFileSizeLow; }
    // The times in 100 ns units since 1601 (UTC).
    std::uint64_t CreationTime() const { return Ticks(FData.ftCreationTime); }
    std::uint64_t LastWriteTime() const { return Ticks(FData.ftLastWriteTime); }

private:
    static std::uint64_t Ticks(const FILETIME& time) {
        return std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime;
    }

    HANDLE FHandle = INVALID_HANDLE_VALUE;
    bool FFound = false;
    WIN32_FIND_DATAW FData{};
};

} // namespace FileApi

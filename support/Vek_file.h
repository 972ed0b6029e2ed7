// Paths and their part rules, path lists, and the operations on the disk.
#pragma once

#include "framework/Fw_classes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A path value: one string and the rules that split it into drive, directory,
// name, base name and extension. Nothing checks the text; every operation works
// on whatever it holds. The delimiters are the backslash and the colon (and the
// dot in the extension rules); a trail byte of a double-byte character is never
// a delimiter.
class TPath {
public:
    TPath() = default;
    TPath(std::string path) : FPath(std::move(path)) {} // NOLINT: a path is built from its text
    TPath(const char* path) : FPath(path) {}            // NOLINT
    TPath(const TPath&) = default;
    TPath& operator=(const TPath&) = default;
    virtual ~TPath() = default;

    // The full path that the system resolves (current directory and drive,
    // "." and ".."); empty when the system cannot resolve it.
    virtual TPath& Expand();
    // As Expand, then the universal (network) form for a path on a mapped network drive.
    virtual TPath& ExpandUnc();
    virtual TPath& IncludeLeading(char c);
    virtual TPath& ExcludeLeading(char c);
    virtual TPath& IncludeTrailing(char c);
    virtual TPath& ExcludeTrailing(char c);
    // Replaces the list's contents by the drive (if any; a rooted path without
    // a drive starts with "\") and then every non-empty component.
    virtual void GetComponents(TStrings& strings) const;
    // IncludeTrailing('\') of the path, then name without a leading backslash.
    virtual TPath& Append(const std::string& name);
    // Gives the name, and cuts the name and then a trailing backslash off the path.
    virtual TPath& RemoveName(std::string& name);
    virtual void GetName(std::string& name) const;
    // Appends "." and ext unless ext is empty.
    virtual TPath& AddExtension(const std::string& ext);
    // Gives the extension (without its dot) and removes it with its dot.
    virtual TPath& RemoveExtension(std::string& ext);
    virtual void GetExtension(std::string& ext) const;
    // A relative path becomes base joined with it; a path with a drive stays.
    virtual TPath& Rebase(const std::string& base);
    // The path relative to the directory base; unchanged when the drives differ.
    virtual TPath& MakeRelative(const std::string& base);
    virtual TPath& ToUpper();
    virtual TPath& ToLower();
    virtual bool HasDrive() const;
    virtual bool IsRelative() const;
    // A non-empty drive and nothing else (C:, \\server\share).
    virtual bool IsDrive() const;
    virtual bool IsWildcardOnly() const;
    virtual bool IsDot() const;
    virtual bool IsDotDot() const;
    virtual bool IsValidPath() const;
    virtual bool IsValidName() const;
    virtual bool StartsWith(char c) const;
    // The last byte is c and is a character of its own, not a trail byte.
    virtual bool EndsWith(char c) const;
    // File-name order, without regard to case.
    virtual int Compare(const TPath& other) const;

    const std::string& GetPath() const { return FPath; }
    void SetPath(const std::string& path) { FPath = path; }
    int GetLength() const { return static_cast<int>(FPath.size()); }
    std::string GetDrive() const;
    std::string GetDirectory() const;
    std::string GetName() const;
    void SetName(const std::string& name);
    std::string GetBaseName() const;
    void SetBaseName(const std::string& baseName);
    std::string GetDottedExtension() const;
    void SetDottedExtension(const std::string& dottedExt);
    std::string GetExtension() const;
    void SetExtension(const std::string& ext);

    static TPath Combine(const std::string& directory, const std::string& name);

private:
    std::string FPath;
};

// Character classes, one entry per byte value.
bool IsPathChar(unsigned char c);
bool IsNameChar(unsigned char c);
bool IsWildcardChar(unsigned char c);

// File names in the system's file-name case, of the same length in bytes, so
// that a position in one is a position in the other: double-byte characters
// untouched; under UTF-8 a sequence changed only for a letter whose other
// case has as many bytes; bytes that are not a character untouched.
std::string LowerFileName(const std::string& name);
// Appends LowerFileName of the name to out, without a string of its own.
void AppendLowerFileName(std::string_view name, std::string& out);
std::string UpperFileName(const std::string& name);
// File-name order: both lowered by LowerFileName, then the user locale's order.
int CompareFileNames(const std::string& s1, const std::string& s2);

// A string list of paths. Unless it is case-sensitive it compares the strings
// as file names, so C:\A.TXT and c:\a.txt are one entry of a sorted list.
class TPathList : public TStringList {
public:
    int CompareStrings(const std::string& s1, const std::string& s2) const override;
};

class EFileError : public Exception {
public:
    using Exception::Exception;
};

// One named file or directory.
class TFile {
public:
    explicit TFile(std::string path) : FPath(std::move(path)) {}
    virtual ~TFile() = default;

    const std::string& GetPath() const { return FPath; }
    // The path with every short (8.3) alias replaced by its long name (see
    // TLongPathNames).
    bool TryGetLongPath(std::string& longPath) const;
    std::string GetLongPath() const;
    bool TryGetAttributes(std::uint32_t& attributes) const;
    std::uint32_t GetAttributes() const;

private:
    std::string FPath;
};

// The long forms of paths, for one path or a batch: a component without a
// tilde is taken as it stands, as Windows does, since only such a name may be
// a short (8.3) alias; a component with one is looked up in its directory, and
// a directory in which more than one is looked up is listed once. A path
// that names no entry, or holds a character that no path holds, has none.
class TLongPathNames {
public:
    // The long form, and the entry's attribute bits, which tell that it exists.
    bool TryGet(const std::string& path, std::string& longPath, std::uint32_t& attributes);
    // TryGet, or raises EFileError.
    std::string Get(const std::string& path, std::uint32_t& attributes);

private:
    struct TDirectory {
        int Lookups = 0;
        bool Listed = false;
        // Long names by the keys of their long and short names.
        std::unordered_map<std::string, std::string> Names;
    };
    bool LookUp(const std::string& directory, const std::string& name, std::string& longName);
    void List(const std::string& directory, TDirectory& listing);

    std::unordered_map<std::string, TDirectory> FDirectories;
};

// The operations on the file system. The throwing forms call the try forms
// through their slots, so overriding a try form changes both.
class TFiles {
public:
    TFiles() = default;
    virtual ~TFiles() = default;

    // Creates an empty file with a unique name in directory; returns its path.
    virtual std::string CreateTempFile(const std::string& directory, const std::string& prefix);
    virtual void Move(const std::string& existing, const std::string& target);
    virtual bool TryMove(const std::string& existing, const std::string& target);
    virtual void Copy(const std::string& existing, const std::string& target, bool overwrite);
    virtual bool TryCopy(const std::string& existing, const std::string& target, bool overwrite);
    virtual void Delete(const std::string& path);
    virtual bool TryDelete(const std::string& path);
    virtual void Rename(const std::string& path, const std::string& newName);
    // Renames in place: the entry stays in its directory. True only when the
    // entry carries the new name afterwards: a name that the disk would not
    // keep as it is spelled (IsStorableName) is refused before the disk is
    // touched, and where the system may take the new name for the entry's own
    // (letter case, short aliases) or cut it short (a long name on a file
    // system that counts bytes) the result is read back.
    virtual bool TryRename(const std::string& path, const std::string& newName);
    virtual void RemoveDir(const std::string& path);
    virtual bool TryRemoveDir(const std::string& path);
    virtual bool Exists(const std::string& path);
    virtual bool DriveExists(const std::string& root);
    virtual bool IsDirectory(const std::string& path);
    virtual bool IsRegularFile(const std::string& path);

    std::string GetWorkingDirectory() const;
    // Failure is ignored: the current directory then stays as it was; so it
    // does for a path that is not valid text in the code page.
    void SetWorkingDirectory(const std::string& path);
};

// Whether the name is one that TryRename gives an entry for a moment, on its
// way to a new letter case: an entry found under it was cut off between the
// two moves.
bool IsRenameTemporaryName(const std::string& name);

// Whether the disk keeps the name exactly as it is spelled in the directory:
// a valid name, without the trailing dots or blanks that the system drops,
// not a device name (CON, LPT1.txt), of bytes that come back the same from
// UTF-16, in which the system keeps names, and no longer in UTF-16 units than
// the directory's volume takes a name (255 on the usual file systems).
bool IsStorableName(const std::string& directory, const std::string& name);
// The message that refuses a name longer than the directory's volume takes,
// with the limit in characters; empty for any other name.
std::string NameTooLongMessage(const std::string& directory, const std::string& name);

// The key under which the file system finds a name: letter case ignored (as
// the system's file-name case maps it), trailing dots and blanks dropped (the
// system drops them from the last part of a path).
std::string FileNameKey(const std::string& name);
// The key of the entry that a full path names, so that two paths of one entry
// have one key: without a trailing separator (except after a drive, "c:"),
// the directory in the file-name case, the last name as FileNameKey has it.
std::string PathKey(const std::string& path);
// Appends PathKey of the path to out, without a string of its own.
void AppendPathKey(const std::string& path, std::string& out);
// The key of the entry called name in the directory whose key PathKey gave,
// without lowering the directory again.
std::string PathKey(const std::string& directoryKey, const std::string& name);

// The names a directory lists, without "." and "..", as the disk spells them.
// False when the directory cannot be listed (it does not exist, or access is
// denied).
bool ListDirectoryNames(const std::string& directory, std::vector<std::string>& names);

// One entry of a directory listing with what the listing tells of it.
struct TListedEntry {
    std::string Name;
    // The short (8.3) alias, where the file system keeps one.
    std::string ShortName;
    std::uint32_t Attributes = 0;
    std::uint64_t Size = 0;
    // Times of the file system: 100-nanosecond ticks since 1601, UTC.
    std::uint64_t Created = 0;
    std::uint64_t Modified = 0;
};
// As ListDirectoryNames, with each entry's size, times and attributes: one
// listing gives all of them, where asking per entry would look each name up.
bool ListDirectoryEntries(const std::string& directory, std::vector<TListedEntry>& entries);

// The first bytes of a file, at most maxBytes. False when it cannot be
// opened or read; the file is shared with writers and deleters meanwhile.
bool ReadFileHead(const std::string& path, std::size_t maxBytes, std::string& bytes);

// The directory of the running executable with its trailing separator: where
// the program keeps its help and its settings, whatever the current directory.
// Raises EFileError when the system does not tell it.
std::string ProgramDirectory();

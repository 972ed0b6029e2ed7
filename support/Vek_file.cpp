#include "support/Vek_file.h"

#include "framework/Fw_handles.h"

#include <windows.h>
#include <winnetwk.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------- character classes

namespace {

struct TCharTables {
    bool Path[256];
    bool Name[256];
    bool Wildcard[256];
    TCharTables() {
        for (int c = 0; c < 256; ++c) {
            Path[c] =
                c >= 0x20 && c != '"' && c != '*' && c != '/' && c != '<' && c != '>' && c != '?' && c != '|';
            Name[c] = Path[c] && c != ':' && c != '\\';
            Wildcard[c] = c == '*' || c == '?';
        }
    }
};

const TCharTables& CharTables() {
    static const TCharTables tables;
    return tables;
}

// The file-name case of every single-byte character of the code page. Lead
// bytes map to themselves: a double-byte character is never changed. Under
// UTF-8 no byte from 0x80 up is a character of its own: they map to
// themselves too, and whole sequences go through TWideCaseTables.
struct TCaseTables {
    char Lower[256];
    char Upper[256];
    TCaseTables() {
        for (int c = 0; c < 256; ++c) {
            char lower = static_cast<char>(c);
            char upper = static_cast<char>(c);
            const bool single = !IsLeadByte(static_cast<unsigned char>(c)) && !(IsUtf8CodePage() && c >= 0x80);
            if (c != 0 && single) {
                CharLowerBuffA(&lower, 1);
                CharUpperBuffA(&upper, 1);
            }
            Lower[c] = lower;
            Upper[c] = upper;
        }
    }
};

const TCaseTables& CaseTables() {
    static const TCaseTables tables;
    return tables;
}

// The system's case of every UTF-16 unit, for the multi-byte characters of
// UTF-8; built on first use, so only under UTF-8.
struct TWideCaseTables {
    static constexpr std::size_t kUnits = 0x10000;
    std::vector<wchar_t> Lower;
    std::vector<wchar_t> Upper;
    TWideCaseTables() : Lower(kUnits), Upper(kUnits) {
        for (std::size_t u = 0; u < kUnits; ++u)
            Lower[u] = Upper[u] = static_cast<wchar_t>(u);
        CharLowerBuffW(Lower.data(), static_cast<DWORD>(kUnits));
        CharUpperBuffW(Upper.data(), static_cast<DWORD>(kUnits));
    }
};

const std::vector<wchar_t>& WideCaseTable(const char (&table)[256]) {
    static const TWideCaseTables tables;
    return &table == &CaseTables().Lower ? tables.Lower : tables.Upper;
}

// A UTF-8 sequence of two or three bytes (one UTF-16 unit) mapped through the
// wide table, in place, when the mapped character has the same length: file
// names compare and match byte for byte with the text they came from.
void MapUtf8Case(char* at, size_t size, const std::vector<wchar_t>& wide) {
    if (size != 2 && size != 3)
        return;
    const auto byte = [&](size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(at[k])); };
    const unsigned unit = size == 2 ? ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F)
                                    : ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    const unsigned mapped = static_cast<unsigned>(wide[unit]);
    if (mapped == unit || (mapped >= 0xD800 && mapped <= 0xDFFF))
        return;
    const size_t mappedSize = mapped < 0x80 ? 1 : mapped < 0x800 ? 2 : 3;
    if (mappedSize != size)
        return;
    if (size == 2) {
        at[0] = static_cast<char>(0xC0 | (mapped >> 6));
        at[1] = static_cast<char>(0x80 | (mapped & 0x3F));
    } else {
        at[0] = static_cast<char>(0xE0 | (mapped >> 12));
        at[1] = static_cast<char>(0x80 | ((mapped >> 6) & 0x3F));
        at[2] = static_cast<char>(0x80 | (mapped & 0x3F));
    }
}

// Appends s mapped through the table, character by character: a double-byte
// character is kept as it is; a UTF-8 sequence is mapped as a whole.
void AppendMappedCase(std::string_view s, const char (&table)[256], std::string& out) {
    const size_t start = out.size();
    out.append(s);
    char* mapped = out.data() + start;
    const bool ascii = AsciiIsSingleByte() && std::all_of(s.begin(), s.end(), [](char c) {
                           return static_cast<unsigned char>(c) < 0x80;
                       });
    if (ascii) {
        // Plain text, the common case, needs no walk by characters.
        for (size_t i = 0; i < s.size(); ++i)
            mapped[i] = table[static_cast<unsigned char>(mapped[i])];
        return;
    }
    const std::string text(s);
    for (size_t i = 0; i < text.size();) {
        const size_t size = CharSize(text, i);
        if (size == 1)
            mapped[i] = table[static_cast<unsigned char>(text[i])];
        else if (IsUtf8CodePage())
            MapUtf8Case(mapped + i, size, WideCaseTable(table));
        i += size;
    }
}

std::string MapCase(const std::string& s, const char (&table)[256]) {
    std::string result;
    result.reserve(s.size());
    AppendMappedCase(s, table, result);
    return result;
}

bool IsIn(char c, const char* set) {
    for (; *set; ++set)
        if (*set == c)
            return true;
    return false;
}

// Index of the last byte of the set that is a character of its own (not a
// trail byte), or npos.
size_t LastDelimiter(const std::string& s, const char* set) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < s.size();) {
        const size_t size = CharSize(s, i);
        if (size == 1 && IsIn(s[i], set))
            last = i;
        i += size;
    }
    return last;
}

// True where a byte lies inside a character that starts before it.
std::vector<bool> TrailBytes(const std::string& s) {
    std::vector<bool> trail(s.size(), false);
    for (size_t i = 0; i < s.size();) {
        const size_t size = CharSize(s, i);
        for (size_t k = 1; k < size; ++k)
            trail[i + k] = true;
        i += size;
    }
    return trail;
}

bool AllCharsIn(const std::string& s, const bool (&table)[256]) {
    for (size_t i = 0; i < s.size(); i += CharSize(s, i))
        if (!table[static_cast<unsigned char>(s[i])])
            return false;
    return true;
}

// The non-empty components between backslashes, double-byte aware.
std::vector<std::string> SplitComponents(const std::string& s) {
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = 0; i < s.size();) {
        const size_t size = CharSize(s, i);
        if (size == 1 && s[i] == '\\') {
            if (!current.empty())
                parts.push_back(current);
            current.clear();
        } else {
            current.append(s, i, size);
        }
        i += size;
    }
    if (!current.empty())
        parts.push_back(current);
    return parts;
}

} // namespace

bool IsPathChar(unsigned char c) {
    return CharTables().Path[c];
}

bool IsNameChar(unsigned char c) {
    return CharTables().Name[c];
}

bool IsWildcardChar(unsigned char c) {
    return CharTables().Wildcard[c];
}

std::string LowerFileName(const std::string& name) {
    return MapCase(name, CaseTables().Lower);
}

void AppendLowerFileName(std::string_view name, std::string& out) {
    AppendMappedCase(name, CaseTables().Lower, out);
}

std::string UpperFileName(const std::string& name) {
    return MapCase(name, CaseTables().Upper);
}

int CompareFileNames(const std::string& s1, const std::string& s2) {
    return AnsiCompareStr(LowerFileName(s1), LowerFileName(s2));
}

int TPathList::CompareStrings(const std::string& s1, const std::string& s2) const {
    return CaseSensitive() ? AnsiCompareStr(s1, s2) : CompareFileNames(s1, s2);
}

// ---------------------------------------------------------------- TPath: parts

std::string TPath::GetDrive() const {
    const std::string& s = FPath;
    if (s.size() >= 2 && s[1] == ':' && CharSize(s, 0) == 1)
        return s.substr(0, 2);
    if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') {
        // \\server\share: up to, not including, the backslash after the share.
        const std::vector<bool> trail = TrailBytes(s);
        auto isBackslash = [&](size_t position) { // 1-based
            return position >= 1 && position <= s.size() && s[position - 1] == '\\' && !trail[position - 1];
        };
        size_t i = 3;
        int found = 0;
        while (i < s.size() && found < 2) {
            if (isBackslash(i))
                ++found;
            if (found < 2)
                ++i;
        }
        if (isBackslash(i))
            --i;
        return s.substr(0, i);
    }
    return std::string();
}

std::string TPath::GetDirectory() const {
    const std::string& s = FPath;
    const size_t last = LastDelimiter(s, "\\:");
    size_t count = last == std::string::npos ? 0 : last + 1;
    // Drop the backslash after a directory, keep it after a root (C:\, \\).
    if (count > 1 && s[count - 1] == '\\') {
        const size_t before = count - 2;
        const bool delimiterBefore = (s[before] == '\\' || s[before] == ':') && !IsTrailByte(s, before);
        if (!delimiterBefore)
            --count;
    }
    return s.substr(0, count);
}

std::string TPath::GetName() const {
    const size_t last = LastDelimiter(FPath, "\\:");
    return last == std::string::npos ? FPath : FPath.substr(last + 1);
}

void TPath::SetName(const std::string& name) {
    FPath.resize(FPath.size() - GetName().size());
    FPath += name;
}

std::string TPath::GetDottedExtension() const {
    const size_t last = LastDelimiter(FPath, ".\\:");
    if (last != std::string::npos && FPath[last] == '.')
        return FPath.substr(last);
    return std::string();
}

void TPath::SetDottedExtension(const std::string& dottedExt) {
    const size_t last = LastDelimiter(FPath, ".\\:");
    if (last != std::string::npos && FPath[last] == '.')
        FPath.resize(last);
    FPath += dottedExt;
}

std::string TPath::GetBaseName() const {
    TPath name(GetName());
    name.SetDottedExtension(std::string());
    return name.FPath;
}

void TPath::SetBaseName(const std::string& baseName) {
    SetName(baseName + GetDottedExtension());
}

std::string TPath::GetExtension() const {
    const std::string dotted = GetDottedExtension();
    return dotted.empty() ? dotted : dotted.substr(1);
}

void TPath::SetExtension(const std::string& ext) {
    if (ext.empty() || ext[0] == '.')
        SetDottedExtension(ext);
    else
        SetDottedExtension("." + ext);
}

TPath TPath::Combine(const std::string& directory, const std::string& name) {
    if (directory.empty())
        return TPath(name);
    TPath result(directory);
    result.IncludeTrailing('\\');
    result.FPath += name;
    return result;
}

// ---------------------------------------------------------------- TPath: operations

TPath& TPath::Expand() {
    char buffer[MAX_PATH];
    char* filePart = nullptr;
    const DWORD length = GetFullPathNameA(FPath.c_str(), MAX_PATH, buffer, &filePart);
    if (length == 0) {
        FPath.clear();
    } else if (length < MAX_PATH) {
        FPath.assign(buffer, length);
    } else {
        // The answer is the size needed: ask again with room for it.
        std::vector<char> large(length);
        const DWORD written = GetFullPathNameA(FPath.c_str(), length, large.data(), &filePart);
        if (written == 0 || written >= length)
            FPath.clear();
        else
            FPath.assign(large.data(), written);
    }
    return *this;
}

TPath& TPath::ExpandUnc() {
    Expand();
    if (FPath.size() >= 3 && FPath[1] == ':' && FPath[2] == '\\') {
        // UNIVERSAL_NAME_INFOA is a pointer into the same buffer.
        DWORD size = 1024;
        std::vector<char> buffer(size);
        DWORD result = WNetGetUniversalNameA(FPath.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
        if (result == ERROR_MORE_DATA) {
            buffer.resize(size);
            result = WNetGetUniversalNameA(FPath.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
        }
        if (result == NO_ERROR) {
            const auto* info = reinterpret_cast<const UNIVERSAL_NAME_INFOA*>(buffer.data());
            if (info->lpUniversalName)
                FPath = info->lpUniversalName;
        }
    }
    return *this;
}

TPath& TPath::IncludeLeading(char c) {
    if (!StartsWith(c))
        FPath.insert(FPath.begin(), c);
    return *this;
}

TPath& TPath::ExcludeLeading(char c) {
    if (StartsWith(c))
        FPath.erase(0, 1);
    return *this;
}

TPath& TPath::IncludeTrailing(char c) {
    if (!EndsWith(c))
        FPath += c;
    return *this;
}

TPath& TPath::ExcludeTrailing(char c) {
    if (EndsWith(c))
        FPath.pop_back();
    return *this;
}

void TPath::GetComponents(TStrings& strings) const {
    TStringList parts;
    const std::string drive = GetDrive();
    std::string rest = FPath.substr(drive.size());
    if (!drive.empty())
        parts.Add(drive);
    else if (StartsWith('\\'))
        parts.Add("\\");
    for (const std::string& part : SplitComponents(rest))
        parts.Add(part);
    strings.Assign(parts);
}

TPath& TPath::Append(const std::string& name) {
    IncludeTrailing('\\');
    FPath.append(name, (!name.empty() && name[0] == '\\') ? 1 : 0);
    return *this;
}

TPath& TPath::RemoveName(std::string& name) {
    name = GetName();
    FPath.resize(FPath.size() - name.size());
    ExcludeTrailing('\\');
    return *this;
}

void TPath::GetName(std::string& name) const {
    name = GetName();
}

TPath& TPath::AddExtension(const std::string& ext) {
    if (!ext.empty())
        FPath += "." + ext;
    return *this;
}

TPath& TPath::RemoveExtension(std::string& ext) {
    ext = GetExtension();
    SetExtension(std::string());
    return *this;
}

void TPath::GetExtension(std::string& ext) const {
    ext = GetExtension();
}

TPath& TPath::Rebase(const std::string& base) {
    if (IsRelative() && !StartsWith('\\'))
        *this = Combine(base, FPath);
    return *this;
}

TPath& TPath::MakeRelative(const std::string& base) {
    TPath baseDir(base);
    baseDir.IncludeTrailing('\\');
    const std::string drive = GetDrive();
    const std::string baseDrive = baseDir.GetDrive();
    if (CompareFileNames(drive, baseDrive) != 0)
        return *this;
    const std::vector<std::string> from = SplitComponents(baseDir.FPath.substr(baseDrive.size()));
    const std::string name = GetName();
    const std::vector<std::string> to =
        SplitComponents(FPath.substr(drive.size(), FPath.size() - drive.size() - name.size()));
    size_t common = 0;
    while (common < from.size() && common < to.size() && CompareFileNames(from[common], to[common]) == 0)
        ++common;
    std::string result;
    for (size_t i = common; i < from.size(); ++i)
        result += "..\\";
    for (size_t i = common; i < to.size(); ++i)
        result += to[i] + "\\";
    FPath = result + name;
    return *this;
}

TPath& TPath::ToUpper() {
    FPath = UpperFileName(FPath);
    return *this;
}

TPath& TPath::ToLower() {
    FPath = LowerFileName(FPath);
    return *this;
}

bool TPath::HasDrive() const {
    return !GetDrive().empty();
}

bool TPath::IsRelative() const {
    return !HasDrive();
}

bool TPath::IsDrive() const {
    const std::string drive = GetDrive();
    return !drive.empty() && CompareFileNames(FPath, drive) == 0;
}

bool TPath::IsWildcardOnly() const {
    return AllCharsIn(FPath, CharTables().Wildcard);
}

bool TPath::IsDot() const {
    return FPath == ".";
}

bool TPath::IsDotDot() const {
    return FPath == "..";
}

bool TPath::IsValidPath() const {
    return AllCharsIn(FPath, CharTables().Path);
}

bool TPath::IsValidName() const {
    return AllCharsIn(FPath, CharTables().Name);
}

bool TPath::StartsWith(char c) const {
    return !FPath.empty() && FPath.front() == c;
}

bool TPath::EndsWith(char c) const {
    return !FPath.empty() && FPath.back() == c && !IsTrailByte(FPath, FPath.size() - 1);
}

int TPath::Compare(const TPath& other) const {
    return CompareFileNames(FPath, other.FPath);
}

// ---------------------------------------------------------------- TFile

namespace {

// Owns a search handle of FindFirstFileA.
class TFindHandle {
public:
    TFindHandle() = default;
    TFindHandle(const TFindHandle&) = delete;
    TFindHandle& operator=(const TFindHandle&) = delete;
    ~TFindHandle() { Close(); }

    void Attach(HANDLE handle) {
        Close();
        FHandle = handle;
    }
    HANDLE Detach() {
        HANDLE handle = FHandle;
        FHandle = INVALID_HANDLE_VALUE;
        return handle;
    }
    bool IsValid() const { return FHandle != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return FHandle; }
    void Close() {
        if (IsValid())
            FindClose(Detach());
    }

private:
    HANDLE FHandle = INVALID_HANDLE_VALUE;
};

// The name that the entry at path carries on disk (letter case included), or
// empty when there is none.
std::string NameOnDisk(const std::string& path) {
    WIN32_FIND_DATAA data;
    TFindHandle find;
    find.Attach(FindFirstFileA(path.c_str(), &data));
    return find.IsValid() ? std::string(data.cFileName) : std::string();
}

// Whether the entry at path carries exactly this name on disk (letter case included).
bool NameOnDiskIs(const std::string& path, const std::string& name) {
    return name == NameOnDisk(path);
}

// The code page of the ANSI file functions.
UINT FileCodePage() {
    return AreFileApisANSI() ? CP_ACP : CP_OEMCP;
}

// Whether two names are the same to the file system, which compares them in
// UTF-16 without regard to case (accented and full-width letters included).
bool SameIgnoringCase(const std::string& a, const std::string& b) {
    std::wstring wideA, wideB;
    if (!TryAnsiToWide(a, wideA, FileCodePage()) || !TryAnsiToWide(b, wideB, FileCodePage()))
        return LowerFileName(a) == LowerFileName(b);
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

// Whether the system may take newName for a name of the entry called oldName
// in the same directory: the same name in other letter case, or a short
// (8.3) alias, which has a tilde, of one of them.
bool MayNameTheSameEntry(const std::string& oldName, const std::string& newName) {
    return oldName.find('~') != std::string::npos || newName.find('~') != std::string::npos ||
           SameIgnoringCase(oldName, newName);
}

// Moves source to a new, unused name in directory; never replaces an entry.
bool MoveToUniqueName(const std::string& source, const std::string& directory, std::string& moved) {
    const DWORD seed = GetCurrentProcessId() ^ GetTickCount();
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate =
            TPath::Combine(directory, Format("~trelvane-%08lX-%02lX.tmp", static_cast<unsigned long>(seed),
                                             static_cast<unsigned long>(attempt)))
                .GetPath();
        if (MoveFileA(source.c_str(), candidate.c_str())) {
            moved = candidate;
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

// A change of letter case that the file system reported done but did not make
// (Wine on a case-sensitive host): go through an unused name in the same
// directory. On any failure the entry gets its original name back.
bool ChangeCaseThroughUniqueName(const std::string& source, const std::string& target,
                                 const std::string& newName) {
    const std::string directory = TPath(source).GetDirectory();
    std::string current;
    if (!MoveToUniqueName(source, directory, current))
        return false;
    if (MoveFileA(current.c_str(), target.c_str())) {
        if (NameOnDiskIs(target, newName))
            return true;
        if (!MoveToUniqueName(target, directory, current))
            return false;
    }
    MoveFileA(current.c_str(), source.c_str());
    return false;
}

} // namespace

bool TFile::TryGetLongPath(std::string& longPath) const {
    if (FPath.size() >= MAX_PATH)
        return false;
    if (!TPath(FPath).IsValidPath())
        return false;
    const DWORD size = GetLongPathNameA(FPath.c_str(), nullptr, 0);
    if (size == 0)
        return false;
    std::vector<char> buffer(size);
    const DWORD length = GetLongPathNameA(FPath.c_str(), buffer.data(), size);
    if (length == 0 || length >= size)
        return false;
    longPath.assign(buffer.data(), length);
    return true;
}

std::string TFile::GetLongPath() const {
    std::string longPath;
    if (!TryGetLongPath(longPath))
        throw EFileError("The program could not get the long path of the file.");
    return longPath;
}

bool TFile::TryGetAttributes(std::uint32_t& attributes) const {
    const DWORD result = GetFileAttributesA(FPath.c_str());
    if (result == INVALID_FILE_ATTRIBUTES)
        return false;
    attributes = result;
    return true;
}

std::uint32_t TFile::GetAttributes() const {
    std::uint32_t attributes = 0;
    if (!TryGetAttributes(attributes))
        throw EFileError("The program could not get the attributes of the file.");
    return attributes;
}

// ---------------------------------------------------------------- TFiles

std::string TFiles::CreateTempFile(const std::string& directory, const std::string& prefix) {
    if (prefix.size() >= 4)
        throw EFileError("The prefix is too long.");
    char buffer[MAX_PATH] = {};
    if (GetTempFileNameA(directory.c_str(), prefix.c_str(), 0, buffer) == 0)
        throw EFileError("The program could not create the temporary file.");
    return buffer;
}

void TFiles::Move(const std::string& existing, const std::string& target) {
    if (!TryMove(existing, target))
        throw EFileError("The program could not move the file.");
}

bool TFiles::TryMove(const std::string& existing, const std::string& target) {
    return MoveFileA(existing.c_str(), target.c_str()) != FALSE;
}

void TFiles::Copy(const std::string& existing, const std::string& target, bool overwrite) {
    if (!TryCopy(existing, target, overwrite))
        throw EFileError("The program could not copy the file.");
}

bool TFiles::TryCopy(const std::string& existing, const std::string& target, bool overwrite) {
    return CopyFileA(existing.c_str(), target.c_str(), !overwrite) != FALSE;
}

void TFiles::Delete(const std::string& path) {
    if (!TryDelete(path))
        throw EFileError("The program could not delete the file.");
}

bool TFiles::TryDelete(const std::string& path) {
    return DeleteFileA(path.c_str()) != FALSE;
}

void TFiles::Rename(const std::string& path, const std::string& newName) {
    if (!TryRename(path, newName))
        throw EFileError("The program could not rename the file.");
}

bool TFiles::TryRename(const std::string& path, const std::string& newName) {
    // A name that the system would store otherwise than asked is refused
    // before the disk is touched.
    if (path.empty() || !IsStorableName(newName))
        return false;
    TPath source(path);
    source.Expand();
    if (source.GetPath().empty())
        return false;
    const std::string oldName = source.GetName();
    TPath target(source);
    target.SetName(newName);
    // Any other new name is a name of its own, and the system's answer is the
    // whole truth: it moves the entry to exactly that name or fails.
    if (!MayNameTheSameEntry(oldName, newName))
        return MoveFileA(path.c_str(), target.GetPath().c_str()) != FALSE;
    // Here the system may take the new name for the entry's own and report a
    // rename that it did not make (letter case on a case-sensitive host, a
    // short alias): the result is read back. A rename that is taken back
    // gives the entry its name as the disk spells it, which the path may
    // spell in other letter case.
    TPath original(source);
    const std::string diskName = NameOnDisk(source.GetPath());
    if (!diskName.empty() && SameIgnoringCase(diskName, oldName))
        original.SetName(diskName);
    if (!MoveFileA(path.c_str(), target.GetPath().c_str()))
        return false;
    if (NameOnDiskIs(target.GetPath(), newName))
        return true;
    if (oldName != newName && SameIgnoringCase(oldName, newName))
        return ChangeCaseThroughUniqueName(original.GetPath(), target.GetPath(), newName);
    // The entry carries neither name asked for: give it its old name back.
    MoveFileA(target.GetPath().c_str(), original.GetPath().c_str());
    return false;
}

void TFiles::RemoveDir(const std::string& path) {
    if (!TryRemoveDir(path))
        throw EFileError("The program could not remove the directory.");
}

bool TFiles::TryRemoveDir(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != FALSE;
}

bool TFiles::Exists(const std::string& path) {
    std::uint32_t attributes;
    return TFile(path).TryGetAttributes(attributes);
}

bool TFiles::DriveExists(const std::string& root) {
    return GetDriveTypeA(root.c_str()) != DRIVE_NO_ROOT_DIR;
}

bool TFiles::IsDirectory(const std::string& path) {
    std::uint32_t attributes;
    return TFile(path).TryGetAttributes(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool TFiles::IsRegularFile(const std::string& path) {
    std::uint32_t attributes;
    return TFile(path).TryGetAttributes(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string TFiles::GetWorkingDirectory() const {
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0)
        return std::string();
    std::vector<char> buffer(size);
    const DWORD length = GetCurrentDirectoryA(size, buffer.data());
    if (length == 0 || length >= size)
        return std::string();
    return std::string(buffer.data(), length);
}

void TFiles::SetWorkingDirectory(const std::string& path) {
    // Bytes that are no text of the code page (a folder stored by an older
    // version under another code page) would reach the system with
    // substitutes in their place, naming some other folder or none.
    if (!SurvivesWide(path))
        return;
    SetCurrentDirectoryA(path.c_str());
}

bool IsRenameTemporaryName(const std::string& name) {
    // What MoveToUniqueName makes: "~trelvane-" 8 hex digits "-" 2 hex digits ".tmp".
    const std::string prefix = "~trelvane-";
    if (name.size() != prefix.size() + 8 + 1 + 2 + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0 || name[prefix.size() + 8] != '-')
        return false;
    for (size_t i = prefix.size(); i < name.size() - 4; ++i) {
        const char c = name[i];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (i != prefix.size() + 8 && !hex)
            return false;
    }
    return true;
}

namespace {

// The length of the text as the system keeps its last name: trailing dots
// and blanks (never a trail byte of a double-byte character) dropped, but not
// before the name's start.
size_t KeptLength(const std::string& text, size_t nameStart = 0) {
    size_t length = text.size();
    while (length > nameStart && (text[length - 1] == '.' || text[length - 1] == ' ') &&
           !IsTrailByte(text, length - 1))
        --length;
    return length;
}

// The names the system keeps for devices, with or without an extension.
bool IsDeviceName(const std::string& name) {
    // Most names are ruled out by their length or first letter.
    const size_t baseLength = std::min(name.find('.'), name.size());
    if (baseLength < 3 || baseLength > 7 || !std::strchr("aAcClLnNpP", name[0]))
        return false;
    const std::string base = UpperFileName(name.substr(0, baseLength));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (base == device)
            return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

// The length of the path without trailing separators, but for the one of a
// root ("c:\", "\\").
size_t WithoutTrailingSeparators(const std::string& path) {
    size_t length = path.size();
    while (length > 1 && path[length - 1] == '\\' && path[length - 2] != ':' && !IsTrailByte(path, length - 1))
        --length;
    return length;
}

} // namespace

bool IsStorableName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxNameLength && TPath(name).IsValidName() &&
           KeptLength(name) == name.size() && !IsDeviceName(name) && SurvivesWide(name, FileCodePage());
}

std::string FileNameKey(const std::string& name) {
    return LowerFileName(name.substr(0, KeptLength(name)));
}

void AppendPathKey(const std::string& path, std::string& out) {
    // Lowering the whole key at once is lowering its parts, since they meet
    // between characters. A path rarely ends in a separator: only then is a
    // copy made.
    const size_t length = WithoutTrailingSeparators(path);
    std::string shortened;
    if (length < path.size())
        shortened = path.substr(0, length);
    const std::string& trimmed = length < path.size() ? shortened : path;
    const size_t last = LastDelimiter(trimmed, "\\:");
    const size_t kept = KeptLength(trimmed, last == std::string::npos ? 0 : last + 1);
    AppendLowerFileName(std::string_view(trimmed.data(), kept), out);
}

std::string PathKey(const std::string& path) {
    std::string key;
    key.reserve(path.size());
    AppendPathKey(path, key);
    return key;
}

std::string PathKey(const std::string& directoryKey, const std::string& name) {
    std::string key;
    key.reserve(directoryKey.size() + 1 + name.size());
    key = directoryKey;
    if (!TPath(directoryKey).EndsWith('\\'))
        key += '\\';
    key += FileNameKey(name);
    return key;
}

namespace {

// Calls found(data) for each entry that the directory lists, without "."
// and ".."; false when the directory cannot be listed.
template <class F>
bool ForEachListed(const std::string& directory, F&& found) {
    TPath pattern(directory);
    pattern.Append("*");
    WIN32_FIND_DATAA data;
    TFindHandle search;
    search.Attach(FindFirstFileA(pattern.GetPath().c_str(), &data));
    if (!search.IsValid())
        return false;
    do {
        const char* name = data.cFileName;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
            found(data);
    } while (FindNextFileA(search.Handle(), &data));
    return true;
}

std::uint64_t Ticks(const FILETIME& time) {
    return std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime;
}

} // namespace

bool ListDirectoryNames(const std::string& directory, std::vector<std::string>& names) {
    names.clear();
    return ForEachListed(directory,
                         [&](const WIN32_FIND_DATAA& data) { names.emplace_back(data.cFileName); });
}

bool ListDirectoryEntries(const std::string& directory, std::vector<TListedEntry>& entries) {
    entries.clear();
    return ForEachListed(directory, [&](const WIN32_FIND_DATAA& data) {
        entries.push_back({data.cFileName, data.cAlternateFileName, data.dwFileAttributes,
                           std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow,
                           Ticks(data.ftCreationTime), Ticks(data.ftLastWriteTime)});
    });
}

bool ReadFileHead(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const TFileHandle file(handle);
    bytes.resize(maxBytes);
    std::size_t filled = 0;
    // A read may give fewer bytes than asked for before the end.
    while (filled < maxBytes) {
        DWORD read = 0;
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(maxBytes - filled, MAXDWORD));
        if (!ReadFile(file.Get(), bytes.data() + filled, ask, &read, nullptr)) {
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

std::string ProgramDirectory() {
    // A path longer than the buffer comes back cut off (and, on older systems,
    // without its terminating zero): grow until it fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            throw EFileError("The program could not find its own directory.");
        if (length < buffer.size()) {
            TPath directory(TPath(std::string(buffer.data(), length)).GetDirectory());
            directory.IncludeTrailing('\\');
            return directory.GetPath();
        }
        if (buffer.size() >= 32768)
            throw EFileError("The program could not find its own directory.");
        buffer.resize(buffer.size() * 2);
    }
}

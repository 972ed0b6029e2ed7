#include "support/Vek_file.h"

#include "framework/Fw_fileapi.h"
#include "framework/Fw_handles.h"

#include <windows.h>

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
    std::string full;
    if (!FileApi::FullPath(FPath, full))
        full.clear();
    FPath = std::move(full);
    return *this;
}

TPath& TPath::ExpandUnc() {
    Expand();
    std::string universal;
    if (FPath.size() >= 3 && FPath[1] == ':' && FPath[2] == '\\' && FileApi::UniversalName(FPath, universal))
        FPath = std::move(universal);
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

// The name that the entry at path carries on disk (letter case included), or
// empty when there is none.
std::string NameOnDisk(const std::string& path) {
    const FileApi::TDirectorySearch search(path);
    return search.Found() ? search.Name() : std::string();
}

// Whether the entry at path carries exactly this name on disk (letter case included).
bool NameOnDiskIs(const std::string& path, const std::string& name) {
    return name == NameOnDisk(path);
}

// Whether two names are the same to the file system, which compares them in
// UTF-16 without regard to case (accented and full-width letters included).
bool SameIgnoringCase(const std::string& a, const std::string& b) {
    std::wstring wideA, wideB;
    if (!TryAnsiToWide(a, wideA) || !TryAnsiToWide(b, wideB))
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

// Whether a file system that keeps names in UTF-8, 255 bytes at most, may
// cut the name short: Wine on a Unix host does so and reports the rename
// done. No character takes more than three bytes in UTF-8 for each byte of
// it in the code page.
bool MayBeCutShort(const std::string& name) {
    constexpr std::size_t kUtf8NameBytes = 255;
    if (name.size() <= kUtf8NameBytes / 3)
        return false;
    if (IsUtf8CodePage())
        return name.size() > kUtf8NameBytes;
    std::wstring wide;
    std::string utf8;
    return TryAnsiToWide(name, wide) && TryWideToAnsi(wide, utf8, CP_UTF8) && utf8.size() > kUtf8NameBytes;
}

// Moves source to a new, unused name in directory; never replaces an entry.
bool MoveToUniqueName(const std::string& source, const std::string& directory, std::string& moved) {
    const DWORD seed = GetCurrentProcessId() ^ GetTickCount();
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate =
            TPath::Combine(directory, Format("~trelvane-%08lX-%02lX.tmp", static_cast<unsigned long>(seed),
                                             static_cast<unsigned long>(attempt)))
                .GetPath();
        if (FileApi::MoveEntry(source, candidate)) {
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
    if (FileApi::MoveEntry(current, target)) {
        if (NameOnDiskIs(target, newName))
            return true;
        if (!MoveToUniqueName(target, directory, current))
            return false;
    }
    FileApi::MoveEntry(current, source);
    return false;
}

} // namespace

bool TFile::TryGetLongPath(std::string& longPath) const {
    std::uint32_t attributes = 0;
    return TLongPathNames().TryGet(FPath, longPath, attributes);
}

std::string TFile::GetLongPath() const {
    std::uint32_t attributes = 0;
    return TLongPathNames().Get(FPath, attributes);
}

bool TFile::TryGetAttributes(std::uint32_t& attributes) const {
    const DWORD result = FileApi::Attributes(FPath);
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

// ---------------------------------------------------------------- TLongPathNames

namespace {

// Whether the text holds a tilde of its own (never a trail byte).
bool HasTilde(const std::string& text) {
    if (text.find('~') == std::string::npos)
        return false;
    for (size_t i = 0; i < text.size(); i += CharSize(text, i))
        if (text[i] == '~')
            return true;
    return false;
}

// The end of the component that starts at i: the next backslash of its own
// (stepping by characters, a trail byte is never looked at).
size_t ComponentEnd(const std::string& path, size_t i) {
    while (i < path.size() && path[i] != '\\')
        i += CharSize(path, i);
    return i;
}

} // namespace

bool TLongPathNames::TryGet(const std::string& path, std::string& longPath, std::uint32_t& attributes) {
    if (path.empty() || !TPath(path).IsValidPath())
        return false;
    std::string resolved;
    if (!HasTilde(path)) {
        resolved = path;
    } else {
        resolved = TPath(path).GetDrive();
        for (size_t i = resolved.size(); i < path.size();) {
            if (path[i] == '\\') {
                resolved += path[i++];
                continue;
            }
            const size_t end = ComponentEnd(path, i);
            const std::string name = path.substr(i, end - i);
            std::string longName = name;
            if (HasTilde(name) && !LookUp(resolved, name, longName))
                return false;
            resolved += longName;
            i = end;
        }
    }
    const DWORD found = FileApi::Attributes(resolved);
    if (found == INVALID_FILE_ATTRIBUTES)
        return false;
    attributes = found;
    longPath = std::move(resolved);
    return true;
}

std::string TLongPathNames::Get(const std::string& path, std::uint32_t& attributes) {
    std::string longPath;
    if (!TryGet(path, longPath, attributes))
        throw EFileError("The program could not get the long path of the file.");
    return longPath;
}

bool TLongPathNames::LookUp(const std::string& directory, const std::string& name, std::string& longName) {
    TDirectory& listing = FDirectories[PathKey(directory)];
    // The second look-up in a directory lists it for all that follow.
    if (!listing.Listed && ++listing.Lookups > 1)
        List(directory, listing);
    if (listing.Listed) {
        const auto found = listing.Names.find(FileNameKey(name));
        if (found != listing.Names.end()) {
            longName = found->second;
            return true;
        }
    }
    // The first look-up, or a name whose key the listing does not match as
    // the system does: the system looks it up.
    const FileApi::TDirectorySearch search(directory + name);
    if (!search.Found())
        return false;
    longName = search.Name();
    return true;
}

void TLongPathNames::List(const std::string& directory, TDirectory& listing) {
    listing.Listed = true;
    for (FileApi::TDirectorySearch search(directory + "*"); search.Found(); search.Next()) {
        const std::string name = search.Name();
        const std::string shortName = search.ShortName();
        listing.Names.emplace(FileNameKey(name), name);
        if (!shortName.empty())
            listing.Names.emplace(FileNameKey(shortName), name);
    }
}

// ---------------------------------------------------------------- TFiles

std::string TFiles::CreateTempFile(const std::string& directory, const std::string& prefix) {
    if (prefix.size() >= 4)
        throw EFileError("The prefix is too long.");
    std::string path;
    if (!FileApi::CreateTempFile(directory, prefix, path))
        throw EFileError("The program could not create the temporary file.");
    return path;
}

void TFiles::Move(const std::string& existing, const std::string& target) {
    if (!TryMove(existing, target))
        throw EFileError("The program could not move the file.");
}

bool TFiles::TryMove(const std::string& existing, const std::string& target) {
    return FileApi::MoveEntry(existing, target);
}

void TFiles::Copy(const std::string& existing, const std::string& target, bool overwrite) {
    if (!TryCopy(existing, target, overwrite))
        throw EFileError("The program could not copy the file.");
}

bool TFiles::TryCopy(const std::string& existing, const std::string& target, bool overwrite) {
    return FileApi::CopyEntry(existing, target, !overwrite);
}

void TFiles::Delete(const std::string& path) {
    if (!TryDelete(path))
        throw EFileError("The program could not delete the file.");
}

bool TFiles::TryDelete(const std::string& path) {
    return FileApi::DeleteEntry(path);
}

void TFiles::Rename(const std::string& path, const std::string& newName) {
    if (!TryRename(path, newName))
        throw EFileError("The program could not rename the file.");
}

bool TFiles::TryRename(const std::string& path, const std::string& newName) {
    // A name that the system would store otherwise than asked is refused
    // before the disk is touched.
    TPath source(path);
    source.Expand();
    if (path.empty() || source.GetPath().empty() || !IsStorableName(source.GetDirectory(), newName))
        return false;
    const std::string oldName = source.GetName();
    TPath target(source);
    target.SetName(newName);
    // Any other new name is a name of its own, and the system's answer is the
    // whole truth: it moves the entry to exactly that name or fails.
    if (!MayNameTheSameEntry(oldName, newName) && !MayBeCutShort(newName))
        return FileApi::MoveEntry(path, target.GetPath());
    // Here the system may take the new name for the entry's own, or cut it
    // short, and report a rename that it did not make (letter case on a
    // case-sensitive host, a short alias): the result is read back. A rename
    // that is taken back gives the entry its name as the disk spells it,
    // which the path may spell in other letter case.
    TPath original(source);
    const std::string diskName = NameOnDisk(source.GetPath());
    if (!diskName.empty() && SameIgnoringCase(diskName, oldName))
        original.SetName(diskName);
    if (!FileApi::MoveEntry(path, target.GetPath()))
        return false;
    if (NameOnDiskIs(target.GetPath(), newName))
        return true;
    if (oldName != newName && SameIgnoringCase(oldName, newName))
        return ChangeCaseThroughUniqueName(original.GetPath(), target.GetPath(), newName);
    // The entry carries neither name asked for: give it its old name back.
    FileApi::MoveEntry(target.GetPath(), original.GetPath());
    return false;
}

void TFiles::RemoveDir(const std::string& path) {
    if (!TryRemoveDir(path))
        throw EFileError("The program could not remove the directory.");
}

bool TFiles::TryRemoveDir(const std::string& path) {
    return FileApi::RemoveEmptyDirectory(path);
}

bool TFiles::Exists(const std::string& path) {
    std::uint32_t attributes;
    return TFile(path).TryGetAttributes(attributes);
}

bool TFiles::DriveExists(const std::string& root) {
    return FileApi::DriveType(root) != DRIVE_NO_ROOT_DIR;
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
    std::string path;
    return FileApi::CurrentDirectory(path) ? path : std::string();
}

void TFiles::SetWorkingDirectory(const std::string& path) {
    // Bytes that are no text of the code page (a folder stored by an older
    // version under another code page) never reach the system.
    FileApi::ChangeDirectory(path);
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

// Whether the name is longer than the directory's volume takes, counted as
// the file system counts, in UTF-16 units (a character beyond them takes
// two); a name that is no text of the code page is not.
bool IsTooLong(const std::string& name, const std::string& directory) {
    const std::size_t units = FileApi::MaxNameUnits(directory);
    // A UTF-16 unit takes at least one byte: a name of no more bytes fits.
    if (name.size() <= units)
        return false;
    std::wstring wide;
    return TryAnsiToWide(name, wide) && wide.size() > units;
}

} // namespace

bool IsStorableName(const std::string& directory, const std::string& name) {
    return !name.empty() && TPath(name).IsValidName() && KeptLength(name) == name.size() && !IsDeviceName(name) &&
           SurvivesWide(name) && !IsTooLong(name, directory);
}

std::string NameTooLongMessage(const std::string& directory, const std::string& name) {
    if (!IsTooLong(name, directory))
        return std::string();
    return Format("The name \"%s\" is too long: the disk takes names of at most %u characters.", name.c_str(),
                  static_cast<unsigned>(FileApi::MaxNameUnits(directory)));
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
    // Written into one string: a check makes two of these per entry.
    std::string key;
    key.reserve(directoryKey.size() + 1 + name.size());
    key = directoryKey;
    if (key.empty() || key.back() != '\\' || IsTrailByte(key, key.size() - 1))
        key += '\\';
    AppendLowerFileName(std::string_view(name.data(), KeptLength(name)), key);
    return key;
}

namespace {

// Calls found(search, name) for each entry that the directory lists, without
// "." and ".."; false when the directory cannot be listed.
template <class F>
bool ForEachListed(const std::string& directory, F&& found) {
    TPath pattern(directory);
    pattern.Append("*");
    FileApi::TDirectorySearch search(pattern.GetPath());
    if (!search.Found())
        return false;
    do {
        std::string name = search.Name();
        if (name != "." && name != "..")
            found(search, std::move(name));
    } while (search.Next());
    return true;
}

} // namespace

bool ListDirectoryNames(const std::string& directory, std::vector<std::string>& names) {
    names.clear();
    return ForEachListed(directory,
                         [&](const FileApi::TDirectorySearch&, std::string name) { names.push_back(std::move(name)); });
}

bool ListDirectoryEntries(const std::string& directory, std::vector<TListedEntry>& entries) {
    entries.clear();
    return ForEachListed(directory, [&](const FileApi::TDirectorySearch& search, std::string name) {
        entries.push_back({std::move(name), search.ShortName(), search.Attributes(), search.Size(),
                           search.CreationTime(), search.LastWriteTime()});
    });
}

bool ReadFileHead(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    HANDLE handle = FileApi::OpenFileHandle(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const TFileHandle file(handle);
    return FileApi::ReadOpenFile(file.Get(), maxBytes, bytes);
}

std::string ProgramDirectory() {
    std::string path;
    if (!FileApi::ModulePath(nullptr, path))
        throw EFileError("The program could not find its own directory.");
    TPath directory(TPath(path).GetDirectory());
    directory.IncludeTrailing('\\');
    return directory.GetPath();
}

#include "framework/Fw_inifiles.h"

#include "framework/Fw_fileapi.h"
#include "framework/Fw_handles.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace {

// Deletes a file on destruction unless released: the temporary file of a
// failed write must not stay behind.
class TTempFileGuard {
public:
    explicit TTempFileGuard(std::string path) : FPath(std::move(path)) {}
    TTempFileGuard(const TTempFileGuard&) = delete;
    TTempFileGuard& operator=(const TTempFileGuard&) = delete;
    ~TTempFileGuard() {
        if (!FPath.empty())
            FileApi::DeleteEntry(FPath);
    }
    void Release() { FPath.clear(); }

private:
    std::string FPath;
};

const char* const kReadError = "The program could not read the settings file.";
const char* const kWriteError = "The program could not write the settings file.";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && IsBlank(s[begin]))
        ++begin;
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

// The index of the first character c in s (never the second byte of a
// double-byte character), or npos.
size_t FindChar(const std::string& s, char c, size_t from = 0) {
    for (size_t i = from; i < s.size(); i += CharSize(s, i))
        if (s[i] == c)
            return i;
    return std::string::npos;
}

bool HasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

// Windows strips one pair of enclosing double quotes from a value.
std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

// Quotes a value that would not read back as written.
std::string Quote(const std::string& value) {
    if (value.empty())
        return value;
    if (IsBlank(value.front()) || IsBlank(value.back()) ||
        (value.size() >= 2 && value.front() == '"' && value.back() == '"'))
        return '"' + value + '"';
    return value;
}

bool SameName(const std::string& a, const std::string& b) {
    return AnsiCompareText(a, b) == 0;
}

void CheckSectionName(const std::string& section) {
    if (HasLineBreak(section) || FindChar(section, ']') != std::string::npos || Trim(section) != section)
        throw EIniFileError("The section name is not valid.");
}

void CheckKeyName(const std::string& ident) {
    if (ident.empty() || Trim(ident) != ident || HasLineBreak(ident) ||
        ident.find('=') != std::string::npos || ident.front() == '[' || ident.front() == ';')
        throw EIniFileError("The key name is not valid.");
}

void CheckValue(const std::string& value) {
    if (HasLineBreak(value))
        throw EIniFileError("The value cannot hold a line break.");
}

bool IsBlankLine(const std::string& text) {
    return Trim(text).empty();
}

// The folder part of a file name, with its trailing separator, for the
// temporary file beside it.
std::string DirectoryOf(const std::string& fileName) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < fileName.size(); i += CharSize(fileName, i))
        if (fileName[i] == '\\' || fileName[i] == '/' || fileName[i] == ':')
            last = i;
    return last == std::string::npos ? std::string(".") : fileName.substr(0, last + 1);
}

} // namespace

TMemIniFile::TMemIniFile(std::string fileName) : FFileName(std::move(fileName)) {
    if (FFileName.empty())
        return;
    const HANDLE handle =
        FileApi::OpenFileHandle(FFileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return;
        throw EIniFileError(kReadError);
    }
    TFileHandle file(handle);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > std::numeric_limits<int>::max())
        throw EIniFileError(kReadError);
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < text.size()) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), &text[done], static_cast<DWORD>(text.size() - done), &read, nullptr))
            throw EIniFileError(kReadError);
        if (read == 0)
            break;
        done += read;
    }
    text.resize(done);
    SetText(text);
}

TMemIniFile::TSection* TMemIniFile::FindSection(const std::string& section) {
    for (TSection& s : FSections)
        if (s.HasHeader && SameName(s.Name, section))
            return &s;
    return nullptr;
}

const TMemIniFile::TSection* TMemIniFile::FindSection(const std::string& section) const {
    return const_cast<TMemIniFile*>(this)->FindSection(section);
}

const TMemIniFile::TLine* TMemIniFile::FindKey(const TSection& section, const std::string& ident) {
    for (const TLine& line : section.Lines)
        if (!line.Key.empty() && SameName(line.Key, ident))
            return &line;
    return nullptr;
}

bool TMemIniFile::SectionExists(const std::string& section) const {
    return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(const std::string& section, const std::string& ident) const {
    const TSection* s = FindSection(section);
    return s && FindKey(*s, ident);
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) const {
    const TSection* s = FindSection(section);
    const TLine* line = s ? FindKey(*s, ident) : nullptr;
    return line ? line->Value : defaultValue;
}

int TMemIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) const {
    const TSection* s = FindSection(section);
    const TLine* line = s ? FindKey(*s, ident) : nullptr;
    int value = 0;
    return line && TryStrToInt(line->Value, value) ? value : defaultValue;
}

bool TMemIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) const {
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
    CheckSectionName(section);
    CheckKeyName(ident);
    CheckValue(value);
    TSection* s = FindSection(section);
    if (!s) {
        // A blank line between the sections, as people write them.
        if (!FSections.empty()) {
            TSection& last = FSections.back();
            const bool endsBlank = last.Lines.empty() ? !last.HasHeader : IsBlankLine(last.Lines.back().Text);
            if (!endsBlank)
                last.Lines.push_back(TLine());
        }
        TSection added;
        added.Name = section;
        added.Header = "[" + section + "]";
        FSections.push_back(std::move(added));
        s = &FSections.back();
    }
    for (TLine& line : s->Lines) {
        if (!line.Key.empty() && SameName(line.Key, ident)) {
            line.Value = value;
            line.Text = line.Key + "=" + Quote(value);
            return;
        }
    }
    // After the section's last non-blank line, so that the blank lines that
    // separate it from the next section stay at its end.
    auto position = s->Lines.end();
    while (position != s->Lines.begin() && IsBlankLine((position - 1)->Text))
        --position;
    TLine line;
    line.Key = ident;
    line.Value = value;
    line.Text = ident + "=" + Quote(value);
    s->Lines.insert(position, std::move(line));
}

void TMemIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WriteString(section, ident, IntToStr(value));
}

void TMemIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

void TMemIniFile::ReadSections(TStrings& strings) const {
    strings.Clear();
    std::vector<const std::string*> seen;
    for (const TSection& s : FSections) {
        if (!s.HasHeader)
            continue;
        const bool duplicate = std::any_of(seen.begin(), seen.end(),
                                           [&](const std::string* name) { return SameName(*name, s.Name); });
        if (!duplicate) {
            seen.push_back(&s.Name);
            strings.Add(s.Name);
        }
    }
}

void TMemIniFile::ReadSection(const std::string& section, TStrings& strings) const {
    strings.Clear();
    const TSection* s = FindSection(section);
    if (!s)
        return;
    for (const TLine& line : s->Lines)
        if (!line.Key.empty())
            strings.Add(line.Key);
}

void TMemIniFile::EraseSection(const std::string& section) {
    FSections.erase(
        std::remove_if(FSections.begin(), FSections.end(),
                       [&](const TSection& s) { return s.HasHeader && SameName(s.Name, section); }),
        FSections.end());
}

void TMemIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    TSection* s = FindSection(section);
    if (!s)
        return;
    s->Lines.erase(
        std::remove_if(s->Lines.begin(), s->Lines.end(),
                       [&](const TLine& line) { return !line.Key.empty() && SameName(line.Key, ident); }),
        s->Lines.end());
}

void TMemIniFile::Clear() {
    FSections.clear();
}

std::string TMemIniFile::GetText() const {
    std::string text;
    for (const TSection& s : FSections) {
        if (s.HasHeader) {
            text += s.Header;
            text += "\r\n";
        }
        for (const TLine& line : s.Lines) {
            text += line.Text;
            text += "\r\n";
        }
    }
    return text;
}

void TMemIniFile::SetText(const std::string& text) {
    std::vector<TSection> sections(1);
    sections.front().HasHeader = false;
    // Some editors save a UTF-8 byte-order mark: it is no part of the first
    // line, which would otherwise be no section header. The file is written
    // back without it, in the code page that its values are read in.
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    size_t p = text.compare(0, byteOrderMark.size(), byteOrderMark) == 0 ? byteOrderMark.size() : 0;
    while (p < text.size()) {
        const size_t start = p;
        while (p < text.size() && text[p] != '\r' && text[p] != '\n')
            ++p;
        const std::string raw = text.substr(start, p - start);
        if (p < text.size() && text[p] == '\r')
            ++p;
        if (p < text.size() && text[p] == '\n')
            ++p;

        const std::string trimmed = Trim(raw);
        if (!trimmed.empty() && trimmed.front() == '[') {
            const size_t close = FindChar(trimmed, ']', 1);
            if (close != std::string::npos) {
                TSection section;
                section.Name = Trim(trimmed.substr(1, close - 1));
                section.Header = raw;
                sections.push_back(std::move(section));
                continue;
            }
        }
        TLine line;
        line.Text = raw;
        const size_t equals = raw.find('=');
        if (equals != std::string::npos && !trimmed.empty() && trimmed.front() != ';' &&
            trimmed.front() != '[') {
            line.Key = Trim(raw.substr(0, equals));
            line.Value = Unquote(Trim(raw.substr(equals + 1)));
        }
        sections.back().Lines.push_back(std::move(line));
    }
    if (sections.front().Lines.empty())
        sections.erase(sections.begin());
    FSections = std::move(sections);
}

void TMemIniFile::UpdateFile() const {
    const DWORD attributes = FileApi::Attributes(FFileName);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw EIniFileError("The settings file is read-only.");

    std::string temporary;
    if (!FileApi::CreateTempFile(DirectoryOf(FFileName), "ini", temporary))
        throw EIniFileError(kWriteError);
    TTempFileGuard guard(temporary);

    const std::string text = GetText();
    {
        const HANDLE handle = FileApi::OpenFileHandle(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS);
        if (handle == INVALID_HANDLE_VALUE)
            throw EIniFileError(kWriteError);
        TFileHandle file(handle);
        size_t done = 0;
        while (done < text.size()) {
            DWORD written = 0;
            if (!WriteFile(file.Get(), text.data() + done, static_cast<DWORD>(text.size() - done), &written,
                           nullptr) ||
                written == 0)
                throw EIniFileError(kWriteError);
            done += written;
        }
        // On the disk before it replaces the old file.
        if (!FlushFileBuffers(file.Get()))
            throw EIniFileError(kWriteError);
    }

    if (!FileApi::MoveEntry(temporary, FFileName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw EIniFileError(kWriteError);
    guard.Release();
}

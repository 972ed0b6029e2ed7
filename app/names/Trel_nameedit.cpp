#include "app/names/Trel_nameedit.h"

#include "framework/Fw_clipbrd.h"
#include "framework/Fw_sysutils.h"
#include "support/Vek_date.h"
#include "support/Vek_file.h"
#include "support/Vek_net.h"
#include "support/Vek_text.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

namespace {

[[noreturn]] void ConversionError() {
    throw ENameEditError("The program could not convert the characters.");
}

const char* const kCharacterNotHeld =
    "The name holds a character that the system's code page cannot represent.";
const char* const kNotText = "The decoded name is not valid text in the system's code page.";

// Whether position is the start of a character (or the end of the text),
// walking on from from, which is one.
bool IsCharStart(const std::string& text, std::size_t from, std::size_t position) {
    while (from < position)
        from += CharSize(text, from);
    return from == position;
}

// Where the parts of a name lie, found in one scan, by the part rules of
// TPath: the final component starts after the last backslash or colon; the
// extension with its dot starts at the last dot after that. A trail byte of a
// double-byte character is never a delimiter.
struct TNameSplit {
    explicit TNameSplit(const std::string& text) {
        std::size_t lastDelimiter = std::string::npos;
        std::size_t lastDot = std::string::npos;
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t size = CharSize(text, i);
            if (size == 1) {
                if (text[i] == '\\' || text[i] == ':')
                    lastDelimiter = i;
                else if (text[i] == '.')
                    lastDot = i;
            }
            i += size;
        }
        NameStart = lastDelimiter == std::string::npos ? 0 : lastDelimiter + 1;
        const bool hasExtension =
            lastDot != std::string::npos && (lastDelimiter == std::string::npos || lastDot > lastDelimiter);
        ExtensionStart = hasExtension ? lastDot : text.size();
    }

    std::size_t NameStart;
    // The extension's dot, or the end of the text when there is none.
    std::size_t ExtensionStart;
};

[[noreturn]] void KindNotSupported() {
    throw ENameEditError("The kind is not supported.");
}

std::string PartOf(const std::string& text, const TNameSplit& split, TPartKind kind) {
    switch (kind) {
    case pkName:
        return text;
    case pkBaseName:
        return text.substr(split.NameStart, split.ExtensionStart - split.NameStart);
    case pkExtension:
        return split.ExtensionStart < text.size() ? text.substr(split.ExtensionStart + 1) : std::string();
    }
    KindNotSupported();
}

// The text with the part replaced. An extension is given with or without its
// dot; an empty one removes the extension with its dot.
std::string WithPart(const std::string& text, const TNameSplit& split, TPartKind kind,
                     const std::string& part) {
    std::string result;
    switch (kind) {
    case pkName:
        return part;
    case pkBaseName:
        result.reserve(text.size() + part.size());
        result.append(text, 0, split.NameStart);
        result += part;
        result.append(text, split.ExtensionStart, std::string::npos);
        return result;
    case pkExtension:
        result.reserve(split.ExtensionStart + part.size() + 1);
        result.append(text, 0, split.ExtensionStart);
        if (!part.empty() && part[0] != '.')
            result += '.';
        result += part;
        return result;
    }
    KindNotSupported();
}

} // namespace

// ---------------------------------------------------------------- TRenameName

std::string TRenameName::GetText() const {
    return FText;
}

void TRenameName::Assign(const TRenameName& source) {
    if (&source != this)
        FText = source.FText;
}

void TRenameName::Insert(TInsertPosition position, const std::string& text) {
    switch (position) {
    case ipHead:
        FText.insert(0, text);
        return;
    case ipTail:
        FText.append(text);
        return;
    }
    throw ENameEditError("The position is not supported.");
}

void TRenameName::Overwrite(const std::string& text) {
    FText = text;
}

void TRenameName::Replace(const std::string& oldText, const std::string& newText, bool matchCase) {
    if (oldText.empty())
        return;
    // The upper-case mapping keeps every byte in its place, so positions found
    // in the mapped text are positions in the held one.
    const std::string haystack = matchCase ? FText : UpperFileName(FText);
    const std::string needle = matchCase ? oldText : UpperFileName(oldText);
    std::string result;
    std::size_t copied = 0;
    for (std::size_t i = 0; i + needle.size() <= haystack.size();) {
        if (std::memcmp(haystack.data() + i, needle.data(), needle.size()) == 0 &&
            IsCharStart(haystack, i, i + needle.size())) {
            result.append(FText, copied, i - copied);
            result += newText;
            i += needle.size();
            copied = i;
        } else {
            i += CharSize(haystack, i);
        }
    }
    if (copied == 0)
        return;
    result.append(FText, copied, std::string::npos);
    FText = std::move(result);
}

void TRenameName::Capitalize(TCharacterCase characterCase) {
    switch (characterCase) {
    case ccLowerCase:
        FText = LowerCaseText(FText);
        return;
    case ccUpperCase:
        FText = UpperCaseText(FText);
        return;
    case ccBookTitle:
        FText = BookTitleText(FText);
        return;
    }
    throw ENameEditError("The character case is not supported.");
}

void TRenameName::EncodeCharacters(TCharacterEncoding encoding) {
    switch (encoding) {
    case ceUtf8: {
        std::wstring wide;
        std::string utf8;
        if (!TryAnsiToWide(FText, wide) || !TryWideToAnsi(wide, utf8, CP_UTF8))
            ConversionError();
        FText = std::move(utf8);
        return;
    }
    case ceAnsi:
        return;
    }
    throw ENameEditError("The character encoding is not supported.");
}

void TRenameName::DecodeCharacters(TCharacterEncoding encoding) {
    switch (encoding) {
    case ceUtf8: {
        std::wstring wide;
        // Refused like bytes that are no text of the code page: emptying the
        // part would silently throw the name away.
        if (!TryAnsiToWide(FText, wide, CP_UTF8))
            throw ENameEditError("The decoded name is not valid UTF-8.");
        // Never a look-alike: the system's best fit would make a full-width
        // solidus a "/" and, in code page 932, a yen sign a backslash.
        std::string ansi;
        if (!TryWideToAnsi(wide, ansi))
            throw ENameEditError(kCharacterNotHeld);
        FText = std::move(ansi);
        return;
    }
    case ceAnsi:
        // Decoded bytes that are no text of the code page (a lone lead byte,
        // under UTF-8 a malformed sequence) would give a name that the list
        // cannot show as it is and the disk cannot hold.
        if (!SurvivesWide(FText))
            throw ENameEditError(kNotText);
        return;
    }
    throw ENameEditError("The character encoding is not supported.");
}

void TRenameName::UrlEncode() {
    FText = TUrlCoder().UrlEncode(FText);
}

void TRenameName::UrlDecode() {
    FText = TUrlCoder().UrlDecode(FText);
}

void TRenameName::ReplaceMatches(const TNamePattern& pattern, const std::string& replacement) {
    FText = pattern.Replace(FText, replacement);
}

std::string TRenameName::GetPart(TPartKind kind) const {
    return PartOf(FText, TNameSplit(FText), kind);
}

void TRenameName::SetPart(TPartKind kind, const std::string& text) {
    FText = WithPart(FText, TNameSplit(FText), kind, text);
}

// ---------------------------------------------------------------- case helpers

std::string LowerCaseText(const std::string& text) {
    return TTextCapitalizer().ToLowerCase(text);
}

std::string UpperCaseText(const std::string& text) {
    return TTextCapitalizer().ToUpperCase(text);
}

std::string BookTitleText(const std::string& text) {
    return TTextCapitalizer().ToBookTitle(text);
}

// ---------------------------------------------------------------- part edits

std::string EditNamePart(const std::string& name, TPartKind part,
                         const std::function<void(TRenameName&)>& edit) {
    // One scan of the name serves both taking the part and setting it back.
    const TNameSplit split(name);
    TRenameName piece(PartOf(name, split, part));
    edit(piece);
    return WithPart(name, split, part, piece.GetText());
}

std::string InsertIntoPart(const std::string& name, TPartKind part, TInsertPosition position,
                           const std::string& line) {
    return EditNamePart(name, part, [&](TRenameName& piece) { piece.Insert(position, line); });
}

std::string OverwritePart(const std::string& name, TPartKind part, const std::string& line) {
    return WithPart(name, TNameSplit(name), part, line);
}

std::string ReplaceInPart(const std::string& name, TPartKind part, const std::string& oldText,
                          const std::string& newText, bool matchCase) {
    return EditNamePart(name, part, [&](TRenameName& piece) { piece.Replace(oldText, newText, matchCase); });
}

std::string ReplaceMatchesInPart(const std::string& name, TPartKind part, const TNamePattern& pattern,
                                 const std::string& replacement) {
    return EditNamePart(name, part, [&](TRenameName& piece) { piece.ReplaceMatches(pattern, replacement); });
}

std::string CapitalizePart(const std::string& name, TPartKind part, TCharacterCase characterCase) {
    return EditNamePart(name, part, [&](TRenameName& piece) { piece.Capitalize(characterCase); });
}

std::string UrlEncodePart(const std::string& name, TPartKind part, TCharacterEncoding encoding) {
    return EditNamePart(name, part, [&](TRenameName& piece) {
        piece.EncodeCharacters(encoding);
        piece.UrlEncode();
    });
}

std::string UrlDecodePart(const std::string& name, TPartKind part, TCharacterEncoding encoding) {
    return EditNamePart(name, part, [&](TRenameName& piece) {
        piece.UrlDecode();
        piece.DecodeCharacters(encoding);
    });
}

// ---------------------------------------------------------------- value names

const char* const kPartItems = "Name\nBase name\nExtension";
const char* const kPositionItems = "Head\nTail";
const char* const kCaseItems = "Lower case\nUpper case\nBook title";
const char* const kEncodingItems = "UTF-8\nANSI";
const char* const kDateItems = "Modified\nCreated\nDate taken";

std::string ItemAt(const char* items, int index) {
    TStringList lines;
    lines.SetText(items);
    return index >= 0 && index < lines.Count() ? lines.Strings(index) : std::string();
}

int IndexOfItem(const char* items, const std::string& word) {
    TStringList lines;
    lines.SetText(items);
    return lines.IndexOf(word);
}

// ---------------------------------------------------------------- text sources

const char* const kLineCountMismatch = "The number of lines does not match.";

void CheckLineCount(int lines, int expected) {
    if (lines != expected)
        throw ENameEditError(kLineCountMismatch);
}

void TCustomSrcLinesSpecs::GetLines(int count, TStrings& lines) const {
    TStringList result;
    result.SetCapacity(std::max(count, 0));
    for (int k = 0; k < count; ++k)
        result.Add(Text);
    lines.Assign(result);
}

void TClipboardSrcLinesSpecs::GetLines(int count, TStrings& lines) const {
    std::string text;
    {
        const TClipboard clipboard;
        text = clipboard.GetText();
    }
    TStringList result;
    result.SetText(text);
    CheckLineCount(result.Count(), std::max(count, 0));
    lines.Assign(result);
}

void TNumberSrcLinesSpecs::GetLines(int count, TStrings& lines) const {
    if (Digits > kMaxNumberDigits)
        throw ENameEditError("Numbers wider than 255 digits are not supported.");
    TStringList result;
    result.SetCapacity(std::max(count, 0));
    for (int k = 0; k < count; ++k) {
        // At most 2^31 * 2^31 + 2^31 in magnitude: 64 bits never overflow.
        const std::int64_t number = std::int64_t{Initial} + std::int64_t{k} * std::int64_t{Increment};
        if (number < 0)
            throw ENameEditError("Negative numbers are not supported.");
        result.Add(Line(number));
    }
    lines.Assign(result);
}

std::string TNumberSrcLinesSpecs::Line(std::int64_t number) const {
    std::string digits = IntToStr(number);
    if (static_cast<std::int64_t>(digits.size()) < Digits)
        digits.insert(0, static_cast<std::size_t>(Digits) - digits.size(), Padding);
    return Prefix + digits + Suffix;
}

void TEntrySrcLinesSpecs::GetLines(int count, const TEntries* entries, TStrings& lines) const {
    count = std::max(count, 0);
    if (!entries || entries->size() < static_cast<std::size_t>(count))
        throw ENameEditError("The text source needs the entries themselves.");
    TStringList result;
    result.SetCapacity(count);
    for (int k = 0; k < count; ++k)
        result.Add(Line(*(*entries)[static_cast<std::size_t>(k)]));
    lines.Assign(result);
}

std::string TDateSrcLinesSpecs::Line(const TRenameItem& entry) const {
    std::optional<TDateParts> date = entry.GetDate(Date);
    if (!date && Date == TFileDateKind::Taken)
        date = entry.GetDate(TFileDateKind::Modified);
    if (!date)
        throw ENameEditError(Format("The file date of \"%s\" is not known.", entry.OldName.c_str()));
    return FormatDate(Pattern, *date);
}

std::string TFolderSrcLinesSpecs::Line(const TRenameItem& entry) const {
    TPath directory(entry.Directory);
    directory.ExcludeTrailing('\\');
    return directory.IsDrive() ? std::string() : directory.GetName();
}

const TSrcLinesSpecs& TTextSrcSpecs::GetCurrent() const {
    switch (Kind) {
    case skCustom:
        return Specs.Custom;
    case skNumber:
        return Specs.Number;
    case skClipboard:
        return Specs.Clipboard;
    case skFileDate:
    case skFolderName:
        break;
    }
    KindNotSupported();
}

const TEntrySrcLinesSpecs& TTextSrcSpecs::GetCurrentOfEntries() const {
    if (Kind == skFileDate)
        return Specs.FileDate;
    if (Kind == skFolderName)
        return Specs.FolderName;
    KindNotSupported();
}

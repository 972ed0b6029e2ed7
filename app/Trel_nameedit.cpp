#include "app/Trel_nameedit.h"

#include "framework/Fw_clipbrd.h"
#include "support/Vek_file.h"
#include "support/Vek_net.h"
#include "support/Vek_text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

[[noreturn]] void ConversionError() {
    throw ENameEditError("The program could not convert the characters.");
}

const char* const kCharacterNotHeld =
    "The name holds a character that the system's code page cannot represent.";

// Whether position is the start of a character (or the end of the text),
// walking on from from, which is one.
bool IsCharStart(const std::string& text, std::size_t from, std::size_t position) {
    while (from < position)
        from += CharSize(text, from);
    return from == position;
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
        if (!TryAnsiToWide(FText, wide, CP_UTF8)) {
            FText.clear();
            return;
        }
        // Never a look-alike: the system's best fit would make a full-width
        // solidus a "/" and, in code page 932, a yen sign a backslash.
        std::string ansi;
        if (!TryWideToAnsi(wide, ansi))
            throw ENameEditError(kCharacterNotHeld);
        FText = std::move(ansi);
        return;
    }
    case ceAnsi:
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

std::string TRenameName::GetPart(TPartKind kind) const {
    switch (kind) {
    case pkName:
        return FText;
    case pkBaseName:
        return TPath(FText).GetBaseName();
    case pkExtension:
        return TPath(FText).GetExtension();
    }
    throw ENameEditError("The kind is not supported.");
}

void TRenameName::SetPart(TPartKind kind, const std::string& text) {
    TPath path(FText);
    switch (kind) {
    case pkName:
        path.SetPath(text);
        break;
    case pkBaseName:
        path.SetBaseName(text);
        break;
    case pkExtension:
        path.SetExtension(text);
        break;
    default:
        throw ENameEditError("The kind is not supported.");
    }
    FText = path.GetPath();
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
    TRenameName whole(name);
    TRenameName piece(whole.GetPart(part));
    edit(piece);
    whole.SetPart(part, piece.GetText());
    return whole.GetText();
}

std::string InsertIntoPart(const std::string& name, TPartKind part, TInsertPosition position,
                           const std::string& line) {
    return EditNamePart(name, part, [&](TRenameName& piece) { piece.Insert(position, line); });
}

std::string OverwritePart(const std::string& name, TPartKind part, const std::string& line) {
    TRenameName whole(name);
    whole.SetPart(part, line);
    return whole.GetText();
}

std::string ReplaceInPart(const std::string& name, TPartKind part, const std::string& oldText,
                          const std::string& newText, bool matchCase) {
    return EditNamePart(name, part, [&](TRenameName& piece) { piece.Replace(oldText, newText, matchCase); });
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

// ---------------------------------------------------------------- text sources

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
    if (result.Count() != std::max(count, 0))
        throw ENameEditError("The number of lines does not match.");
    lines.Assign(result);
}

void TNumberSrcLinesSpecs::GetLines(int count, TStrings& lines) const {
    TStringList result;
    result.SetCapacity(std::max(count, 0));
    for (int k = 0; k < count; ++k) {
        // At most 2^31 * 2^31 + 2^31 in magnitude: 64 bits never overflow.
        const std::int64_t number = std::int64_t{Initial} + std::int64_t{k} * std::int64_t{Increment};
        if (number < 0)
            throw ENameEditError("Negative numbers are not supported.");
        std::string digits = IntToStr(number);
        if (static_cast<std::int64_t>(digits.size()) < Digits)
            digits.insert(0, static_cast<std::size_t>(Digits) - digits.size(), Padding);
        result.Add(Prefix + digits + Suffix);
    }
    lines.Assign(result);
}

const TSrcLinesSpecs& TTextSrcSpecs::GetCurrent() const {
    switch (Kind) {
    case skCustom:
        return Specs.Custom;
    case skNumber:
        return Specs.Number;
    case skClipboard:
        return Specs.Clipboard;
    }
    throw ENameEditError("The kind is not supported.");
}

#include "support/Vek_text.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// C1_SPACE | C1_PUNCT | C1_CNTRL | C1_BLANK
constexpr WORD kSeparatorMask = 0x78;

enum class TCase { Lower, Upper };

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char AsciiCase(char c, TCase to) {
    if (to == TCase::Lower && c >= 'A' && c <= 'Z')
        return static_cast<char>(c + ('a' - 'A'));
    if (to == TCase::Upper && c >= 'a' && c <= 'z')
        return static_cast<char>(c - ('a' - 'A'));
    return c;
}

// The separator flag of every ASCII character, asked once.
const std::array<bool, 0x80>& AsciiSeparators() {
    static const std::array<bool, 0x80> separators = [] {
        std::array<wchar_t, 0x80> units{};
        std::array<WORD, 0x80> types{};
        for (std::size_t c = 0; c < units.size(); ++c)
            units[c] = static_cast<wchar_t>(c);
        std::array<bool, 0x80> result{};
        if (!GetStringTypeW(CT_CTYPE1, units.data(), static_cast<int>(units.size()), types.data()))
            throw ETextError("The program cannot get the character types.");
        for (std::size_t c = 0; c < result.size(); ++c)
            result[c] = (types[c] & kSeparatorMask) != 0;
        return result;
    }();
    return separators;
}

// One character of the code page, its bytes given, in UTF-16; false for
// bytes that are not a valid character.
bool CharToWide(const std::string& text, std::size_t at, std::size_t size, std::wstring& wide) {
    return TryAnsiToWide(text.substr(at, size), wide);
}

// The character in the other case, in the code page's bytes; the character's
// own bytes when the system has no other case for it or the code page cannot
// hold the result.
std::string CaseOfChar(const std::string& text, std::size_t at, std::size_t size, const std::wstring& wide,
                       TCase to) {
    const DWORD flags = to == TCase::Lower ? LCMAP_LOWERCASE : LCMAP_UPPERCASE;
    const int length = static_cast<int>(wide.size());
    std::wstring mapped(wide.size(), L'\0');
    // Case mapping without linguistic casing keeps the number of UTF-16 units.
    if (LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.data(), length, mapped.data(), length) != length ||
        mapped == wide)
        return text.substr(at, size);
    std::string bytes;
    if (!TryWideToAnsi(mapped, bytes))
        return text.substr(at, size);
    return bytes;
}

// Appends the text's bytes from `from` in the case `to`, character by
// character.
void AppendCase(const std::string& text, std::size_t from, TCase to, std::string& out) {
    std::wstring wide;
    for (std::size_t i = from; i < text.size();) {
        const std::size_t size = CharSize(text, i);
        const unsigned char first = static_cast<unsigned char>(text[i]);
        if (size == 1 && first < 0x80)
            out += AsciiCase(text[i], to);
        else if (CharToWide(text, i, size, wide))
            out += CaseOfChar(text, i, size, wide, to);
        else
            out.append(text, i, size); // not a valid character: left as it is
        i += size;
    }
}

// Whether the text's UTF-16 form converts back to the same bytes. Always so
// in a single-byte code page and under UTF-8; a double-byte code page reads
// some characters from two byte pairs and writes one, and a character that
// has no other case must keep the bytes it came with.
bool WritesBackAsIs(const std::string& text, const std::wstring& wide) {
    static const bool doubleByte = [] {
        for (int b = 0; b < 256; ++b)
            if (CodePageChars().Lead[b] == TCodePageChars::kDoubleByteLead)
                return true;
        return false;
    }();
    std::string back;
    return !doubleByte || (TryWideToAnsi(wide, back) && back == text);
}

bool MapWide(const std::wstring& wide, TCase to, std::wstring& mapped) {
    const DWORD flags = to == TCase::Lower ? LCMAP_LOWERCASE : LCMAP_UPPERCASE;
    const int length = static_cast<int>(wide.size());
    mapped.assign(wide.size(), L'\0');
    return LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.data(), length, mapped.data(), length) == length;
}

// The whole text through UTF-16 at once: the common case of a text that is
// valid throughout and whose result the code page holds. False otherwise,
// and the caller goes character by character.
bool ChangeCaseWhole(const std::string& text, TCase to, std::string& result) {
    std::wstring wide, mapped;
    return TryAnsiToWide(text, wide) && WritesBackAsIs(text, wide) && MapWide(wide, to, mapped) &&
           TryWideToAnsi(mapped, result);
}

std::string ChangeCase(const std::string& text, TCase to) {
    if (AsciiIsSingleByte() && IsAscii(text)) {
        // Plain text, the common case, needs neither a walk by characters
        // nor the system.
        std::string result = text;
        for (char& c : result)
            c = AsciiCase(c, to);
        return result;
    }
    std::string result;
    if (ChangeCaseWhole(text, to, result))
        return result;
    result.clear();
    result.reserve(text.size());
    AppendCase(text, 0, to, result);
    return result;
}

// Book title of a whole text through UTF-16 at once, as ChangeCaseWhole.
bool BookTitleWhole(const std::string& text, std::string& result) {
    std::wstring wide, lower, upper;
    if (!TryAnsiToWide(text, wide) || !WritesBackAsIs(text, wide) || !MapWide(wide, TCase::Lower, lower) ||
        !MapWide(wide, TCase::Upper, upper))
        return false;
    std::vector<WORD> types(wide.size(), 0);
    if (!GetStringTypeW(CT_CTYPE1, wide.data(), static_cast<int>(wide.size()), types.data()))
        throw ETextError("The program cannot get the character types.");
    std::wstring title = lower;
    bool afterSeparator = true;
    for (std::size_t i = 0; i < wide.size() && wide[i] != L'\0';) {
        // A surrogate pair is one character, typed by its first unit.
        const std::size_t size = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1])
                                     ? 2
                                     : 1;
        const bool separator = (types[i] & kSeparatorMask) != 0;
        if (afterSeparator && !separator)
            title.replace(i, size, upper, i, size);
        afterSeparator = separator;
        i += size;
    }
    return TryWideToAnsi(title, result);
}

} // namespace

std::string TTextCapitalizer::ToLowerCase(const std::string& text) const {
    return ChangeCase(text, TCase::Lower);
}

std::string TTextCapitalizer::ToUpperCase(const std::string& text) const {
    return ChangeCase(text, TCase::Upper);
}

std::string TTextCapitalizer::ToBookTitle(const std::string& text) const {
    const std::array<bool, 0x80>& asciiSeparators = AsciiSeparators();
    std::string result;
    if (!(AsciiIsSingleByte() && IsAscii(text)) && BookTitleWhole(text, result))
        return result;
    result.clear();
    result.reserve(text.size());
    bool afterSeparator = true;
    std::wstring wide;
    std::size_t i = 0;
    for (; i < text.size() && text[i] != '\0';) {
        const std::size_t size = CharSize(text, i);
        const unsigned char first = static_cast<unsigned char>(text[i]);
        bool separator = false;
        if (size == 1 && first < 0x80) {
            separator = asciiSeparators[first];
            result += AsciiCase(text[i], afterSeparator && !separator ? TCase::Upper : TCase::Lower);
        } else if (CharToWide(text, i, size, wide)) {
            // The type of the character's first UTF-16 unit: a character
            // beyond the 16-bit range (a surrogate pair) is no separator.
            WORD type = 0;
            if (!GetStringTypeW(CT_CTYPE1, wide.data(), 1, &type))
                throw ETextError("The program cannot get the character types.");
            separator = (type & kSeparatorMask) != 0;
            result += CaseOfChar(text, i, size, wide, afterSeparator && !separator ? TCase::Upper : TCase::Lower);
        } else {
            result.append(text, i, size); // not a valid character: left as it is, and no separator
        }
        afterSeparator = separator;
        i += size;
    }
    AppendCase(text, i, TCase::Lower, result);
    return result;
}

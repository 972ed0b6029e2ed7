#include "support/Vek_text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// The ASCII letters of a text shifted by delta; double-byte characters stay.
std::string ShiftLetters(const std::string& text, char first, char last, int delta) {
    std::string result = text;
    for (std::size_t i = 0; i < result.size();) {
        const std::size_t size = CharSize(result, i);
        if (size == 1 && result[i] >= first && result[i] <= last)
            result[i] = static_cast<char>(result[i] + delta);
        i += size;
    }
    return result;
}

// C1_SPACE | C1_PUNCT | C1_CNTRL | C1_BLANK
constexpr WORD kSeparatorMask = 0x78;

} // namespace

std::string TTextCapitalizer::ToLowerCase(const std::string& text) const {
    return ShiftLetters(text, 'A', 'Z', 'a' - 'A');
}

std::string TTextCapitalizer::ToUpperCase(const std::string& text) const {
    return ShiftLetters(text, 'a', 'z', 'A' - 'a');
}

std::string TTextCapitalizer::ToBookTitle(const std::string& text) const {
    if (text.empty())
        return text;
    const std::string upper = ToUpperCase(text);
    std::string result = ToLowerCase(text);

    const std::size_t end = std::min(result.size(), std::strlen(result.c_str()));
    if (end == 0)
        return result;
    // The system gives one type per character, so a double-byte character has
    // one entry; the text's byte count is enough room in every code page.
    std::vector<WORD> types(end, 0);
    if (!GetStringTypeA(LOCALE_USER_DEFAULT, CT_CTYPE1, result.data(), static_cast<int>(end), types.data()))
        throw ETextError("The program cannot get the character types.");

    std::size_t character = 0;
    bool afterSeparator = true;
    for (std::size_t i = 0; i < end;) {
        // CharNextA only for lead bytes: single bytes are the common case.
        const char* here = result.c_str() + i;
        const std::size_t next = IsDBCSLeadByte(static_cast<BYTE>(*here))
                                     ? static_cast<std::size_t>(CharNextA(here) - result.c_str())
                                     : i + 1;
        const bool separator = character < types.size() && (types[character] & kSeparatorMask) != 0;
        if (afterSeparator && !separator)
            for (std::size_t j = i; j < next; ++j)
                result[j] = upper[j];
        afterSeparator = separator;
        i = next;
        ++character;
    }
    return result;
}

// ---------------------------------------------------------------- exact conversions

namespace {

// The code pages whose conversions take no flags but the error flags (or
// none): UTF-7, UTF-8, the ISO-2022 and other stateful ones, GB 18030, symbol.
bool TakesNoFlags(UINT codePage) {
    return codePage == CP_UTF7 || codePage == CP_UTF8 || codePage == 42 ||
           (codePage >= 50220 && codePage <= 50229) || codePage == 52936 || codePage == 54936 ||
           (codePage >= 57002 && codePage <= 57011);
}

UINT ActualCodePage(unsigned codePage) {
    return codePage == CP_ACP ? GetACP() : codePage;
}

} // namespace

bool TryAnsiToWide(const std::string& text, std::wstring& wide, unsigned codePage) {
    wide.clear();
    if (text.empty())
        return true;
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return false;
    const UINT page = ActualCodePage(codePage);
    const DWORD flags = page == CP_UTF8 || !TakesNoFlags(page) ? MB_ERR_INVALID_CHARS : 0;
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(page, flags, text.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(page, flags, text.data(), size, result.data(), length) != length)
        return false;
    wide = std::move(result);
    return true;
}

bool TryWideToAnsi(const std::wstring& wide, std::string& text, unsigned codePage) {
    text.clear();
    if (wide.empty())
        return true;
    if (wide.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return false;
    const UINT page = ActualCodePage(codePage);
    const bool plain = !TakesNoFlags(page);
    const DWORD flags = page == CP_UTF8 ? WC_ERR_INVALID_CHARS : plain ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = plain ? &usedDefault : nullptr;
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(page, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault)
        return false;
    std::string result(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(page, flags, wide.data(), size, result.data(), length, nullptr, usedDefaultOut) !=
            length ||
        usedDefault)
        return false;
    // Where the flags cannot ask for it, and wherever the system's tables
    // map more than one character to the same bytes: the text must read
    // back as the same characters.
    std::wstring back;
    if (!TryAnsiToWide(result, back, page) || back != wide)
        return false;
    text = std::move(result);
    return true;
}

bool SurvivesWide(const std::string& text, unsigned codePage) {
    std::wstring wide;
    std::string back;
    return TryAnsiToWide(text, wide, codePage) && TryWideToAnsi(wide, back, codePage) && back == text;
}

#include "support/Vek_text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
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

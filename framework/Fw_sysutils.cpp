#include "framework/Fw_sysutils.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <vector>

Exception::Exception(std::string message) : FMessage(std::move(message)) {}

EAbort::EAbort() : Exception("Operation aborted.") {}
EAbort::EAbort(std::string message) : Exception(std::move(message)) {}

void Abort() {
    throw EAbort();
}

const char* const UnexpectedErrorMessage = "An unexpected error occurred.";

namespace {

void ShowInMessageBox(std::exception_ptr error) noexcept {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // The silent abort: nothing to show.
    } catch (const Exception& e) {
        MessageBoxA(nullptr, e.what(), nullptr, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    } catch (...) {
        MessageBoxA(nullptr, UnexpectedErrorMessage, nullptr, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
}

std::atomic<TExceptionSink> GExceptionSink{ShowInMessageBox};

} // namespace

void SetExceptionSink(TExceptionSink sink) noexcept {
    GExceptionSink.store(sink ? sink : ShowInMessageBox);
}

void HandleExceptionSink(std::exception_ptr error) noexcept {
    if (error)
        GExceptionSink.load()(error);
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string result;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        result.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
    return result;
}

std::string IntToStr(std::int64_t value) {
    return std::to_string(value);
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void AppendPercentEscape(std::string& out, unsigned char b) {
    static const char kHexDigits[] = "0123456789ABCDEF";
    out += '%';
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 0x0F];
}

bool TryStrToInt(const std::string& text, int& value) {
    size_t i = 0;
    size_t end = text.size();
    while (i < end && IsBlank(text[i]))
        ++i;
    while (end > i && IsBlank(text[end - 1]))
        --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < end && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < end && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= end)
        return false;
    // Accumulate the magnitude in 64 bits; more than 10 decimal or 8 hex digits
    // of significance cannot fit, so the limit check below stays exact.
    std::uint64_t magnitude = 0;
    for (; i < end; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0 || digit >= base)
            return false;
        magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    std::int64_t result;
    if (base == 16 && !negative) {
        // "$FFFFFFFF" is -1, as a 32-bit pattern.
        result = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
    } else {
        result = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
        if (result < std::numeric_limits<int>::min() || result > std::numeric_limits<int>::max())
            return false;
    }
    value = static_cast<int>(result);
    return true;
}

int StrToInt(const std::string& text) {
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError("'" + text + "' is not a valid integer value.");
    return value;
}

int StrToIntDef(const std::string& text, int defaultValue) {
    int value = 0;
    return TryStrToInt(text, value) ? value : defaultValue;
}

TCodePageChars::TCodePageChars() : Lead{}, Utf8(GetACP() == CP_UTF8) {
    for (int b = 0; b < 256; ++b) {
        if (Utf8)
            Lead[b] = b >= 0xC2 && b <= 0xF4 ? kUtf8Lead : kSingle;
        else
            Lead[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) ? kDoubleByteLead : kSingle;
    }
}

bool IsLeadByte(unsigned char b) {
    return CodePageChars().Lead[b] != TCodePageChars::kSingle;
}

std::size_t Utf8CharSize(const std::string& s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char b = byte(0);
    const std::size_t size = b < 0xC2 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 1;
    if (size == 1 || i + size > s.size())
        return 1;
    // The second byte's range excludes the overlong forms (after 0xE0 and
    // 0xF0), the surrogates (after 0xED) and values above U+10FFFF (after 0xF4).
    const unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
    if (byte(1) < low || byte(1) > high)
        return 1;
    for (std::size_t k = 2; k < size; ++k)
        if ((byte(k) & 0xC0) != 0x80)
            return 1;
    return size;
}

bool AsciiIsSingleByte() {
    static const bool single = [] {
        for (int c = 0; c < 0x80; ++c)
            if (IsLeadByte(static_cast<unsigned char>(c)))
                return false;
        return true;
    }();
    return single;
}

bool IsTrailByte(const std::string& s, std::size_t i) {
    // A byte's role depends on every byte before it: walk from the start.
    std::size_t p = 0;
    while (p < i)
        p += CharSize(s, p);
    return p > i;
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

// Most names are ASCII, and many conversions are asked per entry of long
// lists: the system's ANSI code page and UTF-8 keep ASCII as it is, so such
// a text is copied unit for unit.
template <class C>
bool IsAsciiIn(const std::basic_string<C>& text, UINT page) {
    return (page == CP_UTF8 || page == GetACP()) &&
           std::all_of(text.begin(), text.end(), [](C c) { return static_cast<unsigned>(c) < 0x80; });
}

} // namespace

bool TryAnsiToWide(const std::string& text, std::wstring& wide, unsigned codePage) {
    wide.clear();
    if (text.empty())
        return true;
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return false;
    const UINT page = ActualCodePage(codePage);
    if (IsAsciiIn(text, page)) {
        wide.assign(text.begin(), text.end());
        return true;
    }
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
    if (IsAsciiIn(wide, page)) {
        text.assign(wide.begin(), wide.end());
        return true;
    }
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
    // The system's ANSI and OEM code pages all keep ASCII as it is; most
    // names are ASCII, and a check of many names asks for every one.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return true;
    std::wstring wide;
    std::string back;
    return TryAnsiToWide(text, wide, codePage) && TryWideToAnsi(wide, back, codePage) && back == text;
}

void AnsiToWideLenient(const std::string& text, std::wstring& wide) {
    wide.clear();
    if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return;
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return;
    wide.resize(static_cast<std::size_t>(length));
    wide.resize(static_cast<std::size_t>(
        std::max(0, MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length))));
}

std::string NameForMessage(const std::wstring& wide, unsigned codePage) {
    std::string shown;
    for (std::size_t i = 0; i < wide.size();) {
        // One character: a surrogate pair, or a single unit.
        const bool pair = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                          wide[i + 1] < 0xE000;
        const std::size_t units = pair ? 2 : 1;
        std::string character;
        if (TryWideToAnsi(wide.substr(i, units), character, codePage))
            shown += character;
        else
            shown += '?';
        i += units;
    }
    return shown;
}

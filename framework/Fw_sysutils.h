// Exceptions and small text conversions shared by every unit.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

// The base of every error class of the program. It carries one message, a full
// English sentence that the application's exception display shows as it is.
class Exception : public std::exception {
public:
    explicit Exception(std::string message);
    ~Exception() override = default;

    const std::string& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// The silent abort: ends an operation without a message (a cancelled dialog or
// a declined confirmation). The exception display ignores it.
class EAbort : public Exception {
public:
    EAbort();
    explicit EAbort(std::string message);
};

// Throws EAbort.
[[noreturn]] void Abort();

// Where an exception goes that no caller can take any more: one caught at the
// edge of a window procedure, a thread, an idle handler or a cleanup. The
// application installs its exception display here at start-up; until then,
// or in a program without one, a message box shows the message (EAbort shows
// nothing). Any thread may call it; it never throws.
using TExceptionSink = void (*)(std::exception_ptr error) noexcept;
void SetExceptionSink(TExceptionSink sink) noexcept;
void HandleExceptionSink(std::exception_ptr error = std::current_exception()) noexcept;

// The message shown for an exception that is not one of the framework's.
extern const char* const UnexpectedErrorMessage;

// An operation that the object's state does not allow.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list, or a capacity below its count.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// String-list errors: an index outside the list, a duplicate that the list
// rejects, an insertion into a sorted list.
class EStringListError : public EListError {
public:
    using EListError::EListError;
};

// A text that is not a number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// printf-style formatting into a string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

std::string IntToStr(std::int64_t value);

// Decimal, with an optional sign; leading and trailing blanks are allowed.
// A hexadecimal value is written with a leading "$" or "0x".
bool TryStrToInt(const std::string& text, int& value);

// The value of a hexadecimal digit of either case; -1 for any other character.
int HexDigitValue(char c);
// Appends "%" and the byte in two capital hexadecimal digits.
void AppendPercentEscape(std::string& out, unsigned char b);
// As TryStrToInt; throws EConvertError "'<text>' is not a valid integer value.".
int StrToInt(const std::string& text);
int StrToIntDef(const std::string& text, int defaultValue);

// The characters of the system's ANSI code page: single bytes, double-byte
// characters in a double-byte code page (932 and the like), or sequences of
// two to four bytes when UTF-8 (65001) is the ANSI code page.
//
// How each byte starts a character; read once per process.
struct TCodePageChars {
    enum : unsigned char { kSingle = 0, kDoubleByteLead = 1, kUtf8Lead = 2 };
    unsigned char Lead[256];
    bool Utf8;
    TCodePageChars();
};

inline const TCodePageChars& CodePageChars() {
    static const TCodePageChars chars;
    return chars;
}

// Whether UTF-8 is the system's ANSI code page.
inline bool IsUtf8CodePage() {
    return CodePageChars().Utf8;
}
// Whether the byte can start a character of more than one byte: as
// IsDBCSLeadByte in a double-byte code page; under UTF-8 the lead bytes of
// well-formed sequences (0xC2 to 0xF4), where IsDBCSLeadByte says false.
bool IsLeadByte(unsigned char b);
// The length of the UTF-8 sequence that starts at index i, or 1 when it is not
// well formed (a stray continuation byte, a truncated sequence, an overlong
// form, a surrogate, a value above U+10FFFF): such a byte is a character of
// its own, so no rule ever steps into the middle of a valid sequence.
std::size_t Utf8CharSize(const std::string& s, std::size_t i);
// The number of bytes of the character that starts at index i: in a
// double-byte code page 2 for a lead byte followed by a non-zero byte (the
// step of CharNextA); under UTF-8 the whole sequence; otherwise 1.
inline std::size_t CharSize(const std::string& s, std::size_t i) {
    const unsigned char lead = CodePageChars().Lead[static_cast<unsigned char>(s[i])];
    if (lead == TCodePageChars::kSingle)
        return 1;
    if (lead == TCodePageChars::kDoubleByteLead)
        return (i + 1 < s.size() && s[i + 1] != '\0') ? 2 : 1;
    return Utf8CharSize(s, i);
}
// Whether no byte below 0x80 starts a double-byte character, so that ASCII
// text is single-byte throughout (true of every ANSI code page Windows has).
bool AsciiIsSingleByte();
// Whether the byte at index i lies inside a character that starts before it
// (the second byte of a double-byte character, a continuation byte of a
// UTF-8 sequence).
bool IsTrailByte(const std::string& s, std::size_t i);

// Conversions that never put one character in the place of another. The
// system's own ones map a character that the target cannot hold to a
// look-alike ("best fit": a full-width solidus to "/", a yen sign to the
// backslash of code page 932) or to "?", and bytes that are not valid in the
// source to a substitute; these fail instead, leaving the output empty.
// codePage 0 (CP_ACP) is the system's ANSI code page.
bool TryAnsiToWide(const std::string& text, std::wstring& wide, unsigned codePage = 0);
bool TryWideToAnsi(const std::wstring& wide, std::string& text, unsigned codePage = 0);
// Whether the text comes back byte for byte from UTF-16, as a name that the
// system stores in UTF-16 must: not so for bytes that are not valid in the
// code page, nor for a second spelling of a character (code page 932 reads
// some characters from two byte pairs and writes one).
bool SurvivesWide(const std::string& text, unsigned codePage = 0);
// The text in UTF-16 by the system's ANSI code page, with the system's
// substitute for bytes that are not valid: for the locale functions, whose
// "A" forms translate with the locale's code page rather than the process's
// (not the same when the manifest makes UTF-8 the ANSI code page).
void AnsiToWideLenient(const std::string& text, std::wstring& wide);
// A UTF-16 name for a message when it cannot be converted exactly: each
// character that the code page holds as itself, every other one (and a lone
// surrogate) as "?", which no file name holds, so the user never sees a
// look-alike that could be another file's name.
std::string NameForMessage(const std::wstring& wide, unsigned codePage = 0);

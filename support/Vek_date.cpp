#include "support/Vek_date.h"

#include "framework/Fw_sysutils.h"

#include <windows.h>

#include <cctype>

namespace {

// The system's dates (SYSTEMTIME from FILETIME) start in 1601.
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 9999;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

SYSTEMTIME SystemTimeOf(const TDateParts& date) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.Year);
    time.wMonth = static_cast<WORD>(date.Month);
    time.wDay = static_cast<WORD>(date.Day);
    time.wHour = static_cast<WORD>(date.Hour);
    time.wMinute = static_cast<WORD>(date.Minute);
    time.wSecond = static_cast<WORD>(date.Second);
    return time;
}

// The text in the program's code page; false when the code page cannot hold it.
bool ToProgramText(const wchar_t* wide, std::string& text) {
    return TryWideToAnsi(std::wstring(wide), text);
}

// NUMBERFMT's grouping of the locale's "3;0" (3), "3;2;0" (32) or "3" (30).
UINT Grouping(const wchar_t* text) {
    UINT grouping = 0;
    size_t length = 0;
    for (; text[length]; ++length)
        if (text[length] >= L'0' && text[length] <= L'9')
            grouping = grouping * 10 + static_cast<UINT>(text[length] - L'0');
    const bool endsInZero = length >= 2 && text[length - 2] == L';' && text[length - 1] == L'0';
    return endsInZero ? grouping / 10 : grouping * 10;
}

std::string Digits(int value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

// How many times the letter repeats from position i, in any case.
size_t RunLength(const std::string& pattern, size_t i, char letter) {
    size_t end = i;
    while (end < pattern.size() && std::tolower(static_cast<unsigned char>(pattern[end])) == letter)
        ++end;
    return end - i;
}

// Writes the token at position i, if one starts there; returns its length (0: none).
size_t WriteToken(const std::string& pattern, size_t i, const TDateParts& date, std::string& out) {
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
    const size_t run = RunLength(pattern, i, letter);
    if (letter == 'y') {
        if (run >= 4) {
            out += Digits(date.Year, 4);
            return 4;
        }
        if (run >= 2) {
            out += Digits(date.Year % 100, 2);
            return 2;
        }
        return 0;
    }
    int value = 0;
    switch (letter) {
    case 'm':
        value = date.Month;
        break;
    case 'd':
        value = date.Day;
        break;
    case 'h':
        value = date.Hour;
        break;
    case 'n':
        value = date.Minute;
        break;
    case 's':
        value = date.Second;
        break;
    default:
        return 0;
    }
    const size_t length = run >= 2 ? 2 : 1;
    out += Digits(value, static_cast<int>(length));
    return length;
}

} // namespace

bool IsValidDate(const TDateParts& date) {
    return date.Year >= kFirstYear && date.Year <= kLastYear && date.Month >= 1 && date.Month <= 12 &&
           date.Day >= 1 && date.Day <= DaysInMonth(date.Year, date.Month) && date.Hour >= 0 &&
           date.Hour <= 23 && date.Minute >= 0 && date.Minute <= 59 && date.Second >= 0 && date.Second <= 59;
}

std::uint64_t PackedDate(const TDateParts& date) {
    std::uint64_t packed = static_cast<std::uint64_t>(date.Year);
    for (const int part : {date.Month, date.Day, date.Hour, date.Minute, date.Second})
        packed = packed * 100 + static_cast<std::uint64_t>(part);
    return packed;
}

std::optional<TDateParts> LocalFileTime(std::uint64_t fileTime) {
    if (fileTime == 0)
        return std::nullopt;
    FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME universal{}, local{};
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return std::nullopt;
    return TDateParts{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

std::string ShortDateTimeText(const TDateParts& date) {
    const SYSTEMTIME time = SystemTimeOf(date);
    wchar_t datePart[128] = L"";
    wchar_t timePart[128] = L"";
    std::string dateText, timeText;
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, datePart, 128, nullptr) &&
        GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, timePart, 128) &&
        ToProgramText(datePart, dateText) && ToProgramText(timePart, timeText))
        return dateText + " " + timeText;
    // A format the code page cannot show still gives a date everyone reads.
    return FormatDate("yyyy-mm-dd hh:nn", date);
}

std::string KilobyteSizeText(std::uint64_t bytes) {
    const std::uint64_t kilobytes = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    const std::wstring number = std::to_wstring(kilobytes);
    // No decimals, the user's grouping of digits.
    NUMBERFMTW format{};
    wchar_t decimal[8] = L".", thousand[8] = L",", grouping[16] = L"3;0";
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, thousand, 8);
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING, grouping, 16);
    format.Grouping = Grouping(grouping);
    format.lpDecimalSep = decimal;
    format.lpThousandSep = thousand;
    format.LeadingZero = 1;
    format.NegativeOrder = 1;
    wchar_t grouped[64] = L"";
    std::string text;
    if (!GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, number.c_str(), &format, grouped, 64) ||
        !ToProgramText(grouped, text))
        text = std::to_string(kilobytes);
    return text + " KB";
}

std::string FormatDate(const std::string& pattern, const TDateParts& date) {
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        if (pattern[i] == '"') {
            const size_t close = pattern.find('"', i + 1);
            const size_t end = close == std::string::npos ? pattern.size() : close;
            out.append(pattern, i + 1, end - i - 1);
            i = end + (close == std::string::npos ? 0 : 1);
            continue;
        }
        const size_t size = CharSize(pattern, i);
        const size_t token = size == 1 ? WriteToken(pattern, i, date, out) : 0;
        if (token == 0)
            out.append(pattern, i, size);
        i += token == 0 ? size : token;
    }
    return out;
}

// Dates of files and photos: their local calendar parts, the file system's
// times turned into them, and their texts (the user's short form, and a
// pattern such as yyyy-mm-dd for new names).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A local date and time to the second, as a calendar shows it.
struct TDateParts {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;

    bool operator==(const TDateParts&) const = default;
};

// Whether every part is within its calendar range (the day within its month,
// years 1601 to 9999, as the system's dates go).
bool IsValidDate(const TDateParts& date);

// The parts as one number that orders as the dates do: YYYYMMDDhhmmss.
std::uint64_t PackedDate(const TDateParts& date);

// A time of the file system (100-nanosecond ticks since 1601, UTC) in the
// user's time zone, with the daylight saving time of that date; none for 0
// or a time the system cannot convert.
std::optional<TDateParts> LocalFileTime(std::uint64_t fileTime);

// The user's short date and short time (GetDateFormatEx, GetTimeFormatEx)
// in the program's code page, as Explorer shows a file's dates.
std::string ShortDateTimeText(const TDateParts& date);

// A size as Explorer's details view shows it: kilobytes rounded up, with the
// user's digit grouping, "0 KB" for an empty file ("1 KB" for one byte,
// "1,234 KB").
std::string KilobyteSizeText(std::uint64_t bytes);

// The date written by a pattern. Tokens, in any letter case: yyyy the year,
// yy its last two digits; mm and m the month with two digits and without a
// leading zero; dd and d the day; hh and h the hour (0 to 23); nn and n the
// minute; ss and s the second. Text in double quotes is copied without them
// (names never hold a double quote); everything else is copied as it is, a
// double-byte character as a whole.
std::string FormatDate(const std::string& pattern, const TDateParts& date);

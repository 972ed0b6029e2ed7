// What the list shows of a file beyond its name: dates written by a pattern
// and in the user's form, sizes as Explorer shows them, and the date a photo
// was taken, from good photos made by a real tool and from damaged copies.
#include "support/Vek_date.h"
#include "support/Vek_exif.h"
#include "tests/common/TestSupport.h"

#include <string>

namespace {

std::string Text(const std::optional<TDateParts>& date) {
    return date ? FormatDate("yyyy-mm-dd hh:nn:ss", *date) : "none";
}

// The bytes with those from offset after the start of the marker (which
// must be there) overwritten.
std::string Overwrite(std::string bytes, const std::string& marker, size_t offset, const std::string& with) {
    const size_t at = bytes.find(marker);
    EXPECT_NE(at, std::string::npos) << marker;
    return at == std::string::npos ? bytes : bytes.replace(at + offset, with.size(), with);
}

} // namespace

TEST(DateFormat, PatternsWriteTheirTokensAndCopyTheRest) {
    const TDateParts date{2021, 7, 4, 9, 3, 5};
    const struct {
        std::string pattern;
        const char* expected;
    } cases[] = {
        {"yyyy-mm-dd", "2021-07-04"},
        {"yyyymmdd_hhnnss", "20210704_090305"},
        {"YY.M.D H.N.S", "21.7.4 9.3.5"},
        {"yyy mmm", "21y 077"},
        {"photo", "p9oto"},
        {"\"photo\" dd", "photo 04"},
        {"dd \"unclosed", "04 unclosed"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDate(c.pattern, date), c.expected) << c.pattern;
    // A double-byte character whose second byte is an "m" is no token.
    if (IsDoubleByteCodePage() && GetACP() == 932) {
        EXPECT_EQ(FormatDate("\x83\x6D-dd", date), "\x83\x6D-04");
    }
}

TEST(DateFormat, SizesInKilobytesAndDatesInTheUsersForm) {
    const struct {
        std::uint64_t bytes;
        const char* expected;
    } sizes[] = {{0, "0 KB"}, {1, "1 KB"}, {1024, "1 KB"}, {1025, "2 KB"}, {1234567890, "1,205,633 KB"}};
    for (const auto& c : sizes)
        EXPECT_EQ(KilobyteSizeText(c.bytes), c.expected) << c.bytes;
    // The user's format is read from the prefix's registry, which a suite
    // starting under another locale rewrites: compared only while it is the
    // United States' form before and after.
    const auto usForm = [] {
        wchar_t date[32] = {}, time[32] = {};
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, date, 32);
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTTIME, time, 32);
        return std::wstring(date) == L"M/d/yyyy" && std::wstring(time) == L"h:mm tt";
    };
    const bool before = usForm();
    const std::string text = ShortDateTimeText({2021, 7, 4, 21, 3, 5});
    if (before && usForm()) {
        EXPECT_EQ(text, "7/4/2021 9:03 PM");
    }
    // 2021-07-04 12:00 UTC, in the zone the tests run in.
    const std::optional<TDateParts> local = LocalFileTime(132698448000000000ULL);
    ASSERT_TRUE(local);
    EXPECT_EQ(local->Year, 2021);
    EXPECT_FALSE(LocalFileTime(0));
    EXPECT_FALSE(IsValidDate({2021, 2, 29, 0, 0, 0}));
    EXPECT_TRUE(IsValidDate({2020, 2, 29, 23, 59, 59}));
}

TEST(ExifDateTaken, GoodMissingAndDamagedPhotos) {
    const std::string jpeg = ResourceBytes("TAKEN_JPG");
    const std::string le = ResourceBytes("TAKEN_LE_TIF");
    const std::string exifPointer("\x87\x69\x00\x04\x00\x00\x00\x01", 8);
    const std::string date = "2021:07:14 09:30:05";
    const struct {
        const char* what;
        std::string bytes;
        const char* expected;
    } cases[] = {
        {"JPEG, big-endian EXIF", jpeg, "2021-07-14 09:30:05"},
        {"TIFF, little-endian", le, "2019-12-31 23:59:58"},
        {"TIFF, big-endian", ResourceBytes("TAKEN_BE_TIF"), "2019-12-31 23:59:58"},
        {"JPEG without EXIF", ResourceBytes("PLAIN_JPG"), "none"},
        {"not a photo", "hello, world", "none"},
        {"empty", "", "none"},
        {"JPEG cut in its EXIF block", jpeg.substr(0, 120), "none"},
        {"JPEG cut after its header", jpeg.substr(0, 3), "none"},
        {"TIFF cut short", le.substr(0, 40), "none"},
        {"EXIF directory beyond the end", Overwrite(jpeg, exifPointer, 8, "\xFF\xFF\xFF\xF0"), "none"},
        {"EXIF directory at the first one: a loop",
         Overwrite(jpeg, exifPointer, 8, std::string("\0\0\0\x08", 4)), "none"},
        {"EXIF directory at the last byte", Overwrite(jpeg, exifPointer, 8, std::string("\0\0\0\xCF", 4)),
         "none"},
        {"first directory beyond the end", Overwrite(le, "II*", 4, "\xFF\xFF\xFF"), "none"},
        {"entry count past the end", Overwrite(jpeg, "MM", 8, "\xFF\xFF"), "none"},
        {"APP1 length below its own", Overwrite(jpeg, "\xFF\xE1", 2, std::string("\0\x01", 2)), "none"},
        {"APP0 length past the end", Overwrite(jpeg, "\xFF\xE0", 2, "\xFF\xF0"), "none"},
        {"date left blank", Overwrite(jpeg, date, 0, "    :  :     :  :  "), "none"},
        {"date of zeros", Overwrite(jpeg, date, 0, "0000:00:00 00:00:00"), "none"},
        {"month 13", Overwrite(jpeg, date, 5, "13"), "none"},
        {"other separators", Overwrite(jpeg, date, 4, "-07-14T"), "2021-07-14 09:30:05"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(ExifDateTaken(c.bytes)), c.expected) << c.what;
    // Any byte changed, any length cut: a date or none, never a read outside.
    const size_t dateEnd = jpeg.find(date) + date.size();
    for (size_t i = 0; i < jpeg.size(); ++i) {
        for (const char value : {'\0', '\xFF', '\x08'}) {
            std::string damaged = jpeg;
            damaged[i] = value;
            const std::optional<TDateParts> taken = ExifDateTaken(damaged);
            EXPECT_TRUE(!taken || IsValidDate(*taken)) << i;
        }
        if (i < dateEnd) {
            EXPECT_EQ(Text(ExifDateTaken(jpeg.substr(0, i))), "none") << "cut at " << i;
        }
    }
}

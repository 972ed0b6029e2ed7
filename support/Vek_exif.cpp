#include "support/Vek_exif.h"

#include <algorithm>
#include <cstdint>

namespace {

// TIFF tags and types of the EXIF standard.
constexpr std::uint16_t kExifIfdTag = 0x8769;
constexpr std::uint16_t kDateTimeOriginalTag = 0x9003;
constexpr std::uint16_t kAsciiType = 2;
constexpr std::uint16_t kLongType = 4;
constexpr std::uint16_t kIfdType = 13;
// "YYYY:MM:DD HH:MM:SS" and its terminating zero.
constexpr std::size_t kDateTextSize = 20;
constexpr std::size_t kEntrySize = 12;

// The TIFF structure that the EXIF block is: every read checked against its size.
class TTiffReader {
public:
    explicit TTiffReader(std::string_view bytes) : FBytes(bytes) {}

    bool ReadHeader(std::uint32_t& firstIfd) {
        if (FBytes.size() < 8 || (FBytes.substr(0, 2) != "II" && FBytes.substr(0, 2) != "MM"))
            return false;
        FBigEndian = FBytes[0] == 'M';
        std::uint16_t magic = 0;
        return Read16(2, magic) && magic == 42 && Read32(4, firstIfd);
    }

    // The place of the entry with the tag in the directory at offset.
    bool FindEntry(std::uint32_t ifd, std::uint16_t tag, std::size_t& entry) const {
        std::uint16_t count = 0;
        if (!Read16(ifd, count) || static_cast<std::size_t>(ifd) + 2 + count * kEntrySize > FBytes.size())
            return false;
        for (std::size_t i = 0; i < count; ++i) {
            std::uint16_t entryTag = 0;
            entry = ifd + 2 + i * kEntrySize;
            if (Read16(entry, entryTag) && entryTag == tag)
                return true;
        }
        return false;
    }

    bool Read16(std::size_t offset, std::uint16_t& value) const {
        if (offset > FBytes.size() || FBytes.size() - offset < 2)
            return false;
        value = static_cast<std::uint16_t>(Byte(offset + (FBigEndian ? 0 : 1)) << 8 |
                                           Byte(offset + (FBigEndian ? 1 : 0)));
        return true;
    }

    bool Read32(std::size_t offset, std::uint32_t& value) const {
        std::uint16_t first = 0, second = 0;
        if (!Read16(offset, first) || !Read16(offset + 2, second))
            return false;
        value = FBigEndian ? std::uint32_t{first} << 16 | second : std::uint32_t{second} << 16 | first;
        return true;
    }

    // The bytes of an entry's value: within the entry when they fit in four,
    // else at the offset it holds.
    std::string_view Value(std::size_t entry, std::size_t size) const {
        std::uint32_t offset = static_cast<std::uint32_t>(entry + 8);
        if (size > 4 && !Read32(entry + 8, offset))
            return {};
        if (offset > FBytes.size() || FBytes.size() - offset < size)
            return {};
        return FBytes.substr(offset, size);
    }

private:
    unsigned Byte(std::size_t offset) const { return static_cast<unsigned char>(FBytes[offset]); }

    std::string_view FBytes;
    bool FBigEndian = false;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "YYYY:MM:DD HH:MM:SS"; cameras that do not know the date write blanks or
// zeros there, which make no calendar date.
std::optional<TDateParts> ParseDateText(std::string_view text) {
    static const int kFields[][2] = {{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}};
    int values[6] = {};
    for (int f = 0; f < 6; ++f) {
        for (int i = 0; i < kFields[f][1]; ++i) {
            const char c = text[static_cast<std::size_t>(kFields[f][0] + i)];
            if (!IsDigit(c))
                return std::nullopt;
            values[f] = values[f] * 10 + (c - '0');
        }
    }
    const TDateParts date{values[0], values[1], values[2], values[3], values[4], values[5]};
    return IsValidDate(date) ? std::optional<TDateParts>(date) : std::nullopt;
}

std::optional<TDateParts> TiffDateTaken(std::string_view tiff) {
    TTiffReader reader(tiff);
    std::uint32_t firstIfd = 0, exifIfd = 0;
    std::uint16_t type = 0;
    std::size_t entry = 0;
    if (!reader.ReadHeader(firstIfd) || !reader.FindEntry(firstIfd, kExifIfdTag, entry) ||
        !reader.Read16(entry + 2, type) || (type != kLongType && type != kIfdType) ||
        !reader.Read32(entry + 8, exifIfd) || !reader.FindEntry(exifIfd, kDateTimeOriginalTag, entry))
        return std::nullopt;
    std::uint32_t count = 0;
    if (!reader.Read16(entry + 2, type) || type != kAsciiType || !reader.Read32(entry + 4, count) ||
        count < kDateTextSize - 1)
        return std::nullopt;
    const std::string_view text = reader.Value(entry, kDateTextSize - 1);
    return text.empty() ? std::nullopt : ParseDateText(text);
}

// The TIFF structure inside a JPEG's APP1 "Exif" segment, or empty. The
// segments before it are walked by their lengths, so the walk only goes on.
std::string_view JpegExifBlock(std::string_view jpeg) {
    constexpr unsigned char kMarker = 0xFF, kStartOfScan = 0xDA, kEndOfImage = 0xD9, kApp1 = 0xE1;
    constexpr std::string_view kExifName("Exif\0\0", 6);
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(jpeg[i]); };
    if (jpeg.size() < 4 || byte(0) != kMarker || byte(1) != 0xD8)
        return {};
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && byte(pos) == kMarker) {
        const unsigned char marker = byte(pos + 1);
        if (marker == kStartOfScan || marker == kEndOfImage)
            return {};
        if (marker == kMarker || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            // A fill byte or a marker without a length.
            pos += marker == kMarker ? 1 : 2;
            continue;
        }
        const std::size_t length = std::size_t{byte(pos + 2)} << 8 | byte(pos + 3);
        if (length < 2)
            return {};
        const std::size_t data = pos + 4;
        if (marker == kApp1 && jpeg.substr(data, kExifName.size()) == kExifName) {
            // A block that runs past the bytes read is read as far as it goes.
            const std::size_t end = std::min(pos + 2 + length, jpeg.size());
            const std::size_t start = data + kExifName.size();
            return start < end ? jpeg.substr(start, end - start) : std::string_view();
        }
        pos += 2 + length;
    }
    return {};
}

} // namespace

std::optional<TDateParts> ExifDateTaken(std::string_view head) {
    const std::string_view exif = JpegExifBlock(head);
    return TiffDateTaken(exif.empty() ? head : exif);
}

// The date a photo was taken, as the EXIF block of a JPEG or TIFF file
// records it.
#pragma once

#include "support/Vek_date.h"

#include <cstddef>
#include <optional>
#include <string_view>

// How much of a file's start the date is looked for in: a JPEG's EXIF block
// comes right after its start, and a TIFF's first directory is nearly always
// written near it; reading no more keeps a folder of large photos quick.
constexpr std::size_t kExifHeadSize = 64 * 1024;

// DateTimeOriginal of the EXIF block in the first bytes of a JPEG or TIFF
// file. None for any other file, a block without it, a date that is blank or
// not a calendar date, and a block cut off or with offsets outside the bytes:
// every read is checked against the bytes given, only the first directory and
// the EXIF directory are read (no chain is followed, so a block that points
// back into itself ends), and nothing throws.
std::optional<TDateParts> ExifDateTaken(std::string_view head);

// The rename item: one file or directory of the rename list.
#pragma once

#include "framework/Fw_classes.h"
#include "support/Vek_date.h"
#include "support/Vek_file.h"

#include <cstdint>
#include <optional>
#include <string>

enum class TRenameItemType : std::uint8_t { Directory = 0, RegularFile = 1 };

// The outcome of the last rename or restore that touched an item.
enum class TRenameItemResult : std::uint8_t { None = 0, Succeeded = 1, Failed = 2, Skipped = 3 };

class ERenameError : public Exception {
public:
    using Exception::Exception;
};

// The dates an entry can be known by.
enum class TFileDateKind : std::uint8_t { Modified, Created, Taken };

// What the disk tells of an entry beyond its name, read when the list shows
// or sorts by it (see Trel_fileinfo): size and file times from its
// directory's listing, the date taken from a photo's EXIF block.
struct TFileInfo {
    // The old name the values were read under: after a rename they are read again.
    std::string Name;
    // Whether the listing (the date taken) was asked, whatever it answered.
    bool Listed = false;
    bool TakenRead = false;
    // Regular files only.
    std::optional<std::uint64_t> Size;
    // Times of the file system (UTC ticks); 0 when not known.
    std::uint64_t Created = 0;
    std::uint64_t Modified = 0;
    std::optional<TDateParts> Taken;
};

// One entry: where it lies, its name on disk now, the name the user wants,
// and what happened to it at the last rename. The fields are read and written
// directly by the commands, the tasks and the window.
class TRenameItem : public TObject {
public:
    // Splits a full path into directory and name and reads, once, whether it
    // is a directory. A path whose attributes cannot be read raises
    // ERenameError "The program cannot determine the file type.".
    explicit TRenameItem(const std::string& path);
    // The same, with the attributes the caller has read already.
    TRenameItem(const std::string& path, std::uint32_t attributes);

    // Where the item is found on disk now: Directory joined with OldName.
    TPath GetPath() const;
    // The local date of that kind, when it has been read and is known.
    std::optional<TDateParts> GetDate(TFileDateKind kind) const;

    // Without a trailing separator, except for a root such as C:\.
    std::string Directory;
    std::string OldName;
    std::string NewName;
    TRenameItemType Type = TRenameItemType::RegularFile;
    TRenameItemResult Result = TRenameItemResult::None;
    TFileInfo Info;
};

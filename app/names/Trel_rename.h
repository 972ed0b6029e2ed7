// The rename item: one file or directory of the rename list.
#pragma once

#include "framework/Fw_classes.h"
#include "support/Vek_file.h"

#include <cstdint>
#include <string>

enum class TRenameItemType : std::uint8_t { Directory = 0, RegularFile = 1 };

// The outcome of the last rename or restore that touched an item.
enum class TRenameItemResult : std::uint8_t { None = 0, Succeeded = 1, Failed = 2, Skipped = 3 };

class ERenameError : public Exception {
public:
    using Exception::Exception;
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

    // Where the item is found on disk now: Directory joined with OldName.
    TPath GetPath() const;

    // Without a trailing separator, except for a root such as C:\.
    std::string Directory;
    std::string OldName;
    std::string NewName;
    TRenameItemType Type = TRenameItemType::RegularFile;
    TRenameItemResult Result = TRenameItemResult::None;
};

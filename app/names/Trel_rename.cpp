#include "app/names/Trel_rename.h"

#include <windows.h>

namespace {

std::uint32_t ReadAttributes(const std::string& path) {
    try {
        return TFile(path).GetAttributes();
    } catch (const EFileError&) {
        throw ERenameError("The program cannot determine the file type.");
    }
}

} // namespace

TRenameItem::TRenameItem(const std::string& path) : TRenameItem(path, ReadAttributes(path)) {}

TRenameItem::TRenameItem(const std::string& path, std::uint32_t attributes) {
    const TPath value(path);
    Directory = value.GetDirectory();
    OldName = value.GetName();
    NewName = OldName;
    Type =
        (attributes & FILE_ATTRIBUTE_DIRECTORY) ? TRenameItemType::Directory : TRenameItemType::RegularFile;
}

TPath TRenameItem::GetPath() const {
    TPath path(Directory);
    path.Append(OldName);
    return path;
}

std::optional<TDateParts> TRenameItem::GetDate(TFileDateKind kind) const {
    switch (kind) {
    case TFileDateKind::Modified:
        return LocalFileTime(Info.Modified);
    case TFileDateKind::Created:
        return LocalFileTime(Info.Created);
    case TFileDateKind::Taken:
        return Info.Taken;
    }
    return std::nullopt;
}

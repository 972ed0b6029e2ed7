#include "app/rename/Trel_disknames.h"

#include "support/Vek_file.h"

TDiskNames::TListing& TDiskNames::Listing(const std::string& directory) {
    const std::string key = PathKey(directory);
    const auto found = FDirectories.find(key);
    if (found != FDirectories.end())
        return found->second;
    TListing& listing = FDirectories[key];
    std::vector<std::string> names;
    listing.Exists = ListDirectoryNames(directory, names);
    listing.Keys.reserve(names.size());
    for (const std::string& name : names)
        listing.Keys.insert(FileNameKey(name));
    return listing;
}

bool TDiskNames::Contains(const std::string& directory, const std::string& name) {
    const TListing& listing = Listing(directory);
    return listing.Keys.count(FileNameKey(name)) != 0;
}

bool TDiskNames::DirectoryExists(const std::string& directory) {
    return Listing(directory).Exists;
}

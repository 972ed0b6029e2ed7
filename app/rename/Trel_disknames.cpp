#include "app/rename/Trel_disknames.h"

#include "support/Vek_file.h"

#include <windows.h>

namespace {

// Owns a search handle of FindFirstFileA.
class TSearch {
public:
    TSearch(const std::string& pattern, WIN32_FIND_DATAA& data)
        : FHandle(FindFirstFileA(pattern.c_str(), &data)) {}
    TSearch(const TSearch&) = delete;
    TSearch& operator=(const TSearch&) = delete;
    ~TSearch() {
        if (IsValid())
            FindClose(FHandle);
    }

    bool IsValid() const { return FHandle != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return FHandle; }

private:
    HANDLE FHandle;
};

} // namespace

std::string FileNameKey(const std::string& name) {
    size_t length = name.size();
    while (length > 0 && (name[length - 1] == '.' || name[length - 1] == ' ') &&
           !IsTrailByte(name, length - 1))
        --length;
    return LowerFileName(name.substr(0, length));
}

bool ListDirectoryNames(const std::string& directory, std::vector<std::string>& names) {
    names.clear();
    TPath pattern(directory);
    pattern.Append("*");
    WIN32_FIND_DATAA data;
    TSearch search(pattern.GetPath(), data);
    if (!search.IsValid())
        return false;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search.Handle(), &data));
    return true;
}

TDiskNames::TListing& TDiskNames::Listing(const std::string& directory) {
    TPath path(directory);
    path.ExcludeTrailing('\\');
    const std::string key = LowerFileName(path.GetPath());
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

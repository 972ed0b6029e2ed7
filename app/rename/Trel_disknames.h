// Which names a directory holds, read with one listing per directory: under
// Wine every lookup of a single name scans its directory, so asking once per
// directory is what keeps a check of many entries fast.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The names on disk, directory by directory; each directory is listed once,
// when it is first asked about.
class TDiskNames {
public:
    // Whether the directory holds an entry that the name finds.
    bool Contains(const std::string& directory, const std::string& name);
    // Whether the directory could be listed.
    bool DirectoryExists(const std::string& directory);
    // How many directories were listed.
    int Listings() const { return static_cast<int>(FDirectories.size()); }

private:
    struct TListing {
        bool Exists = false;
        std::unordered_set<std::string> Keys;
    };
    TListing& Listing(const std::string& directory);

    std::unordered_map<std::string, TListing> FDirectories;
};

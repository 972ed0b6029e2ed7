// Which names a directory holds, read with one listing per directory: under
// Wine every lookup of a single name scans its directory, so asking once per
// directory is what keeps a check of many entries fast.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The key under which the file system finds a name: letter case ignored (as
// the system's file-name case maps it), trailing dots and blanks dropped (the
// system drops them from the last part of a path).
std::string FileNameKey(const std::string& name);

// The names a directory lists, without "." and "..", as the disk spells them.
// False when the directory cannot be listed (it does not exist, or access is
// denied).
bool ListDirectoryNames(const std::string& directory, std::vector<std::string>& names);

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

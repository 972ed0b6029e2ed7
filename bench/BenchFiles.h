// Files on disk for the rename benchmarks.
#pragma once

#include "app/names/Trel_rename.h"
#include "framework/Fw_classes.h"
#include "support/Vek_listviewmodel.h"

#include <windows.h>

#include <string>
#include <vector>

// A file of a benchmark's tree with the name it is renamed to.
struct TBenchFile {
    std::string Directory;
    std::string Old;
    std::string New;
};

// A new folder in the temporary folder, named after the benchmark and the process.
inline std::string MakeBenchFolder(const std::string& name) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    const std::string folder = std::string(base) + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// dirs folders d0, d1... under root, each with filesPerDir empty files
// "fileN.txt" that are renamed to "renamedN.TXT". Wine scans a directory for
// every name it looks up, so the files are spread over several folders.
inline std::vector<TBenchFile> MakeBenchFiles(const std::string& root, int dirs, int filesPerDir) {
    std::vector<TBenchFile> files;
    for (int d = 0; d < dirs; ++d) {
        const std::string dir = root + "\\d" + std::to_string(d);
        CreateDirectoryA(dir.c_str(), nullptr);
        for (int f = 0; f < filesPerDir; ++f) {
            const std::string name = "file" + std::to_string(f) + ".txt";
            CloseHandle(CreateFileA((dir + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
            files.push_back({dir, name, "renamed" + std::to_string(f) + ".TXT"});
        }
    }
    return files;
}

// Removes what MakeBenchFiles made, under either name, and the folders.
inline void RemoveBenchFiles(const std::string& root, const std::vector<TBenchFile>& files, int dirs) {
    for (const TBenchFile& file : files) {
        DeleteFileA((file.Directory + "\\" + file.Old).c_str());
        DeleteFileA((file.Directory + "\\" + file.New).c_str());
    }
    for (int d = 0; d < dirs; ++d)
        RemoveDirectoryA((root + "\\d" + std::to_string(d)).c_str());
    RemoveDirectoryA(root.c_str());
}

// An entry for every file, old name to new name, owned by items and shown by
// the model's rows in the same order.
inline void AddBenchItems(const std::vector<TBenchFile>& files, TListViewModel& model, TObjectList& items) {
    for (const TBenchFile& file : files) {
        auto* item = new TRenameItem(file.Directory + "\\" + file.Old);
        items.Add(item);
        item->NewName = file.New;
        model.Items(model.Add())->SetData(item);
    }
}

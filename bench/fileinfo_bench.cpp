// What the disk tells of the list's entries: size and dates of 200,000
// entries in 200 directories (one listing per directory; goal: at most 3 s),
// the sort by Modified once they are read (goal: at most 0.3 s), and the date
// taken of 1,000 JPEG files. The reading is timed as the program runs it:
// alone on this thread, and through the window (View > Columns > Modified on
// the worker thread under the progress dialog).
#include "app/Trel_mainform.h"
#include "app/names/Trel_fileinfo.h"
#include "app/names/Trel_listedit.h"
#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kDirs = 200;
constexpr int kFilesPerDir = 1000;
constexpr double kReadGoalMs = 3000;
constexpr double kSortGoalMs = 300;
constexpr int kPhotos = 1000;
// A photo as large as a small camera's: the reader takes only its start.
constexpr size_t kPhotoSize = 300 * 1024;

void Put16(std::string& out, unsigned value) {
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value & 0xFF);
}

void Put32(std::string& out, unsigned value) {
    Put16(out, value >> 16);
    Put16(out, value & 0xFFFF);
}

// A JPEG whose big-endian EXIF block holds DateTimeOriginal, padded to size.
std::string MakePhoto(size_t size) {
    std::string tiff = "MM";
    Put16(tiff, 42);
    Put32(tiff, 8);
    Put16(tiff, 1); // first directory: the EXIF pointer
    Put16(tiff, 0x8769), Put16(tiff, 4), Put32(tiff, 1), Put32(tiff, 26);
    Put32(tiff, 0);
    Put16(tiff, 1); // EXIF directory at 26: DateTimeOriginal
    Put16(tiff, 0x9003), Put16(tiff, 2), Put32(tiff, 20), Put32(tiff, 44);
    Put32(tiff, 0);
    tiff += std::string("2021:07:14 09:30:05", 20);
    std::string jpeg = "\xFF\xD8\xFF\xE1";
    Put16(jpeg, static_cast<unsigned>(2 + 6 + tiff.size()));
    jpeg += std::string("Exif\0\0", 6) + tiff;
    jpeg += "\xFF\xD9";
    jpeg.resize(size, '\x5A');
    return jpeg;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// Items of the files, made from one file of the tree and renamed in memory:
// an item made from each path would look every name up on the disk.
std::vector<std::unique_ptr<TRenameItem>> MakeItems(const std::vector<TBenchFile>& files) {
    std::vector<std::unique_ptr<TRenameItem>> items;
    items.reserve(files.size());
    const std::string seed = files.front().Directory + "\\" + files.front().Old;
    for (const TBenchFile& file : files) {
        items.push_back(std::make_unique<TRenameItem>(seed));
        items.back()->Directory = file.Directory;
        items.back()->OldName = items.back()->NewName = file.Old;
    }
    return items;
}

void ShowModel(TListViewModel& model, const std::vector<std::unique_ptr<TRenameItem>>& items) {
    model.ReadFromView(false);
    for (const auto& item : items)
        model.Items(model.Add())->SetData(item.get());
    model.WriteToView(false);
}

// Reads the model's rows alone on this thread; prints the time and returns
// how many rows got a modified date.
int ReadAlone(TListViewModel& model, bool taken, const char* what) {
    ForgetFileInfo(model);
    std::vector<TFileInfoRequest> requests;
    std::vector<TFileInfo> answers;
    const double cpuStart = ThreadCpuMilliseconds();
    const double ms = Milliseconds([&] {
        requests = FileInfoRequests(model, taken);
        ReadFileInfo(requests, answers, [](std::size_t) { return true; });
        ApplyFileInfo(requests, answers);
    });
    const double cpu = ThreadCpuMilliseconds() - cpuStart;
    int found = 0;
    for (const TFileInfoRequest& request : requests)
        found += (taken ? request.Item->Info.Taken.has_value() : request.Item->Info.Modified != 0) ? 1 : 0;
    std::printf("%-52s %9.1f ms (processor %7.1f ms), %d of %zu found\n", what, ms, cpu, found,
                requests.size());
    return found;
}

void BenchSizesAndDates(const std::string& root) {
    std::printf("making %d files in %d directories...\n", kDirs * kFilesPerDir, kDirs);
    const std::vector<TBenchFile> files = MakeBenchFiles(root, kDirs, kFilesPerDir);
    const auto items = MakeItems(files);
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    const std::string settings = std::string(folder) + "trelvane_fileinfo_bench.ini";
    auto form = std::make_unique<TTrelMainForm>(std::vector<std::string>{}, settings);
    TListViewModel& model = form->Model();
    ShowModel(model, items);

    ReadAlone(model, false, "size and dates, 200,000 entries, alone:");
    ForgetFileInfo(model);
    const double shown = Milliseconds([&] { form->ActionList1.Action("ViewColumnModifiedAc").Choose(); });
    std::printf("%-52s %9.1f ms (goal: at most %.0f ms)\n",
                "View > Columns > Modified (worker, dialog):", shown, kReadGoalMs);
    // Newest first, so that the sort moves every row.
    model.Reverse();
    const double sortedAlone = Milliseconds([&] {
        model.SortByKey([](TListViewModel* m, int row) {
            return SortKeyByInfo(*static_cast<TRenameItem*>(m->Items(row)->GetData()), TInfoColumn::Modified);
        });
    });
    model.Reverse();
    model.WriteToView(true);
    const double sorted = Milliseconds([&] { form->ActionList1.Action("ViewSortByModifiedAc").Choose(); });
    std::printf("%-52s %9.1f ms (goal: at most %.0f ms); the model's sort alone %.1f ms\n",
                "View > Sort By > Modified, values read:", sorted, kSortGoalMs, sortedAlone);
    form.reset();
    DeleteFileA(settings.c_str());
    RemoveBenchFiles(root, files, kDirs);
}

void BenchDateTaken(const std::string& root) {
    const std::string photo = MakePhoto(kPhotoSize);
    const std::string dir = root + "\\photos";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::vector<TBenchFile> files;
    for (int i = 0; i < kPhotos; ++i) {
        files.push_back({dir, "IMG_" + std::to_string(1000 + i) + ".JPG", ""});
        WriteWholeFile(dir + "\\" + files.back().Old, photo);
    }
    const auto items = MakeItems(files);
    TListViewModel model(nullptr);
    for (const auto& item : items)
        model.Items(model.Add())->SetData(item.get());
    ReadAlone(model, true, "date taken, 1,000 JPEG files of 300 KB, alone:");
    for (const TBenchFile& file : files)
        DeleteFileA((dir + "\\" + file.Old).c_str());
    RemoveDirectoryA(dir.c_str());
}

} // namespace

int main() {
    const std::string root = MakeBenchFolder("trelvane-fileinfo-bench");
    BenchDateTaken(root);
    BenchSizesAndDates(root);
    RemoveDirectoryA(root.c_str());
    return 0;
}

// A rename of 1,000 files (10 directories of 100, kept small because Wine
// scans a directory on every lookup) through the rename command under the
// progress dialog, against TFiles::TryRename and a raw MoveFileA loop over the
// same files. Each renames every file and back.
#include "bench/BenchSupport.h"
#include "app/Trel_rename.h"
#include "app/Trel_renamecommand.h"
#include "framework/Fw_forms.h"
#include "support/Vek_command.h"
#include "support/Vek_file.h"
#include "support/Vek_listviewmodel.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kDirs = 10;
constexpr int kFilesPerDir = 100;

// Counts the percentages that reach the main thread.
class TCountingRenameCommand : public TRenameCommand {
public:
    TCountingRenameCommand(TListViewModel& model, int& reports) : TRenameCommand(model), FReports(reports) {}

protected:
    void DoProgress(TTrelProgressDialog& dialog, int percent) override {
        TRenameCommand::DoProgress(dialog, percent);
        ++FReports;
    }

private:
    int& FReports;
};

struct TFileName {
    std::string Directory;
    std::string Old;
    std::string New;
};

std::string MakeRoot() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    const std::string root =
        std::string(base) + "trelvane-rename-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root.c_str(), nullptr);
    return root;
}

std::vector<TFileName> MakeFiles(const std::string& root) {
    std::vector<TFileName> files;
    for (int d = 0; d < kDirs; ++d) {
        const std::string dir = root + "\\d" + std::to_string(d);
        CreateDirectoryA(dir.c_str(), nullptr);
        for (int f = 0; f < kFilesPerDir; ++f) {
            const std::string name = "file" + std::to_string(f) + ".txt";
            CloseHandle(CreateFileA((dir + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
            files.push_back({dir, name, "renamed" + std::to_string(f) + ".TXT"});
        }
    }
    return files;
}

void RemoveFiles(const std::string& root, const std::vector<TFileName>& files) {
    for (const TFileName& file : files) {
        DeleteFileA((file.Directory + "\\" + file.Old).c_str());
        DeleteFileA((file.Directory + "\\" + file.New).c_str());
    }
    for (int d = 0; d < kDirs; ++d)
        RemoveDirectoryA((root + "\\d" + std::to_string(d)).c_str());
    RemoveDirectoryA(root.c_str());
}

// Renames every file forth and back with the function; returns the time and
// how many renames failed.
template <class F>
double RenameAll(const std::vector<TFileName>& files, F&& rename, int& failures) {
    const auto start = TClock::now();
    for (const TFileName& file : files)
        failures += rename(file.Directory, file.Old, file.New) ? 0 : 1;
    for (const TFileName& file : files)
        failures += rename(file.Directory, file.New, file.Old) ? 0 : 1;
    return MillisecondsSince(start);
}

} // namespace

int main() {
    const std::string root = MakeRoot();
    const std::vector<TFileName> files = MakeFiles(root);
    const int count = static_cast<int>(files.size());

    int rawFailures = 0;
    const double raw = RenameAll(
        files,
        [](const std::string& dir, const std::string& from, const std::string& to) {
            return MoveFileA((dir + "\\" + from).c_str(), (dir + "\\" + to).c_str()) != FALSE;
        },
        rawFailures);
    std::printf("raw MoveFileA:         %8.1f ms for %d renames and back (%d failed)\n", raw, count,
                rawFailures);

    int tryFailures = 0;
    const double tried = RenameAll(
        files,
        [](const std::string& dir, const std::string& from, const std::string& to) {
            return TFiles().TryRename(TPath::Combine(dir, from).GetPath(), to);
        },
        tryFailures);
    std::printf("TFiles::TryRename:     %8.1f ms for %d renames and back (%d failed), %.2fx raw\n", tried,
                count, tryFailures, tried / raw);

    TListViewModel model(nullptr);
    TObjectList items;
    for (const TFileName& file : files) {
        auto* item = new TRenameItem(file.Directory + "\\" + file.Old);
        items.Add(item);
        item->NewName = file.New;
        model.Items(model.Add())->SetData(item);
    }
    TInvoker invoker;
    int reports = 0;
    invoker.PendingCommands().Add(new TCountingRenameCommand(model, reports));
    auto start = TClock::now();
    invoker.Execute();
    const double performed = MillisecondsSince(start);
    const int performReports = reports;
    start = TClock::now();
    invoker.Undo();
    const double restored = MillisecondsSince(start);
    int succeeded = 0;
    for (int i = 0; i < items.Count(); ++i)
        succeeded +=
            static_cast<TRenameItem*>(items.Items(i))->Result == TRenameItemResult::Succeeded ? 1 : 0;
    std::printf("TRenameCommand:        %8.1f ms perform (%d progress reports) + %.1f ms restore (%d "
                "reports), %d of %d restored, %.2fx raw\n",
                performed, performReports, restored, reports - performReports, succeeded, count,
                (performed + restored) / raw);
    Application->FreeForms();
    RemoveFiles(root, files);
    return 0;
}

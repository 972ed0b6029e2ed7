#include "tests/common/RenameKillSupport.h"

#include "app/rename/Trel_renamejournal.h"
#include "framework/Fw_handles.h"
#include "framework/Fw_sysutils.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

constexpr int kStartAttempts = 3;

std::string Join(const std::string& root, const std::string& relative) {
    return relative.empty() ? root : root + "\\" + relative;
}

void RemoveContents(const std::string& directory) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((directory + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = directory + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveContents(path);
            RemoveDirectoryA(path.c_str());
        } else {
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

std::string ReadWholeFile(const std::string& path) {
    TFileHandle file;
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return "<unreadable>";
    file.Attach(handle);
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(handle, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    TFileHandle file(handle);
    DWORD written = 0;
    return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

void Describe(const std::string& root, const std::string& relative, std::vector<std::string>& lines) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((Join(root, relative) + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    std::vector<std::pair<std::string, bool>> entries;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            entries.emplace_back(name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    for (const auto& [name, isDirectory] : entries) {
        const std::string path = relative.empty() ? name : relative + "\\" + name;
        if (isDirectory) {
            lines.push_back(path + "|D");
            Describe(root, path, lines);
        } else {
            lines.push_back(path + "|F|" + ReadWholeFile(Join(root, path)));
        }
    }
}

std::string QuoteArgument(const std::string& argument) {
    return "\"" + argument + "\"";
}

// Reads the child's log: how many runs started, and whether the last ended.
void ReadLog(const std::string& path, TKillRound& round) {
    const std::string log = ReadWholeFile(path);
    size_t position = 0;
    while (position < log.size()) {
        size_t end = log.find('\n', position);
        if (end == std::string::npos)
            end = log.size();
        const std::string line = log.substr(position, end - position);
        if (line.rfind("start ", 0) == 0) {
            ++round.RunsStarted;
            round.LastRunEnded = false;
        } else if (line.rfind("end ", 0) == 0) {
            round.LastRunEnded = true;
        } else if (!line.empty()) {
            round.Failure = "the child wrote: " + line;
        }
        position = end + 1;
    }
}

// Counts what the expected tree has and the actual one lacks; names the
// first differences.
int CompareTrees(const std::vector<std::string>& expected, const std::vector<std::string>& actual,
                 std::string& differences) {
    std::vector<std::string> missing;
    std::vector<std::string> extra;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    differences.clear();
    for (size_t i = 0; i < missing.size() && i < 5; ++i)
        differences += " missing " + missing[i] + ";";
    for (size_t i = 0; i < extra.size() && i < 5; ++i)
        differences += " unexpected " + extra[i] + ";";
    return static_cast<int>(missing.size() + extra.size() > 0 ? std::max(missing.size(), extra.size()) : 0);
}

// Five files from k on that only a safe order renames: a swap and a cycle of
// three, or a chain listed the wrong way round, a change of letter case and a
// plain rename.
void AddPlannedRows(TKillPlan& plan, const std::string& dir, int k) {
    auto file = [&](int i) { return dir + "\\f" + std::to_string(i) + ".txt"; };
    auto name = [](int i) { return "f" + std::to_string(i) + ".txt"; };
    const bool cycles = (k / 5) % 2 == 0;
    plan.Rows.insert(plan.Rows.end(), {{file(k), name(k + 1)},
                                       {file(k + 1), cycles ? name(k) : name(k + 2)},
                                       {file(k + 2), cycles ? name(k + 3) : "n" + std::to_string(k + 2) + ".txt"},
                                       {file(k + 3), cycles ? name(k + 4) : "F" + std::to_string(k + 3) + ".TXT"},
                                       {file(k + 4), cycles ? name(k + 2) : "r" + std::to_string(k + 4) + ".dat"}});
}

} // namespace

TKillPlan MakeKillPlan(int directories, int filesPerDirectory, bool planned) {
    TKillPlan plan;
    for (int d = 0; d < directories; ++d) {
        const std::string dir = "d" + std::to_string(d);
        plan.Directories.push_back(dir);
        auto file = [&](int k) { return dir + "\\f" + std::to_string(k) + ".txt"; };
        for (int k = 0; k < filesPerDirectory; ++k)
            plan.Files.emplace_back(file(k), dir + "/f" + std::to_string(k));
        for (int k = 0; k + 4 < filesPerDirectory; k += 5) {
            if (planned) {
                AddPlannedRows(plan, dir, k);
                continue;
            }
            const std::string n = std::to_string(k);
            plan.Rows.push_back({file(k), "F" + std::to_string(k) + ".TXT"});
            // A chain, listed so that each name is free when its turn comes.
            plan.Rows.push_back({file(k + 3), "n" + std::to_string(k + 3) + ".txt"});
            plan.Rows.push_back({file(k + 2), "f" + std::to_string(k + 3) + ".txt"});
            plan.Rows.push_back({file(k + 1), "f" + std::to_string(k + 2) + ".txt"});
            const bool unchanged = (k / 5) % 2 == 1;
            plan.Rows.push_back({file(k + 4), unchanged ? "f" + std::to_string(k + 4) + ".txt"
                                                        : "r" + std::to_string(k + 4) + ".dat"});
        }
        if (!planned && d % 2 == 0)
            plan.Rows.push_back({dir, "e" + std::to_string(d)});
    }
    // Directories swapped in pairs, after everything inside them.
    for (int d = 0; planned && d + 1 < directories; d += 2) {
        plan.Rows.push_back({"d" + std::to_string(d), "d" + std::to_string(d + 1)});
        plan.Rows.push_back({"d" + std::to_string(d + 1), "d" + std::to_string(d)});
    }
    return plan;
}

void CreateOriginalTree(const std::string& root, const TKillPlan& plan) {
    CreateDirectoryA(root.c_str(), nullptr);
    RemoveContents(root);
    for (const std::string& dir : plan.Directories)
        CreateDirectoryA(Join(root, dir).c_str(), nullptr);
    for (const auto& [path, contents] : plan.Files)
        WriteWholeFile(Join(root, path), contents);
}

std::vector<std::string> DescribeTree(const std::string& root) {
    std::vector<std::string> lines;
    Describe(root, "", lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> ExpectedTree(const TKillPlan& plan, bool renamed) {
    // Every row renames an entry of the original tree: each component of a
    // path takes its new name, if its row has one.
    std::map<std::string, std::string> newNames;
    for (const TKillRow& row : plan.Rows)
        if (renamed)
            newNames[row.Path] = row.NewName;
    auto renamedPath = [&](const std::string& path) {
        std::string result;
        for (size_t end = 0; end != std::string::npos;) {
            const size_t start = end == 0 ? 0 : end + 1;
            end = path.find('\\', start);
            const std::string original = path.substr(0, end);
            const auto found = newNames.find(original);
            result += (result.empty() ? "" : "\\") +
                      (found != newNames.end() ? found->second : original.substr(start));
        }
        return result;
    };
    std::vector<std::string> lines;
    for (const std::string& dir : plan.Directories)
        lines.push_back(renamedPath(dir) + "|D");
    for (const auto& [path, contents] : plan.Files)
        lines.push_back(renamedPath(path) + "|F|" + contents);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string FormatKillChildArguments(const TKillChildArguments& arguments) {
    return QuoteArgument(arguments.Root) + " " + QuoteArgument(arguments.JournalFolder) + " " +
           QuoteArgument(arguments.ReadyEvent) + " " + QuoteArgument(arguments.Log) + " " +
           std::to_string(arguments.Directories) + " " + std::to_string(arguments.FilesPerDirectory) +
           (arguments.Planned ? " planned" : " listed");
}

bool ParseKillChildArguments(int argc, char** argv, TKillChildArguments& arguments) {
    if (argc != 8)
        return false;
    arguments.Root = argv[1];
    arguments.JournalFolder = argv[2];
    arguments.ReadyEvent = argv[3];
    arguments.Log = argv[4];
    arguments.Directories = std::atoi(argv[5]);
    arguments.FilesPerDirectory = std::atoi(argv[6]);
    arguments.Planned = std::string(argv[7]) == "planned";
    return arguments.Directories > 0 && arguments.FilesPerDirectory > 0;
}

TKillRound KillAndRecover(const TKillSetup& setup, std::mt19937& random) {
    static int round = 0;
    TKillRound result;
    const TKillPlan plan = MakeKillPlan(setup.Directories, setup.FilesPerDirectory, setup.Planned);
    result.Files = static_cast<int>(plan.Files.size());
    CreateOriginalTree(setup.Root, plan);
    CreateDirectoryA(setup.JournalFolder.c_str(), nullptr);
    RemoveContents(setup.JournalFolder);
    DeleteFileA(setup.Log.c_str());

    TKillChildArguments arguments;
    arguments.Root = setup.Root;
    arguments.JournalFolder = setup.JournalFolder;
    arguments.ReadyEvent = Format("TrelvaneKillReady-%lu-%d", GetCurrentProcessId(), ++round);
    arguments.Log = setup.Log;
    arguments.Directories = setup.Directories;
    arguments.FilesPerDirectory = setup.FilesPerDirectory;
    arguments.Planned = setup.Planned;
    TKernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, arguments.ReadyEvent.c_str()));
    std::string commandLine = QuoteArgument(setup.ChildPath) + " " + FormatKillChildArguments(arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // Under load Wine now and then fails to start a program; that is not
    // what this checks, so it tries again a few times.
    bool started = false;
    DWORD error = 0;
    for (int attempt = 0; attempt < kStartAttempts && ready && !started; ++attempt) {
        started = CreateProcessA(setup.ChildPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process) != FALSE;
        error = started ? 0 : GetLastError();
    }
    if (!started) {
        result.Failure = Format("the child could not be started (error %lu): %s", error, setup.ChildPath.c_str());
        return result;
    }
    TKernelHandle child(process.hProcess);
    TKernelHandle thread(process.hThread);
    const HANDLE waits[] = {ready.Get(), child.Get()};
    // Starting a program under Wine takes a while; a minute means it hangs.
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 60000);
    if (woke != WAIT_OBJECT_0) {
        TerminateProcess(child.Get(), 1);
        WaitForSingleObject(child.Get(), 30000);
        result.Failure = woke == WAIT_OBJECT_0 + 1 ? "the child ended before its first run" : "the child hung";
        ReadLog(setup.Log, result);
        return result;
    }
    const DWORD delay = std::uniform_int_distribution<DWORD>(0, static_cast<DWORD>(setup.MaxDelayMilliseconds))(random);
    if (WaitForSingleObject(child.Get(), delay) == WAIT_OBJECT_0) {
        result.Failure = "the child ended by itself";
        ReadLog(setup.Log, result);
        return result;
    }
    TerminateProcess(child.Get(), 9);
    WaitForSingleObject(child.Get(), 30000);
    ReadLog(setup.Log, result);
    if (!result.Failure.empty())
        return result;

    // The state before the last run: the original names before a perform or
    // a repetition (runs 0, 2, 4, ...), the renamed ones before a restore.
    const int last = result.RunsStarted - 1;
    const bool renamedBefore = last % 2 == 1;
    std::vector<std::vector<std::string>> allowed;
    const std::vector<std::string> journals = FindJournalFiles({setup.JournalFolder});
    if (journals.size() > 1) {
        result.Failure = "more than one journal";
        return result;
    }
    if (journals.size() == 1) {
        result.JournalFound = true;
        try {
            TInterruptedRun run(journals.front());
            const TTakeBack takeBack = run.TakeBack();
            result.TakenBack = takeBack.Succeeded;
            if (takeBack.Failed > 0)
                result.Failure = Format("%d renames could not be taken back", takeBack.Failed);
        } catch (const EJournalDamaged&) {
            // Cut off while it was written, before the first rename.
            result.JournalDamaged = true;
            DeleteFileA(journals.front().c_str());
        } catch (const Exception& e) {
            result.Failure = "the recovery failed: " + e.Message();
        }
        allowed.push_back(ExpectedTree(plan, renamedBefore));
    } else {
        // No journal: the run had not written it yet, or had removed it.
        if (!result.LastRunEnded)
            allowed.push_back(ExpectedTree(plan, renamedBefore));
        allowed.push_back(ExpectedTree(plan, !renamedBefore));
    }
    if (!FindJournalFiles({setup.JournalFolder}).empty() && result.Failure.empty())
        result.Failure = "the journal is still there after the recovery";

    const std::vector<std::string> actual = DescribeTree(setup.Root);
    std::string best;
    int fewest = -1;
    for (const std::vector<std::string>& expected : allowed) {
        std::string differences;
        const int lost = CompareTrees(expected, actual, differences);
        if (fewest < 0 || lost < fewest) {
            fewest = lost;
            best = differences;
        }
    }
    result.Lost = fewest;
    if (fewest > 0 && result.Failure.empty())
        result.Failure = Format("run %d (%s), journal %s:%s", last,
                                last == 0 ? "perform" : renamedBefore ? "restore" : "repeat",
                                result.JournalFound ? "found" : "none", best.c_str());
    return result;
}

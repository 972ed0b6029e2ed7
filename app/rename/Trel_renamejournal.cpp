#include "app/rename/Trel_renamejournal.h"

#include "app/rename/Trel_disknames.h"
#include "app/rename/Trel_renameplan.h"
#include "framework/Fw_fileapi.h"
#include "support/Vek_file.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

const char* const kMagic = "Trelvane rename journal";
const char* const kVersion = "1";
// Journal files are "Rename-<process>-<number>.journal".
const char* const kFilePrefix = "rename-";
const char* const kFileSuffix = ".journal";
const char* const kBegun = "Begun: ";
const char* const kNewline = "\r\n";

// Marks are trusted when the system's start time computed now and at the run
// agree this closely: the two clocks behind it drift apart by less, and a new
// boot moves it by at least the time the system was up before.
constexpr std::uint64_t kBootTolerance = 10ull * 10'000'000ull; // 10 s in 100 ns units

// Tries for a journal name that is not taken yet.
constexpr int kNameAttempts = 100;

// ---------------------------------------------------------------- text

std::uint64_t Fnv1a(const char* data, size_t size) {
    std::uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

// "%" and control characters as %XX: a name may hold any byte, and a line
// break or a tab in it must not end its field.
void AppendEscaped(std::string& out, const std::string& text) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || b == '%') {
            AppendPercentEscape(out, b);
        } else {
            out += c;
        }
    }
}

bool Unescape(const char* begin, const char* end, std::string& out) {
    out.clear();
    out.reserve(static_cast<size_t>(end - begin));
    for (const char* p = begin; p < end; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        if (end - p < 3)
            return false;
        const int high = HexDigitValue(p[1]);
        const int low = HexDigitValue(p[2]);
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
        p += 2;
    }
    return true;
}

// Sixteen lower-case hexadecimal digits.
std::string HexText(std::uint64_t value) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        text[static_cast<size_t>(i)] = kDigits[value & 0xF];
    return text;
}

[[noreturn]] void Damaged(const std::string& what) {
    throw EJournalDamaged(what);
}

// Reads the journal's lines one by one.
class TLineReader {
public:
    explicit TLineReader(const std::string& text) : FText(text) {}

    // The next line without its line break; a line without one is the cut-off
    // end of an incomplete journal.
    void Next(const char*& begin, const char*& end) {
        const size_t lineEnd = FText.find(kNewline, FPosition);
        if (lineEnd == std::string::npos)
            Damaged("it is incomplete");
        begin = FText.data() + FPosition;
        end = FText.data() + lineEnd;
        FPosition = lineEnd + 2;
        ++FLine;
    }
    std::string NextLine() {
        const char* begin;
        const char* end;
        Next(begin, end);
        return std::string(begin, end);
    }
    // The value of a header line "<key>: <value>".
    std::string Value(const std::string& key) {
        const std::string line = NextLine();
        const std::string prefix = key + ": ";
        if (line.compare(0, prefix.size(), prefix) != 0)
            Damaged(Format("line %d is not its \"%s\" line", FLine, key.c_str()));
        return line.substr(prefix.size());
    }
    std::uint64_t Number(const std::string& key) {
        const std::string value = Value(key);
        if (value.empty() || value.size() > 20 || value.find_first_not_of("0123456789") != std::string::npos)
            Damaged(Format("its \"%s\" line holds no number", key.c_str()));
        return std::strtoull(value.c_str(), nullptr, 10);
    }
    size_t Position() const { return FPosition; }
    int Line() const { return FLine; }

private:
    const std::string& FText;
    size_t FPosition = 0;
    int FLine = 0;
};

std::string LocalTimeText() {
    SYSTEMTIME time;
    GetLocalTime(&time);
    return Format("%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
                  time.wSecond);
}

// ---------------------------------------------------------------- files

bool WriteAll(HANDLE file, const std::string& text) {
    size_t written = 0;
    while (written < text.size()) {
        // WriteFile takes at most 4 GB at a time; a journal stays far below.
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - written, 1u << 30));
        DWORD done = 0;
        if (!WriteFile(file, text.data() + written, chunk, &done, nullptr) || done == 0)
            return false;
        written += done;
    }
    return true;
}

bool ReadAll(HANDLE file, std::string& text) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 || size.QuadPart > (1ll << 31))
        return false;
    return FileApi::ReadOpenFile(file, static_cast<size_t>(size.QuadPart), text);
}

// Removes a file that the handle holds open: marked for deletion while still
// open, so that no other program can open it in between, then closed. Where
// the system cannot mark it, it is closed and then deleted.
bool RemoveOpenFile(TFileHandle& file, const std::string& path) {
    if (file) {
        FILE_DISPOSITION_INFO disposition{TRUE};
        const bool marked =
            SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
        file.Reset();
        if (marked)
            return true;
    }
    return FileApi::DeleteEntry(path) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::string WithTrailingSeparator(const std::string& folder) {
    TPath path(folder);
    path.IncludeTrailing('\\');
    return path.GetPath();
}

// ---------------------------------------------------------------- the disk as the steps see it

// One directory (or entry) of the simulated disk: the disk as it will be once
// the later done steps are taken back.
struct TSimDir {
    TSimDir* Parent = nullptr;
    // The name the entry carries on disk now (or the root's path).
    std::string RealName;
    bool Listed = false;
    // The listing failed.
    bool Unreachable = false;
    // What the directory holds, by name key: the spellings present.
    std::unordered_map<std::string, std::vector<std::string>> Names;
    // Temporary names of cut-off renames present and not yet claimed by a step.
    std::vector<std::string> Temporaries;
    std::unordered_map<std::string, std::unique_ptr<TSimDir>> Children;
};

bool Contains(const std::vector<std::string>& spellings, const std::string& name) {
    return std::find(spellings.begin(), spellings.end(), name) != spellings.end();
}

class TSimulatedDisk {
public:
    // The node of a directory path, created as needed.
    TSimDir* Directory(const std::string& path) {
        if (FCachedNode && FCachedGeneration == FGeneration && path == FCachedPath)
            return FCachedNode;
        TStringList components;
        TPath(path).GetComponents(components);
        TSimDir* node = nullptr;
        for (int i = 0; i < components.Count(); ++i) {
            const std::string component = components.Strings(i);
            auto& slots = node ? node->Children : FRoots;
            auto& slot = slots[FileNameKey(component)];
            if (!slot) {
                slot = std::make_unique<TSimDir>();
                slot->Parent = node;
                slot->RealName = component;
            }
            node = slot.get();
        }
        if (!node) {
            // An empty path: the current directory, as the system reads it.
            auto& slot = FRoots[std::string()];
            if (!slot) {
                slot = std::make_unique<TSimDir>();
                slot->RealName = ".";
            }
            node = slot.get();
        }
        FCachedPath = path;
        FCachedNode = node;
        FCachedGeneration = FGeneration;
        return node;
    }

    void EnsureListed(TSimDir& dir) {
        if (dir.Listed)
            return;
        dir.Listed = true;
        std::vector<std::string> names;
        dir.Unreachable = !ListDirectoryNames(RealPath(dir), names);
        for (const std::string& name : names) {
            dir.Names[FileNameKey(name)].push_back(name);
            if (IsRenameTemporaryName(name))
                dir.Temporaries.push_back(name);
        }
    }

    // Takes a done step back in the simulation: the entry called current in
    // dir is called from again, and whatever lay below it moves with it.
    void Undo(TSimDir& dir, const std::string& current, const std::string& from) {
        const std::string currentKey = FileNameKey(current);
        const std::string fromKey = FileNameKey(from);
        auto spellings = dir.Names.find(currentKey);
        if (spellings != dir.Names.end()) {
            auto& names = spellings->second;
            const auto spelling = std::find(names.begin(), names.end(), current);
            if (spelling != names.end())
                names.erase(spelling);
            if (names.empty())
                dir.Names.erase(spellings);
        }
        dir.Names[fromKey].push_back(from);

        std::unique_ptr<TSimDir> node;
        const auto existing = dir.Children.find(currentKey);
        if (existing != dir.Children.end()) {
            node = std::move(existing->second);
            dir.Children.erase(existing);
            ++FGeneration;
        } else {
            node = std::make_unique<TSimDir>();
            node->RealName = current;
        }
        node->Parent = &dir;
        if (currentKey != fromKey) {
            // Nothing is left where the entry was.
            auto vacated = std::make_unique<TSimDir>();
            vacated->Parent = &dir;
            vacated->RealName = current;
            vacated->Listed = true;
            dir.Children[currentKey] = std::move(vacated);
        }
        auto& slot = dir.Children[fromKey];
        if (slot)
            ++FGeneration;
        slot = std::move(node);
    }

private:
    static std::string RealPath(const TSimDir& dir) {
        if (!dir.Parent)
            return dir.RealName;
        TPath path(RealPath(*dir.Parent));
        if (!path.GetPath().empty())
            path.IncludeTrailing('\\');
        return path.GetPath() + dir.RealName;
    }

    std::unordered_map<std::string, std::unique_ptr<TSimDir>> FRoots;
    // Moves of existing nodes change what a path leads to: they end the cache.
    std::uint64_t FGeneration = 0;
    std::string FCachedPath;
    TSimDir* FCachedNode = nullptr;
    std::uint64_t FCachedGeneration = 0;
};

TStepState Judge(TSimDir& dir, const TJournalStep& step, bool trustMarks) {
    const std::string fromKey = FileNameKey(step.From);
    const std::string toKey = FileNameKey(step.To);
    static const std::vector<std::string> kNone;
    const auto fromFound = dir.Names.find(fromKey);
    const auto toFound = dir.Names.find(toKey);
    // The last move of a cycle of names, with its temporary name gone: the
    // cycle never began or ran to its end, and its names cannot tell which.
    // Only marks tell that it began; without them it is left as it is.
    if (!trustMarks && IsCycleTemporaryName(step.From) && fromFound == dir.Names.end())
        return {TStepFinding::NotDone, std::string()};
    const std::vector<std::string>& fromNames = fromFound != dir.Names.end() ? fromFound->second : kNone;
    const std::vector<std::string>& toNames = toFound != dir.Names.end() ? toFound->second : kNone;
    if (fromKey == toKey) {
        // One name for the system, spelled otherwise: the spelling decides.
        if (Contains(toNames, step.To) && !Contains(fromNames, step.From))
            return {TStepFinding::Done, step.To};
        if (Contains(fromNames, step.From))
            return {TStepFinding::NotDone, std::string()};
        if (!fromNames.empty())
            return {TStepFinding::NotFound, std::string()};
    } else {
        if (!fromNames.empty())
            return {TStepFinding::NotDone, std::string()};
        if (!toNames.empty())
            return {TStepFinding::Done, Contains(toNames, step.To) ? step.To : toNames.front()};
    }
    // Neither name: the entry may sit under the temporary name of a rename
    // that was cut off between its two moves.
    if (dir.Temporaries.size() == 1) {
        TStepState state{TStepFinding::Done, dir.Temporaries.front()};
        dir.Temporaries.clear();
        return state;
    }
    return {TStepFinding::NotFound, std::string()};
}

} // namespace

// ---------------------------------------------------------------- format

const char* JournalRunName(TJournalRun run) {
    switch (run) {
    case TJournalRun::Perform:
        return "Perform";
    case TJournalRun::Restore:
        return "Restore";
    case TJournalRun::Repeat:
        return "Repeat";
    }
    return "Perform";
}

std::string FormatJournal(const TJournal& journal) {
    std::string text;
    size_t size = 256;
    for (const TJournalStep& step : journal.Steps)
        size += step.From.size() + step.To.size() + 6;
    text.reserve(size);
    text += Format("%s %s%s", kMagic, kVersion, kNewline);
    text += Format("Run: %s%s", JournalRunName(journal.Run), kNewline);
    text += "Started: " + journal.Started + kNewline;
    text += Format("Code page: %u%s", journal.CodePage, kNewline);
    text += "Boot: " + std::to_string(journal.BootTime) + kNewline;
    text += "Steps: " + std::to_string(journal.Steps.size()) + kNewline;
    const std::string* directory = nullptr;
    for (const TJournalStep& step : journal.Steps) {
        if (!directory || *directory != step.Directory) {
            directory = &step.Directory;
            text += "D ";
            AppendEscaped(text, step.Directory);
            text += kNewline;
        }
        text += "R ";
        AppendEscaped(text, step.From);
        text += '\t';
        AppendEscaped(text, step.To);
        text += kNewline;
    }
    text += "End " + HexText(Fnv1a(text.data(), text.size())) + kNewline;
    text += kBegun;
    text.append(static_cast<size_t>(std::max(journal.Begun, 0)), '.');
    return text;
}

namespace {

// The run of the name on the "Run" line.
TJournalRun RunOfName(const std::string& name) {
    for (const TJournalRun run : {TJournalRun::Perform, TJournalRun::Restore, TJournalRun::Repeat})
        if (name == JournalRunName(run))
            return run;
    Damaged("its \"Run\" line names no run");
}

// The header lines into the journal; returns the number of steps that they
// announce, which cannot exceed the text's size.
std::uint64_t ReadHeader(TLineReader& reader, size_t textSize, TJournal& journal) {
    const std::string first = reader.NextLine();
    const std::string magic = std::string(kMagic) + " ";
    if (first.compare(0, magic.size(), magic) != 0)
        Damaged("it is not a rename journal of this program");
    if (first.substr(magic.size()) != kVersion)
        Damaged("it was written by another version of the program");
    journal.Run = RunOfName(reader.Value("Run"));
    journal.Started = reader.Value("Started");
    journal.CodePage = static_cast<unsigned>(reader.Number("Code page"));
    journal.BootTime = reader.Number("Boot");
    const std::uint64_t count = reader.Number("Steps");
    if (count > textSize)
        Damaged("its \"Steps\" line is wrong");
    return count;
}

// The directory and rename lines up to the end line, whose checksum covers
// all the text before it.
void ReadSteps(TLineReader& reader, const std::string& text, std::vector<TJournalStep>& steps) {
    std::string directory;
    bool haveDirectory = false;
    for (;;) {
        const size_t lineStart = reader.Position();
        const char* begin;
        const char* end;
        reader.Next(begin, end);
        const std::string_view line(begin, static_cast<size_t>(end - begin));
        if (line.substr(0, 4) == "End ") {
            const std::string sum(line.substr(4));
            if (sum != HexText(Fnv1a(text.data(), lineStart)))
                Damaged("its checksum does not match its contents");
            return;
        }
        if (line.substr(0, 2) == "D ") {
            if (!Unescape(begin + 2, end, directory))
                Damaged(Format("line %d is not understood", reader.Line()));
            haveDirectory = true;
            continue;
        }
        const size_t tab = line.find('\t');
        TJournalStep step;
        if (line.substr(0, 2) != "R " || !haveDirectory || tab == std::string_view::npos ||
            !Unescape(begin + 2, begin + tab, step.From) || !Unescape(begin + tab + 1, end, step.To))
            Damaged(Format("line %d is not understood", reader.Line()));
        step.Directory = directory;
        steps.push_back(std::move(step));
    }
}

// The number of steps begun, from the marks line after the end line.
int BegunSteps(std::string_view rest, size_t steps) {
    const std::string_view begun(kBegun);
    if (rest.substr(0, begun.size()) != begun)
        Damaged("it is incomplete");
    // A mark is written before its step: one cut off is a step that never
    // began, and so is anything after the marks.
    const size_t marks = rest.find_first_not_of('.', begun.size());
    return static_cast<int>(
        std::min<size_t>((marks == std::string_view::npos ? rest.size() : marks) - begun.size(), steps));
}

} // namespace

TJournal ParseJournal(const std::string& text) {
    TJournal journal;
    TLineReader reader(text);
    const std::uint64_t count = ReadHeader(reader, text.size(), journal);
    journal.Steps.reserve(static_cast<size_t>(count));
    ReadSteps(reader, text, journal.Steps);
    if (journal.Steps.size() != count)
        Damaged("it announces " + std::to_string(count) + " renames and holds " +
                std::to_string(journal.Steps.size()));
    const std::string_view rest(text.data() + reader.Position(), text.size() - reader.Position());
    journal.Begun = BegunSteps(rest, journal.Steps.size());
    return journal;
}

std::uint64_t CurrentBootTime() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t time = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return time - GetTickCount64() * 10'000ull;
}

bool SameBoot(std::uint64_t bootTime) {
    const std::uint64_t now = CurrentBootTime();
    return (now > bootTime ? now - bootTime : bootTime - now) <= kBootTolerance;
}

// ---------------------------------------------------------------- places

std::vector<std::string> DefaultJournalFolders() {
    std::vector<std::string> folders;
    std::string local;
    if (FileApi::LocalAppDataFolder(local) && !local.empty()) {
        TPath folder(local);
        folder.Append("Trelvane");
        folders.push_back(WithTrailingSeparator(folder.GetPath()));
    }
    return folders;
}

std::vector<std::string> EarlierJournalFolders() {
    return {ProgramDirectory()};
}

std::vector<std::string> FindJournalFiles(const std::vector<std::string>& folders) {
    std::vector<std::string> paths;
    std::unordered_set<std::string> seen;
    for (const std::string& folder : folders) {
        const std::string directory = WithTrailingSeparator(folder);
        if (!seen.insert(PathKey(directory)).second)
            continue;
        std::vector<std::string> names;
        ListDirectoryNames(directory, names);
        std::vector<std::string> journals;
        const std::string prefix = kFilePrefix;
        const std::string suffix = kFileSuffix;
        for (const std::string& name : names) {
            const std::string lower = LowerFileName(name);
            if (lower.size() > prefix.size() + suffix.size() && lower.compare(0, prefix.size(), prefix) == 0 &&
                lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0)
                journals.push_back(directory + name);
        }
        std::sort(journals.begin(), journals.end());
        paths.insert(paths.end(), journals.begin(), journals.end());
    }
    return paths;
}

// ---------------------------------------------------------------- TRenameJournal

TRenameJournal::TRenameJournal(const std::vector<std::string>& folders, TJournalRun run,
                               const std::vector<TJournalStep>& steps) {
    TJournal journal;
    journal.Run = run;
    journal.Started = LocalTimeText();
    journal.CodePage = GetACP();
    journal.BootTime = CurrentBootTime();
    journal.Steps = steps;
    const std::string text = FormatJournal(journal);
    std::string tried;
    DWORD number = GetTickCount();
    for (const std::string& folder : folders) {
        const std::string directory = WithTrailingSeparator(folder);
        // The per-user folder may not exist yet.
        FileApi::MakeDirectory(directory);
        tried += (tried.empty() ? "\"" : "\" or in \"") + directory;
        for (int attempt = 0; attempt < kNameAttempts; ++attempt, ++number) {
            const std::string path =
                directory + Format("Rename-%08lX-%08lX.journal", static_cast<unsigned long>(GetCurrentProcessId()),
                                   static_cast<unsigned long>(number));
            // Unshared: no other program writes it, and another copy of this
            // one sees that the run is going on.
            const HANDLE file = FileApi::OpenFileHandle(path, GENERIC_WRITE | DELETE, 0, CREATE_NEW);
            if (file == INVALID_HANDLE_VALUE) {
                const DWORD error = GetLastError();
                if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                    continue;
                break;
            }
            TFileHandle owned(file);
            if (WriteAll(file, text) && FlushFileBuffers(file)) {
                FPath = path;
                FFile = std::move(owned);
                return;
            }
            // A full or failing disk: try the next folder.
            RemoveOpenFile(owned, path);
            break;
        }
    }
    throw ERenameNotStarted(Format("The rename did not start: the program could not write its rename journal in "
                                   "%s\". Nothing was renamed.",
                                   tried.empty() ? "\"(no folder)" : tried.c_str()));
}

TRenameJournal::~TRenameJournal() {
    if (FFile)
        TryRemove();
}

void TRenameJournal::StepBegins() {
    DWORD written = 0;
    if (!WriteFile(FFile.Get(), ".", 1, &written, nullptr) || written != 1)
        throw ERenameJournalError(
            Format("The program could not write to the rename journal \"%s\", so the rename stopped.",
                   FPath.c_str()));
}

void TRenameJournal::Close() {
    if (!TryRemove())
        throw ERenameJournalError(Format("The rename ended, but the program could not remove its journal \"%s\": "
                                         "the next start will ask about the run.",
                                         FPath.c_str()));
}

bool TRenameJournal::TryRemove() {
    return RemoveOpenFile(FFile, FPath);
}

// ---------------------------------------------------------------- recovery

std::vector<TStepState> FindDoneSteps(const TJournal& journal, bool trustMarks) {
    std::vector<TStepState> states(journal.Steps.size());
    TSimulatedDisk disk;
    for (size_t i = journal.Steps.size(); i-- > 0;) {
        const TJournalStep& step = journal.Steps[i];
        TStepState& state = states[i];
        if (step.From == step.To) {
            state.Finding = TStepFinding::Skipped;
            continue;
        }
        if (trustMarks && static_cast<int>(i) >= journal.Begun) {
            state.Finding = TStepFinding::NotBegun;
            continue;
        }
        TSimDir& dir = *disk.Directory(step.Directory);
        disk.EnsureListed(dir);
        state = Judge(dir, step, trustMarks);
        state.Unreachable = dir.Unreachable;
        if (state.Finding == TStepFinding::Done)
            disk.Undo(dir, state.CurrentName, step.From);
    }
    return states;
}

TTakeBack TakeBackSteps(const TJournal& journal, const std::vector<TStepState>& states) {
    TTakeBack takeBack;
    takeBack.Results.assign(journal.Steps.size(), TRenameItemResult::None);
    for (size_t i = std::min(journal.Steps.size(), states.size()); i-- > 0;) {
        const TJournalStep& step = journal.Steps[i];
        TRenameItemResult& result = takeBack.Results[i];
        switch (states[i].Finding) {
        case TStepFinding::Skipped:
            result = TRenameItemResult::Skipped;
            break;
        case TStepFinding::Done:
            if (TFiles().TryRename(TPath::Combine(step.Directory, states[i].CurrentName).GetPath(), step.From)) {
                result = TRenameItemResult::Succeeded;
                ++takeBack.Succeeded;
            } else {
                result = TRenameItemResult::Failed;
                ++takeBack.Failed;
            }
            break;
        default:
            break;
        }
    }
    return takeBack;
}

namespace {

// A journal of a run under a legacy code page, read where UTF-8 is the ANSI
// code page (a newer system, or this program after an update that made UTF-8
// its code page): no start under the old code page is possible any more, and
// every character of it has a UTF-8 form, so its names are converted. False,
// and the journal unchanged, when UTF-8 is not the code page or a name does
// not convert exactly.
bool ConvertToUtf8(TJournal& journal) {
    if (!IsUtf8CodePage())
        return false;
    const auto convert = [&](const std::string& text, std::string& converted) {
        std::wstring wide;
        return TryAnsiToWide(text, wide, journal.CodePage) && TryWideToAnsi(wide, converted);
    };
    std::vector<TJournalStep> steps(journal.Steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const TJournalStep& step = journal.Steps[i];
        if (!convert(step.Directory, steps[i].Directory) || !convert(step.From, steps[i].From) ||
            !convert(step.To, steps[i].To))
            return false;
    }
    journal.Steps = std::move(steps);
    journal.CodePage = GetACP();
    return true;
}

} // namespace

TInterruptedRun::TInterruptedRun(const std::string& path) : FPath(path) {
    // Unshared for as long as the recovery lasts, as the run held it.
    const HANDLE file = FileApi::OpenFileHandle(path, GENERIC_READ | DELETE, 0, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_SHARING_VIOLATION)
            throw EJournalInUse(Format("The rename journal \"%s\" belongs to a run that is going on.", path.c_str()));
        throw ERenameJournalError(Format("The program could not open the rename journal \"%s\".", path.c_str()));
    }
    FFile.Attach(file);
    std::string text;
    if (!ReadAll(file, text))
        throw ERenameJournalError(Format("The program could not read the rename journal \"%s\".", path.c_str()));
    try {
        FJournal = ParseJournal(text);
    } catch (const EJournalDamaged& e) {
        throw EJournalDamaged(Format("The rename journal \"%s\" cannot be used: %s. The program cannot tell what "
                                     "its run did, so nothing was renamed.",
                                     path.c_str(), e.Message().c_str()));
    }
    if (FJournal.CodePage != GetACP() && !ConvertToUtf8(FJournal))
        throw ERenameJournalError(Format("The rename journal \"%s\" was written under the code page %u and the "
                                         "program now runs under %u: start it under code page %u to take the run "
                                         "back. Nothing was renamed; the journal is kept.",
                                         path.c_str(), FJournal.CodePage, GetACP(), FJournal.CodePage));
    FStates = FindDoneSteps(FJournal, SameBoot(FJournal.BootTime));
}

int TInterruptedRun::Renames() const {
    return static_cast<int>(FStates.size()) - Count(TStepFinding::Skipped);
}

int TInterruptedRun::Count(TStepFinding finding) const {
    return static_cast<int>(std::count_if(FStates.begin(), FStates.end(),
                                          [finding](const TStepState& state) { return state.Finding == finding; }));
}

namespace {

// The directories of the steps that the test picks, each once (as the file
// system tells paths apart), in the order of the steps.
template <class Picked>
std::vector<std::string> DistinctFolders(const TJournal& journal, const std::vector<TStepState>& states,
                                         Picked picked) {
    std::vector<std::string> folders;
    std::unordered_set<std::string> seen;
    const std::string* last = nullptr;
    for (size_t i = 0; i < states.size(); ++i) {
        const std::string& directory = journal.Steps[i].Directory;
        if (!picked(states[i]) || (last && *last == directory))
            continue;
        last = &directory;
        if (seen.insert(PathKey(directory)).second)
            folders.push_back(directory);
    }
    return folders;
}

} // namespace

std::vector<std::string> TInterruptedRun::Folders() const {
    return DistinctFolders(FJournal, FStates,
                           [](const TStepState& state) { return state.Finding != TStepFinding::Skipped; });
}

std::vector<std::string> TInterruptedRun::UnreachableFolders() const {
    return DistinctFolders(FJournal, FStates, [](const TStepState& state) { return state.Unreachable; });
}

TTakeBack TInterruptedRun::TakeBack() {
    TTakeBack takeBack = TakeBackSteps(FJournal, FStates);
    // A journal that stays by mistake finds nothing done at the next start,
    // which then removes it without a question. One with folders out of
    // reach stays for a start that reaches them.
    if (takeBack.Failed == 0 && UnreachableFolders().empty())
        RemoveOpenFile(FFile, FPath);
    return takeBack;
}

void TInterruptedRun::Discard() {
    if (!RemoveOpenFile(FFile, FPath))
        throw ERenameJournalError(Format("The program could not remove the rename journal \"%s\".", FPath.c_str()));
}

std::string SetJournalAside(const std::string& path) {
    const std::string aside = path + ".damaged";
    return FileApi::MoveEntry(path, aside) ? aside : std::string();
}

#include "app/names/Trel_fileinfo.h"

#include "support/Vek_exif.h"
#include "support/Vek_file.h"

#include <windows.h>

#include <unordered_map>

namespace {

// The requests of one directory, in request order.
struct TDirectoryGroup {
    const std::string* Directory;
    std::vector<std::size_t> Requests;
};

// The requests grouped by directory (told apart by their path keys), groups
// in order of first appearance. A list holds a directory's entries mostly one
// after another, so a request in the directory of the one before it is
// grouped without a key.
std::vector<TDirectoryGroup> GroupByDirectory(const std::vector<TFileInfoRequest>& requests) {
    std::vector<TDirectoryGroup> groups;
    std::unordered_map<std::string, std::size_t> byKey;
    std::size_t last = 0;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const std::string& directory = requests[i].Directory;
        if (groups.empty() || *groups[last].Directory != directory) {
            const auto [found, added] = byKey.emplace(PathKey(directory), groups.size());
            if (added)
                groups.push_back({&directory, {}});
            last = found->second;
        }
        groups[last].Requests.push_back(i);
    }
    return groups;
}

void Answer(const TListedEntry& entry, TFileInfo& answer) {
    if (!(entry.Attributes & FILE_ATTRIBUTE_DIRECTORY))
        answer.Size = entry.Size;
    answer.Created = entry.Created;
    answer.Modified = entry.Modified;
}

// Answers the listing's part of the group's requests from one listing.
void AnswerFromListing(const TDirectoryGroup& group, const std::vector<TFileInfoRequest>& requests,
                       std::vector<TFileInfo>& answers) {
    std::vector<TListedEntry> entries;
    if (!ListDirectoryEntries(*group.Directory, entries))
        return;
    std::unordered_map<std::string, const TListedEntry*> byName;
    byName.reserve(entries.size());
    for (const TListedEntry& entry : entries) {
        byName.emplace(FileNameKey(entry.Name), &entry);
        if (!entry.ShortName.empty())
            byName.emplace(FileNameKey(entry.ShortName), &entry);
    }
    for (const std::size_t i : group.Requests) {
        if (!requests[i].Listing)
            continue;
        const auto found = byName.find(FileNameKey(requests[i].Name));
        if (found != byName.end())
            Answer(*found->second, answers[i]);
    }
}

std::optional<TDateParts> ReadDateTaken(const TFileInfoRequest& request) {
    if (request.IsDirectory || !IsPhotoName(request.Name))
        return std::nullopt;
    std::string head;
    if (!ReadFileHead(TPath::Combine(request.Directory, request.Name).GetPath(), kExifHeadSize, head))
        return std::nullopt;
    return ExifDateTaken(head);
}

} // namespace

bool NeedsFileInfo(const TRenameItem& item, bool taken) {
    const TFileInfo& info = item.Info;
    return !info.Listed || info.Name != item.OldName || (taken && !info.TakenRead);
}

TFileInfoRequest FileInfoRequest(TRenameItem& item, bool taken) {
    const bool current = item.Info.Listed && item.Info.Name == item.OldName;
    return {&item,        item.Directory,
            item.OldName, item.Type == TRenameItemType::Directory,
            !current,     taken && !(current && item.Info.TakenRead)};
}

std::vector<TFileInfoRequest> FileInfoRequests(TListViewModel& model, bool taken) {
    std::vector<TRenameItem*> entries(static_cast<std::size_t>(model.Count()));
    for (std::size_t row = 0; row < entries.size(); ++row)
        entries[row] = static_cast<TRenameItem*>(model.Items(static_cast<int>(row))->GetData());
    return FileInfoRequests(entries, taken);
}

std::vector<TFileInfoRequest> FileInfoRequests(const std::vector<TRenameItem*>& entries, bool taken) {
    std::vector<TFileInfoRequest> requests;
    for (TRenameItem* entry : entries)
        if (NeedsFileInfo(*entry, taken))
            requests.push_back(FileInfoRequest(*entry, taken));
    return requests;
}

bool IsPhotoName(const std::string& name) {
    static const char* const kExtensions[] = {"jpg", "jpeg", "jpe", "jfif", "tif", "tiff"};
    const std::string extension = FileNameKey(TPath(name).GetExtension());
    for (const char* photo : kExtensions)
        if (extension == photo)
            return true;
    return false;
}

bool ReadFileInfo(const std::vector<TFileInfoRequest>& requests, std::vector<TFileInfo>& answers,
                  const std::function<bool(std::size_t answered)>& goOn) {
    answers.assign(requests.size(), TFileInfo());
    std::size_t answered = 0;
    for (const TDirectoryGroup& group : GroupByDirectory(requests)) {
        if (!goOn(answered))
            return false;
        AnswerFromListing(group, requests, answers);
        for (const std::size_t i : group.Requests) {
            if (!requests[i].Taken)
                continue;
            if (!goOn(answered))
                return false;
            answers[i].Taken = ReadDateTaken(requests[i]);
        }
        answered += group.Requests.size();
    }
    goOn(answered);
    return true;
}

void ApplyFileInfo(const std::vector<TFileInfoRequest>& requests, const std::vector<TFileInfo>& answers) {
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const TFileInfoRequest& request = requests[i];
        TFileInfo& info = request.Item->Info;
        if (request.Listing) {
            // Values of another name go with it, the date taken too.
            info = answers[i];
            info.Name = request.Name;
            info.Listed = true;
        }
        if (request.Taken) {
            info.Taken = answers[i].Taken;
            info.TakenRead = true;
        }
    }
}

void ForgetFileInfo(TListViewModel& model) {
    const int rows = model.Count();
    for (int row = 0; row < rows; ++row)
        static_cast<TRenameItem*>(model.Items(row)->GetData())->Info = TFileInfo();
}

// ---------------------------------------------------------------- TFileInfoTask

void TFileInfoTask::Run() {
    const std::size_t total = FRequests.size();
    FCompleted = ReadFileInfo(FRequests, FAnswers, [this, total](std::size_t answered) {
        ReportProgress(total == 0 ? 100 : static_cast<int>(answered * 100 / total));
        return !Cancelled();
    });
}

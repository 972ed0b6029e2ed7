// Reading what the disk tells of the list's entries (size, file times, a
// photo's date taken) in one listing per directory, on the worker thread for
// a long list.
#pragma once

#include "app/names/Trel_rename.h"
#include "support/Vek_listviewmodel.h"
#include "support/Vek_task.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// What to read of one entry; copied from its item, so that the worker never
// touches an item.
struct TFileInfoRequest {
    TRenameItem* Item = nullptr;
    std::string Directory;
    std::string Name;
    bool IsDirectory = false;
    // Size and file times; the date taken.
    bool Listing = false;
    bool Taken = false;
};

// Whether the item lacks the listing's values, or with taken the date taken:
// never read, or read under a name it no longer has.
bool NeedsFileInfo(const TRenameItem& item, bool taken);
// A request for what the item lacks.
TFileInfoRequest FileInfoRequest(TRenameItem& item, bool taken);
// The requests for the model's rows (the entries) that lack something, in
// their order.
std::vector<TFileInfoRequest> FileInfoRequests(TListViewModel& model, bool taken);
std::vector<TFileInfoRequest> FileInfoRequests(const std::vector<TRenameItem*>& entries, bool taken);

// Whether a file of this name is looked into for a date taken: the
// extensions of JPEG and TIFF, in any letter case.
bool IsPhotoName(const std::string& name);

// Answers the requests into answers (one each): every directory listed once,
// in the order the requests first name it, and the date taken read from the
// first kExifHeadSize bytes of each photo. Between steps goOn is told how
// many requests are answered; false stops the reading. An entry that the
// listing or the file does not give has no value. True when all were answered.
bool ReadFileInfo(const std::vector<TFileInfoRequest>& requests, std::vector<TFileInfo>& answers,
                  const std::function<bool(std::size_t answered)>& goOn);

// Stores the answers in the requests' items, under the names they have now.
// A request that was not answered (the reading was cancelled) is stored
// without values, as asked: it is read again on a refresh, not at once.
void ApplyFileInfo(const std::vector<TFileInfoRequest>& requests, const std::vector<TFileInfo>& answers);

// Marks every row's values as unread, so that the next reading asks the disk again.
void ForgetFileInfo(TListViewModel& model);

// ReadFileInfo on the worker thread, its progress the percentage of the
// requests answered. The requests and answers belong to the caller, who
// keeps them until the finish event.
class TFileInfoTask : public TTask {
public:
    TFileInfoTask(const std::vector<TFileInfoRequest>& requests, std::vector<TFileInfo>& answers)
        : FRequests(requests), FAnswers(answers) {}

    void Run() override;
    // Whether every request was answered; valid at the finish event.
    bool Completed() const { return FCompleted; }

private:
    const std::vector<TFileInfoRequest>& FRequests;
    std::vector<TFileInfo>& FAnswers;
    bool FCompleted = false;
};

#include "app/handlers/Trel_fileinforeader.h"

#include "app/dialogs/Trel_progressdialog.h"
#include "app/handlers/Trel_handler.h"
#include "framework/Fw_forms.h"
#include "support/Vek_autopointer.h"

#include <exception>

namespace {

// The reading on the worker under the progress dialog; false when
// cancelled, error set when it failed.
bool ReadOnWorker(const std::vector<TFileInfoRequest>& requests, std::vector<TFileInfo>& answers,
                  std::exception_ptr& error) {
    TTrelProgressDialog& dialog = Application->Dialog<TTrelProgressDialog>();
    TAutoPointer<TFileInfoTask> task(new TFileInfoTask(requests, answers));
    bool completed = false;
    task->OnProgress = [&dialog](TObject*, int percent) { dialog.SetPosition(percent); };
    task->OnFinished = [&completed](TObject* sender) {
        completed = static_cast<TFileInfoTask*>(sender)->Completed();
    };
    task->OnError = [&error](TObject*, Exception& e) {
        error = std::make_exception_ptr(EHandlerError(e.Message()));
    };
    std::exception_ptr dialogError;
    dialog.RunTask(task.Release(), "File Information", "Reading the files' information...", dialogError);
    if (dialogError)
        error = dialogError;
    return completed;
}

} // namespace

bool ReadAndStoreFileInfo(const std::vector<TFileInfoRequest>& requests) {
    std::vector<TFileInfo> answers;
    std::exception_ptr error;
    const bool completed = requests.size() <= kQuickReadLimit
                               ? ReadFileInfo(requests, answers, [](std::size_t) { return true; })
                               : ReadOnWorker(requests, answers, error);
    // What was read is kept, however the reading ended.
    ApplyFileInfo(requests, answers);
    if (error)
        std::rethrow_exception(error);
    return completed;
}

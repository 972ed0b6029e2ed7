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
    // Ours until the worker has it; the worker frees it after its finish event.
    TAutoPointer<TFileInfoTask> unstarted(new TFileInfoTask(requests, answers));
    TFileInfoTask* running = nullptr;
    bool completed = false;
    unstarted->FreeOnFinish = true;
    unstarted->OnProgress = [&dialog](int percent) { dialog.SetPosition(percent); };
    unstarted->OnFinished = [&](TObject* task) {
        completed = static_cast<TFileInfoTask*>(task)->Completed();
        running = nullptr;
        dialog.FinishRun();
    };
    unstarted->OnError = [&error](TObject*, Exception& e) {
        error = std::make_exception_ptr(EHandlerError(e.Message()));
    };
    dialog.PrepareForRun("File Information", "Reading the files' information...", [&running] {
        if (running)
            running->Cancel();
    });
    dialog.OnStart = [&](TObject*) {
        // A start message left over from an earlier show must not start it twice.
        if (!unstarted)
            return;
        unstarted->Start();
        running = unstarted.Release();
    };
    try {
        dialog.Execute(true);
    } catch (...) {
        error = std::current_exception();
    }
    dialog.OnStart = nullptr;
    // The loop ends before the finish event only when the program is ending:
    // the worker still calls back here, so stop it and wait.
    if (running) {
        running->Cancel();
        while (running)
            Application->HandleMessage();
    }
    dialog.OnCloseQuery = nullptr;
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

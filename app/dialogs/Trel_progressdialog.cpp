#include "app/dialogs/Trel_progressdialog.h"

#include "support/Vek_autopointer.h"
#include "support/Vek_task.h"

#include <algorithm>
#include <utility>

namespace {

const TControlDef kControls[] = {
    {ckLabel, "MessageLabel", 10, 10, 401, 26, "", coNoPrefix | coCenterVertically},
    {ckProgressBar, "ProgressBar", 10, 40, 401, 26},
    {ckButton, "CommandButton", 310, 80, 101, 26, "Cancel", coDefault | coCancel, mrOk},
};

} // namespace

TTrelProgressDialog::TTrelProgressDialog() : TForm({"Progress", 421, 116, bsDialog, poMainFormCenter}) {
    CreateControls(kControls);
    MessageLabel = &Control<TLabel>("MessageLabel");
    ProgressBar = &Control<TProgressBar>("ProgressBar");
    CommandButton = &Control<TButton>("CommandButton");
    CommandButton->OnClick = [this](TObject* sender) { CommandButtonClick(sender); };
}

void TTrelProgressDialog::SetMessage(const std::string& text) {
    MessageLabel->SetText(text);
}

void TTrelProgressDialog::SetButtonCaption(const std::string& text) {
    CommandButton->SetText(text);
}

int TTrelProgressDialog::GetPosition() const {
    return FDrawPending ? FPendingPosition : ProgressBar->GetPosition();
}

void TTrelProgressDialog::SetPosition(int value) {
    // A run reports up to 101 positions, often within a few milliseconds, and
    // drawing the bar for each costs more than the work it shows (under Wine
    // it holds up the worker's renames too). The bar takes a position at
    // once when it was last drawn long enough ago, and at the start and the
    // end; otherwise a timer brings it up to date. GetPosition answers the
    // last position set either way.
    const ULONGLONG now = GetTickCount64();
    const int position = std::clamp(value, 0, 100);
    if (position == 0 || position == 100 || now - FLastDrawn >= kDrawIntervalMs) {
        DrawPosition(position);
        return;
    }
    FPendingPosition = position;
    if (!FDrawPending && SetTimer(Handle(), kDrawTimer, kDrawIntervalMs, nullptr) == 0) {
        DrawPosition(position); // without a timer, every position is drawn
        return;
    }
    FDrawPending = true;
}

void TTrelProgressDialog::DrawPosition(int position) {
    if (FDrawPending) {
        KillTimer(Handle(), kDrawTimer);
        FDrawPending = false;
    }
    ProgressBar->SetPosition(position);
    FLastDrawn = GetTickCount64();
}

void TTrelProgressDialog::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_TREL_START)
        HandleStartMessage(Message);
    else if (Message.Msg == WM_TIMER && Message.WParam == kDrawTimer)
        DrawPosition(FDrawPending ? FPendingPosition : ProgressBar->GetPosition());
    else
        TForm::Dispatch(Message);
}

void TTrelProgressDialog::HandleStartMessage(TMessage& /*Message*/) {
    try {
        DoStart();
    } catch (...) {
        if (!FModalExecute)
            throw;
        FStartError = std::current_exception();
        SetModalResult(mrCancel);
    }
}

void TTrelProgressDialog::DoStart() {
    if (OnStart)
        OnStart(this);
}

int TTrelProgressDialog::Execute(bool modal) {
    FStartError = nullptr;
    if (!PostMessageA(Handle(), WM_TREL_START, 0, 0))
        throw EInvalidOperation("The program could not start the task.");
    FModalExecute = modal;
    if (!modal) {
        Show();
        return mrNone;
    }
    const int result = ShowModal();
    if (FStartError) {
        std::exception_ptr error = FStartError;
        FStartError = nullptr;
        std::rethrow_exception(error);
    }
    return result;
}

void TTrelProgressDialog::Finish() {
    if (FModalExecute)
        SetModalResult(mrOk);
    else
        Close();
}

void TTrelProgressDialog::PrepareForRun(const std::string& caption, const std::string& message,
                                        std::function<void()> cancel) {
    SetCaption(caption);
    SetMessage(message);
    SetButtonCaption("Cancel");
    CommandButton->SetEnabled(true);
    SetPosition(0);
    OnCloseQuery = [this, cancel = std::move(cancel)](TObject*, bool& canClose) {
        canClose = false;
        if (CommandButton->IsEnabled()) {
            CommandButton->SetEnabled(false);
            cancel();
        }
    };
}

void TTrelProgressDialog::FinishRun() {
    OnCloseQuery = nullptr;
    Finish();
}

bool TTrelProgressDialog::RunTask(TTask* task, const std::string& caption, const std::string& message,
                                  std::exception_ptr& error) {
    // Ours until the worker has it.
    TAutoPointer<TTask> unstarted(task);
    TTask* running = nullptr;
    task->FreeOnFinish = true;
    task->OnFinished = [this, &running, finished = std::move(task->OnFinished)](TObject* sender) {
        if (finished)
            finished(sender);
        running = nullptr;
        FinishRun();
    };
    PrepareForRun(caption, message, [&running] {
        if (running)
            running->Cancel();
    });
    OnStart = [&](TObject*) {
        // A start message left over from an earlier show must not start it twice.
        if (!unstarted)
            return;
        unstarted->Start();
        running = unstarted.Release();
    };
    try {
        Execute(true);
    } catch (...) {
        error = std::current_exception();
    }
    OnStart = nullptr;
    // The loop ends before the finish event only when the program is ending:
    // the worker still calls back here, so stop it and wait.
    if (running) {
        running->Cancel();
        while (running)
            Application->HandleMessage();
    }
    OnCloseQuery = nullptr;
    return !unstarted;
}

void TTrelProgressDialog::CommandButtonClick(TObject* /*Sender*/) {
    Finish();
}

bool TTrelProgressDialog::CloseQuery() {
    // After a failed start nothing else would ever end the loop.
    return FStartError ? true : TForm::CloseQuery();
}

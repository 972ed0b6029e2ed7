// The modal window that shows a task's progress and starts the task from
// inside its own modal loop.
#pragma once

#include "framework/Fw_forms.h"

#include <exception>
#include <functional>
#include <string>

// The message that starts the task: the first application-defined number.
constexpr UINT WM_TREL_START = 0x8000;

class TTask;

class TTrelProgressDialog : public TForm {
public:
    TTrelProgressDialog();

    void SetMessage(const std::string& text);
    void SetButtonCaption(const std::string& text);
    // The last position set, 0 to 100.
    int GetPosition() const;
    // The bar is drawn at most every kDrawIntervalMs, always at 0 and 100;
    // a position in between is drawn by a timer when it came sooner.
    void SetPosition(int value);

    // Calls DoStart.
    virtual void HandleStartMessage(TMessage& Message);
    // Calls OnStart with the dialog as sender.
    virtual void DoStart();
    // Posts the start message to the dialog, then shows it: modally (returning
    // the modal result when the loop ends) or without waiting. A start handler
    // that fails ends the modal loop, close query or not, and Execute throws
    // its exception: no task runs that could ever close the dialog.
    virtual int Execute(bool modal);
    // Ends the modal loop with OK (unless the close query refuses), or
    // closes a dialog shown without waiting.
    virtual void Finish();
    // Readies the dialog for a run that the user can cancel: the caption and
    // message, Cancel enabled and the bar at 0. The button, Esc, Enter and the
    // close box then only request a cancel, the first of them calling cancel
    // and disabling the button: the dialog stays until FinishRun.
    void PrepareForRun(const std::string& caption, const std::string& message, std::function<void()> cancel);
    // Lets the run's dialog close, then finishes it.
    void FinishRun();
    // Runs the task on the worker under the dialog readied as PrepareForRun
    // does, Cancel cancelling the task. The dialog takes the task: it starts
    // from inside the modal loop, and the worker frees it after its finish
    // event (the task's own OnFinished is called first). When the loop ends
    // otherwise (the program is ending) the task is cancelled and waited for.
    // Returns whether the task started; the dialog's own failure (it could
    // not be shown, the worker could not start) goes to error.
    bool RunTask(TTask* task, const std::string& caption, const std::string& message, std::exception_ptr& error);
    void CommandButtonClick(TObject* Sender);

    bool CloseQuery() override;

    TNotifyEvent OnStart;

    TLabel* MessageLabel;
    TProgressBar* ProgressBar;
    // Answers both Esc and Enter; ends the modal loop with OK.
    TButton* CommandButton;

protected:
    void Dispatch(TMessage& Message) override;

private:
    // Twenty drawings a second look smooth and cost the worker little.
    static constexpr UINT kDrawIntervalMs = 50;
    static constexpr UINT_PTR kDrawTimer = 1;

    void DrawPosition(int position);

    bool FModalExecute = false;
    std::exception_ptr FStartError;
    ULONGLONG FLastDrawn = 0;
    bool FDrawPending = false;
    int FPendingPosition = 0;
};

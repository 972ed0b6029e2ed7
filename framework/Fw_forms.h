// The application object and forms: top-level windows with controls from
// tables, modal loops, close queries and the dialog keys.
#pragma once

#include "framework/Fw_classes.h"
#include "framework/Fw_controls.h"
#include "framework/Fw_handles.h"
#include "framework/Fw_messages.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

enum TBorderStyle {
    bsDialog,   // fixed size, no minimize or maximize box
    bsSizeable, // the frame of a main window
};

enum TPosition {
    poDefault,        // where the system puts it
    poMainFormCenter, // the middle of the main form, else of the screen
    poScreenCenter,
};

using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
// Done false asks for another call before the loop waits for a message.
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

// Forms are laid out in design pixels at this resolution.
constexpr int DesignPixelsPerInch = 120;
// A design size in pixels at the given resolution.
int ScaleDesign(int value, int pixelsPerInch);

// The caption and client size (design pixels) of a form.
struct TFormDef {
    const char* Caption;
    int ClientWidth;
    int ClientHeight;
    TBorderStyle BorderStyle = bsDialog;
    TPosition Position = poMainFormCenter;
};

class TForm : public TObject {
public:
    explicit TForm(const TFormDef& def);
    ~TForm() override;

    HWND Handle() const { return FHandle.Get(); }
    // The form whose window this is, or null.
    static TForm* FromHandle(HWND window);

    std::string GetCaption() const;
    void SetCaption(const std::string& caption);
    int PixelsPerInch() const { return FPixelsPerInch; }
    int Scale(int designValue) const { return ScaleDesign(designValue, FPixelsPerInch); }
    HFONT Font() const { return FFont.Get(); }

    // Shows the form in its place and focuses the first control in tab order.
    void Show();
    void Hide();
    bool IsVisible() const;
    // A modal form gets the result Cancel; another one closes if the close
    // query allows it (the main form ends the application).
    void Close();
    // Shows the form with its owner disabled and runs messages until the modal
    // result is set and the close query allows it; returns the result.
    virtual int ShowModal();
    bool IsModal() const { return FModal; }
    int GetModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }
    // True when the form may close: OnCloseQuery decides, if it is set.
    virtual bool CloseQuery();

    TCloseQueryEvent OnCloseQuery;

    // Creates the controls of a table in tab order.
    template <size_t N>
    void CreateControls(const TControlDef (&defs)[N]) {
        for (const TControlDef& def : defs)
            AddControl(def);
    }
    TControl& AddControl(const TControlDef& def);
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl& Controls(int index) const;
    TControl* FindControl(const std::string& name) const;
    // The named control of the given class; a missing one is a fault of the
    // form's table and throws EInvalidOperation.
    template <class T>
    T& Control(const std::string& name) const {
        T* control = dynamic_cast<T*>(FindControl(name));
        if (!control)
            MissingControl(name);
        return *control;
    }
    TControl* ActiveControl() const;
    TButton* DefaultButton() const;
    TButton* CancelButton() const;
    void FocusFirstControl();

    // Tab, the arrow keys, accelerators, Enter and Esc as in dialog boxes.
    bool GetDialogKeys() const { return FDialogKeys; }
    void SetDialogKeys(bool value) { FDialogKeys = value; }
    // Asked for every key pressed in the form before the dialog keys; true
    // when the form handled it as a shortcut.
    virtual bool IsShortCut(const MSG& msg);

protected:
    // The window procedure: dispatches the message.
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    // The system's default handling.
    void DefaultHandler(TMessage& Message);

private:
    friend class TApplication;
    friend class TControl;
    static LRESULT CALLBACK FormWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    [[noreturn]] static void MissingControl(const std::string& name);

    void ApplyScale(int pixelsPerInch);
    void SetClientSize();
    void PlaceOnScreen();
    void SetOwner(HWND owner);
    void ShowAndFocus();
    bool FocusFirstFocusable();
    TControl* ControlOfHandle(HWND window) const;
    void HandleCommand(TMessage& Message);
    void HandleNextControl(TMessage& Message);
    void HandleGetDefaultId(TMessage& Message);
    void HandleActivate(TMessage& Message);
    void HandleDpiChanged(TMessage& Message);
    void CloseModal();

    TWindowHandle FHandle;
    TFontHandle FFont;
    int FPixelsPerInch;
    int FDesignClientWidth;
    int FDesignClientHeight;
    TBorderStyle FBorderStyle;
    TPosition FPosition;
    std::vector<std::unique_ptr<TControl>> FControls;
    // Above IDOK and IDCANCEL, which the dialog keys send.
    int FNextID = 100;
    bool FModal = false;
    int FModalResult = mrNone;
    bool FDialogKeys = true;
    HWND FSavedFocus = nullptr;
};

// The program: its title, the message loop, the exception display, message
// boxes, and the forms and program-wide dialogs it owns. Main thread only,
// except HandleException, which any thread may call.
class TApplication : public TObject {
public:
    TApplication();
    ~TApplication() override;

    const std::string& GetTitle() const { return FTitle; }
    void SetTitle(const std::string& title) { FTitle = title; }

    TForm* GetMainForm() const { return FMainForm; }
    void SetMainForm(TForm* form) { FMainForm = form; }
    // Creates a form that the application owns; the first one is the main form.
    template <class T, class... TArgs>
    T& CreateForm(TArgs&&... args) {
        auto form = std::make_unique<T>(std::forward<TArgs>(args)...);
        T& result = *form;
        FForms.push_back(std::move(form));
        if (!FMainForm)
            FMainForm = &result;
        return result;
    }
    // The program-wide dialog of the class: created on first use, then kept
    // until FreeForms.
    template <class T>
    T& Dialog() {
        for (const auto& form : FForms)
            if (typeid(*form) == typeid(T))
                return static_cast<T&>(*form);
        auto form = std::make_unique<T>();
        T& result = *form;
        FForms.push_back(std::move(form));
        return result;
    }
    // Frees the owned forms and dialogs, the last created first.
    void FreeForms();

    // Shows the main form and runs the message loop until Terminate; then
    // frees the owned forms.
    void Run();
    // Handles one message, or runs the idle event and waits for the next one.
    void HandleMessage();
    // Handles the messages waiting, without the idle event.
    void ProcessMessages();
    // Ends the message loop.
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // The exception display: EAbort shows nothing; an exception of the
    // framework shows its message; anything else a fixed sentence. OnException,
    // if set, is called instead of ShowException. From a worker thread the
    // display is handed to the main thread. Never throws.
    void HandleException(std::exception_ptr error = std::current_exception()) noexcept;
    void ShowException(const Exception& e);
    TExceptionEvent OnException;
    TIdleEvent OnIdle;

    // A message box owned by the active form; the caption is the title.
    int MsgBox(const std::string& text, UINT flags);
    int MsgBox(const std::string& text, const std::string& caption, UINT flags);
    // The window that owns message boxes and modal forms: the innermost modal
    // form, else the visible main form, else none.
    HWND ActiveOwner() const;

private:
    friend class TForm;
    bool ProcessMessage();
    bool PreProcessMessage(MSG& msg);
    void Idle();
    void ReportException(const Exception& e) noexcept;
    void FormDestroyed(TForm* form);

    std::string FTitle;
    TForm* FMainForm = nullptr;
    std::vector<std::unique_ptr<TForm>> FForms;
    std::vector<TForm*> FModalForms;
    bool FTerminated = false;
};

// The message shown for an exception that is not one of the framework's.
extern const char* const UnexpectedErrorMessage;

extern TApplication* const Application;

// The application object and forms: top-level windows with controls from
// tables, menus and actions, modal loops, close queries and the dialog keys.
#pragma once

#include "framework/Fw_actnlist.h"
#include "framework/Fw_classes.h"
#include "framework/Fw_comctrls.h"
#include "framework/Fw_controls.h"
#include "framework/Fw_extctrls.h"
#include "framework/Fw_handles.h"
#include "framework/Fw_menus.h"
#include "framework/Fw_messages.h"
#include "framework/Fw_screen.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

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

// The caption and client size (design pixels) of a form.
struct TFormDef {
    const char* Caption;
    int ClientWidth;
    int ClientHeight;
    TBorderStyle BorderStyle = bsDialog;
    TPosition Position = poMainFormCenter;
};

// A top-level window. Its controls come from a table (CreateControls); its
// menus, action lists and image lists are components that it owns and frees
// after its controls (CreateComponent). A form answers the commands of its
// action lists (WM_COMMAND with an action's command identifier, from a menu
// item, a tool button or a post), their shortcuts and those of its menu, and
// updates its action lists when the application is idle.
class TForm : public TControlHost {
public:
    explicit TForm(const TFormDef& def);
    ~TForm() override;

    // The form whose window this is, or null.
    static TForm* FromHandle(HWND window);

    std::string GetCaption() const;
    void SetCaption(const std::string& caption);

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
    // when the form handled it as a shortcut. This one chooses the enabled
    // action of the shortcut from the menu, then from the action lists.
    virtual bool IsShortCut(const MSG& msg);

    // Creates an object that the form owns (an action list, a menu, an image
    // list); the form frees its components after its controls, the last
    // created first.
    template <class T, class... TArgs>
    T& CreateComponent(TArgs&&... args) {
        auto component = std::make_unique<T>(std::forward<TArgs>(args)...);
        T& result = *component;
        FComponents.push_back(std::move(component));
        return result;
    }
    // Shows the menu bar (null: none), keeping the client size.
    void SetMainMenu(TMainMenu* menu);
    TMainMenu* MainMenu() const { return FMenu; }
    // An action list whose commands and shortcuts the form answers and which
    // it updates when idle.
    void AddActionList(TActionList& actions);
    // Brings the states of the actions up to date (what idle time does).
    void UpdateActions();
    // Chooses the action of the command identifier; false when the form has
    // no action of that identifier.
    bool ExecuteCommand(int commandId);

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
    void HandleCommand(TMessage& Message);
    void HandleNotify(TMessage& Message);
    void HandleContextMenu(TMessage& Message);
    void HandleNextControl(TMessage& Message);
    void HandleGetDefaultId(TMessage& Message);
    void HandleActivate(TMessage& Message);
    void HandleDpiChanged(TMessage& Message);
    void CloseModal();

    int FDesignClientWidth;
    int FDesignClientHeight;
    TBorderStyle FBorderStyle;
    TPosition FPosition;
    bool FModal = false;
    bool FDialogKeys = true;
    HWND FSavedFocus = nullptr;
    std::vector<std::unique_ptr<TObject>> FComponents;
    TMainMenu* FMenu = nullptr;
    std::vector<TActionList*> FActionLists;
    // The idle handler that updates the action lists; 0 while there are none.
    unsigned FIdleHandler = 0;
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
    // What the program gives back to whoever started it when it ends; 0
    // until set.
    int GetExitCode() const { return FExitCode; }
    void SetExitCode(int code) { FExitCode = code; }

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
    // Runs whenever the message queue is empty, before the idle handlers.
    TIdleEvent OnIdle;
    // Idle handlers beside OnIdle, run in the order added, each whenever the
    // queue is empty. A handler may remove itself or any other one (a
    // one-shot handler removes itself at its first call). An exception of a
    // handler goes to the exception display and the others still run.
    unsigned AddIdleHandler(TIdleEvent handler);
    void RemoveIdleHandler(unsigned id);

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
    int FExitCode = 0;
    TForm* FMainForm = nullptr;
    std::vector<std::unique_ptr<TForm>> FForms;
    std::vector<TForm*> FModalForms;
    bool FTerminated = false;
    std::vector<std::pair<unsigned, std::shared_ptr<TIdleEvent>>> FIdleHandlers;
    unsigned FLastIdleHandler = 0;
};

extern TApplication* const Application;

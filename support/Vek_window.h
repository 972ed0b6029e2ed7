// Wrappers of window handles: any window, top-level windows with their
// placement, and a hidden window that only receives messages.
#pragma once

#include "framework/Fw_classes.h"
#include "framework/Fw_messages.h"

#include <windows.h>

#include <functional>

class EWindowError : public Exception {
public:
    using Exception::Exception;
};

// The operations on any window. It does not own the window. A failed call
// throws EWindowError; the queries without a check never throw.
class TWindow {
public:
    explicit TWindow(HWND handle) : FHandle(handle) {}

    HWND Handle() const { return FHandle; }

    virtual HWND GetParent() const;
    virtual void SetParent(HWND parent);
    virtual HWND GetOwner() const;
    // GetWindow with the relation (GW_OWNER, GW_CHILD...).
    virtual HWND GetRelatedWindow(UINT relation) const;
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool value);
    virtual bool IsVisible() const;
    // Sets or clears WS_VISIBLE in the style and nothing else: no showing,
    // no repainting.
    virtual void SetVisible(bool value);
    virtual LONG GetLong(int index) const;
    virtual void SetLong(int index, LONG value);
    virtual WORD GetWord(int index) const;
    virtual void SetWord(int index, WORD value);
    virtual ~TWindow() = default;
    virtual bool IsWindow() const;
    virtual bool IsChildOf(HWND parent) const;
    virtual bool IsParentOf(HWND child) const;

private:
    HWND FHandle;
};

// A top-level window's placement. Each setter reads the whole placement,
// replaces one field and writes it back, so the other fields keep their
// values.
class TTopLevelWindow : public TWindow {
public:
    explicit TTopLevelWindow(HWND handle) : TWindow(handle) {}
    ~TTopLevelWindow() override = default;

    virtual POINT GetMinPosition() const;
    virtual void SetMinPosition(POINT point);
    virtual POINT GetMaxPosition() const;
    virtual void SetMaxPosition(POINT point);
    // The restored rectangle, in workspace coordinates.
    virtual RECT GetNormalBounds() const;
    virtual void SetNormalBounds(RECT bounds);
    // The window's rectangle now, in screen coordinates.
    virtual RECT GetBounds() const;
    virtual void SetBounds(RECT bounds);
    virtual UINT GetShowCommand() const;
    virtual void SetShowCommand(UINT showCommand);
    virtual WINDOWPLACEMENT GetPlacement() const;
    virtual void SetPlacement(const WINDOWPLACEMENT& placement);
};

using TMessageEvent = std::function<void(TObject* Sender, TMessage& Message, bool& Handled)>;

// Owns a hidden window of the framework's utility class that offers every
// message to OnMessage; what it leaves unhandled goes to the default window
// procedure. Its messages arrive on the thread that created it.
class TMessageWindow : public TObject {
public:
    // Throws EWindowError when the window cannot be created.
    TMessageWindow();
    ~TMessageWindow() override;

    HWND Handle() const { return FHandle.Get(); }

    virtual void WndProc(TMessage& Message);
    // True when OnMessage handled the message.
    virtual bool HandleMessage(TMessage& Message);

    TMessageEvent OnMessage;

private:
    TUtilWindowHandle FHandle;
};

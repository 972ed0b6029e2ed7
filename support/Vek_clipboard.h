// Notice of every change of the clipboard's contents.
#pragma once

#include "framework/Fw_classes.h"
#include "support/Vek_autopointer.h"
#include "support/Vek_window.h"

#include <windows.h>

class EClipboardError : public Exception {
public:
    using Exception::Exception;
};

// A member of the clipboard viewer chain: raises OnChange whenever the
// clipboard's contents change, and keeps the chain intact for the viewers
// after it. Main thread.
class TClipboardWatcher : public TObject {
public:
    // Starts disabled. Throws EWindowError when its window cannot be created.
    TClipboardWatcher();
    // Leaves the chain, then frees the window.
    ~TClipboardWatcher() override;

    bool IsEnabled() const { return FEnabled; }
    // Joins or leaves the chain; nothing happens when it already is in the
    // requested state. Throws EClipboardError when the system refuses to let
    // it join; it then stays disabled.
    void SetEnabled(bool value);
    // The window registered in the chain.
    HWND Handle() const { return FWindow->Handle(); }

    TNotifyEvent OnChange;

private:
    void HandleMessage(TObject* Sender, TMessage& Message, bool& Handled);

    TAutoPointer<TMessageWindow> FWindow;
    HWND FNextViewer = nullptr;
    bool FEnabled = false;
};

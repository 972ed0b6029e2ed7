#include "support/Vek_clipboard.h"

#include <exception>

TClipboardWatcher::TClipboardWatcher() : FWindow(new TMessageWindow()) {
    FWindow->OnMessage = [this](TObject* sender, TMessage& message, bool& handled) {
        HandleMessage(sender, message, handled);
    };
}

TClipboardWatcher::~TClipboardWatcher() {
    SetEnabled(false);
}

void TClipboardWatcher::SetEnabled(bool value) {
    if (value == FEnabled)
        return;
    if (value) {
        // A null result means both "first viewer" and "failed": the
        // last-error value tells them apart.
        SetLastError(ERROR_SUCCESS);
        HWND next = SetClipboardViewer(Handle());
        if (GetLastError() != ERROR_SUCCESS)
            throw EClipboardError("The program could not enable the clipboard watcher.");
        FNextViewer = next;
    } else {
        ChangeClipboardChain(Handle(), FNextViewer);
        FNextViewer = nullptr;
    }
    FEnabled = value;
}

void TClipboardWatcher::HandleMessage(TObject* /*Sender*/, TMessage& Message, bool& Handled) {
    switch (Message.Msg) {
    case WM_DRAWCLIPBOARD: {
        Handled = true;
        // The system sends this while SetClipboardViewer runs, which judges
        // its success by the last-error value: the handler must not change it.
        const DWORD lastError = GetLastError();
        // The viewers after this one are told even when the handler fails.
        std::exception_ptr error;
        try {
            if (OnChange)
                OnChange(this);
        } catch (...) {
            error = std::current_exception();
        }
        if (FNextViewer)
            SendMessageA(FNextViewer, Message.Msg, Message.WParam, Message.LParam);
        SetLastError(lastError);
        if (error)
            std::rethrow_exception(error);
        break;
    }
    case WM_CHANGECBCHAIN:
        Handled = true;
        if (reinterpret_cast<HWND>(Message.WParam) == FNextViewer)
            FNextViewer = reinterpret_cast<HWND>(Message.LParam);
        else if (FNextViewer)
            SendMessageA(FNextViewer, Message.Msg, Message.WParam, Message.LParam);
        break;
    default:
        break;
    }
}

// The clipboard's plain text.
#pragma once

#include "framework/Fw_handles.h"
#include "framework/Fw_sysutils.h"

#include <string>

class EClipboardException : public Exception {
public:
    using Exception::Exception;
};

// The clipboard, open for the object's life. A private message-only window
// owns it, so that writing works. Use the object on the thread that made it.
class TClipboard {
public:
    // Opens the clipboard, retrying for a short while when another window
    // holds it open. Throws EClipboardException when it cannot.
    TClipboard();
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;
    ~TClipboard();

    // Whether the clipboard holds plain text; needs no open clipboard.
    static bool HasText();
    // The plain text (CF_TEXT) up to its first zero byte; empty when the
    // clipboard holds no text. Text that a program wrote in UTF-16 with a
    // character that the code page cannot hold raises EClipboardException
    // (the system's plain text of it would hold a look-alike).
    std::string GetText() const;
    // Replaces the clipboard's whole contents by the plain text.
    void SetText(const std::string& text);

private:
    TWindowHandle FWindow;
};

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

    // Whether the clipboard holds text, plain or UTF-16; needs no open clipboard.
    static bool HasText();
    // The text up to its first zero, in the program's code page; empty when
    // the clipboard holds no text. With UTF-8 as the program's code page the
    // UTF-16 text is read (the system would make the plain text in the code
    // page of the clipboard's locale instead); otherwise the plain text,
    // checked against the UTF-16 text where there is one. A character that the
    // code page cannot hold (or a lone surrogate) raises EClipboardException:
    // the system's plain text of it would hold a look-alike or a substitute.
    std::string GetText() const;
    // Replaces the clipboard's whole contents by the text, as UTF-16 text
    // and, unless the program's code page is UTF-8, as plain text too. With
    // UTF-8 the system makes the plain text for other readers in the code page
    // they expect; bytes that are not UTF-8 then raise EClipboardException
    // and the clipboard keeps what it held.
    void SetText(const std::string& text);

private:
    TWindowHandle FWindow;
};

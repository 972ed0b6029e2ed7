#include "framework/Fw_clipbrd.h"

#include <climits>
#include <cstring>

namespace {

// Another program may hold the clipboard open for a moment (a clipboard
// manager copying what was just put there): wait that long, no longer.
constexpr ULONGLONG kOpenPatienceMs = 1000;
constexpr DWORD kOpenRetryMs = 10;

} // namespace

TClipboard::TClipboard() {
    FWindow.Attach(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleA(nullptr), nullptr));
    if (!FWindow)
        throw EClipboardException("The program could not create the clipboard window.");
    const ULONGLONG start = GetTickCount64();
    while (!OpenClipboard(FWindow.Get())) {
        if (GetTickCount64() - start >= kOpenPatienceMs)
            throw EClipboardException("The program could not open the clipboard.");
        Sleep(kOpenRetryMs);
    }
}

TClipboard::~TClipboard() {
    CloseClipboard();
}

bool TClipboard::HasText() {
    return IsClipboardFormatAvailable(CF_TEXT) != FALSE || IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

namespace {

const char* const kUnrepresentableText =
    "The clipboard text holds a character that the system's code page cannot represent.";
const char* const kWriteFailed = "The program could not write to the clipboard.";

bool UsesUtf8() {
    return GetACP() == CP_UTF8;
}

// The text of a clipboard format, up to its first zero unit or the end of the
// block, whichever comes first (a careless writer may leave out the zero).
// The clipboard owns the data: it is read, never freed.
template <class TChar>
std::basic_string<TChar> ReadFormat(UINT format) {
    const HANDLE data = GetClipboardData(format);
    if (data == nullptr)
        throw EClipboardException("The program could not read the clipboard.");
    const TGlobalLock lock(data);
    if (lock.Data() == nullptr)
        throw EClipboardException("The program could not read the clipboard.");
    const TChar* text = static_cast<const TChar*>(lock.Data());
    const std::size_t units = GlobalSize(data) / sizeof(TChar);
    std::size_t length = 0;
    while (length < units && text[length] != 0)
        ++length;
    return std::basic_string<TChar>(text, length);
}

// Puts the text with its ending zero on the open clipboard in the format.
template <class TChar>
void WriteFormat(UINT format, const std::basic_string<TChar>& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(TChar);
    TGlobalHandle memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        throw EClipboardException(kWriteFailed);
    {
        const TGlobalLock lock(memory.Get());
        if (lock.Data() == nullptr)
            throw EClipboardException(kWriteFailed);
        std::memcpy(lock.Data(), text.c_str(), bytes);
    }
    if (SetClipboardData(format, memory.Get()) == nullptr)
        throw EClipboardException(kWriteFailed);
    // The clipboard owns the block now.
    memory.Detach();
}

// The text as the system widens it, substitutes and all.
std::wstring Widened(const std::string& text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

} // namespace

std::string TClipboard::GetText() const {
    std::string text;
    if (UsesUtf8()) {
        // The plain text would be in the code page of the clipboard's
        // locale, not in UTF-8: the UTF-16 text is the one to read.
        if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
            if (!TryWideToAnsi(ReadFormat<wchar_t>(CF_UNICODETEXT), text))
                throw EClipboardException(kUnrepresentableText);
        } else if (IsClipboardFormatAvailable(CF_TEXT)) {
            text = ReadFormat<char>(CF_TEXT);
            if (!SurvivesWide(text))
                throw EClipboardException(kUnrepresentableText);
        }
        return text;
    }
    if (!IsClipboardFormatAvailable(CF_TEXT))
        return text;
    text = ReadFormat<char>(CF_TEXT);
    // A program that wrote UTF-16 gets plain text made by the system's best
    // fit, which turns a character that the code page lacks into a
    // look-alike ("/" for a full-width solidus): where the plain text does
    // not widen back to the UTF-16 text, that is narrowed exactly, or refused.
    if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        const std::wstring wide = ReadFormat<wchar_t>(CF_UNICODETEXT);
        if (Widened(text) != wide && !TryWideToAnsi(wide, text))
            throw EClipboardException(kUnrepresentableText);
    }
    return text;
}

void TClipboard::SetText(const std::string& text) {
    // Up to the first zero, as every reader takes it.
    const std::string written(text.c_str());
    std::wstring wide;
    const bool widened = TryAnsiToWide(written, wide);
    if (UsesUtf8() && !widened)
        throw EClipboardException(
            "The text for the clipboard holds bytes that are not characters of the system's code page.");
    if (!EmptyClipboard())
        throw EClipboardException(kWriteFailed);
    // The UTF-16 text is written by the program itself: the system would
    // make it from the plain text with the code page of the keyboard's
    // language, which need not be the program's.
    if (widened)
        WriteFormat(CF_UNICODETEXT, wide);
    // With UTF-8 the system makes the plain text from the UTF-16 text, in
    // the code page that readers of plain text expect.
    if (!UsesUtf8())
        WriteFormat(CF_TEXT, written);
}

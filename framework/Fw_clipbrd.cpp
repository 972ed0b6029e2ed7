#include "framework/Fw_clipbrd.h"

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
    return IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

std::string TClipboard::GetText() const {
    if (!IsClipboardFormatAvailable(CF_TEXT))
        return std::string();
    // The clipboard owns the data: it is read, never freed.
    const HANDLE data = GetClipboardData(CF_TEXT);
    if (data == nullptr)
        throw EClipboardException("The program could not read the clipboard.");
    const TGlobalLock lock(data);
    if (lock.Data() == nullptr)
        throw EClipboardException("The program could not read the clipboard.");
    // The block may be larger than the text, or (written carelessly) lack the
    // terminating zero: read no further than either.
    const char* text = static_cast<const char*>(lock.Data());
    const std::size_t size = GlobalSize(data);
    return std::string(text, strnlen(text, size));
}

void TClipboard::SetText(const std::string& text) {
    if (!EmptyClipboard())
        throw EClipboardException("The program could not write to the clipboard.");
    TGlobalHandle memory(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (!memory)
        throw EClipboardException("The program could not write to the clipboard.");
    {
        const TGlobalLock lock(memory.Get());
        if (lock.Data() == nullptr)
            throw EClipboardException("The program could not write to the clipboard.");
        std::memcpy(lock.Data(), text.c_str(), text.size() + 1);
    }
    if (SetClipboardData(CF_TEXT, memory.Get()) == nullptr)
        throw EClipboardException("The program could not write to the clipboard.");
    // The clipboard owns the block now.
    memory.Detach();
}

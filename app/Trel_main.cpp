// The program's entry point: the application with its main window.
#include "app/Trel_mainform.h"
#include "framework/Fw_forms.h"

#include <windows.h>

namespace {

// Libraries loaded from now on come from the system's folder only, never
// from the program's folder (a downloads folder, a USB stick) or the current
// one. Systems without the call (Windows 7 without its update) keep their
// order.
void LoadLibrariesFromTheSystemOnly() {
    using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<TSetDefaultDllDirectories>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    LoadLibrariesFromTheSystemOnly();
    try {
        Application->SetTitle("Trelvane");
        Application->CreateForm<TTrelMainForm>();
        Application->Run();
    } catch (...) {
        // A window that could not be built: its error is shown, then the
        // program ends.
        Application->HandleException();
        Application->FreeForms();
        return 1;
    }
    // The main window sets it for a scripted start (/preset, /perform).
    return Application->GetExitCode();
}

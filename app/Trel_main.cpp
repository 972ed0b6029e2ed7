// The program's entry point: the application with its main window.
#include "app/Trel_mainform.h"
#include "framework/Fw_forms.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
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

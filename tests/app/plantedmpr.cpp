// A library planted beside a copy of the program under the name of the
// network library (MPR.dll), as a hostile download would be: loaded by any
// process, it leaves the file planted-mpr-loaded.txt beside itself.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

extern "C" __declspec(dllexport) DWORD WINAPI WNetGetUniversalNameA(LPCSTR, DWORD, LPVOID, LPDWORD) {
    return ERROR_NOT_SUPPORTED;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    static wchar_t path[32768];
    DWORD end = reason == DLL_PROCESS_ATTACH ? GetModuleFileNameW(instance, path, 32768 - 32) : 0;
    while (end > 0 && path[end - 1] != L'\\')
        --end;
    if (end > 0 && lstrcpyW(path + end, L"planted-mpr-loaded.txt"))
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return TRUE;
}

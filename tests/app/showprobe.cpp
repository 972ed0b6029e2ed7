// Started by the help tests in place of a help viewer: writes how it was
// asked to show its window into showprobe.txt beside itself, and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    std::string out(path, length);
    out.resize(out.find_last_of('\\') + 1);
    out += "showprobe.txt";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    FILE* file = std::fopen(out.c_str(), "w");
    if (!file)
        return 1;
    std::fprintf(file, "show %d", show);
    std::fclose(file);
    return 0;
}

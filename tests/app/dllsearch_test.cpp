// The program loads no library from its own folder: a library planted beside
// a copy of it, under the name of one that it used to import, is never loaded
// while the program starts and adds the path of its command line.
#include "support/Vek_file.h"
#include "tests/common/TestSupport.h"

#include <windows.h>

#include <string>

namespace {

// Starts the program with the arguments, in the folder.
bool Start(const std::string& program, const std::string& arguments, PROCESS_INFORMATION& process,
           const char* folder = nullptr) {
    std::string line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    return CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                          &process) != FALSE;
}

// Waits for the process's end (and ends it when it takes too long); its exit code.
DWORD Finish(PROCESS_INFORMATION& process) {
    constexpr DWORD kTimeoutMilliseconds = 120000;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, kTimeoutMilliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// Runs the build's driver of the program's window (waits for its rows, or
// closes it as a user does): its exit code.
DWORD Drive(const std::string& arguments) {
    PROCESS_INFORMATION driver{};
    return Start(ProgramDirectory() + TRELVANE_RUNDRIVER, arguments, driver) ? Finish(driver) : STILL_ACTIVE;
}

} // namespace

TEST(DllSearch, ALibraryPlantedBesideTheProgramIsNotLoaded) {
    TTempDir dir;
    const std::string program = dir / "Trelvane.exe";
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + TRELVANE_PROGRAM).c_str(), program.c_str(), TRUE));
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + "plantedmpr.dll").c_str(), (dir / "MPR.dll").c_str(), TRUE));
    const std::string file = dir.MakeFile("a.txt");
    // Wine prefers its own copy of a system library; told to prefer one on
    // disk (the suite runs with WINEDLLOVERRIDES=mpr=n,b, which Wine reads
    // from the host's environment), it searches as Windows does, the
    // program's folder first.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        char overrides[256] = "";
        GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof(overrides));
        ASSERT_NE(std::string(overrides).find("mpr=n,b"), std::string::npos) << overrides;
    }
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(Start(program, "\"" + file + "\"", process, dir.Path().c_str()));
    // The window shows its one entry: the program is up.
    EXPECT_EQ(Drive("wait 1"), 0u);
    EXPECT_FALSE(EntryExists(dir / "planted-mpr-loaded.txt"));
    EXPECT_EQ(Drive("exit"), 0u);
    EXPECT_EQ(Finish(process), 0u);
}

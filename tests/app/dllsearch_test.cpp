// The program loads no library from its own folder: a library planted beside
// a copy of it, under the name of one that it used to import, is never loaded
// while the program starts and adds the path of its command line.
#include "support/Vek_file.h"
#include "tests/common/TestSupport.h"

namespace {

// Runs the program with the arguments in the folder; its process, which the
// caller closes, or null.
HANDLE Start(const std::string& program, const std::string& arguments, const char* folder = nullptr) {
    std::string line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// Waits for the process's end: its exit code, or STILL_ACTIVE after two minutes.
DWORD Finish(HANDLE process) {
    DWORD code = STILL_ACTIVE;
    if (process && WaitForSingleObject(process, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

} // namespace

TEST(DllSearch, ALibraryPlantedBesideTheProgramIsNotLoaded) {
    TTempDir dir;
    const std::string program = dir / "Trelvane.exe";
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + TRELVANE_PROGRAM).c_str(), program.c_str(), TRUE));
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + "plantedmpr.dll").c_str(), (dir / "MPR.dll").c_str(), TRUE));
    // Wine prefers its own copy of a system library; told to prefer one on
    // disk (the suite runs with WINEDLLOVERRIDES=mpr=n,b from the host's
    // environment), it searches as Windows does.
    char overrides[256] = "";
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof(overrides));
    ASSERT_TRUE(!wine || std::string(overrides).find("mpr=n,b") != std::string::npos) << overrides;
    const HANDLE process = Start(program, "\"" + dir.MakeFile("a.txt") + "\"", dir.Path().c_str());
    ASSERT_NE(process, nullptr);
    // The window shows its one entry: the program is up. Then it is closed as a user closes it.
    const std::string driver = ProgramDirectory() + TRELVANE_RUNDRIVER;
    EXPECT_EQ(Finish(Start(driver, "wait 1")), 0u);
    EXPECT_FALSE(EntryExists(dir / "planted-mpr-loaded.txt"));
    EXPECT_EQ(Finish(Start(driver, "exit")), 0u);
    EXPECT_EQ(Finish(process), 0u);
}

// The main of every test suite: reports the ANSI code page the suite runs
// under and refuses to run under another one than the test run asked for.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const UINT acp = GetACP();
    std::printf("[ ANSI CP  ] code page %u\n", acp);
    std::fflush(stdout);
    if (const char* expected = std::getenv("TRELVANE_EXPECT_ACP")) {
        if (static_cast<UINT>(std::atoi(expected)) != acp) {
            std::printf("[  FAILED  ] the run asked for code page %s\n", expected);
            return 1;
        }
    }
    return RUN_ALL_TESTS();
}

// The Win32 unit tests. Run with --report-platform, the program instead
// reports what start-up detects, as its exit code, so that a test can start
// it under another Windows version.
#include <gtest/gtest.h>

#include <cstring>

#include "startup/environment.h"
#include "startup/runstate.h"

int main(int argc, char** argv)
{
    if (argc > 1 && strcmp(argv[1], "--report-platform") == 0) {
        detectPlatform();
        return runState.platform * 10 + runState.windows4OrLater;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

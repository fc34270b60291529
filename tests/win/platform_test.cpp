// Platform detection, checked in a child process that Wine shows the NT
// family (its default, Windows 10) or the Windows 95 family ("win98").
#include <gtest/gtest.h>

#include "winsupport.h"

namespace {

DWORD reportedPlatform(const char* wineVersion)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    Sandbox box("platform");
    std::string copy = box.path("PLATPROBE.EXE");
    CopyFileA(self, copy.c_str(), FALSE);
    WindowsVersionForProgram version("PLATPROBE.EXE", wineVersion);
    Process probe;
    if (!probe.start(copy, "--report-platform"))
        return 0;
    return probe.wait(30000);
}

TEST(Platform, NtFamily)
{
    EXPECT_EQ(reportedPlatform("win10"), 11u);   // platform 1, version 4 or later
    EXPECT_EQ(reportedPlatform("nt40"), 11u);
}

TEST(Platform, Windows95FamilyIsTheOtherPlatform)
{
    EXPECT_EQ(reportedPlatform("win98"), 21u);
    EXPECT_EQ(reportedPlatform("win95"), 21u);
}

#ifndef _WIN64
// The shipped 32-bit program is tested as 64-bit Windows runs it, through
// the 32-bit views of the System folder and of HKLM\Software.
TEST(Platform, The32BitBuildRunsAsOn64BitWindows)
{
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_TRUE(wow64);
}
#endif

} // namespace

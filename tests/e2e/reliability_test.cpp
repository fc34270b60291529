// A run ended from outside part-way and started again: whatever the moment
// of the kill, the same command run again finishes the work, and nothing
// the log did not install is touched. A file's old contents are in its
// backup or already in its place at every moment of a rollback.
#include <gtest/gtest.h>

#include <functional>

#include "winsupport.h"

using namespace std::string_literals;

namespace {

const DWORD kBound = 120000;
const int kFiles = 1000;

// File `i` of `folder`, a hundred to a folder.
std::string numbered(const char* folder, int i)
{
    return std::string(folder) + "\\F" + std::to_string(i / 100) + "\\file" + std::to_string(i) + ".dat";
}

TEST(Reliability, ARollbackKilledPartWayFinishesWhenRunAgain)
{
    Sandbox box("reliability");
    layOut(box.root, "App\\new.txt=new|App\\F7\\user.doc|Backup\\");
    std::string first = "***  one\r\nTitle: T\r\nMade Dir: " + box.path("App") + "\r\n";
    std::string second = "***  two\r\nFile Copy: " + box.path("App\\new.txt") + "\r\n";
    for (int i = 0; i < kFiles; ++i) {
        first += "File Copy: " + box.path(numbered("App", i)) + "\r\n";
        second += "File Copy: " + box.path(numbered("App", i)) + "\r\nBackup Copy: " + box.path(numbered("Backup", i)) +
                  "\r\n";
        box.writeFile(numbered("App", i), "new " + std::to_string(i));
        box.writeFile(numbered("Backup", i), "old " + std::to_string(i));
    }
    auto count = [&](const std::function<bool(int)>& test) {
        int passed = 0;
        for (int i = 0; i < kFiles; ++i)
            passed += test(i);
        return passed;
    };
    auto restored = [&](int i) { return box.readFile(numbered("App", i)) == "old " + std::to_string(i); };
    auto backedUp = [&](int i) { return box.exists(numbered("Backup", i)); };

    // Killed once a tenth of the work is done, while it is still at work.
    Process run;
    ASSERT_TRUE(box.startOnLog(run, "/S /R", first + second));
    for (DWORD start = GetTickCount(); box.exists(numbered("Backup", kFiles / 10)); Sleep(1))
        ASSERT_LT(GetTickCount() - start, kBound);
    TerminateProcess(run.info.hProcess, 1);
    ASSERT_EQ(run.wait(kBound), 1u) << "the run ended by itself before it was killed";
    EXPECT_EQ(count([&](int i) { return restored(i) || backedUp(i); }), kFiles);

    Process again;
    ASSERT_TRUE(again.start(box.path("Bin\\UNINSTAL.EXE"), "/S /R " + shortPath(box.path("App\\INSTALL.LOG"))));
    EXPECT_EQ(again.wait(kBound), 0u);
    EXPECT_EQ(count(restored), kFiles);
    EXPECT_EQ(count(backedUp), 0);
    expectLaidOut(box.root, "-App\\new.txt|App\\F7\\user.doc|App\\INSTALL.LOG=" + first);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    EXPECT_FALSE(present(temp + "RUV1A2B.EXE"s)) << "no temporary copy of a program the log did not install";
}

} // namespace

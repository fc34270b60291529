// Runs ended from outside part-way and started again: whatever the moment
// of the kill, the same command run again finishes the work, and nothing
// the log did not install is touched. A file's old contents are in its
// backup or already in its place at every moment of a rollback.
#include <gtest/gtest.h>

#include <functional>

#include "winsupport.h"

using namespace std::string_literals;

namespace {

const DWORD kBound = 120000;

// File `i` of `folder`, a hundred to a folder.
std::string numbered(const char* folder, int i)
{
    return std::string(folder) + "\\F" + std::to_string(i / 100) + "\\file" + std::to_string(i) + ".dat";
}

struct Case {
    const char* switches;
    int files;
    std::string unlogged, after;   // laid out before, expected after the second run
    bool rollback;
};

TEST(Reliability, ARunKilledPartWayFinishesWhenRunAgain)
{
    const Case cases[] = {
        {"/S", 2000, "App\\F7\\user.doc|App\\Mine\\note.txt",
         "App\\F7\\user.doc|App\\Mine\\note.txt|-App\\F0|-App\\F19|-App\\INSTALL.LOG", false},
        {"/S /R", 1000, "App\\new.txt=new|App\\F7\\user.doc", "-App\\new.txt|App\\F7\\user.doc", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.switches);
        Sandbox box(c.rollback ? "reliability rollback" : "reliability uninstall");
        layOut(box.root, c.unlogged + "|App\\|Backup\\");
        std::string first = "***  one\r\nTitle: T\r\nMade Dir: " + box.path("App") + "\r\n";
        std::string second = "***  two\r\nFile Copy: " + box.path("App\\new.txt") + "\r\n";
        for (int i = 0; i < c.files; ++i) {
            if (i % 100 == 0)
                first += "Made Dir: " + box.path(numbered("App", i).substr(0, numbered("App", i).rfind('\\'))) + "\r\n";
            first += "File Copy: " + box.path(numbered("App", i)) + "\r\n";
            second += "File Copy: " + box.path(numbered("App", i)) + "\r\nBackup Copy: " +
                      box.path(numbered("Backup", i)) + "\r\n";
            box.writeFile(numbered("App", i), c.rollback ? "new " + std::to_string(i) : "x");
            if (c.rollback)
                box.writeFile(numbered("Backup", i), "old " + std::to_string(i));
        }
        std::string log = c.rollback ? first + second : first;
        auto count = [&](const std::function<bool(const std::string&, int)>& test) {
            int passed = 0;
            for (int i = 0; i < c.files; ++i)
                passed += test(numbered("App", i), i);
            return passed;
        };
        auto restored = [&](const std::string& file, int i) { return box.readFile(file) == "old " + std::to_string(i); };
        auto backedUp = [&](const std::string&, int i) { return box.exists(numbered("Backup", i)); };

        // Killed once a tenth of the work is done, while it is still at work.
        Process run;
        ASSERT_TRUE(box.startOnLog(run, c.switches, log));
        const std::string tenth = numbered(c.rollback ? "Backup" : "App", c.files / 10);
        for (DWORD start = GetTickCount(); box.exists(tenth); Sleep(1))
            ASSERT_LT(GetTickCount() - start, kBound);
        TerminateProcess(run.info.hProcess, 1);
        ASSERT_EQ(run.wait(kBound), 1u) << "the run ended by itself before it was killed";
        if (c.rollback) {
            EXPECT_EQ(count([&](const std::string& file, int i) { return restored(file, i) || backedUp(file, i); }),
                      c.files);
        }

        Process again;
        ASSERT_TRUE(again.start(box.path("Bin\\UNINSTAL.EXE"), std::string(c.switches) + " " +
                                                                 shortPath(box.path("App\\INSTALL.LOG"))));
        EXPECT_EQ(again.wait(kBound), 0u);
        if (c.rollback) {
            EXPECT_EQ(count(restored), c.files);
            EXPECT_EQ(count(backedUp), 0);
            expectLaidOut(box.root, c.after + "|App\\INSTALL.LOG=" + first);
        } else {
            EXPECT_EQ(count([&](const std::string& file, int) { return box.exists(file); }), 0);
            expectLaidOut(box.root, c.after);
        }
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        EXPECT_FALSE(present(temp + "RUV1A2B.EXE"s)) << "no temporary copy of a program the log did not install";
    }
}

} // namespace

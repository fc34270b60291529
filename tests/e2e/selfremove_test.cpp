// The program removing itself. An installation that logged UNINSTAL.EXE in
// its own folder loses it and every emptied folder once the temporary copy
// has run; the copy waits for the restart, which really removes it.
#include <gtest/gtest.h>

#include "winsupport.h"

using namespace std::string_literals;

namespace {

const DWORD kWait = 20000;

// The copy's path, as the program forms it: "RUV", 6699 and ".EXE".
std::string copyPath()
{
    char folder[MAX_PATH], name[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "RUV", 6699, name);
    std::string path = name;
    return path.substr(0, path.size() - 3) + "EXE";
}

// /Z first: the program is disposable. It makes no copy; its companion INI
// goes at once, and its own file, which a running program cannot delete, at
// the next restart, which is also when the copy of the second run goes.
TEST(SelfRemoval, TheProgramAndItsEmptiedFoldersGo)
{
    const std::string copy = copyPath(), copyName = copy.substr(copy.rfind('\\') + 1);
    Sandbox box("self removal");
    forgetRestartWork();
    DeleteFileA(copy.c_str());
    std::string disposable = box.installProgram("Z\\UNINSTAL.EXE");
    layOut(box.root, "Z\\UNINSTAL.INI=[Settings]\r\n|Z\\INSTALL.LOG=***  x\r\nTitle: T\r\n");
    Process first;
    ASSERT_TRUE(first.start(disposable, "/Z /S " + shortPath(box.path("Z\\INSTALL.LOG"))));
    EXPECT_EQ(first.wait(kWait), 0u);
    EXPECT_FALSE(present(copy));
    EXPECT_FALSE(box.exists("Z\\UNINSTAL.INI"));

    std::string program = box.installProgram("Top\\App\\UNINSTAL.EXE");
    layOut(box.root, "Top\\App\\a.txt|Top\\Data\\|Top\\Kept\\user.doc");
    box.writeFile("Top\\App\\INSTALL.LOG", "***  x\r\nTitle: T\r\nMade Dir: " + box.path("Top") + "\r\nMade Dir: " +
                                               box.path("Top\\App") + "\r\nMade Dir: " + box.path("Top\\Data") +
                                               "\r\nFile Copy: " + program + "\r\nFile Copy: " +
                                               box.path("Top\\App\\a.txt") + "\r\n");
    Process run;
    ASSERT_TRUE(run.start(program, "/S " + shortPath(box.path("Top\\App\\INSTALL.LOG"))));
    EXPECT_EQ(run.wait(kWait), 0u);
    for (int i = 0; i < 20 && !processRunning(copyName.c_str()); ++i)
        Sleep(50);
    for (int i = 0; i < 400 && processRunning(copyName.c_str()); ++i)
        Sleep(50);
    expectLaidOut(box.root, "-Top\\App|-Top\\Data|Top\\Kept\\user.doc");
    DWORD type;
    std::string pending;
    EXPECT_TRUE(readValue(kSessionManager, "PendingFileRenameOperations", &type, &pending));
    EXPECT_NE(pending.find("\\??\\" + copy + "\0\0"s), std::string::npos) << "the copy waits for the restart";
    EXPECT_TRUE(present(copy));
    ASSERT_TRUE(restartWine());
    EXPECT_FALSE(present(copy)) << "the restart did not remove the copy";
    EXPECT_FALSE(box.exists("Z\\UNINSTAL.EXE"));
    forgetRestartWork();
}

} // namespace

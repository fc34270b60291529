// The program removing itself, the restart question, and the box that names
// a preview's record. An installation that logged UNINSTAL.EXE in its
// own folder loses it and every emptied folder once the temporary copy has
// run; the copy waits for the restart, which really removes it.
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

// A visible rollback that leaves a file in use asks whether to restart;
// Cancel writes no restart program and restarts nothing: the replacement
// waits. A visible preview changes nothing, not even for that file (no
// restart question, no temporary copy), and ends with a box naming its
// record: Yes and No when it was written (by default UNINSTAL.TXT in the
// temporary folder), OK alone when it could not be.
TEST(Record, ARollbackWithAFileInUseEndsWithAQuestionOrABoxNamingItsRecord)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string restarter = windowsDirectory() + "\\_MSRSTRT.EXE";
    struct Case {
        std::string switches, record;
        int button;
    } cases[] = {
        {"/A /R", "", IDCANCEL},
        {"/A /P /R", std::string(temp) + "UNINSTAL.TXT", IDNO},
        {"/A /P /R /L=C:\\ruvotest\\None\\r.txt", "C:\\ruvotest\\None\\r.txt", IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.switches);
        Sandbox box("preview box");
        forgetRestartWork();
        for (const std::string& path : {restarter, c.record, copyPath()})
            DeleteFileA(path.c_str());
        layOut(box.root, "App\\a.dll=new|Backup\\a.dll=old");
        HeldFile held(box.path("App\\a.dll"));
        Process run;
        ASSERT_TRUE(box.startOnLog(run, c.switches, "***  one\r\nTitle: T\r\nFile Copy: " + box.path("App\\a.dll") +
                                                        "\r\n***  two\r\nFile Copy: " + box.path("App\\a.dll") +
                                                        "\r\nBackup Copy: " + box.path("Backup\\a.dll") + "\r\n"));
        HWND end = waitForBox(run.info.dwProcessId, kWait,
                              [](HWND w) { return GetDlgItem(w, 0xFFFF) && !GetDlgItem(w, 1003); });
        ASSERT_NE(end, nullptr);
        bool written = c.button == IDNO;
        EXPECT_NE(windowText(GetDlgItem(end, 0xFFFF)).find(c.record), std::string::npos);
        EXPECT_TRUE(c.record.empty() || (GetDlgItem(end, IDNO) != nullptr) == written);
        EXPECT_TRUE(c.record.empty() || !present(copyPath()));
        pressButton(GetDlgItem(end, c.button));
        EXPECT_EQ(run.wait(kWait), 0u);
        held.release();
        Sleep(c.record.empty() ? 2000 : 0);   // a restart would have carried out the queued work by now
        EXPECT_FALSE(present(restarter));
        EXPECT_EQ(box.readFile("App\\a.dll"), "new");
        EXPECT_EQ(renamesPending(), c.record.empty());
        if (c.record.empty())
            continue;
        EXPECT_TRUE(box.exists("Backup\\a.dll"));
        std::string record = readWholeFile(c.record);
        EXPECT_EQ(record.find("run\tpreview of a rollback\r\n") != std::string::npos, written);
        EXPECT_EQ(record.find("would defer\tfile\t" + box.path("App\\a.dll")) != std::string::npos, written);
    }
    forgetRestartWork();
}

} // namespace

// Runs ended from outside part-way and started again: whatever the moment
// of the kill, the same command run again finishes the work, and nothing
// the log did not install is touched.
#include <gtest/gtest.h>

#include <functional>

#include "winsupport.h"

namespace {

const DWORD kBound = 120000;

bool pollUntil(const std::function<bool()>& done)
{
    for (DWORD start = GetTickCount(); !done(); Sleep(1))
        if (GetTickCount() - start > kBound)
            return false;
    return true;
}

// File `i` of `folder`, a hundred to a folder.
std::string numbered(const char* folder, int i)
{
    return std::string(folder) + "\\F" + std::to_string(i / 100) + "\\file" + std::to_string(i) + ".dat";
}

// Writes file `i` of `folder`, its folder made with the first of a hundred.
void writeNumbered(const Sandbox& box, const char* folder, int i, const std::string& content)
{
    std::string path = box.path(numbered(folder, i));
    if (i % 100 == 0) {
        box.writeFile(numbered(folder, i), content);
        return;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

// How many of the `count` numbered files of `folder` pass `test`.
int counted(const char* folder, int count, const std::function<bool(const std::string&, int)>& test)
{
    int passed = 0;
    for (int i = 0; i < count; ++i)
        passed += test(numbered(folder, i), i);
    return passed;
}

// Starts the command and kills it once `reached` holds, while it is still at work.
void killOnceAt(const std::string& program, const std::string& arguments, const std::function<bool()>& reached)
{
    Process run;
    ASSERT_TRUE(run.start(program, arguments));
    ASSERT_TRUE(pollUntil(reached));
    TerminateProcess(run.info.hProcess, 1);
    ASSERT_EQ(run.wait(kBound), 1u) << "the run ended by itself before it was killed";
}

std::string temporaryCopy()
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "RUV1A2B.EXE";
}

TEST(Reliability, AnUninstallKilledPartWayFinishesWhenRunAgain)
{
    const int kFiles = 2000;
    Sandbox box("reliability uninstall");
    std::string log = "***  x\r\nTitle: T\r\nMade Dir: " + box.path("App") + "\r\n";
    for (int i = 0; i < kFiles; ++i) {
        if (i % 100 == 0)
            log += "Made Dir: " + box.path(numbered("App", i).substr(0, numbered("App", i).rfind('\\'))) + "\r\n";
        log += "File Copy: " + box.path(numbered("App", i)) + "\r\n";
        writeNumbered(box, "App", i, "x");
    }
    const std::string unlogged = "App\\F7\\user.doc|App\\Mine\\note.txt";
    layOut(box.root, unlogged);
    box.writeFile("App\\INSTALL.LOG", log);
    std::string program = box.installProgram("Bin\\UNINSTAL.EXE");
    std::string arguments = "/S " + shortPath(box.path("App\\INSTALL.LOG"));

    ASSERT_NO_FATAL_FAILURE(killOnceAt(program, arguments, [&] { return !box.exists(numbered("App", kFiles / 10)); }));

    Process again;
    ASSERT_TRUE(again.start(program, arguments));
    EXPECT_EQ(again.wait(kBound), 0u);
    EXPECT_EQ(counted("App", kFiles, [&](const std::string& file, int) { return box.exists(file); }), 0);
    expectLaidOut(box.root, unlogged + "|-App\\F0|-App\\F19|-App\\INSTALL.LOG");
    EXPECT_FALSE(present(temporaryCopy()));
}

// A file's old contents are in its backup or already in its place at every
// moment of a rollback; the rollback run again puts back the rest.
TEST(Reliability, ARollbackKilledPartWayRestoresEveryBackupWhenRunAgain)
{
    const int kFiles = 1000;
    Sandbox box("reliability rollback");
    std::string first = "***  one\r\nTitle: T\r\n", second = "***  two\r\nFile Copy: " + box.path("App\\new.txt") + "\r\n";
    for (int i = 0; i < kFiles; ++i) {
        first += "File Copy: " + box.path(numbered("App", i)) + "\r\n";
        second += "File Copy: " + box.path(numbered("App", i)) + "\r\nBackup Copy: " + box.path(numbered("Backup", i)) + "\r\n";
        writeNumbered(box, "App", i, "new " + std::to_string(i));
        writeNumbered(box, "Backup", i, "old " + std::to_string(i));
    }
    box.writeFile("App\\new.txt", "new");
    box.writeFile("App\\INSTALL.LOG", first + second);
    std::string program = box.installProgram("Bin\\UNINSTAL.EXE");
    std::string arguments = "/S /R " + shortPath(box.path("App\\INSTALL.LOG"));
    auto restored = [&](const std::string& file, int i) { return box.readFile(file) == "old " + std::to_string(i); };
    auto backedUp = [&](const std::string&, int i) { return box.exists(numbered("Backup", i)); };

    ASSERT_NO_FATAL_FAILURE(
        killOnceAt(program, arguments, [&] { return !box.exists(numbered("Backup", kFiles / 10)); }));
    EXPECT_EQ(counted("App", kFiles, [&](const std::string& file, int i) { return restored(file, i) || backedUp(file, i); }),
              kFiles);

    Process again;
    ASSERT_TRUE(again.start(program, arguments));
    EXPECT_EQ(again.wait(kBound), 0u);
    EXPECT_EQ(counted("App", kFiles, restored), kFiles);
    EXPECT_EQ(counted("App", kFiles, backedUp), 0);
    expectLaidOut(box.root, "-App\\new.txt|App\\INSTALL.LOG=" + first);
}

} // namespace

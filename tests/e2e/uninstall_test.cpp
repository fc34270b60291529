// Whole uninstalls as the program runs them (silent, so no window asks
// anything): an installation is laid out in a sandbox folder, the registry
// and the System directory, its log written, UNINSTAL.EXE run on it, and
// what is left is checked.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "winsupport.h"

namespace {

const DWORD kWait = 60000;





void setValue(const std::string& key, const char* name, DWORD type, const std::string& data)
{
    HKEY handle;
    RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
    RegSetValueExA(handle, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    RegCloseKey(handle);
}

bool readValue(const std::string& key, const char* name, DWORD* type, std::string* data)
{
    BYTE buffer[512];
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, type, buffer, &size) !=
        ERROR_SUCCESS)
        return false;
    data->assign(reinterpret_cast<char*>(buffer), size);
    return true;
}

bool keyPresent(const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// Runs the program from the sandbox's Bin folder (apart from what it
// removes) with `switches` on the log, and waits for its end.
DWORD runUninstall(const Sandbox& box, const std::string& switches, const std::string& log)
{
    CreateDirectoryA(box.path("Bin").c_str(), nullptr);
    Process program;
    if (!program.start(box.installProgram("Bin\\UNINSTAL.EXE"), switches + " " + shortPath(log)))
        return 1234;
    return program.wait(kWait);
}

struct SilentUninstall : ::testing::Test {
    Sandbox box{"e2e silent"};
    SandboxKey key{"e2e_silent"};
    std::string system = systemDirectory();
    std::string reg = "Software\\RuvoTest\\e2e_silent";

    void TearDown() override
    {
        DeleteFileA((system + "\\RUVOE2E1.DLL").c_str());
        DeleteFileA((system + "\\RUVOE2E2.DLL").c_str());
    }
};

TEST_F(SilentUninstall, UndoesEveryKindOfChangeItKnows)
{
    std::string app = box.path("App Folder"), tree = box.path("Tree");
    for (const char* f : {"MAIN.EXE", "HELP\\APP.HLP", "HELP\\APP.GID", "HELP\\APP.FTS", "DATA\\a.dat", "DATA\\b.dat",
                          "DATA\\keep.txt", "RO.TXT", "HID.TXT", "APP.INI", "Made\\user.doc"})
        box.writeFile(std::string("App Folder\\") + f, "x");
    CreateDirectoryA((app + "\\Empty Made").c_str(), nullptr);
    SetFileAttributesA((app + "\\RO.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((app + "\\HID.TXT").c_str(), FILE_ATTRIBUTE_HIDDEN);
    box.writeFile("Tree\\t1.txt", "x");
    box.writeFile("Tree\\Sub\\t2.txt", "x");
    box.writeFile("Tree\\.keep\\state", "x");
    box.writeFile("shared.ini", "[S]\r\nrestored=new\r\nadded=new\r\nother=stays\r\n");
    writeWholeFile(system + "\\RUVOE2E1.DLL", "x");
    writeWholeFile(system + "\\RUVOE2E2.DLL", "x");
    setValue(reg + "\\Created\\Deep", "v", REG_SZ, std::string("1\0", 2));
    setValue(reg + "\\Changed", "sz", REG_SZ, std::string("new\0", 4));
    setValue(reg + "\\Changed", "expand", REG_SZ, std::string("new\0", 4));
    setValue(reg + "\\Changed", "multi", REG_SZ, std::string("new\0", 4));
    setValue(reg + "\\Changed", "dword", REG_DWORD, std::string("\1\0\0\0", 4));
    setValue(reg + "\\Changed", "binary", REG_BINARY, std::string("\1", 1));
    setValue(reg + "\\Tree\\A\\B", "v", REG_SZ, std::string("1\0", 2));

    std::string log = "***  Installation\r\nTitle: Silent Test Installation\r\n"
                      "Made Dir: " + app + "\r\n"
                      "Made Dir: " + app + "\\Made\r\n"
                      "Made Dir: " + app + "\\Empty Made\r\n"
                      "File Tree: " + tree + "\\*.*\r\n"
                      "File Copy: " + app + "\\MAIN.EXE | 1.0\r\n"
                      "File Copy: " + app + "\\HELP\\APP.HLP\r\n"
                      "File Copy: " + app + "\\DATA\\*.dat\r\n"
                      "File Copy: " + app + "\\RO.TXT\r\n"
                      "File Copy: " + app + "\\HID.TXT\r\n"
                      "File Copy: " + system + "\\RUVOE2E1.DLL\r\n"
                      "Non-System File:\r\nFile Copy: " + system + "\\RUVOE2E2.DLL\r\n"
                      "INI New: x\r\nINI File: " + app + "\\APP.INI\r\nINI Sect: S\r\nINI Item: I\r\nINI Val: V\r\n"
                      "INI File: " + app + "\\APP.INI\r\nINI Sect: S\r\nINI Item: J\r\nINI Val: V\r\nINI Old: W\r\n"
                      "INI File: " + box.path("shared.ini") + "\r\nINI Sect: S\r\nINI Item: restored\r\nINI Val: new\r\nINI Old: old\r\n"
                      "INI File: " + box.path("shared.ini") + "\r\nINI Sect: S\r\nINI Item: added\r\nINI Val: new\r\n"
                      "RegDB Key: " + reg + "\\Created\\Deep\r\nRegDB Val: 1\r\nRegDB Name: v\r\nRegDB Root: 1\r\n"
                      "RegDB Key: " + reg + "\\Changed\r\nRegDB Val: new\r\nRegDB Name: sz\r\nRegDB Root: 1\r\nRegDB Old: old text\r\n"
                      "RegDB Key: " + reg + "\\Changed\r\nRegDB Val: new\r\nRegDB Name: expand\r\nRegDB Type: 1\r\nRegDB Root: 1\r\nRegDB Old: %TEMP%\\x\r\n"
                      "RegDB Key: " + reg + "\\Changed\r\nRegDB Val: new\r\nRegDB Name: multi\r\nRegDB Type: 2\r\nRegDB Root: 1\r\nRegDB Old: a\r\nRegDB Old: bc\r\n"
                      "RegDB Key: " + reg + "\\Changed\r\nRegDB Val: new\r\nRegDB Name: dword\r\nRegDB Type: 3\r\nRegDB Root: 1\r\nRegDB Old: -1\r\n"
                      "RegDB Key: " + reg + "\\Changed\r\nRegDB Val: new\r\nRegDB Name: binary\r\nRegDB Type: 4\r\nRegDB Root: 1\r\nRegDB Old: de ad be\r\n"
                      "RegDB Tree: " + reg + "\\Tree\r\nRegDB Root: 1\r\n";
    box.writeFile("App Folder\\INSTALL.LOG", log);

    EXPECT_EQ(runUninstall(box, "/S", app + "\\INSTALL.LOG"), 0u);

    // Files: logged ones go, with help companions and the whole pattern.
    for (const char* f : {"MAIN.EXE", "HELP\\APP.HLP", "HELP\\APP.GID", "HELP\\APP.FTS", "DATA\\a.dat", "DATA\\b.dat",
                          "RO.TXT", "HID.TXT", "APP.INI", "INSTALL.LOG"})
        EXPECT_FALSE(present(app + "\\" + f)) << f;
    EXPECT_TRUE(present(app + "\\DATA\\keep.txt"));
    EXPECT_TRUE(present(system + "\\RUVOE2E1.DLL")) << "a system file nobody chose stays";
    EXPECT_FALSE(present(system + "\\RUVOE2E2.DLL")) << "a Non-System File goes";
    // Directories: made ones only when empty, a file tree with its files.
    EXPECT_FALSE(present(app + "\\Empty Made"));
    EXPECT_FALSE(present(app + "\\HELP"));
    EXPECT_TRUE(present(app + "\\Made\\user.doc"));
    EXPECT_FALSE(present(tree + "\\t1.txt"));
    EXPECT_FALSE(present(tree + "\\Sub"));
    EXPECT_TRUE(present(tree + "\\.keep\\state"));
    // INI: entries of the deleted file are not written, others go back.
    EXPECT_FALSE(present(app + "\\APP.INI"));
    std::string ini = readWholeFile(box.path("shared.ini"));
    EXPECT_NE(ini.find("restored=old"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("added="), std::string::npos) << ini;
    EXPECT_NE(ini.find("other=stays"), std::string::npos) << ini;
    // Registry.
    EXPECT_FALSE(keyPresent(reg + "\\Created"));
    EXPECT_FALSE(keyPresent(reg + "\\Tree"));
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(readValue(reg + "\\Changed", "sz", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, std::string("old text\0", 9));
    ASSERT_TRUE(readValue(reg + "\\Changed", "expand", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(data, std::string("%TEMP%\\x\0", 9));
    ASSERT_TRUE(readValue(reg + "\\Changed", "multi", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(data.substr(0, 5), std::string("a\0bc\0", 5));
    ASSERT_TRUE(readValue(reg + "\\Changed", "dword", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, std::string("\xFF\xFF\xFF\xFF", 4));
    ASSERT_TRUE(readValue(reg + "\\Changed", "binary", &type, &data));
    EXPECT_EQ(data, std::string("\xDE\xAD\xBE", 3));
}

TEST_F(SilentUninstall, TheLogAndItsEmptiedFolderGo)
{
    box.writeFile("Only\\a.txt", "x");
    box.writeFile("Only\\INSTALL.LOG", "***  x\r\nTitle: T\r\nFile Copy: " + box.path("Only\\a.txt") + "\r\n");
    EXPECT_EQ(runUninstall(box, "/S", box.path("Only\\INSTALL.LOG")), 0u);
    EXPECT_FALSE(box.exists("Only"));
}

TEST_F(SilentUninstall, DotComponentsNeverAimAtTheParent)
{
    box.writeFile("Parent\\precious.txt", "x");
    box.writeFile("Parent\\App\\INSTALL.LOG",
                  "***  x\r\nTitle: T\r\n"
                  "File Tree: " + box.path("Parent\\App\\..") + "\\*.*\r\n"
                  "Made Dir: " + box.path("Parent\\App\\..\\") + "\r\n"
                  "File Copy: " + box.path("Parent\\App\\..\\*.*") + "\r\n");
    EXPECT_EQ(runUninstall(box, "/S", box.path("Parent\\App\\INSTALL.LOG")), 0u);
    EXPECT_TRUE(box.exists("Parent\\precious.txt"));
}

// "User Rights: Admin" is checked on the NT family only, by opening the
// service control manager with full access, which Wine grants its user; on
// the Windows 95 family there is nothing to check. Either way the log loads.
TEST_F(SilentUninstall, AnAdministratorsLogLoadsOnBothFamilies)
{
    for (const char* version : {"win10", "win98"}) {
        SCOPED_TRACE(version);
        WindowsVersionForProgram family("UNINSTAL.EXE", version);
        box.writeFile("Admin\\a.txt", "x");
        box.writeFile("Admin\\INSTALL.LOG",
                      "***  x\r\nTitle: T\r\nUser Rights: Admin\r\nFile Copy: " + box.path("Admin\\a.txt") + "\r\n");
        EXPECT_EQ(runUninstall(box, "/S", box.path("Admin\\INSTALL.LOG")), 0u);
        EXPECT_FALSE(box.exists("Admin\\a.txt"));
    }
}

// --- Rollback --------------------------------------------------------------

struct Rollback : ::testing::Test {
    Sandbox box{"e2e rollback"};
    std::string app = box.path("App");
    std::string section1, section2;

    void SetUp() override
    {
        box.writeFile("App\\a.dll", "version 2");
        box.writeFile("App\\b.dll", "version 1");
        box.writeFile("App\\c.dll", "version 2");
        box.writeFile("App\\cfg.txt", "edited");
        box.writeFile("Backup\\a.dll", "version 1");
        box.writeFile("Backup\\cfg.txt", "original");
        section1 = "***  one\r\nTitle: Rollback\r\n"
                   "File Copy: " + app + "\\a.dll\r\n"
                   "File Copy: " + app + "\\b.dll\r\n";
        section2 = "***  two\r\n"
                   "File Copy: " + app + "\\a.dll\r\nBackup Copy: " + box.path("Backup\\a.dll") + "\r\n"
                   "File Copy: " + app + "\\c.dll\r\n"
                   "File Edit: " + app + "\\cfg.txt\r\nBackup Copy: " + box.path("Backup\\cfg.txt") + "\r\n";
    }
};

TEST_F(Rollback, UndoesOnlyTheLastSectionAndCutsTheLog)
{
    box.writeFile("App\\INSTALL.LOG", section1 + section2);
    EXPECT_EQ(runUninstall(box, "/S /R", app + "\\INSTALL.LOG"), 0u);
    EXPECT_EQ(box.readFile("App\\a.dll"), "version 1");   // restored from its backup
    EXPECT_FALSE(box.exists("Backup\\a.dll"));
    EXPECT_EQ(box.readFile("App\\b.dll"), "version 1");   // the first installation's file stays
    EXPECT_FALSE(box.exists("App\\c.dll"));               // the last installation's new file goes
    EXPECT_EQ(box.readFile("App\\cfg.txt"), "original");  // edited file back
    EXPECT_FALSE(box.exists("Backup\\cfg.txt"));
    EXPECT_EQ(box.readFile("App\\INSTALL.LOG"), section1);
}

TEST_F(Rollback, WithOneSectionTheLogIsDeleted)
{
    box.writeFile("App\\INSTALL.LOG", "***  two\r\nTitle: Rollback\r\n" + section2.substr(section2.find("File Copy")));
    EXPECT_EQ(runUninstall(box, "/S /R", app + "\\INSTALL.LOG"), 0u);
    EXPECT_EQ(box.readFile("App\\a.dll"), "version 1");
    EXPECT_FALSE(box.exists("App\\INSTALL.LOG"));
}

// --- Files in use ----------------------------------------------------------

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";

void clearPendingRenames()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "PendingFileRenameOperations");
        RegCloseKey(key);
    }
}

std::string pendingRenames()
{
    char data[4096];
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                     data, &size) != ERROR_SUCCESS)
        return "";
    std::string text(data, size);
    for (char& c : text)
        if (c == '\0')
            c = '|';
    return text;
}

// Wine carries out what waits for the restart: pending renames and
// WININIT.INI.
void restartWine()
{
    Process boot;
    ASSERT_TRUE(boot.start(windowsDirectory() + "\\system32\\wineboot.exe", "-r"));
    EXPECT_EQ(boot.wait(kWait), 0u);
}

struct InUse : Rollback {
    std::string wininit = windowsDirectory() + "\\WININIT.INI";
    void SetUp() override
    {
        Rollback::SetUp();
        clearPendingRenames();
        DeleteFileA(wininit.c_str());
        box.writeFile("App\\INSTALL.LOG", section1 + section2);
    }
    void TearDown() override
    {
        clearPendingRenames();
        DeleteFileA(wininit.c_str());
    }
    // Runs the rollback while this process holds a.dll open without sharing.
    void rollBackWhileHeld()
    {
        HANDLE held = CreateFileA((app + "\\a.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(runUninstall(box, "/S /R", app + "\\INSTALL.LOG"), 0u);
        CloseHandle(held);
        EXPECT_EQ(box.readFile("App\\a.dll"), "version 2") << "still the file that was in use";
        EXPECT_FALSE(box.exists("Backup\\a.dll")) << "its contents wait in the temporary file";
        EXPECT_EQ(box.readFile("App\\~RUX0000.TMP"), "version 1");
    }
};

TEST_F(InUse, NtFamilyQueuesADeleteAndAMoveForTheRestart)
{
    rollBackWhileHeld();
    std::string pending = pendingRenames();
    size_t remove = pending.find("a.dll||");
    size_t move = pending.find("~RUX0000.TMP|");
    EXPECT_NE(remove, std::string::npos) << pending;
    EXPECT_NE(move, std::string::npos) << pending;
    EXPECT_LT(remove, move) << "the delete comes first";
    restartWine();
    EXPECT_EQ(box.readFile("App\\a.dll"), "version 1");
    EXPECT_FALSE(box.exists("App\\~RUX0000.TMP"));
}

TEST_F(InUse, Windows95FamilyWritesTheRenameIntoWininit)
{
    WindowsVersionForProgram win98("UNINSTAL.EXE", "win98");
    rollBackWhileHeld();
    EXPECT_EQ(pendingRenames(), "");
    char value[MAX_PATH] = "";
    GetPrivateProfileStringA("rename", shortPath(app + "\\a.dll").c_str(), "", value, sizeof value, wininit.c_str());
    EXPECT_EQ(std::string(value), shortPath(app + "\\~RUX0000.TMP"));
    restartWine();
    EXPECT_EQ(box.readFile("App\\a.dll"), "version 1");
}

} // namespace

// The engine's actions on Wine's real files, registry and restart queues:
// each answers 0 or the error code the engine tells apart, and does what
// the in-memory machine of the native tests assumes. Each test works in its
// own folder and under HKEY_CURRENT_USER\Software\RuvoTest.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/devices.h"
#include "engine/winhost.h"
#include "startup/runstate.h"
#include "winsupport.h"

using namespace std::string_literals;

namespace {

struct HostTest : ::testing::Test {
    Sandbox box{"host"};
    SandboxKey key{"host"};
    EngineHost host = {};
    void SetUp() override { fillMachineHost(&host); }
    std::string sub(const std::string& below = "") const { return key.subKey + (below.empty() ? "" : "\\" + below); }
};

TEST_F(HostTest, FileActionsAnswerWithTheWindowsErrorCode)
{
    box.writeFile("a.txt", "0123456789");
    box.writeFile("ro.txt", "x");
    box.writeFile("held.txt", "x");
    box.writeFile("Full\\x", "x");
    SetFileAttributesA(box.path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE held = CreateFileA(box.path("held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(host.deleteFile(box.path("ro.txt").c_str()), kErrorAccessDenied);   // reset first, then delete again
    EXPECT_EQ(host.setAttributes(box.path("ro.txt").c_str(), kAttributeNormal), 0u);
    EXPECT_EQ(host.deleteFile(box.path("ro.txt").c_str()), 0u);
    EXPECT_NE(host.deleteFile(box.path("held.txt").c_str()), 0u);
    EXPECT_NE(host.copyFile(box.path("a.txt").c_str(), box.path("held.txt").c_str()), 0u);
    CloseHandle(held);
    EXPECT_EQ(host.deleteFile(box.path("gone.txt").c_str()), kErrorFileNotFound);
    EXPECT_EQ(host.attributes(box.path("gone.txt").c_str()), kNoAttributes);
    EXPECT_EQ(host.attributes(box.path("Full").c_str()) & kAttributeDirectory, kAttributeDirectory);
    EXPECT_NE(host.removeDirectory(box.path("Full").c_str()), 0u);
    EXPECT_EQ(host.copyFile(box.path("a.txt").c_str(), box.path("b.txt").c_str()), 0u);
    EXPECT_EQ(host.truncateFile(box.path("b.txt").c_str(), 4), 0u);
    EXPECT_EQ(box.readFile("b.txt"), "0123");
    EXPECT_EQ(host.truncateFile(box.path("none.txt").c_str(), 2), kErrorFileNotFound);
    EXPECT_FALSE(box.exists("none.txt")) << "a cut never makes the file";
}

TEST_F(HostTest, EnumerationReportsHiddenEntriesButNotTheDotEntries)
{
    box.writeFile("Dir\\a.txt", "x");
    box.writeFile("Dir\\b.txt", "x");
    box.writeFile("Dir\\Sub\\c.txt", "x");
    SetFileAttributesA(box.path("Dir\\b.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    std::string seen;
    FoundEntry entry;
    void* find = host.findFirst(box.path("Dir\\*.*").c_str(), &entry);
    for (bool found = find != nullptr; found; found = host.findNext(find, &entry))
        seen += std::string(entry.name) + ((entry.attributes & kAttributeDirectory) ? "/ " : " ");
    if (find)
        host.findClose(find);
    EXPECT_NE(seen.find("a.txt "), std::string::npos) << seen;
    EXPECT_NE(seen.find("b.txt "), std::string::npos) << seen;
    EXPECT_NE(seen.find("Sub/ "), std::string::npos) << seen;
    EXPECT_EQ(seen.find(". "), std::string::npos) << seen;
    EXPECT_EQ(seen.find("./ "), std::string::npos) << seen;
    EXPECT_EQ(host.findFirst(box.path("Dir\\*.none").c_str(), &entry), nullptr);
}

// Both kinds of WININIT.INI lines land in [rename], in order, several
// "NUL=" lines side by side, whatever else the file holds.
TEST_F(HostTest, RestartWorkOfBothFamilies)
{
    std::string wininit = windowsDirectory() + "\\WININIT.INI";
    DeleteFileA(wininit.c_str());
    EXPECT_EQ(host.renameAtRestart("NUL", "C:\\X\\ONE.TMP"), 0u);
    EXPECT_EQ(readWholeFile(wininit), "[rename]\r\nNUL=C:\\X\\ONE.TMP\r\n");
    writeWholeFile(wininit, "[rename]\r\nNUL=C:\\X\\ONE.TMP\r\n[other]\r\nkeep=1\r\n");
    EXPECT_EQ(host.renameAtRestart("NUL", "C:\\X\\TWO.TMP"), 0u);
    EXPECT_EQ(host.renameAtRestart("C:\\X\\A.DLL", "C:\\X\\~RUX0000.TMP"), 0u);
    EXPECT_EQ(readWholeFile(wininit), "[rename]\r\nNUL=C:\\X\\ONE.TMP\r\nNUL=C:\\X\\TWO.TMP\r\n"
                                      "C:\\X\\A.DLL=C:\\X\\~RUX0000.TMP\r\n[other]\r\nkeep=1\r\n");
    DeleteFileA(wininit.c_str());

    box.writeFile("later.tmp", "x");
    EXPECT_EQ(host.moveAtRestart(box.path("later.tmp").c_str(), nullptr), 0u);
    char data[8192] = "";
    DWORD size = sizeof data;
    RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                 "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, data, &size);
    EXPECT_NE(std::string(data, size).find(std::string("later.tmp\0\0", 11)), std::string::npos);
    MoveFileExA(box.path("later.tmp").c_str(), nullptr, 0);
    HKEY manager;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_ALL_ACCESS,
                      &manager) == ERROR_SUCCESS) {
        RegDeleteValueA(manager, "PendingFileRenameOperations");
        RegCloseKey(manager);
    }
}

TEST_F(HostTest, IniEntriesAreWrittenOrDeleted)
{
    box.writeFile("app.ini", "[Ext]\r\ntxt=app.exe\r\ndoc=app.exe\r\n");
    std::string ini = box.path("app.ini");
    EXPECT_EQ(host.writeIniString(ini.c_str(), "Ext", "txt", "notepad.exe"), 0u);
    EXPECT_EQ(host.writeIniString(ini.c_str(), "Ext", "doc", nullptr), 0u);
    char value[64];
    GetPrivateProfileStringA("Ext", "txt", "-", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "notepad.exe");
    GetPrivateProfileStringA("Ext", "doc", "-", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "-");
}

TEST_F(HostTest, RegistryActionsNeverMakeAKey)
{
    HKEY made;
    RegCreateKeyExA(HKEY_CURRENT_USER, sub("Tree\\Child").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made,
                    nullptr);
    RegCloseKey(made);
    const DWORD dword = 0xFFFFFFFE;
    EXPECT_EQ(host.setRegistryValue(1, sub().c_str(), "d", REG_DWORD, &dword, 4), 0u);
    EXPECT_EQ(host.setRegistryValue(1, sub().c_str(), "m", REG_MULTI_SZ, "a\0bc\0", 5), 0u);
    EXPECT_NE(host.setRegistryValue(1, sub("Missing").c_str(), "d", REG_DWORD, &dword, 4), 0u);
    EXPECT_NE(host.setRegistryValue(9, sub().c_str(), "d", REG_DWORD, &dword, 4), 0u);
    BYTE data[16];
    DWORD size = sizeof data, type = 0;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, sub().c_str(), "m", RRF_RT_ANY, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, sub("Missing").c_str(), 0, KEY_READ, &made), ERROR_FILE_NOT_FOUND);

    char first[256], tiny[1];
    EXPECT_EQ(host.registryEntry(1, sub().c_str(), true, 0, first, sizeof first), 0u);
    EXPECT_STREQ(first, "Tree");
    EXPECT_EQ(host.registryEntry(1, sub().c_str(), true, 1, first, sizeof first), kErrorNoMoreItems);
    EXPECT_EQ(host.registryEntry(1, sub().c_str(), false, 1, first, sizeof first), 0u);
    EXPECT_EQ(host.registryEntry(1, sub().c_str(), false, 0, tiny, sizeof tiny), kErrorMoreData);
    EXPECT_EQ(host.registryEntry(1, sub("Tree\\Child").c_str(), false, 0, first, sizeof first), kErrorNoMoreItems);
    EXPECT_EQ(host.registryEntry(1, sub("Missing").c_str(), true, 0, first, sizeof first), kErrorFileNotFound);
    EXPECT_EQ(host.deleteRegistryValue(1, sub().c_str(), "d"), 0u);
    EXPECT_NE(host.deleteRegistryValue(1, sub().c_str(), "d"), 0u);
    EXPECT_EQ(host.deleteRegistryKey(1, sub("Tree\\Child").c_str()), 0u);
    EXPECT_EQ(host.deleteRegistryKey(1, sub("Tree").c_str()), 0u);

    // The host keeps the last key open; one deleted and made again behind
    // its back answers ERROR_KEY_DELETED on that handle, and is opened anew.
    EXPECT_EQ(host.setRegistryValue(1, sub().c_str(), "d", REG_DWORD, &dword, 4), 0u);
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, sub().c_str()), ERROR_SUCCESS);
    RegCreateKeyExA(HKEY_CURRENT_USER, sub().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made, nullptr);
    RegCloseKey(made);
    EXPECT_EQ(host.setRegistryValue(1, sub().c_str(), "again", REG_DWORD, &dword, 4), 0u);
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, sub().c_str(), "again", RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);

    // Root number 4 is the current configuration.
    RegCreateKeyExA(HKEY_CURRENT_CONFIG, "Software\\RuvoTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made, nullptr);
    RegCloseKey(made);
    EXPECT_EQ(host.registryEntry(4, "Software\\RuvoTest", true, 0, first, sizeof first), kErrorNoMoreItems);
    EXPECT_EQ(host.deleteRegistryKey(4, "Software\\RuvoTest"), 0u);
}

// The folders the removal policy protects, in the program's own view: a
// 32-bit program on 64-bit Windows sees SysWOW64 through System32.
TEST_F(HostTest, TheProtectedFoldersAreThePlatformsOwn)
{
    char windows[260], system[260], wow64[260];
    host.systemFolders(windows, system, wow64, sizeof windows);
    EXPECT_EQ(std::string(windows), windowsDirectory());
    EXPECT_EQ(std::string(system), systemDirectory());
    EXPECT_EQ(lstrcmpiA(wow64, (windowsDirectory() + "\\syswow64").c_str()), 0) << wow64;
}

// SYSTEM.INI of the prefix, put back afterwards: a file that names the
// driver is replaced whole; one that does not, or a read-only one, is not
// written at all (its time stays), and no work file is left behind.
TEST_F(HostTest, SystemIniIsRewrittenOnlyWhenALineNamesTheDriver)
{
    const std::string ini = windowsDirectory() + "\\SYSTEM.INI", work = windowsDirectory() + "\\~RUVS383.TMP";
    const std::string saved = readWholeFile(ini);
    const std::string driver = systemDirectory() + "\\RUVOTEST.386";
    struct Case {
        std::string before, after;
        DWORD attributes;
    } cases[] = {
        {"[386Enh]\r\ndevice=RUVOTEST.386\r\ndevice=" + driver + "\r\n" + std::string(400, 'x') + "\r\nlast",
         "[386Enh]\r\n;device=RUVOTEST.386\r\n;device=" + driver + "\r\n" + std::string(400, 'x') + "\r\nlast",
         FILE_ATTRIBUTE_NORMAL},
        {"[386Enh]\r\ndevice=OTHER.386\r\n", "", FILE_ATTRIBUTE_NORMAL},
        {"[386Enh]\r\ndevice=RUVOTEST.386\r\n", "", FILE_ATTRIBUTE_READONLY},
    };
    runState.host = &host;
    for (const Case& c : cases) {
        SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        writeWholeFile(ini, c.before);
        // An old time, so that a rewrite cannot keep it by chance.
        FILETIME old = {0x12345678, 0x01c00000}, now;
        HANDLE file = CreateFileA(ini.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &old);
        CloseHandle(file);
        SetFileAttributesA(ini.c_str(), c.attributes);
        removeDevice(driver.c_str());
        EXPECT_EQ(readWholeFile(ini), c.after.empty() ? c.before : c.after);
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExA(ini.c_str(), GetFileExInfoStandard, &data);
        now = data.ftLastWriteTime;
        EXPECT_EQ(CompareFileTime(&now, &old) == 0, c.after.empty()) << c.before;
        EXPECT_FALSE(present(work));
    }
    runState.host = nullptr;
    SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    writeWholeFile(ini, saved);
}

// A library server is called with OLE initialised, also on a thread where
// OLE already is (OleInitialize then answers S_FALSE); a text file is never
// loaded.
TEST_F(HostTest, ServerLibrariesAreCalledWithOleInitialised)
{
    const std::string server = box.path("server.dll"), notes = box.path("notes.dll");
    const char kClass[] = "HKCR\\CLSID\\{6D1F3A52-8E4B-4C7A-9F20-3B5E7C1D9A01}";
    ASSERT_TRUE(CopyFileA(builtFile("RUVO_SERVER_LIBRARY").c_str(), server.c_str(), FALSE));
    box.writeFile("notes.dll", "MZ, and nothing more");
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    EXPECT_EQ(host.callServerEntry(server.c_str(), true), 0u);
    expectLaidOut("", std::string(kClass) + "\\InprocServer32:=sz:" + server + "\0"s);
    EXPECT_EQ(host.callServerEntry(server.c_str(), false), 0u);
    expectLaidOut("", "-" + std::string(kClass));
    OleUninitialize();
    EXPECT_FALSE(host.isWin32Executable(notes.c_str()));
    EXPECT_TRUE(host.isWin32Executable(server.c_str()));
}

} // namespace

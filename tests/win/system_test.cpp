// What the engine's host asks of Windows, answered by Wine's real files,
// registry and restart queues. The rules over these answers run natively
// on the in-memory machine; here each answer is checked once. Each test
// works in its own folder and under HKEY_CURRENT_USER\Software\RuvoTest.
#include <gtest/gtest.h>

#include <string>

#include "engine/winhost.h"
#include "log/loaderhost.h"
#include "startup/winrecord.h"
#include "winsupport.h"

using namespace std::string_literals;

namespace {

void makeKey(HKEY root, const std::string& path)
{
    HKEY made;
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made, nullptr);
    RegCloseKey(made);
}

// Each test has its folder and its key under HKEY_CURRENT_USER, made empty.
struct HostTest : ::testing::Test {
    Sandbox box{"host"};
    EngineHost host = {};
    void SetUp() override
    {
        fillMachineHost(&host);
        RegDeleteTreeA(HKEY_CURRENT_USER, sub().c_str());
        makeKey(HKEY_CURRENT_USER, sub());
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, sub().c_str()); }
    std::string sub(const std::string& below = "") const
    {
        return "Software\\RuvoTest\\host" + (below.empty() ? "" : "\\" + below);
    }
};

// Files and INI entries.
TEST_F(HostTest, FileActionsAnswerWithTheWindowsErrorCode)
{
    layOut(box.root, "a.txt=0123456789|ro.txt (read-only)|held.txt|Full\\x");
    HeldFile held(box.path("held.txt"));
    EXPECT_EQ(host.deleteFile(box.path("ro.txt").c_str()), kErrorAccessDenied);   // reset first, then delete again
    EXPECT_EQ(host.setAttributes(box.path("ro.txt").c_str(), kAttributeNormal), 0u);
    EXPECT_EQ(host.deleteFile(box.path("ro.txt").c_str()), 0u);
    EXPECT_NE(host.deleteFile(box.path("held.txt").c_str()), 0u);
    EXPECT_NE(host.copyFile(box.path("a.txt").c_str(), box.path("held.txt").c_str()), 0u);
    held.release();
    EXPECT_EQ(host.deleteFile(box.path("gone.txt").c_str()), kErrorFileNotFound);
    EXPECT_EQ(host.attributes(box.path("gone.txt").c_str()), kNoAttributes);
    EXPECT_EQ(host.attributes(box.path("Full").c_str()) & kAttributeDirectory, kAttributeDirectory);
    EXPECT_NE(host.removeDirectory(box.path("Full").c_str()), 0u);
    EXPECT_EQ(host.copyFile(box.path("a.txt").c_str(), box.path("b.txt").c_str()), 0u);
    EXPECT_EQ(host.truncateFile(box.path("b.txt").c_str(), 4), 0u);
    EXPECT_EQ(box.readFile("b.txt"), "0123");
    EXPECT_EQ(host.truncateFile(box.path("none.txt").c_str(), 2), kErrorFileNotFound);
    EXPECT_FALSE(box.exists("none.txt")) << "a cut never makes the file";

    box.writeFile("app.ini", "[Ext]\r\ntxt=app.exe\r\ndoc=app.exe\r\n");
    EXPECT_EQ(host.writeIniString(box.path("app.ini").c_str(), "Ext", "txt", "notepad.exe"), 0u);
    EXPECT_EQ(host.writeIniString(box.path("app.ini").c_str(), "Ext", "doc", nullptr), 0u);
    EXPECT_EQ(box.readFile("app.ini"), "[Ext]\r\ntxt=notepad.exe\r\n");

    // A record open, a failure is told in the system's own words.
    char text[64];
    openRecord(box.path("record.txt").c_str(), &host, false);
    host.errorText(32, text, sizeof text);
    closeRecord();
    EXPECT_STREQ(text, "Sharing violation.");
}

// Both kinds of WININIT.INI lines land in [rename], in order, several
// "NUL=" lines side by side, whatever else the file holds.
TEST_F(HostTest, RestartWorkOfBothFamilies)
{
    std::string wininit = windowsDirectory() + "\\WININIT.INI";
    forgetRestartWork();
    EXPECT_EQ(host.renameAtRestart("NUL", "C:\\X\\ONE.TMP"), 0u);
    EXPECT_EQ(readWholeFile(wininit), "[rename]\r\nNUL=C:\\X\\ONE.TMP\r\n");
    writeWholeFile(wininit, "[rename]\r\nNUL=C:\\X\\ONE.TMP\r\n[other]\r\nkeep=1\r\n");
    EXPECT_EQ(host.renameAtRestart("NUL", "C:\\X\\TWO.TMP"), 0u);
    EXPECT_EQ(host.renameAtRestart("C:\\X\\A.DLL", "C:\\X\\~RUX0000.TMP"), 0u);
    EXPECT_EQ(readWholeFile(wininit), "[rename]\r\nNUL=C:\\X\\ONE.TMP\r\nNUL=C:\\X\\TWO.TMP\r\n"
                                      "C:\\X\\A.DLL=C:\\X\\~RUX0000.TMP\r\n[other]\r\nkeep=1\r\n");
    box.writeFile("later.tmp", "x");
    EXPECT_EQ(host.moveAtRestart(box.path("later.tmp").c_str(), nullptr), 0u);
    expectLaidOut("", std::string(kSessionManager) + ":PendingFileRenameOperations=multi:\\??\\" +
                          box.path("later.tmp") + "\0\0\0"s);
    forgetRestartWork();
}

TEST_F(HostTest, RegistryActionsNeverMakeAKey)
{
    makeKey(HKEY_CURRENT_USER, sub("Tree\\Child"));
    const DWORD dword = 0xFFFFFFFE;
    EXPECT_EQ(host.setRegistryValue(1, sub().c_str(), "d", REG_DWORD, &dword, 4), 0u);
    EXPECT_EQ(host.setRegistryValue(1, sub().c_str(), "m", REG_MULTI_SZ, "a\0bc\0", 5), 0u);
    EXPECT_NE(host.setRegistryValue(1, sub("Missing").c_str(), "d", REG_DWORD, &dword, 4), 0u);
    EXPECT_NE(host.setRegistryValue(9, sub().c_str(), "d", REG_DWORD, &dword, 4), 0u);
    expectLaidOut("", "HKCU\\" + sub() + ":m=multi:a\0bc\0|-HKCU\\"s + sub("Missing"));

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
    makeKey(HKEY_CURRENT_USER, sub());
    EXPECT_EQ(host.setRegistryValue(1, sub().c_str(), "again", REG_DWORD, &dword, 4), 0u);
    expectLaidOut("", "HKCU\\" + sub() + ":again=dword:\xFE\xFF\xFF\xFF");

    // Root number 4 is the current configuration.
    makeKey(HKEY_CURRENT_CONFIG, "Software\\RuvoTest");
    EXPECT_EQ(host.registryEntry(4, "Software\\RuvoTest", true, 0, first, sizeof first), kErrorNoMoreItems);
    EXPECT_EQ(host.deleteRegistryKey(4, "Software\\RuvoTest"), 0u);
}

// The folders the removal policy protects and the log loader fills in, in
// the program's own view: a 32-bit program on 64-bit Windows sees SysWOW64
// through System32.
TEST_F(HostTest, TheSystemFoldersAreThePlatformsOwn)
{
    char windows[260], system[260], wow64[260];
    host.systemFolders(windows, system, wow64, sizeof windows);
    EXPECT_EQ(std::string(windows), windowsDirectory());
    EXPECT_EQ(std::string(system), systemDirectory());
    EXPECT_EQ(lstrcmpiA(wow64, (windowsDirectory() + "\\syswow64").c_str()), 0) << wow64;
    windowsDirectories(windows, system, sizeof windows);
    EXPECT_EQ(std::string(windows), windowsDirectory());
    EXPECT_EQ(std::string(system), systemDirectory());
}

// A library server is called with OLE initialised, also on a thread where
// OLE already is (OleInitialize then answers S_FALSE); only Win32 images
// are loaded.
TEST_F(HostTest, ServerLibrariesAreCalledWithOleInitialised)
{
    const std::string server = box.path("server.dll");
    const char kClass[] = "HKCR\\CLSID\\{6D1F3A52-8E4B-4C7A-9F20-3B5E7C1D9A01}";
    std::string dosOnly(128, '\0');
    dosOnly.replace(0, 2, "MZ");
    dosOnly[0x3C] = 0x40;   // points at zeros, not at "PE"
    layOut(box.root, "server.dll<" + builtFile("RUVO_SERVER_LIBRARY") + "|notes.dll=MZ, and nothing more");
    box.writeFile("dos.exe", dosOnly);
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    EXPECT_EQ(host.callServerEntry(server.c_str(), true), 0u);
    expectLaidOut("", std::string(kClass) + "\\InprocServer32:=sz:" + server + "\0"s);
    EXPECT_EQ(host.callServerEntry(server.c_str(), false), 0u);
    expectLaidOut("", "-" + std::string(kClass));
    OleUninitialize();
    EXPECT_TRUE(host.isWin32Executable(server.c_str()));
    for (const char* other : {"notes.dll", "dos.exe", "missing.exe"})
        EXPECT_FALSE(host.isWin32Executable(box.path(other).c_str())) << other;
}

} // namespace

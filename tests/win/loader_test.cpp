// The log loader on Wine's real file system and registry: system and private
// files against the real System directory, SharedDLLs, short forms of the
// top created directory, the Shell Folders of a per-user installation, and
// OEM text through the platform's code pages (OEM 437, ANSI 1252 here).
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "log/itemlists.h"
#include "log/loader.h"
#include "startup/environment.h"
#include "startup/mainwnd.h"
#include "startup/runstate.h"
#include "winsupport.h"

namespace {

const char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";



// Sets a registry string for the test's lifetime, then puts back what was there.
struct RegistryString {
    HKEY root;
    std::string key, name, before;
    bool existed = false;
    RegistryString(HKEY r, const char* k, const std::string& n, const std::string& value) : root(r), key(k), name(n)
    {
        HKEY handle;
        RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
        char old[1024];
        DWORD size = sizeof old;
        existed = RegQueryValueExA(handle, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
                  ERROR_SUCCESS;
        if (existed)
            before.assign(old, size ? size - 1 : 0);
        RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(handle);
    }
    ~RegistryString()
    {
        HKEY handle;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
            return;
        if (existed)
            RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(before.c_str()),
                           static_cast<DWORD>(before.size() + 1));
        else
            RegDeleteValueA(handle, name.c_str());
        RegCloseKey(handle);
    }
};

struct LoaderOnWine : ::testing::Test {
    Sandbox box{"loader"};
    std::string system = systemDirectory();
    char topDirectory[256] = "";

    void SetUp() override
    {
        release(&runState.arena);
        runState = RunState{};
        detectPlatform();
        installCaseFolding();
        allocateRunBuffers();
        removeTree(system + "\\RUVOTEST");
        DeleteFileA((system + "\\RUVOTEST.DLL").c_str());
    }
    void TearDown() override
    {
        removeTree(system + "\\RUVOTEST");
        DeleteFileA((system + "\\RUVOTEST.DLL").c_str());
        release(&runState.arena);
    }

    int load(const std::string& body, const std::string& logFolder = "App Folder",
             const std::string& header = "***  Installation\r\nTitle: Demo\r\n")
    {
        box.writeFile(logFolder + "\\INSTALL.LOG", header + body);
        return loadInstallLog(box.path(logFolder + "\\INSTALL.LOG").c_str(), topDirectory);
    }
    void touch(const std::string& path)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
    }
};

TEST_F(LoaderOnWine, SystemAndPrivateFilesOnTheRealSystemDirectory)
{
    CreateDirectoryA((system + "\\RUVOTEST").c_str(), nullptr);
    touch(system + "\\RUVOTEST.DLL");
    touch(system + "\\RUVOTEST\\X.SYS");
    box.writeFile("App Folder\\A.DLL", "x");
    ASSERT_EQ(load("File Copy: " + system + "\\RUVOTEST.DLL\r\n"
                   "File Copy: " + system + "\\RUVOTEST\\X.SYS\r\n"
                   "File Copy: " + box.path("App Folder\\A.DLL") + "\r\n"
                   "File Copy: " + box.path("App Folder\\Removed.DLL") + "\r\n"),
              0);
    EXPECT_STREQ(runState.systemDirectory, system.c_str());
    ASSERT_EQ(itemCount(SystemFileList), 1);
    EXPECT_EQ(std::string(itemAt<SystemFileItem>(SystemFileList, 0)->path), system + "\\RUVOTEST.DLL");
    ASSERT_EQ(itemCount(PrivateFileList), 2);   // a sub-directory of System is private
    EXPECT_EQ(std::string(itemAt<PrivateFileItem>(PrivateFileList, 0)->path), system + "\\RUVOTEST\\X.SYS");
}

TEST_F(LoaderOnWine, NonSystemFileStartsSelectedAndSharedCountsAddUp)
{
    touch(system + "\\RUVOTEST.DLL");
    box.writeFile("App Folder\\A.DLL", "x");
    load("Non-System File:\r\nFile Copy: " + system + "\\RUVOTEST.DLL\r\n"
         "File Copy: " + box.path("App Folder\\A.DLL") + "\r\n"
         "*** second\r\n"
         "File Copy: " + box.path("App Folder\\A.DLL") + "\r\n");
    EXPECT_EQ(itemAt<SystemFileItem>(SystemFileList, 0)->selected, 1);
    EXPECT_EQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->sharedCount, 2);
    EXPECT_EQ(installLog.installationCount, 2);
}

TEST_F(LoaderOnWine, OverwrittenFileNeedsABackupOrASharedDllsValue)
{
    box.writeFile("App Folder\\README.TXT", "x");
    box.writeFile("App Folder\\COUNTED.DLL", "x");
    std::string counted = box.path("App Folder\\COUNTED.DLL");
    std::string body = "File Overwrite: " + box.path("App Folder\\README.TXT") + "\r\n" +
                       "File Overwrite: " + counted + "\r\n";
    load(body);
    EXPECT_EQ(itemCount(PrivateFileList), 0);

    RegistryString shared(HKEY_LOCAL_MACHINE, kSharedDlls, counted, "1");
    SetUp();
    load(body);
    ASSERT_EQ(itemCount(PrivateFileList), 1);
    EXPECT_EQ(std::string(itemAt<PrivateFileItem>(PrivateFileList, 0)->path), counted);
}

TEST_F(LoaderOnWine, TopCreatedDirectoryIsTheOutermostMadeDirectoryInShortForm)
{
    box.writeFile("Outer Folder\\Inner Folder\\x", "x");
    load("Made Dir: " + box.path("Outer Folder") + "\r\n"
         "Made Dir: C:\r\n"
         "Made Dir: D:\\DATA\r\n"
         "File Tree: " + box.path("Outer Folder\\Tree Folder") + "\\*.*\r\n",
         "Outer Folder\\Inner Folder");
    // "Made Dir: C:" has cut it to the drive root, which is never removed.
    EXPECT_STREQ(topDirectory, "C:\\");
    ASSERT_EQ(itemCount(DirectoryList), 3);
    EXPECT_EQ(std::string(itemAt<DirectoryItem>(DirectoryList, 0)->path), box.path("Outer Folder") + "\\");
    EXPECT_STREQ(itemAt<DirectoryItem>(DirectoryList, 1)->path, "D:\\DATA\\");
    auto* tree = itemAt<DirectoryItem>(DirectoryList, 2);
    EXPECT_EQ(std::string(tree->path), box.path("Outer Folder\\Tree Folder") + "\\");
    EXPECT_EQ(tree->treeInstall, 1);

    SetUp();
    load("Made Dir: " + box.path("Outer Folder") + "\r\n", "Outer Folder\\Inner Folder");
    EXPECT_EQ(std::string(topDirectory), shortPath(box.path("Outer Folder")) + "\\");
    EXPECT_EQ(std::string(topDirectory).find(' '), std::string::npos);
}

TEST_F(LoaderOnWine, PerUserInstallationDropsSingleUserShortcuts)
{
    RegistryString mine(HKEY_CURRENT_USER, kShellFolders, "Start Menu", "C:\\ruvotest\\loader\\Profiles\\joe\\Start Menu");
    RegistryString common(HKEY_LOCAL_MACHINE, kShellFolders, "Common Start Menu",
                          "C:\\ruvotest\\loader\\Profiles\\All Users\\Start Menu");
    box.writeFile("Profiles\\ann\\App.lnk", "x");
    box.writeFile("Profiles\\All Users\\App.lnk", "x");
    load("Shell Link: " + box.path("Profiles\\ann\\App.lnk") + "\r\n"   // before the ID: kept
         "Per-User ID: 7\r\n"
         "Shell Link: " + box.path("Profiles\\ann\\App.lnk") + "\r\n"
         "Shell Link: " + box.path("Profiles\\All Users\\App.lnk") + "\r\n"
         "RegDB Key: Software\\Ruvo\r\nRegDB Val: 1\r\nRegDB Root: 1\r\n"
         "RegDB Key: Software\\Ruvo\r\nRegDB Val: 1\r\nRegDB Name: Machine\r\nRegDB Root: 2\r\n");
    ASSERT_EQ(itemCount(PrivateFileList), 2);
    EXPECT_EQ(std::string(itemAt<PrivateFileItem>(PrivateFileList, 1)->path), box.path("Profiles\\All Users\\App.lnk"));
    EXPECT_EQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->install, 1);
    ASSERT_EQ(itemCount(RegistryKeyList), 1);
    EXPECT_STREQ(itemAt<RegistryKeyItem>(RegistryKeyList, 0)->valueName, "Machine");
}

TEST_F(LoaderOnWine, OemSectionConvertsPathsThroughTheCodePage)
{
    box.writeFile("App Folder\\\xE4pfel.txt", "x");   // a-umlaut in the ANSI code page
    // "*** x" (no second blank) opens an OEM section, where a-umlaut is 0x84.
    load("File Copy: " + box.path("App Folder\\\x84pfel.txt") + "\r\n", "App Folder", "*** x\r\nTitle: Demo\r\n");
    ASSERT_EQ(itemCount(PrivateFileList), 1);
    EXPECT_EQ(std::string(itemAt<PrivateFileItem>(PrivateFileList, 0)->path), box.path("App Folder\\\xE4pfel.txt"));
}

TEST_F(LoaderOnWine, ThreeSectionsAndTheOffsetOfTheLast)
{
    std::string header = "***  one\r\nTitle: Demo\r\n";
    std::string body = "Made Dir: C:\\X\r\n*** two\r\n\r\n*** three\r\nMade Dir: C:\\Y\r\n";
    load(body, "App Folder", header);
    EXPECT_EQ(installLog.installationCount, 3);
    EXPECT_EQ(installLog.lastSectionOffset, (header + body).find("*** three"));
}

TEST_F(LoaderOnWine, CaseFoldingAgreesWithTheSystemComparison)
{
    // Indexes and comparisons fold case with the code page's upper case.
    // They never call equal what lstrcmpiA tells apart, and they agree with
    // it on every pair of letters. (Wine's collation also calls "^" and the
    // modifier circumflex 0x88 equal; as names of files they are different
    // characters, and folding keeps them apart.)
    int letterPairs = 0;
    for (int a = 1; a < 256; ++a) {
        for (int b = a + 1; b < 256; ++b) {
            char x[2] = {static_cast<char>(a), 0}, y[2] = {static_cast<char>(b), 0};
            bool systemEqual = lstrcmpiA(x, y) == 0;
            bool ourEqual = compareNoCase(x, y) == 0;
            if (ourEqual) {
                ASSERT_TRUE(systemEqual) << a << " " << b;
            }
            if (IsCharAlphaA(x[0]) && IsCharAlphaA(y[0])) {
                ASSERT_EQ(ourEqual, systemEqual) << a << " " << b;
                letterPairs += ourEqual;
            }
        }
    }
    EXPECT_GT(letterPairs, 26);   // beyond ASCII: a-umlaut and A-umlaut, and so on
}

} // namespace

namespace {

TEST_F(LoaderOnWine, TitleFromTheLogCaptionsTheMainWindow)
{
    box.writeFile("UNINSTAL.INI", "[Language]\r\nMsg25=Deinstallieren\r\n");
    std::string ini = box.path("UNINSTAL.INI");
    char iniPath[256];
    copyText(iniPath, ini.c_str());
    runState.companionIniPath = iniPath;
    loadAppearance();
    ASSERT_TRUE(createMainWindow(GetModuleHandleA(nullptr), nullptr));
    load("", "App Folder", "***  x\r\nTitle: Sample Suite Installation\r\n");
    EXPECT_EQ(windowText(runState.mainWindow), "Deinstallieren Sample Suite");
    DestroyWindow(runState.mainWindow);
    runState.companionIniPath = nullptr;
}

} // namespace

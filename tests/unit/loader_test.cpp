// The log grammar on the in-memory machine: groups, look-ahead, which
// entries are left out, header values and the failure boxes. The same
// loader on real files and registry is tested under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fakehost.h"
#include "log/itemlists.h"
#include "log/loader.h"
#include "startup/runstate.h"

namespace {

struct LoaderTest : ::testing::Test {
    char topDirectory[256] = "";
    void SetUp() override { resetFakeMachine(); }
    void TearDown() override { release(&runState.arena); }

    int load(const std::string& body, const char* header = "***  Installation\r\nTitle: Demo\r\n")
    {
        fake.log = header + body;
        return loadInstallLog("C:\\APP\\INSTALL.LOG", topDirectory);
    }
    void exists(const char* path) { fake.addFile(path); }
};

TEST_F(LoaderTest, MinimalLog)
{
    EXPECT_EQ(load(""), 0);
    EXPECT_EQ(installLog.installationCount, 1);
    EXPECT_EQ(installLog.lastSectionOffset, 0u);
    ASSERT_EQ(itemCount(DirectoryList), 1);
    auto* logDir = itemAt<DirectoryItem>(DirectoryList, 0);
    EXPECT_STREQ(logDir->path, "C:\\APP\\");
    EXPECT_EQ(logDir->madeInstall, kLogDirectoryInstall);
    EXPECT_EQ(fake.caption, "Uninstall Demo");
    EXPECT_STREQ(runState.applicationTitle, "Demo");
    EXPECT_STREQ(topDirectory, "C:\\APP\\");
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(LoaderTest, InvalidAndUnreadableLogs)
{
    struct Case {
        const char* log;
        int box;
    } cases[] = {
        {"***Installation\r\nTitle: X\r\n", 4},   // no blank after the stars
        {"*** x\r\ntitle: X\r\n", 4},             // "Title:" only with case
        {"*** x\r\nFile Copy: C:\\A\r\n", 4},     // no title at all
        {"*** x\nTitle: X\n", 4},                 // LF only: one single line
        {"Title: X\r\n*** x\r\n", 4},
        {"", 4},
        {"*** x\rTitle: X\r", 0},                 // CR alone works like CR LF
        {"\r\n\r\n*** x\r\nnoise\r\nTitle: X", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        resetFakeMachine();
        fake.log = c.log;
        EXPECT_EQ(loadInstallLog("C:\\APP\\INSTALL.LOG", topDirectory), c.box ? 1 : 0);
        EXPECT_EQ(fake.boxes, c.box ? std::vector<int>{c.box} : std::vector<int>{});
    }
    resetFakeMachine();
    fake.logOpens = false;
    EXPECT_EQ(loadInstallLog("C:\\APP\\INSTALL.LOG", topDirectory), 1);
    EXPECT_EQ(fake.boxes, std::vector<int>{3});
}

TEST_F(LoaderTest, TitleGivenOnTheCommandLineKeepsTheCaption)
{
    char title[] = "Given";
    runState.titleText = title;
    load("", "***  x\r\nTitle: Sample Suite Installation\r\n");
    EXPECT_EQ(fake.caption, "");
    EXPECT_STREQ(runState.applicationTitle, "Sample Suite");
}

TEST_F(LoaderTest, FilesSortedIntoPrivateAndSystem)
{
    exists("C:\\APP\\A.DLL");
    exists("C:\\WINDOWS\\SYSTEM\\X.DLL");
    exists("C:\\WINDOWS\\SYSTEM\\DRIVERS\\X.SYS");
    exists("C:\\WINDOWS\\SYSTEM\\WIN32S\\W.DLL");
    exists("C:\\WINDOWS\\N.DLL");
    EXPECT_EQ(load("File Copy: C:\\APP\\A.DLL | 1.0\r\n"
                   "File Copy: C:\\WINDOWS\\SYSTEM\\X.DLL\r\n"
                   "File Copy: C:\\WINDOWS\\SYSTEM\\DRIVERS\\X.SYS\r\n"
                   "File Copy: C:\\windows\\system\\win32s\\W.DLL\r\n"
                   "Non-System File:\r\n"
                   "File Copy: C:\\WINDOWS\\N.DLL\r\n"
                   "File Copy: C:\\APP\\GONE.DLL\r\n"
                   "File Copy: A:\\SETUP.INI\r\n"),
              0);
    ASSERT_EQ(itemCount(PrivateFileList), 2);
    EXPECT_STREQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->path, "C:\\APP\\A.DLL");
    EXPECT_STREQ(itemAt<PrivateFileItem>(PrivateFileList, 1)->path, "C:\\WINDOWS\\SYSTEM\\DRIVERS\\X.SYS");
    ASSERT_EQ(itemCount(SystemFileList), 3);
    EXPECT_EQ(itemAt<SystemFileItem>(SystemFileList, 0)->selected, 0);
    EXPECT_EQ(itemAt<SystemFileItem>(SystemFileList, 2)->selected, 1);   // Non-System File:
    auto* a = itemAt<PrivateFileItem>(PrivateFileList, 0);
    EXPECT_EQ(a->autoRemove, 1);
    EXPECT_EQ(a->sharedCount, 1);
    EXPECT_EQ(a->sharedInstall, 1);
}

TEST_F(LoaderTest, WildcardPatternsStayWhileSomethingMatches)
{
    exists("C:\\APP\\DATA\\*.DAT");   // the fake machine's way of saying a file matches
    load("File Copy: C:\\APP\\DATA\\*.DAT\r\nFile Copy: C:\\APP\\OLD\\*.DAT\r\n");
    ASSERT_EQ(itemCount(PrivateFileList), 1);
    EXPECT_STREQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->path, "C:\\APP\\DATA\\*.DAT");
}

TEST_F(LoaderTest, RepeatedFilesOverTwoSections)
{
    exists("C:\\APP\\A.DLL");
    exists("C:\\APP\\B.DLL");
    load("File Copy: C:\\APP\\A.DLL\r\n"
         "File Copy: C:\\APP\\B.DLL\r\n"
         "*** second\r\n"
         "File Copy: c:\\app\\a.dll\r\n"
         "Backup Copy: C:\\APP\\BACKUP\\A.DLL\r\n"
         "Shared DLL counter ignored:\r\n"
         "File Copy: C:\\APP\\B.DLL\r\n");
    ASSERT_EQ(itemCount(PrivateFileList), 2);
    auto* a = itemAt<PrivateFileItem>(PrivateFileList, 0);
    EXPECT_STREQ(a->path, "C:\\APP\\A.DLL");
    EXPECT_EQ(a->install, 2);
    EXPECT_STREQ(a->backupPath, "C:\\APP\\BACKUP\\A.DLL");
    EXPECT_EQ(a->backupInstall, 2);
    EXPECT_EQ(a->sharedInstall, 2);
    EXPECT_EQ(a->sharedCount, 2);
    EXPECT_EQ(a->autoRemove, 1);
    auto* b = itemAt<PrivateFileItem>(PrivateFileList, 1);
    EXPECT_EQ(b->sharedCount, 1);   // the second section did not count it
    EXPECT_EQ(b->sharedInstall, 1);
    EXPECT_EQ(b->install, 2);
    EXPECT_EQ(runState.rollbackAvailable, 1);
}

TEST_F(LoaderTest, OverwrittenFilesNeedABackupOrASharedCount)
{
    exists("C:\\APP\\README.TXT");
    exists("C:\\APP\\COUNTED.DLL");
    exists("C:\\APP\\SAVED.TXT");
    fake.sharedDlls.insert("C:\\APP\\COUNTED.DLL");
    load("File Overwrite: C:\\APP\\README.TXT\r\n"
         "File Overwrite: C:\\APP\\COUNTED.DLL\r\n"
         "File Overwrite: C:\\APP\\SAVED.TXT\r\n"
         "Backup Copy: C:\\APP\\SAVED.BAK\r\n");
    ASSERT_EQ(itemCount(PrivateFileList), 2);
    EXPECT_STREQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->path, "C:\\APP\\COUNTED.DLL");
    EXPECT_EQ(itemAt<PrivateFileItem>(PrivateFileList, 1)->autoRemove, 0);

    // Before Windows 95 there is no SharedDLLs count to consult.
    resetFakeMachine();
    runState.windows4OrLater = 0;
    exists("C:\\APP\\COUNTED.DLL");
    fake.sharedDlls.insert("C:\\APP\\COUNTED.DLL");
    load("File Overwrite: C:\\APP\\COUNTED.DLL\r\n");
    EXPECT_EQ(itemCount(PrivateFileList), 0);
}

TEST_F(LoaderTest, RegistryValueGroups)
{
    load("RegDB Key: Software\\App\r\n"
         "RegDB Val: 1\r\n"
         "RegDB Name: Version\r\n"
         "RegDB Root: 2\r\n"
         "RegDB Key: Software\\App\r\n"
         "RegDB Val: 2\r\n"
         "RegDB Name: Version\r\n"
         "RegDB Root: 1\r\n"
         "RegDB Key: Software\\Old\r\n"
         "RegDB Val: new\r\n"
         "RegDB Type: 2\r\n"
         "RegDB Root: 1\r\n"
         "RegDB Old: first\r\n"
         "RegDB Old: second\r\n"
         "RegDB Key: Software\\Dropped\r\n"
         "Made Dir: C:\\APP\\SUB\r\n"
         "RegDB Tree: Software\\App\\Tree\r\n"
         "RegDB Root: 2\r\n"
         "RegDB Tree: SOFTWARE\\APP\\TREE\r\n");
    ASSERT_EQ(itemCount(RegistryKeyList), 1);
    auto* created = itemAt<RegistryKeyItem>(RegistryKeyList, 0);
    EXPECT_EQ(created->root, 2);   // the first root stays
    EXPECT_STREQ(created->valueName, "Version");
    ASSERT_EQ(itemCount(RegistryEditList), 1);
    auto* changed = itemAt<RegistryEditItem>(RegistryEditList, 0);
    EXPECT_EQ(changed->valueType, 2);
    EXPECT_EQ(changed->root, 1);
    EXPECT_EQ(memcmp(changed->preInstallValue, "first\0second\0\0", 14), 0);
    EXPECT_STREQ(changed->valueName, "");
    // The dropped group's next line is handled as a line of its own.
    EXPECT_EQ(itemAt<DirectoryItem>(DirectoryList, 0)->madeInstall, 1);
    ASSERT_EQ(itemCount(RegistryTreeList), 2);   // a tree without a root line is root 0
    EXPECT_EQ(itemAt<RegistryTreeItem>(RegistryTreeList, 0)->root, 2);
    EXPECT_EQ(itemAt<RegistryTreeItem>(RegistryTreeList, 1)->root, 0);
}

TEST_F(LoaderTest, ChangedValueKeepsItsFirstOldValue)
{
    load("RegDB Key: K\r\nRegDB Val: v\r\nRegDB Type: 2\r\nRegDB Old: a\r\nRegDB Old: b\r\nRegDB Old: c\r\n"
         "*** two\r\n"
         "RegDB Key: K\r\nRegDB Val: w\r\nRegDB Type: 2\r\nRegDB Old: z\r\n");
    auto* value = itemAt<RegistryEditItem>(RegistryEditList, 0);
    EXPECT_EQ(memcmp(value->preInstallValue, "a\0b\0c\0\0", 7), 0);
    EXPECT_EQ(memcmp(value->previousValue, "z\0\0", 3), 0);
    EXPECT_EQ(value->install, 2);
}

TEST_F(LoaderTest, IniFilesAndEntries)
{
    exists("C:\\APP\\APP.INI");
    load("INI New: x\r\n"
         "INI File: C:\\APP\\APP.INI\r\n"
         "INI Sect: S\r\nINI Item: I\r\nINI Val: V\r\n"
         "INI File: C:\\WINDOWS\\WIN.INI\r\n"
         "INI Sect: Extensions\r\nINI Item: txt\r\nINI Val: app.exe\r\nINI Old: notepad.exe\r\n"
         "INI File: C:\\WINDOWS\\WIN.INI\r\n"
         "INI Sect: Extensions\r\nINI Item: doc\r\nINI Val: app.exe\r\n"
         "INI File: C:\\WINDOWS\\WIN.INI\r\n"
         "INI Sect: Broken\r\n"
         "Create Service: Svc\r\n"
         "*** three\r\n*** three\r\n"
         "INI File: C:\\WINDOWS\\WIN.INI\r\n"
         "INI Sect: Extensions\r\nINI Item: TXT\r\nINI Val: other.exe\r\nINI Old: app.exe\r\n");
    ASSERT_EQ(itemCount(IniFileList), 1);
    // The lines of the new INI file are skipped; the group after them is read.
    ASSERT_EQ(itemCount(IniItemList), 2);
    auto* txt = itemAt<IniItem>(IniItemList, 0);
    EXPECT_STREQ(txt->preInstallValue, "notepad.exe");
    EXPECT_STREQ(txt->previousValue, "app.exe");
    EXPECT_EQ(txt->install, 3);
    EXPECT_STREQ(itemAt<IniItem>(IniItemList, 1)->preInstallValue, "");
    EXPECT_EQ(itemCount(ServiceList), 1);   // after the broken group
}

TEST_F(LoaderTest, DirectoriesAndTheTopCreatedDirectory)
{
    fake.log = "*** x\r\nTitle: T\r\n"
               "Made Dir: C:\\APP\r\n"
               "Made Dir: C:\\APPLE\r\n"
               "Made Dir: APP\r\n"
               "Made Dir: D:\\DATA\r\n";
    ASSERT_EQ(loadInstallLog("C:\\APP\\SUB\\INSTALL.LOG", topDirectory), 0);
    EXPECT_STREQ(topDirectory, "C:\\APP\\");
    ASSERT_EQ(itemCount(DirectoryList), 3);
    auto* app = itemAt<DirectoryItem>(DirectoryList, 0);   // the log's record, merged outward
    EXPECT_STREQ(app->path, "C:\\APP\\");
    EXPECT_EQ(app->madeInstall, 1);
    EXPECT_STREQ(itemAt<DirectoryItem>(DirectoryList, 1)->path, "C:\\APPLE\\");
    EXPECT_STREQ(itemAt<DirectoryItem>(DirectoryList, 2)->path, "D:\\DATA\\");
    // A drive root is no directory to remove, though it still cuts the top
    // created directory (which is never removed below four characters).
    resetFakeMachine();
    fake.log = "*** x\r\nTitle: T\r\nMade Dir: C:\r\n";
    loadInstallLog("C:\\APP\\INSTALL.LOG", topDirectory);
    EXPECT_EQ(itemCount(DirectoryList), 1);
    EXPECT_STREQ(topDirectory, "C:\\");
    // The tree lies inside C:\APP\, but a tree matches only its own path.
    resetFakeMachine();
    load("File Tree: C:\\APP\\TREE\\*.*\r\nFile Tree: c:\\app\\tree\\\r\n");
    ASSERT_EQ(itemCount(DirectoryList), 2);
    auto* tree = itemAt<DirectoryItem>(DirectoryList, 1);
    EXPECT_STREQ(tree->path, "C:\\APP\\TREE\\");
    EXPECT_EQ(tree->treeInstall, 1);
    EXPECT_EQ(tree->madeInstall, 1);
}

TEST_F(LoaderTest, DirectoryMergeInBothOrders)
{
    fake.log = "*** x\r\nTitle: T\r\nMade Dir: C:\\APP\\SUB\r\n*** y\r\nMade Dir: C:\\APP\r\n";
    loadInstallLog("D:\\LOG\\INSTALL.LOG", topDirectory);
    ASSERT_EQ(itemCount(DirectoryList), 2);
    EXPECT_STREQ(itemAt<DirectoryItem>(DirectoryList, 1)->path, "C:\\APP\\");
    EXPECT_EQ(itemAt<DirectoryItem>(DirectoryList, 1)->madeInstall, 2);

    resetFakeMachine();
    fake.log = "*** x\r\nTitle: T\r\nMade Dir: C:\\APP\r\n*** y\r\nMade Dir: C:\\APP\\SUB\r\n";
    loadInstallLog("D:\\LOG\\INSTALL.LOG", topDirectory);
    ASSERT_EQ(itemCount(DirectoryList), 2);
    EXPECT_STREQ(itemAt<DirectoryItem>(DirectoryList, 1)->path, "C:\\APP\\");
    EXPECT_EQ(itemAt<DirectoryItem>(DirectoryList, 1)->madeInstall, 2);
}

TEST_F(LoaderTest, LogInTheWindowsDirectoryIsNotListed)
{
    fake.log = "*** x\r\nTitle: T\r\n";
    loadInstallLog("C:\\WINDOWS\\INSTALL.LOG", topDirectory);
    EXPECT_EQ(itemCount(DirectoryList), 0);
    resetFakeMachine();
    fake.log = "*** x\r\nTitle: T\r\n";
    loadInstallLog("C:\\INSTALL.LOG", topDirectory);
    EXPECT_EQ(itemCount(DirectoryList), 0);
}

TEST_F(LoaderTest, IconsProgramsServicesAndSingleValues)
{
    load("Icon Group: G\r\nIcon Name: N\r\nIcon Cmd: one\r\n"
         "Icon Group: G\r\nIcon Name: Missing cmd\r\n"
         "Execute Program: C:\\APP\\CLEAN.EXE\r\nExecute Name: Clean up\r\n"
         "Execute Path: C:\\APP\\CLEAN.EXE\r\nExecute Name: Other name\r\n"
         "SubSystem: BDE 32\r\n"
         "Uninstall MIF: APP\r\nManufacturer: Ruvo\r\nProduct: Sample\r\n"
         "Version Number: 1.0\r\nSerial Number: 42\r\n"
         "*** two\r\n"
         "Icon Group: g\r\nIcon Name: n\r\nIcon Cmd: two\r\n"
         "Create Service: Svc\r\nCreate Service: SVC\r\n");
    ASSERT_EQ(itemCount(IconList), 1);
    EXPECT_STREQ(itemAt<IconItem>(IconList, 0)->command, "two");
    EXPECT_EQ(itemAt<IconItem>(IconList, 0)->install, 1);
    ASSERT_EQ(itemCount(ProgramList), 1);
    EXPECT_STREQ(itemAt<ProgramItem>(ProgramList, 0)->programName, "Clean up");
    EXPECT_EQ(itemCount(ServiceList), 1);
    EXPECT_EQ(itemAt<ServiceItem>(ServiceList, 0)->install, 2);
    EXPECT_STREQ(installLog.subSystemName, "BDE 32");
    EXPECT_STREQ(runState.mifName, "APP");
    EXPECT_STREQ(runState.serialNumber, "42");
}

TEST_F(LoaderTest, DevicesAndSelfRegistrationMarkLoggedFiles)
{
    exists("C:\\APP\\A.DLL");
    exists("C:\\WINDOWS\\SYSTEM\\V.386");
    load("Add Device: C:\\WINDOWS\\SYSTEM\\V.386\r\n"   // before the file: no effect
         "File Copy: C:\\APP\\A.DLL\r\n"
         "File Copy: C:\\WINDOWS\\SYSTEM\\V.386\r\n"
         "*** two\r\n"
         "Add Device: c:\\windows\\system\\v.386\r\n"
         "Self-Register: C:\\APP\\A.DLL\r\n");
    EXPECT_EQ(itemAt<SystemFileItem>(SystemFileList, 0)->deviceInstall, 2);
    EXPECT_EQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->selfRegInstall, 2);
    EXPECT_EQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->deviceInstall, 0);
}

TEST_F(LoaderTest, PerUserInstallation)
{
    fake.startMenu = "C:\\WINNT\\Profiles\\joe\\Start Menu";
    fake.commonStartMenu = "C:\\WINNT\\Profiles\\All Users\\Start Menu";
    exists("C:\\WINNT\\PROFILES\\ANN\\APP.LNK");
    exists("C:\\WINNT\\PROFILES\\ALL USERS\\APP.LNK");
    load("Per-User ID: 7\r\n"
         "Shell Link: C:\\WINNT\\Profiles\\ann\\APP.LNK\r\n"
         "Shell Link: C:\\WINNT\\Profiles\\All Users\\APP.LNK\r\n"
         "RegDB Key: K1\r\nRegDB Val: v\r\nRegDB Root: 1\r\nRegDB Old: x\r\n"
         "RegDB Key: K2\r\nRegDB Val: v\r\nRegDB Root: 2\r\n");
    EXPECT_STREQ(installLog.perUserId, "7");
    ASSERT_EQ(itemCount(PrivateFileList), 1);
    EXPECT_STREQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->path, "C:\\WINNT\\Profiles\\All Users\\APP.LNK");
    ASSERT_EQ(itemCount(RegistryKeyList), 1);
    EXPECT_STREQ(itemAt<RegistryKeyItem>(RegistryKeyList, 0)->key, "K2");
    EXPECT_EQ(itemCount(RegistryEditList), 0);   // its old line was unrecognised on its own
}

TEST_F(LoaderTest, AdministratorCheckOnlyOnTheNtFamily)
{
    fake.adminDenied = true;
    EXPECT_EQ(load("User Rights: Admin\r\n"), 1);
    EXPECT_EQ(fake.boxes, std::vector<int>{67});
    resetFakeMachine();
    fake.adminDenied = true;
    runState.platform = 2;
    EXPECT_EQ(load("User Rights: Admin\r\n"), 0);
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(LoaderTest, OemSectionsConvertPathsOnly)
{
    exists("C:\\APP\\\xE4.TXT");
    load("File Copy: C:\\APP\\\x84.TXT\r\nCreate Service: \x84\r\n", "*** x\r\nTitle: T\r\n");
    ASSERT_EQ(itemCount(PrivateFileList), 1);
    EXPECT_STREQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->path, "C:\\APP\\\xE4.TXT");
    EXPECT_STREQ(itemAt<ServiceItem>(ServiceList, 0)->name, "\x84");   // not a path
    // In an ANSI section ("***" and two blanks) the text stands as it is.
    resetFakeMachine();
    exists("C:\\APP\\\x84.TXT");
    load("File Copy: C:\\APP\\\x84.TXT\r\n", "***  x\r\nTitle: T\r\n");
    EXPECT_STREQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->path, "C:\\APP\\\x84.TXT");
}

TEST_F(LoaderTest, SectionsAndTheLastSectionOffset)
{
    std::string log = "*** one\r\nTitle: T\r\nMade Dir: C:\\X\r\n*** two\r\n\r\n*** three\r\nMade Dir: C:\\Y\r\n";
    fake.log = log;
    loadInstallLog("C:\\APP\\INSTALL.LOG", topDirectory);
    EXPECT_EQ(installLog.installationCount, 3);
    EXPECT_EQ(installLog.lastSectionOffset, log.find("*** three"));
}

TEST_F(LoaderTest, LastLineWithoutTerminatorAndLinesStartingWithNul)
{
    exists("C:\\APP\\A.DLL");
    exists("C:\\APP\\B.DLL");
    load(std::string("\0junk\r\nFile Copy: C:\\APP\\A.DLL\r\nFile Copy: C:\\APP\\B.DLL", 56));
    EXPECT_EQ(itemCount(PrivateFileList), 2);
}

} // namespace

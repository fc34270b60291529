// The engine's operations on Wine's real files and registry: tree removal
// and its refusals, help companions and patterns, the program's own file,
// restoring backups now or at restart on both platform branches, INI
// entries, and registry values and trees. Each test works in its own folder
// and under HKEY_CURRENT_USER\Software\RuvoTest.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text.h"
#include "engine/deferred.h"
#include "engine/fileremoval.h"
#include "engine/files.h"
#include "engine/ini.h"
#include "engine/registry.h"
#include "startup/environment.h"
#include "startup/runstate.h"
#include "winsupport.h"

namespace {



struct EngineTest : ::testing::Test {
    Sandbox box{"engine"};
    SandboxKey key{"engine"};
    char programPath[256] = "";
    char systemDirectory[260] = "";

    void SetUp() override
    {
        runState = RunState{};
        detectPlatform();
        installCaseFolding();
        runState.programPath = programPath;
        runState.systemDirectory = systemDirectory;
        GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
    }
    bool exists(const std::string& relative) { return box.exists(relative); }
};

TEST_F(EngineTest, TreeRemovalWithAndWithoutFiles)
{
    box.writeFile("App\\Keep\\user.txt", "mine");
    box.writeFile("App\\Empty\\Deeper\\x", "x");
    DeleteFileA(box.path("App\\Empty\\Deeper\\x").c_str());
    CreateDirectoryA(box.path("App\\Sibling").c_str(), nullptr);
    removeDirectoryTree(box.path("App").c_str(), false);
    EXPECT_TRUE(exists("App\\Keep\\user.txt"));     // files stay, and every folder above them
    EXPECT_FALSE(exists("App\\Empty"));             // empty folders go, deepest first
    EXPECT_FALSE(exists("App\\Sibling"));

    box.writeFile("App\\Keep\\hidden.txt", "x");
    box.writeFile("App\\Keep\\readonly.txt", "x");
    box.writeFile("App\\.cache\\state", "x");
    SetFileAttributesA(box.path("App\\Keep\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA(box.path("App\\Keep\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    removeDirectoryTree(box.path("App").c_str(), true);
    EXPECT_FALSE(exists("App\\Keep"));
    EXPECT_TRUE(exists("App\\.cache\\state"));      // dot-folders keep what they hold
    EXPECT_TRUE(exists("App"));                     // and so their parent stays
}

TEST_F(EngineTest, TreeRemovalRefusesRootsSystemFoldersAndDotPaths)
{
    box.writeFile("App\\Sub\\x", "x");
    std::string windows = windowsDirectory();
    std::string upper = windows, lower = windows;
    for (char& c : upper) c = static_cast<char>(toupper(c));
    for (char& c : lower) c = static_cast<char>(tolower(c));
    for (const std::string& refused : {std::string("C:\\"), std::string("C:"), upper, lower,
                                       std::string(systemDirectory), box.path("App\\Sub\\..")}) {
        removeDirectoryTree(refused.c_str(), true);
    }
    EXPECT_TRUE(exists("App\\Sub\\x"));
    EXPECT_NE(GetFileAttributesA((windows + "\\system32").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(EngineTest, DeletingTheProgramsOwnFileInAnyForm)
{
    box.writeFile("Long Folder\\Program File.exe", "x");
    std::string longPath = box.path("Long Folder\\Program File.exe");
    copyText(programPath, longPath.c_str());
    std::string shortForm = shortPath(longPath);
    deleteFile(shortForm.c_str());
    EXPECT_EQ(runState.selfRemovalNeeded, 1);
    runState.selfRemovalNeeded = 0;
    deleteFile(box.path("Long Folder\\Other.exe").c_str());
    EXPECT_EQ(runState.selfRemovalNeeded, 0);
}

TEST_F(EngineTest, HelpFilesGoWithTheirCompanions)
{
    for (const char* name : {"APP.HLP", "APP.GID", "APP.FTS", "README.TXT", "README.GID"})
        box.writeFile(std::string("Help\\") + name, "x");
    SetFileAttributesA(box.path("Help\\APP.HLP").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(removeOrRestoreFile(box.path("Help\\app.hlp").c_str(), "", 0), 1);
    EXPECT_FALSE(exists("Help\\APP.HLP"));
    EXPECT_FALSE(exists("Help\\APP.GID"));
    EXPECT_FALSE(exists("Help\\APP.FTS"));
    EXPECT_EQ(removeOrRestoreFile(box.path("Help\\README.TXT").c_str(), "", 0), 1);
    EXPECT_TRUE(exists("Help\\README.GID"));
}

TEST_F(EngineTest, PatternsRemoveMatchingFilesOnly)
{
    box.writeFile("Data\\a.dat", "x");
    box.writeFile("Data\\b.DAT", "x");
    box.writeFile("Data\\c.txt", "x");
    box.writeFile("Data\\Sub.dat\\inner.dat", "x");
    EXPECT_EQ(removeOrRestoreFile(box.path("Data\\*.dat").c_str(), "", 1), 1);
    EXPECT_FALSE(exists("Data\\a.dat"));
    EXPECT_FALSE(exists("Data\\b.DAT"));
    EXPECT_TRUE(exists("Data\\c.txt"));
    EXPECT_TRUE(exists("Data\\Sub.dat\\inner.dat"));
    EXPECT_EQ(removeOrRestoreFile(box.path("Data\\*.*").c_str(), "", 0), 1);
    EXPECT_FALSE(exists("Data\\c.txt"));
    EXPECT_TRUE(exists("Data\\Sub.dat\\inner.dat"));
}

TEST_F(EngineTest, WholeFolderPatternsOfSystemFoldersAndDrivesAreRefused)
{
    std::string windows = windowsDirectory();
    std::string upper = windows;
    for (char& c : upper) c = static_cast<char>(toupper(c));
    for (const std::string& pattern : {windows + "\\*.*", upper + "\\*.*", std::string(systemDirectory) + "\\*.*",
                                       std::string("C:\\*.*"), std::string("*.*"), box.path("..\\*.*"),
                                       box.path("Data\\..\\x.txt")})
        EXPECT_EQ(removeOrRestoreFile(pattern.c_str(), "", 0), 0) << pattern;
    EXPECT_NE(GetFileAttributesA((windows + "\\win.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(EngineTest, RestoringOverAFileNotInUse)
{
    box.writeFile("App\\a.dll", "new");
    box.writeFile("Backup\\a.dll", "old");
    EXPECT_EQ(removeOrRestoreFile(box.path("App\\a.dll").c_str(), box.path("Backup\\a.dll").c_str(), 1), 1);
    EXPECT_EQ(box.readFile("App\\a.dll"), "old");
    EXPECT_FALSE(exists("Backup\\a.dll"));
    EXPECT_EQ(runState.rebootNeeded, 0);

    // Without the restore flag, or without a backup, the file only goes.
    box.writeFile("App\\b.dll", "new");
    box.writeFile("Backup\\b.dll", "old");
    removeOrRestoreFile(box.path("App\\b.dll").c_str(), box.path("Backup\\b.dll").c_str(), 0);
    EXPECT_FALSE(exists("App\\b.dll"));
    EXPECT_TRUE(exists("Backup\\b.dll"));
}

TEST_F(EngineTest, TemporaryNamesAreFreeAndNeverRepeat)
{
    box.writeFile("App\\~RUX0000.TMP", "taken");
    char first[MAX_PATH], second[MAX_PATH];
    ASSERT_TRUE(makeTempName(first, box.path("App\\target.dll").c_str()));
    writeWholeFile(first, "x");
    ASSERT_TRUE(makeTempName(second, box.path("App\\target.dll").c_str()));
    EXPECT_NE(std::string(first), std::string(second));
    EXPECT_EQ(std::string(first).substr(0, box.path("App\\~RUX").size()), box.path("App\\~RUX"));
    EXPECT_NE(std::string(first), box.path("App\\~RUX0000.TMP"));
}

// Restoring over a file held open: the new contents wait beside it.
TEST_F(EngineTest, RestoringOverAFileInUseOnTheWindows95Branch)
{
    runState.platform = kPlatformOther;
    std::string wininit = windowsDirectory() + "\\WININIT.INI";
    std::string saved = readWholeFile(wininit);
    DeleteFileA(wininit.c_str());
    box.writeFile("App\\in use.dll", "new");
    box.writeFile("Backup\\a.dll", "old");
    {
        HeldFile held(box.path("App\\in use.dll"));
        restoreBackup(box.path("Backup\\a.dll").c_str(), box.path("App\\in use.dll").c_str());
    }
    EXPECT_EQ(runState.rebootNeeded, 1);
    EXPECT_FALSE(exists("Backup\\a.dll"));
    WIN32_FIND_DATAA found;   // the name's number depends on the names taken before in this process
    HANDLE find = FindFirstFileA(box.path("App\\~RUX*.TMP").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    std::string temp = box.path(std::string("App\\") + found.cFileName);
    EXPECT_EQ(readWholeFile(temp), "old");
    char value[MAX_PATH] = "";
    GetPrivateProfileStringA("rename", shortPath(box.path("App\\in use.dll")).c_str(), "", value, sizeof value,
                             "WININIT.INI");
    EXPECT_EQ(std::string(value), shortPath(temp));

    // Deletions at restart are raw NUL= lines, several side by side.
    scheduleDeleteAtRestart("C:\\X\\ONE.TMP");
    scheduleDeleteAtRestart("C:\\X\\TWO.TMP");
    std::string text = readWholeFile(wininit);
    EXPECT_NE(text.find("NUL=C:\\X\\ONE.TMP\r\nNUL=C:\\X\\TWO.TMP\r\n"), std::string::npos) << text;
    DeleteFileA(wininit.c_str());
    scheduleDeleteAtRestart("C:\\X\\ONE.TMP");
    EXPECT_EQ(readWholeFile(wininit), "[rename]\r\nNUL=C:\\X\\ONE.TMP\r\n");
    DeleteFileA(wininit.c_str());
    if (!saved.empty())
        writeWholeFile(wininit, saved);
}

TEST_F(EngineTest, DeletionAtRestartOnTheNtBranchIsADelayedMove)
{
    runState.platform = kPlatformNt;
    box.writeFile("App\\later.tmp", "x");
    scheduleDeleteAtRestart(box.path("App\\later.tmp").c_str());
    DWORD type = REG_NONE;
    std::string pending;
    EXPECT_TRUE(readValue(kSessionManager, "PendingFileRenameOperations", &type, &pending));
    EXPECT_NE(pending.find(std::string("later.tmp\0\0", 11)), std::string::npos);
    forgetRestartWork();   // nothing to leave for the next test
}

TEST_F(EngineTest, Win32ExecutablesAreRecognisedByTheirSignatures)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    EXPECT_TRUE(isWin32Executable(self));
    box.writeFile("text.exe", "just text, long enough to have an offset at sixty and beyond......................");
    EXPECT_FALSE(isWin32Executable(box.path("text.exe").c_str()));
    std::string dosOnly(128, '\0');
    dosOnly[0] = 'M';
    dosOnly[1] = 'Z';
    dosOnly[0x3C] = 0x40;   // points at zeros, not at "PE"
    box.writeFile("dos.exe", dosOnly);
    EXPECT_FALSE(isWin32Executable(box.path("dos.exe").c_str()));
    EXPECT_FALSE(isWin32Executable(box.path("missing.exe").c_str()));
}

TEST_F(EngineTest, AMissingBackupRemovesTheFileAndAsksForNoRestart)
{
    box.writeFile("App\\a.dll", "new");
    removeOrRestoreFile(box.path("App\\a.dll").c_str(), box.path("Backup\\gone.dll").c_str(), 1);
    EXPECT_FALSE(exists("App\\a.dll"));
    EXPECT_EQ(runState.rebootNeeded, 0);
}

TEST_F(EngineTest, IniEntriesAreWrittenBackOrDeleted)
{
    box.writeFile("app.ini", "[Ext]\r\ntxt=app.exe\r\ndoc=app.exe\r\n");
    IniItem entry = {};
    copyText(entry.file, box.path("app.ini").c_str());
    copyText(entry.section, "Ext");
    copyText(entry.item, "txt");
    restoreIniEntry(&entry, "notepad.exe");
    copyText(entry.item, "doc");
    restoreIniEntry(&entry, "");
    char value[64];
    GetPrivateProfileStringA("Ext", "txt", "-", value, sizeof value, entry.file);
    EXPECT_STREQ(value, "notepad.exe");
    GetPrivateProfileStringA("Ext", "doc", "-", value, sizeof value, entry.file);
    EXPECT_STREQ(value, "-");

    copyText(entry.file, box.path("gone.ini").c_str());
    restoreIniEntry(&entry, "x");
    EXPECT_FALSE(exists("gone.ini"));   // never made again
}

std::string testKey(const std::string& below)
{
    return "Software\\RuvoTest\\engine" + (below.empty() ? "" : "\\" + below);
}

bool valueExists(const std::string& key, const char* name)
{
    DWORD type;
    std::string data;
    return readValue(key, name, &type, &data);
}

TEST_F(EngineTest, CreatedValuesGoWithTheKeysTheyLeaveEmpty)
{
    setValue(testKey("Outer\\Inner"), "Created", REG_SZ, "1");
    setValue(testKey("Busy"), "Created", REG_SZ, "1");
    setValue(testKey("Busy"), "Other", REG_SZ, "1");
    RegistryKeyItem created = {};
    created.root = 1;
    copyText(created.key, testKey("Outer\\Inner").c_str());
    copyText(created.valueName, "Created");
    removeCreatedValue(&created);
    EXPECT_FALSE(keyPresent(testKey("Outer")));
    EXPECT_TRUE(keyPresent(testKey("")));   // it still holds Busy

    copyText(created.key, testKey("Busy").c_str());
    removeCreatedValue(&created);
    EXPECT_FALSE(valueExists(testKey("Busy"), "Created"));
    EXPECT_TRUE(valueExists(testKey("Busy"), "Other"));

    created.root = 9;   // no such root: passed over
    copyText(created.key, testKey("Busy").c_str());
    copyText(created.valueName, "Other");
    removeCreatedValue(&created);
    EXPECT_TRUE(valueExists(testKey("Busy"), "Other"));
}

TEST_F(EngineTest, TreesAreDeletedWholeWithTheirValues)
{
    for (const char* sub : {"Tree\\A\\A1", "Tree\\A\\A2", "Tree\\B", "Tree\\C\\C1\\C2"})
        setValue(testKey(sub), "v", REG_SZ, "1");
    setValue(testKey("Tree"), "", REG_SZ, "default");
    deleteRegistryTree(testKey("Tree").c_str(), 1);
    EXPECT_FALSE(keyPresent(testKey("Tree")));
    EXPECT_TRUE(keyPresent(testKey("")));
}

TEST_F(EngineTest, ChangedValuesAreWrittenBackWithTheirTypes)
{
    setValue(testKey("Values"), "present", REG_SZ, "x");
    struct Case {
        int type;
        std::string stored;
        DWORD registryType;
        std::string bytes;
    } cases[] = {
        {0, std::string("old text\0\0", 10), REG_SZ, std::string("old text\0", 9)},
        {1, std::string("%WINDIR%\\x\0\0", 12), REG_EXPAND_SZ, std::string("%WINDIR%\\x\0", 11)},
        {2, std::string("a\0bc\0\0", 6), REG_MULTI_SZ, std::string("a\0bc\0", 5)},
        {3, std::string("-1\0\0", 4), REG_DWORD, std::string("\xFF\xFF\xFF\xFF", 4)},
        {4, std::string("de ad,BE\0\0", 10), REG_BINARY, std::string("\xDE\xAD\xBE", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        RegistryEditItem value = {};
        value.root = 1;
        value.valueType = c.type;
        copyText(value.key, testKey("Values").c_str());
        snprintf(value.valueName, sizeof value.valueName, "type%d", c.type);
        memcpy(value.preInstallValue, c.stored.data(), c.stored.size());
        restoreRegistryValue(&value, value.preInstallValue);
        expectValue(value.key, value.valueName, c.registryType, c.bytes);
    }
    // A missing key is not made again, and a type outside the log's is refused.
    RegistryEditItem missing = {};
    missing.root = 1;
    copyText(missing.key, testKey("Missing").c_str());
    memcpy(missing.preInstallValue, "x\0", 3);
    restoreRegistryValue(&missing, missing.preInstallValue);
    EXPECT_FALSE(keyPresent(testKey("Missing")));
    RegistryEditItem odd = {};
    odd.root = 1;
    odd.valueType = 7;
    copyText(odd.key, testKey("Values").c_str());
    copyText(odd.valueName, "odd");
    restoreRegistryValue(&odd, odd.preInstallValue);
    EXPECT_FALSE(valueExists(testKey("Values"), "odd"));
}

TEST_F(EngineTest, RootNumberFourIsTheCurrentConfiguration)
{
    EXPECT_EQ(rootKey(0), HKEY_CLASSES_ROOT);
    EXPECT_EQ(rootKey(1), HKEY_CURRENT_USER);
    EXPECT_EQ(rootKey(2), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(rootKey(3), HKEY_USERS);
    EXPECT_EQ(rootKey(4), HKEY_CURRENT_CONFIG);
    EXPECT_EQ(rootKey(5), nullptr);
    EXPECT_EQ(rootKey(-1), nullptr);
}

} // namespace

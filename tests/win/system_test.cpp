// What the program asks of Windows, answered by Wine's real files, registry,
// restart queues, code pages and version: the engine's host and the log
// loader's, the path forms, the message texts and platform detection. The
// rules over these answers run natively on the in-memory machine; here each
// answer is checked once. Each test works in its own folder and under
// HKEY_CURRENT_USER\Software\RuvoTest.
//
// Run with --report-platform, the program instead reports what start-up
// detects, as its exit code, so that a test can start it under another
// Windows version.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/messages.h"
#include "common/text.h"
#include "common/winfiles.h"
#include "engine/winhost.h"
#include "log/loaderhost.h"
#include "startup/environment.h"
#include "startup/runstate.h"
#include "startup/winrecord.h"
#include "winsupport.h"

using namespace std::string_literals;

int main(int argc, char** argv)
{
    if (argc > 1 && strcmp(argv[1], "--report-platform") == 0) {
        detectPlatform();
        return runState.platform * 10 + runState.windows4OrLater;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

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

// Both enumerations, the engine's and the path look-ups', find hidden
// entries and never the dot entries.
TEST_F(HostTest, EnumerationReportsHiddenEntriesButNotTheDotEntries)
{
    layOut(box.root, "Dir\\a.txt|Dir\\b.txt (hidden)|Dir\\Sub\\c.txt");
    std::string seen;
    FoundEntry entry;
    void* find = host.findFirst(box.path("Dir\\*.*").c_str(), &entry);
    for (bool found = find != nullptr; found; found = host.findNext(find, &entry))
        seen += std::string(entry.name) + ((entry.attributes & kAttributeDirectory) ? "/ " : " ");
    if (find)
        host.findClose(find);
    EXPECT_EQ(seen.size(), std::string("a.txt b.txt Sub/ ").size()) << seen;
    for (const char* name : {"a.txt ", "b.txt ", "Sub/ "})
        EXPECT_NE(seen.find(name), std::string::npos) << seen;
    EXPECT_EQ(host.findFirst(box.path("Dir\\*.none").c_str(), &entry), nullptr);

    FindState state;
    int count = 0;
    for (int found = findFirst(&state, box.path("Dir\\*.txt").c_str()); found == 0; found = findNext(&state))
        ++count;
    findClose(&state);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(findFirst(&state, box.path("Dir\\*.none").c_str()), 1);
    findClose(&state);
    EXPECT_FALSE(fileMissing(box.path("Dir\\a.txt").c_str()));
    EXPECT_FALSE(fileMissing(box.path().c_str()));
    EXPECT_TRUE(fileMissing(box.path("gone.txt").c_str()));
    EXPECT_TRUE(fileMissing("Q:\\nowhere\\x"));
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

std::string converted(const std::string& path, PathForm form, size_t capacity = 260)
{
    std::string buffer(capacity + 8, '#');
    copyText(&buffer[0], capacity, path.c_str());
    convertPathForm(&buffer[0], capacity, form);
    EXPECT_EQ(buffer.substr(capacity), std::string(8, '#')) << "wrote past the capacity";
    return buffer.c_str();
}

// Drive C: is a folder of the prefix; Wine makes 8.3 names such as LONGFO~1
// for long ones.
TEST(Files, PathFormsComponentByComponent)
{
    Sandbox box("files");
    layOut(box.root, "Long Folder Name\\Another Long File.txt|Mixed Case Folder\\File.txt");
    std::string longFile = box.path("Long Folder Name\\Another Long File.txt");
    std::string shortDir = shortPath(box.path("Long Folder Name")), shortFile = shortPath(longFile);
    std::string shortMixed = shortPath(box.path("Mixed Case Folder"));
    shortMixed[0] = 'c';
    std::string lower = "c:\\ruvotest\\files\\mixed case folder\\file.txt";
    struct Case { std::string path; PathForm form; std::string expected; size_t capacity; } cases[] = {
        {longFile, ShortForm, shortFile, 260},
        {shortFile, LongForm, longFile, 260},
        // Without "~" a path holds no short component: left alone, case and all.
        {lower, LongForm, lower, 260},
        // With one, every component found takes its name on disk; the drive goes upper case.
        {shortMixed + "\\file.txt", LongForm, box.path("Mixed Case Folder\\File.txt"), 260},
        // Components not found, dots and trailing backslashes stay.
        {box.path("Long Folder Name\\Missing Part\\x.txt"), ShortForm, shortDir + "\\Missing Part\\x.txt", 260},
        {box.path("Long Folder Name\\"), ShortForm, shortDir + "\\", 260},
        {box.path("Long Folder Name\\..\\x"), ShortForm, shortDir + "\\..\\x", 260},
        // Roots are never rewritten.
        {"c:\\", ShortForm, "C:\\", 260},
        // A result that does not fit leaves the path as it was.
        {shortFile, LongForm, shortFile, shortFile.size() + 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(converted(c.path, c.form, c.capacity), c.expected) << c.path;

    // A bare name is taken from the current directory.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(box.path("Long Folder Name").c_str());
    std::string bare = converted("Another Long File.txt", ShortForm);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(bare, shortFile);
}

// Sets a registry string for the test's lifetime, then puts back what was there.
struct RegistryString {
    std::string key, name, before;
    bool existed;
    RegistryString(const std::string& k, const std::string& n, const std::string& value) : key(k), name(n)
    {
        DWORD type;
        existed = readValue(key, name.c_str(), &type, &before);
        layOut("", key + ":" + name + "=sz:" + value + "\0"s);
    }
    ~RegistryString() { (existed ? layOut : removeLaidOut)("", key + ":" + name + "=sz:" + before); }
};

TEST(LoaderHost, AnswersFromTheRealMachine)
{
    Sandbox box("loaderhost");
    box.writeFile("Data\\a.dat", "x");
    EXPECT_FALSE(patternMatchesNothing(box.path("Data\\*.DAT").c_str()));
    EXPECT_TRUE(patternMatchesNothing(box.path("Data\\*.TXT").c_str()));
    EXPECT_FALSE(driveIsRemovable('B'));   // Wine's prefix has no floppy drive

    char text[] = "\x84pfel";   // a-umlaut in OEM 437 becomes 0xE4 in ANSI 1252
    oemToAnsi(text);
    EXPECT_STREQ(text, "\xE4pfel");

    std::string counted = box.path("COUNTED.DLL");
    EXPECT_FALSE(sharedDllCounted(counted.c_str()));
    RegistryString shared("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", counted, "1");
    EXPECT_TRUE(sharedDllCounted(counted.c_str()));

    const std::string kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    RegistryString mine("HKCU\\" + kShellFolders, "Start Menu", "C:\\Profiles\\joe\\Start Menu");
    RegistryString common("HKLM\\" + kShellFolders, "Common Start Menu", "C:\\Profiles\\All Users\\Start Menu");
    char folder[256];
    ASSERT_TRUE(readStartMenuFolder(false, folder, sizeof folder));
    EXPECT_STREQ(folder, "C:\\Profiles\\joe\\Start Menu");
    ASSERT_TRUE(readStartMenuFolder(true, folder, sizeof folder));
    EXPECT_STREQ(folder, "C:\\Profiles\\All Users\\Start Menu");
}

// Indexes and comparisons fold case with the code page's upper case. They
// never call equal what lstrcmpiA tells apart, and they agree with it on
// every pair of letters. (Wine's collation also calls "^" and the modifier
// circumflex 0x88 equal; as names of files they are different characters,
// and folding keeps them apart.)
TEST(LoaderHost, CaseFoldingAgreesWithTheSystemComparison)
{
    installCaseFolding();
    int letterPairs = 0;
    for (int a = 1; a < 256; ++a) {
        for (int b = a + 1; b < 256; ++b) {
            char x[2] = {static_cast<char>(a), 0}, y[2] = {static_cast<char>(b), 0};
            bool systemEqual = lstrcmpiA(x, y) == 0;
            bool ourEqual = compareNoCase(x, y) == 0;
            ASSERT_TRUE(systemEqual || !ourEqual) << a << " " << b;
            if (IsCharAlphaA(x[0]) && IsCharAlphaA(y[0])) {
                ASSERT_EQ(ourEqual, systemEqual) << a << " " << b;
                letterPairs += ourEqual;
            }
        }
    }
    EXPECT_GT(letterPairs, 26);   // beyond ASCII: a-umlaut and A-umlaut, and so on
}

// Message texts: the string table as shipped (each of the 73 there is used
// without an override), and the companion INI's [Language] overrides read
// through the platform's profile API. Keys outside [Language] override
// nothing, and an edited INI takes effect on the next fetch. An action prefix
// is fetched into 64 bytes: an override keeps 63 characters, and the string
// table's text is cut the same way.
TEST(Messages, OverrideRulesAndTheCallersCapacity)
{
    Sandbox box("messages");
    char iniPath[kPathSize];
    copyText(iniPath, box.path("UNINSTAL.INI").c_str());
    runState.companionIniPath = iniPath;
    auto fetch = [](int id, int capacity = 1024) {
        std::string buffer(static_cast<size_t>(capacity) + 8, '#');
        LoadMessageText(GetModuleHandleA(nullptr), id, &buffer[0], capacity);
        EXPECT_EQ(buffer.substr(static_cast<size_t>(capacity)), std::string(8, '#')) << "wrote past the capacity";
        return std::string(buffer.c_str());
    };
    for (int id = 1; id <= 73; ++id)
        EXPECT_NE(fetch(id), "") << "message " << id;
    box.writeFile("UNINSTAL.INI", "[Settings]\r\nMsg59=Elsewhere\r\n");
    EXPECT_EQ(fetch(59), "Are you sure you want to cancel the uninstall?");
    EXPECT_EQ(fetch(29), "Removing File:\r\n");
    box.writeFile("UNINSTAL.INI", "[Language]\r\nMsg25=Before\r\n");
    EXPECT_EQ(fetch(25), "Before");
    DeleteFileA(iniPath);
    EXPECT_EQ(fetch(25), "Uninstall");

    box.writeFile("UNINSTAL.INI", "[Language]\r\n"
                                  "Msg59=\r\n"                    // empty: an empty text
                                  "Msg60=\x7f\r\n"                // a lone DEL counts as absent
                                  "Msg61=two|lines\r\n"
                                  "msg64=  blanks around  \r\n"   // key names ignore case; the value is trimmed
                                  "Msg65=\"quoted value\"\r\n"
                                  "Msg7=Willkommen bei %s|Weiter\r\n"
                                  "Msg29=" + std::string(100, 'x') + "\r\nMsg30=" + std::string(62, 'y') + "|z\r\n" +
                                  "Msg31=" + std::string(61, 'w') + "|z\r\n");
    struct Case { int id, capacity; std::string expected; } cases[] = {
        {59, 1024, ""},
        {60, 1024, "&Automatic"},
        {61, 1024, "two\r\nlines"},
        {64, 1024, "blanks around"},
        {65, 1024, "quoted value"},
        {7, 1024, "Willkommen bei %s\r\nWeiter"},
        {1, 1024, "Installation Logs"},   // keys not given stay as shipped
        {29, 64, std::string(63, 'x')},
        {30, 64, std::string(62, 'y')},          // the line break no longer fits
        {31, 64, std::string(61, 'w') + "\r\n"},  // it fits, what follows does not
        {2, 5, "Ruvo"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fetch(c.id, c.capacity), c.expected) << "message " << c.id;
    runState.companionIniPath = nullptr;
}

// Checked in a child process that Wine shows the NT family (its default,
// Windows 10) or the Windows 95 family ("win98"): platform 1 or 2, version
// 4 or later.
TEST(Platform, TheFamilyWineReportsIsDetected)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    Sandbox box("platform");
    std::string copy = box.path("PLATPROBE.EXE");
    CopyFileA(self, copy.c_str(), FALSE);
    for (auto [version, expected] : {std::pair<const char*, DWORD>{"win10", 11}, {"nt40", 11}, {"win98", 21},
                                     {"win95", 21}}) {
        WindowsVersionForProgram family("PLATPROBE.EXE", version);
        Process probe;
        ASSERT_TRUE(probe.start(copy, "--report-platform"));
        EXPECT_EQ(probe.wait(30000), expected) << version;
    }
}

} // namespace

// What the log loader asks of Windows, answered by Wine's real file system,
// registry, code pages and windows. The loader's rules over these answers
// run natively on the in-memory machine; here each answer is checked once.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "log/loaderhost.h"
#include "startup/environment.h"
#include "startup/mainwnd.h"
#include "startup/runstate.h"
#include "winsupport.h"

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Sets a registry string for the test's lifetime, then puts back what was there.
struct RegistryString {
    HKEY root, key = nullptr;
    std::string name, before;
    bool existed = false;
    RegistryString(HKEY r, const char* path, const std::string& n, const std::string& value) : root(r), name(n)
    {
        RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        char old[1024];
        DWORD size = sizeof old;
        existed = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == 0;
        if (existed)
            before.assign(old, size ? size - 1 : 0);
        set(value);
    }
    void set(const std::string& value)
    {
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    }
    ~RegistryString()
    {
        if (existed)
            set(before);
        else
            RegDeleteValueA(key, name.c_str());
        RegCloseKey(key);
    }
};

TEST(LoaderHost, AnswersFromTheRealMachine)
{
    Sandbox box("loaderhost");
    char windows[260], system[260];
    windowsDirectories(windows, system, sizeof windows);
    EXPECT_EQ(std::string(windows), windowsDirectory());
    EXPECT_EQ(std::string(system), systemDirectory());

    box.writeFile("Data\\a.dat", "x");
    EXPECT_FALSE(patternMatchesNothing(box.path("Data\\*.DAT").c_str()));
    EXPECT_TRUE(patternMatchesNothing(box.path("Data\\*.TXT").c_str()));
    EXPECT_FALSE(driveIsRemovable('B'));   // Wine's prefix has no floppy drive

    char text[] = "\x84pfel";   // a-umlaut in OEM 437 becomes 0xE4 in ANSI 1252
    oemToAnsi(text);
    EXPECT_STREQ(text, "\xE4pfel");

    std::string counted = box.path("COUNTED.DLL");
    EXPECT_FALSE(sharedDllCounted(counted.c_str()));
    {
        RegistryString shared(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", counted,
                              "1");
        EXPECT_TRUE(sharedDllCounted(counted.c_str()));
    }

    RegistryString mine(HKEY_CURRENT_USER, kShellFolders, "Start Menu", "C:\\Profiles\\joe\\Start Menu");
    RegistryString common(HKEY_LOCAL_MACHINE, kShellFolders, "Common Start Menu", "C:\\Profiles\\All Users\\Start Menu");
    char folder[256];
    ASSERT_TRUE(readStartMenuFolder(false, folder, sizeof folder));
    EXPECT_STREQ(folder, "C:\\Profiles\\joe\\Start Menu");
    ASSERT_TRUE(readStartMenuFolder(true, folder, sizeof folder));
    EXPECT_STREQ(folder, "C:\\Profiles\\All Users\\Start Menu");
}

TEST(LoaderHost, TheTitleCaptionsTheMainWindowInTheUsersLanguage)
{
    Sandbox box("loaderhost");
    box.writeFile("UNINSTAL.INI", "[Language]\r\nMsg25=Deinstallieren\r\n");
    char iniPath[256];
    copyText(iniPath, box.path("UNINSTAL.INI").c_str());
    runState = RunState{};
    runState.companionIniPath = iniPath;
    loadAppearance();
    ASSERT_TRUE(createMainWindow(GetModuleHandleA(nullptr), nullptr));
    showTitleInCaption("Sample Suite");
    EXPECT_EQ(windowText(runState.mainWindow), "Deinstallieren Sample Suite");
    DestroyWindow(runState.mainWindow);
    runState = RunState{};
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

// The demo: installs the bundled sample application into
// C:\Program Files\Ruvo Sample under Wine, runs UNINSTAL.EXE on it as an
// automatic uninstall, answers any box it shows, and reports what the
// uninstall removed and what it left.
//
//   demo.exe <sample folder> <UNINSTAL.EXE> <screenshot folder>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "screenshot.h"
#include "winsupport.h"

namespace {

const char kAppDir[] = "C:\\Program Files\\Ruvo Sample";
const char kRegistryKey[] = "Software\\Ruvo Sample";

struct Installed {
    std::string path;
    bool directory;
};

std::vector<Installed> installed;

// Copies the sample tree, recording every file and folder it makes.
void copyTree(const std::string& from, const std::string& to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    installed.push_back({to, true});
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            copyTree(from + "\\" + name, to + "\\" + name);
        } else {
            CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
            installed.push_back({to + "\\" + name, false});
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

void install(const std::string& sample, const std::string& program)
{
    removeTree(kAppDir);
    copyTree(sample + "\\app", kAppDir);
    std::string appDir = kAppDir;
    CopyFileA(program.c_str(), (appDir + "\\UNINSTAL.EXE").c_str(), FALSE);
    installed.push_back({appDir + "\\UNINSTAL.EXE", false});
    CopyFileA((sample + "\\UNINSTAL.INI").c_str(), (appDir + "\\UNINSTAL.INI").c_str(), FALSE);
    installed.push_back({appDir + "\\UNINSTAL.INI", false});

    std::string log = readWholeFile(sample + "\\INSTALL.LOG.in");
    for (size_t at; (at = log.find("@APPDIR@")) != std::string::npos;)
        log.replace(at, 8, appDir);
    writeWholeFile(appDir + "\\INSTALL.LOG", log);
    installed.push_back({appDir + "\\INSTALL.LOG", false});

    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("1.0"), 4);
        RegCloseKey(key);
    }
}

bool registryValuePresent()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRegistryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool present = RegQueryValueExA(key, "Version", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return present;
}

void report(const char* heading)
{
    printf("%s\n", heading);
    int present = 0;
    for (const Installed& item : installed) {
        bool there = GetFileAttributesA(item.path.c_str()) != INVALID_FILE_ATTRIBUTES;
        present += there;
        printf("  %-8s %s%s\n", there ? "present" : "removed", item.path.c_str(), item.directory ? "\\" : "");
    }
    printf("  %-8s HKEY_CURRENT_USER\\%s, value Version\n", registryValuePresent() ? "present" : "removed",
           kRegistryKey);
    printf("  (%d of %zu files and folders present)\n", present, installed.size());
}

// Answers whatever the uninstaller shows until it ends, saving a picture of
// each new window first.
DWORD runUninstall(const std::string& shots)
{
    std::string program = std::string(kAppDir) + "\\UNINSTAL.EXE";
    char shortLog[MAX_PATH];
    GetShortPathNameA((std::string(kAppDir) + "\\INSTALL.LOG").c_str(), shortLog, sizeof shortLog);
    std::string arguments = std::string("/A ") + shortLog;
    printf("\nRunning: \"%s\" %s\n", program.c_str(), arguments.c_str());

    Process uninstaller;
    if (!uninstaller.start(program, arguments)) {
        printf("could not start the uninstaller\n");
        return 1;
    }
    int shot = 0;
    bool wizardSeen = false;
    for (DWORD waited = 0; waited < 120000; waited += 50) {
        DWORD code = uninstaller.wait(50);
        if (code != STILL_ACTIVE)
            return code;
        // The wizard shows the progress on its own: one picture of it, and
        // none of its buttons is ever pressed.
        HWND wizard = waitForWindow(uninstaller.info.dwProcessId, "#32770", 0,
                                    [](HWND w) { return IsWindowVisible(w) && GetDlgItem(w, 1003) != nullptr; });
        if (wizard && !wizardSeen) {
            wizardSeen = true;
            std::string name = shots + "\\demo-" + std::to_string(++shot) + ".bmp";
            saveScreenshot(nullptr, name);
            printf("  the wizard shows the progress; picture: %s\n", name.c_str());
        }
        HWND box = waitForWindow(uninstaller.info.dwProcessId, "#32770", 0, [](HWND w) {
            return IsWindowVisible(w) && GetDlgItem(w, 1003) == nullptr;
        });
        if (!box)
            continue;
        Sleep(300);   // let it paint
        std::string name = shots + "\\demo-" + std::to_string(++shot) + ".bmp";
        saveScreenshot(nullptr, name);
        printf("  the uninstaller shows \"%s\"; picture: %s\n", windowText(box).c_str(), name.c_str());
        HWND button = findDescendant(box, "Button", IDOK);
        if (!button)
            button = findDescendant(box, "Button", IDCANCEL);
        if (button)
            pressButton(button);
        Sleep(500);
    }
    printf("the uninstaller did not end within two minutes\n");
    return STILL_ACTIVE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: demo <sample folder> <UNINSTAL.EXE> <screenshot folder>\n");
        return 2;
    }
    std::string sample = windowsPath(argv[1]);
    std::string program = windowsPath(argv[2]);
    std::string shots = windowsPath(argv[3]);
    CreateDirectoryA(shots.c_str(), nullptr);

    install(sample, program);
    report("Installed the sample application:");
    DWORD code = runUninstall(shots);
    printf("The uninstaller ended with exit code %lu.\n", code);
    // Its temporary copy removes the program file and the emptied folders
    // a second after the uninstaller ended.
    for (int waited = 0; waited < 15000 && GetFileAttributesA(kAppDir) != INVALID_FILE_ATTRIBUTES; waited += 100)
        Sleep(100);
    printf("\n");
    report("After the uninstall:");
    return code == 0 ? 0 : 1;
}

// Helpers for the tests that run under Wine: a sandbox folder and registry
// key per test, the program under test as a real process, and its windows.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A path from the environment: a Unix path (/work/...) becomes the Z: path
// under which Wine shows it.
std::string windowsPath(const std::string& path);

// UNINSTAL.EXE as built (RUVO_PROGRAM) and the folder for artefacts.
std::string builtProgram();
std::string artifactsFolder();

// A folder C:\ruvotest\<name>, emptied when made and when dropped.
struct Sandbox {
    explicit Sandbox(const std::string& name);
    ~Sandbox();
    std::string path(const std::string& relative = "") const;
    void writeFile(const std::string& relative, const std::string& content) const;
    std::string readFile(const std::string& relative) const;
    bool exists(const std::string& relative) const;
    // Copies the built program in as `name` and returns its path.
    std::string installProgram(const std::string& name = "UNINSTAL.EXE") const;

    std::string root;
};

void removeTree(const std::string& path);

// The platform's folders, and a path's short (8.3) form.
std::string windowsDirectory();
std::string systemDirectory();
std::string shortPath(const std::string& path);
bool present(const std::string& path);
std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& content);

// A registry key under HKEY_CURRENT_USER\Software\RuvoTest\<name>, deleted
// when made and when dropped.
struct SandboxKey {
    explicit SandboxKey(const std::string& name);
    ~SandboxKey();
    std::string subKey;
};

// Makes Wine report another Windows version (for example "win98") to the
// programs of one file name while it lives.
struct WindowsVersionForProgram {
    WindowsVersionForProgram(const std::string& exeName, const char* version);
    ~WindowsVersionForProgram();
    std::string key;
};

// The program under test, started as a real process; ended if still running
// when dropped.
struct Process {
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();
    bool start(const std::string& exe, const std::string& arguments);
    // The exit code, or STILL_ACTIVE when it has not ended within `ms`.
    DWORD wait(DWORD ms);

    PROCESS_INFORMATION info = {};
};

// Polls until a top-level window of process `pid` has class `className`
// (nullptr: any) and passes `accept`; nullptr after `ms`.
HWND waitForWindow(DWORD pid, const char* className, DWORD ms,
                   const std::function<bool(HWND)>& accept = nullptr);

std::string windowText(HWND window);
std::string className(HWND window);
// The first descendant of `parent` (depth first) of class `cls` with id `id`
// (-1: any id).
HWND findDescendant(HWND parent, const char* cls, int id = -1);

// Every descendant of `parent`, depth first.
std::vector<HWND> descendants(HWND parent);

// A dialog procedure that leaves everything to the dialog manager.
INT_PTR CALLBACK plainDialogProc(HWND, UINT, WPARAM, LPARAM);

// Presses a button the way a click does.
void pressButton(HWND button);

// Saves what the screen shows of `window` (the whole screen for nullptr) as
// a 24-bit BMP file.
bool saveScreenshot(HWND window, const std::string& path);

// Reads one screen pixel as 0xRRGGBB.
unsigned long screenPixel(int x, int y);

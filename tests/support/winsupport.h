// Helpers for the tests that run under Wine: a sandbox folder and registry
// key per test, the program under test as a real process, and its windows.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A path from the environment: a Unix path (/work/...) becomes the Z: path
// under which Wine shows it.
std::string windowsPath(const std::string& path);
// A built file the environment names (RUVO_PROGRAM: UNINSTAL.EXE).
std::string builtFile(const char* variable);

std::string windowsDirectory();
std::string systemDirectory();
std::string shortPath(const std::string& path);
bool present(const std::string& path);
std::string readWholeFile(const std::string& path);
// Writes a file, making the folders on the way.
void writeWholeFile(const std::string& path, const std::string& content);
void removeTree(const std::string& path);

struct Process;

// A folder C:\ruvotest\<name>, emptied when made and when dropped.
struct Sandbox {
    explicit Sandbox(const std::string& name);
    ~Sandbox() { removeTree(root); }
    std::string path(const std::string& relative = "") const { return relative.empty() ? root : root + "\\" + relative; }
    void writeFile(const std::string& relative, const std::string& content) const
    {
        writeWholeFile(path(relative), content);
    }
    std::string readFile(const std::string& relative) const { return readWholeFile(path(relative)); }
    bool exists(const std::string& relative) const { return present(path(relative)); }
    // Copies the built program in as `name` and returns its path.
    std::string installProgram(const std::string& name = "UNINSTAL.EXE") const;
    // Writes `log` as App\INSTALL.LOG and starts the program, copied in as
    // Bin\UNINSTAL.EXE, on its short path with `switches`; uninstall waits
    // for the end and gives the exit code.
    bool startOnLog(Process& run, const std::string& switches, const std::string& log) const;
    DWORD uninstall(const std::string& switches, const std::string& log) const;

    std::string root;
};

// Files, folders and registry values in one line, entries apart by "|":
// "a" is a file holding "x", "a=text" a file holding text, "a<path" a copy
// of the file at path, "a\" a folder;
// " (read-only)" or " (hidden)" after a file's name gives it that attribute.
// Paths that begin with neither a drive nor "\" are below `base`.
// "HKCU\key:name=type:data" is a registry value (HKLM, HKCR too; type sz,
// multi or dword; data as stored). "-" before an entry, for checks,
// means nothing there ("-HKCU\key": no such key). layOut makes them,
// expectLaidOut checks them (a folder's presence, a file's content, a
// value's type and data), removeLaidOut deletes what they name.
void layOut(const std::string& base, const std::string& lines);
void expectLaidOut(const std::string& base, const std::string& lines);
void removeLaidOut(const std::string& base, const std::string& lines);

// Where the renames and deletions that wait for a restart are queued.
extern const char kSessionManager[];
// A registry value's type and data, false for a missing value.
bool readValue(const std::string& key, const char* name, DWORD* type, std::string* data);
bool renamesPending();
// Forgets what waits for a restart: the pending renames and WININIT.INI.
void forgetRestartWork();
// Restarts Wine's Windows, which carries out the pending renames and
// WININIT.INI. True when it ran to its end.
bool restartWine();

// Links made from the Linux side (Wine's CreateSymbolicLink makes nothing):
// a folder link at `link` to the folder `target`, or with `link` "*" a new
// drive letter whose root is `target`. Gives the link's name as Windows
// shows it ("R:" for a drive), "" on failure; unlink removes it again.
std::string linkFolder(const std::string& link, const std::string& target);
bool unlinkFolder(const std::string& link);

// Makes Wine report another Windows version (for example "win98"; nullptr
// changes nothing) to the programs of one file name while it lives.
struct WindowsVersionForProgram {
    WindowsVersionForProgram(const std::string& exeName, const char* version);
    ~WindowsVersionForProgram();
    std::string key;
};

// A file or folder held open without sharing (so that it cannot be deleted
// or replaced) until released or dropped; an empty path holds nothing.
struct HeldFile {
    explicit HeldFile(const std::string& path);
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    ~HeldFile() { release(); }
    void release();
    HANDLE handle = nullptr;
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

// Whether a process of that file name runs.
bool processRunning(const char* exeName);

// Polls until a top-level window of process `pid` has class `className`
// (nullptr: any) and passes `accept`; nullptr after `ms`.
HWND waitForWindow(DWORD pid, const char* className, DWORD ms,
                   const std::function<bool(HWND)>& accept = nullptr);
// A visible dialog box of process `pid` that is not `other` and passes
// `accept`; nullptr after `ms`.
HWND waitForBox(DWORD pid, DWORD ms, const std::function<bool(HWND)>& accept, HWND other = nullptr);

std::string windowText(HWND window);
std::string className(HWND window);
// The first descendant of `parent` (depth first) of class `cls` with id `id`
// (-1: any id).
HWND findDescendant(HWND parent, const char* cls, int id = -1);
std::vector<HWND> descendants(HWND parent);

// Presses a button the way a click does.
void pressButton(HWND button);

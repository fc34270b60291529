// A running program file cannot be deleted, and the program normally lives
// inside the tree it removes. So every ordinary run copies itself to the
// temporary directory first; when the uninstall took the program's own
// file, that copy is started at the very end with /z, waits for the first
// process to end, deletes the program file and removes the emptied folders.
#include "startup/selfremove.h"

#include <windows.h>

#include <string>

#include "common/text.h"
#include "common/pathforms.h"
#include "engine/deferred.h"
#include "engine/files.h"
#include "engine/policy.h"
#include "startup/runstate.h"

namespace {

// How long the copy goes on trying when the first process has not let go
// of the program file after its second: a loaded machine can take that long.
const DWORD kSecondChance = 10000, kRetryPeriod = 250;

// The main window's timer that ends the copy's waits (the window clears
// timerWait on its tick).
const UINT_PTR kWaitTimer = 8298;

// Waits on the main window's timer, blocking in GetMessage: a process that
// polls is never idle, and WinExec in the first process waits until the
// copy is idle before it returns.
void waitOnTimer(UINT milliseconds)
{
    RunState& rs = runState;
    rs.timerWait = 1;
    SetTimer(rs.mainWindow, kWaitTimer, milliseconds, nullptr);
    MSG message;
    while (rs.timerWait && GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    KillTimer(rs.mainWindow, kWaitTimer);
    rs.timerWait = 0;
}

std::string shortForm(const char* path)
{
    char form[kPathSize];
    copyText(form, path);
    convertPathForm(form, sizeof form, ShortForm);
    return form;
}

} // namespace

void makeTemporaryCopy(char* tempCopyPath)
{
    char folder[MAX_PATH], name[MAX_PATH];
    tempCopyPath[0] = '\0';
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= kPathSize || !GetTempFileNameA(folder, "RUV", 6699, name))
        return;
    size_t nameLength = strlen(name);
    if (nameLength < 3 || nameLength >= kPathSize)
        return;
    memcpy(name + nameLength - 3, "EXE", 3);   // the unique number only forms the name: nothing was made
    copyText(tempCopyPath, kPathSize, name);
    CopyFileA(runState.programPath, tempCopyPath, FALSE);
}

void runSelfRemoval(const char* arguments)
{
    waitOnTimer(1000);
    char program[kPathSize];
    copyText(program, arguments);
    char* blank = strchr(program, ' ');
    const char* top = blank ? blank + 1 : "";
    if (blank)
        *blank = '\0';
    preparePolicy();
    size_t length = strlen(program);
    if (length > 0 && program[length - 1] != '\\') {
        // The first process may not have ended within the second.
        for (DWORD waited = 0; deleteFile(program) != 0 && !missing(program) && waited < kSecondChance;
             waited += kRetryPeriod)
            waitOnTimer(kRetryPeriod);
    }
    char* separator = strrchr(program, '\\');
    if (separator)
        *separator = '\0';
    if (program[0])
        removeDirectoryTree(program, false);
    char topDirectory[kPathSize];
    copyText(topDirectory, top);
    length = strlen(topDirectory);
    if (length > 0) {
        if (topDirectory[length - 1] == '\\')
            topDirectory[length - 1] = '\0';
        removeDirectoryTree(topDirectory, false);
    }
}

void endOfRunRemoval(bool startedWithZ, const char* tempCopyPath, const char* topDirectory)
{
    const RunState& rs = runState;
    if (startedWithZ) {
        // A running program cannot delete its own file: it goes at the
        // next restart. The companion INI goes at once.
        if (!DeleteFileA(rs.programPath))
            scheduleDeleteAtRestart(rs.programPath);
        DeleteFileA(rs.companionIniPath);
        return;
    }
    if (tempCopyPath[0] == '\0')
        return;
    if (!rs.selfRemovalNeeded) {
        DeleteFileA(tempCopyPath);   // not needed: it goes now, not at a restart
        return;
    }
    scheduleDeleteAtRestart(tempCopyPath);
    // Short forms, so that no blank splits a path.
    std::string command = shortForm(tempCopyPath) + " /z " + shortForm(rs.programPath) + " " + shortForm(topDirectory);
    WinExec(command.c_str(), SW_SHOW);
}

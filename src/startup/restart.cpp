// Restarting Windows at the end of a run that left files to replace. On
// the NT family the restart needs a privilege that only the asking process
// can enable for itself, so a small restart program carried as a resource
// is written out and started; the Windows 95 family restarts directly.
#include "startup/restart.h"

#include <windows.h>

#include <string>

#include "resources/resource.h"
#include "startup/runstate.h"

namespace {

std::string restartProgramPath()
{
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return "";
    std::string path = windows;
    if (path.back() != '\\')
        path += '\\';
    return path + "_MSRSTRT.EXE";
}

} // namespace

void writeRestartProgram()
{
    if (runState.platform != kPlatformNt)
        return;
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_RESTART_PROGRAM), MAKEINTRESOURCEA(RT_RESTART_PROGRAM));
    DWORD size = found ? SizeofResource(nullptr, found) : 0;
    HGLOBAL loaded = size ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    std::string path = restartProgramPath();
    if (!bytes || path.empty())
        return;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
}

void restartComputer()
{
    if (runState.platform == kPlatformNt)
        WinExec(restartProgramPath().c_str(), SW_SHOW);
    else
        ExitWindowsEx(EWX_REBOOT, 0);
}

// A program for the tests to start. Each run appends its command line and
// current directory ("COMMAND LINE|DIRECTORY") to RECORD.TXT in its own
// folder, so a test sees whether, how and from where it was started.
// "/sleep=N" among its arguments keeps it running N milliseconds longer.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "append.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    char path[MAX_PATH], directory[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    while (length && path[length - 1] != '\\')
        --length;
    lstrcpynA(path + length, "RECORD.TXT", static_cast<int>(sizeof path - length));
    if (!GetCurrentDirectoryA(sizeof directory, directory))
        directory[0] = '\0';
    appendLine(path, std::string(GetCommandLineA()) + "|" + directory + "\r\n");

    for (const char* p = arguments; *p; ++p) {
        if (_strnicmp(p, "/sleep=", 7) != 0)
            continue;
        // Waiting in GetMessage leaves the program idle: a parent in WinExec
        // or WaitForInputIdle goes on while this one still runs.
        SetTimer(nullptr, 0, static_cast<UINT>(strtoul(p + 7, nullptr, 10)), nullptr);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER)
            DispatchMessageA(&msg);
        break;
    }
    return 0;
}

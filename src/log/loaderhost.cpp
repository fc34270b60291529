// The loader's questions, answered by Win32.
#include "log/loaderhost.h"

#include <windows.h>

#include <cstdio>

#include "common/text.h"
#include "resources/resource.h"
#include "startup/runstate.h"
#include "common/messages.h"

void* openLogFile(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

int readLogFile(void* file, char* buffer, int size)
{
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(file), buffer, static_cast<DWORD>(size), &got, nullptr))
        return 0;
    return static_cast<int>(got);
}

void closeLogFile(void* file)
{
    CloseHandle(static_cast<HANDLE>(file));
}

bool patternMatchesNothing(const char* pattern)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return true;
    FindClose(find);
    return false;
}

void oemToAnsi(char* text)
{
    OemToCharA(text, text);
}

bool driveIsRemovable(char letter)
{
    char root[] = "A:\\";
    root[0] = letter;
    return GetDriveTypeA(root) == DRIVE_REMOVABLE;
}

void windowsDirectories(char* windows, char* system, size_t capacity)
{
    UINT size = static_cast<UINT>(capacity);
    if (GetWindowsDirectoryA(windows, size) >= size)
        windows[0] = '\0';
    if (GetSystemDirectoryA(system, size) >= size)
        system[0] = '\0';
}

bool sharedDllCounted(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY,
                      &key) != ERROR_SUCCESS)
        return false;
    BYTE data[256];
    DWORD size = sizeof data;
    LONG result = RegQueryValueExA(key, path, nullptr, nullptr, data, &size);
    RegCloseKey(key);
    // A count too long for the buffer still names the file.
    return result == ERROR_SUCCESS || result == ERROR_MORE_DATA;
}

bool administratorAccessDenied()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE);
    if (!manager)
        return true;
    CloseServiceHandle(manager);
    return false;
}

bool readStartMenuFolder(bool common, char* value, size_t capacity)
{
    HKEY key;
    if (RegOpenKeyExA(common ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_NOTIFY, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = static_cast<DWORD>(capacity - 1);
    LONG result = RegQueryValueExA(key, common ? "Common Start Menu" : "Start Menu", nullptr, &type,
                                   reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return false;
    value[size < capacity ? size : capacity - 1] = '\0';   // the registry need not terminate it
    return true;
}

void showLoadError(int messageId, int captionId)
{
    // A silent run has nobody to press OK: a box would hold it for ever.
    if (runState.silentRun)
        return;
    char caption[256], text[1024];
    LoadMessageText(runState.instance, captionId, caption, sizeof caption);
    LoadMessageText(runState.instance, messageId, text, sizeof text);
    MessageBoxA(runState.mainWindow, text, caption, MB_OK);
}

void showTitleInCaption(const char* title)
{
    char prefix[256], caption[512];
    LoadMessageText(runState.instance, MSG_UNINSTALL, prefix, sizeof prefix);
    snprintf(caption, sizeof caption, "%s %s", prefix, title);
    if (runState.mainWindow)   // a silent run has none
        SetWindowTextA(runState.mainWindow, caption);
}

#include "startup/environment.h"

#include <windows.h>

#include <cstring>

#include "common/text.h"
#include "common/pathforms.h"
#include "startup/cmdline.h"
#include "startup/runstate.h"

void detectPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;   // 148
    GetVersionExA(&version);
    runState.platform = version.dwPlatformId == VER_PLATFORM_WIN32_NT ? kPlatformNt : kPlatformOther;
    runState.windows4OrLater = version.dwMajorVersion >= 4;
}

void installCaseFolding()
{
    unsigned char upper[256];
    for (int c = 0; c < 256; ++c)
        upper[c] = static_cast<unsigned char>(c);
    CharUpperBuffA(reinterpret_cast<char*>(upper + 1), 255);
    setCaseFolding(upper);
}

void moduleFileName(char* path)
{
    // Older systems leave a name that fills the buffer unterminated.
    DWORD length = GetModuleFileNameA(nullptr, path, kPathSize);
    path[length < kPathSize ? length : kPathSize - 1] = '\0';
}

void formCompanionIniPath(char* path)
{
    moduleFileName(path);
    size_t length = strlen(path);
    if (length >= 3)
        memcpy(path + length - 3, "INI", 3);
}

bool substituteDefaultLog(char* commandLine, const char* companionIniPath)
{
    char iniShort[kPathSize];
    copyText(iniShort, companionIniPath);
    convertPathForm(iniShort, sizeof iniShort, ShortForm);
    char logPath[kPathSize];
    if (!defaultLogPath(logPath, sizeof logPath, iniShort) || fileMissing(logPath))
        return false;
    copyText(commandLine, kPathSize, logPath);
    return true;
}

#include "engine/deferred.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/text.h"
#include "engine/fileremoval.h"
#include "engine/files.h"
#include "startup/runstate.h"

static unsigned short tempNameCounter;

bool makeTempName(char* buffer, const char* targetPath)
{
    const char* slash = strrchr(targetPath, '\\');
    size_t keep = slash ? static_cast<size_t>(slash - targetPath) + 1 : 0;
    if (keep + sizeof "~RUX0000.TMP" > MAX_PATH)
        return false;
    // Every name taken means the counter wrapped round a full directory.
    for (int tries = 0; tries < 65536; ++tries) {
        copyTextPart(buffer, MAX_PATH, targetPath, keep);
        char name[16];
        snprintf(name, sizeof name, "~RUX%04x.TMP", tempNameCounter++);
        appendText(buffer, MAX_PATH, name);
        if (fileMissing(buffer))
            return true;
    }
    return false;
}

void restoreBackup(const char* backupPath, const char* targetPath)
{
    if (CopyFileA(backupPath, targetPath, FALSE)) {
        removeFileWithCompanions(backupPath);
        return;
    }
    char tempPath[MAX_PATH];
    if (makeTempName(tempPath, targetPath) && CopyFileA(backupPath, tempPath, FALSE)) {
        runState.rebootNeeded = 1;
        removeFileWithCompanions(backupPath);
        char shortTemp[MAX_PATH], shortTarget[MAX_PATH];
        copyText(shortTemp, tempPath);
        copyText(shortTarget, targetPath);
        convertPathForm(shortTemp, sizeof shortTemp, ShortForm);
        convertPathForm(shortTarget, sizeof shortTarget, ShortForm);
        if (runState.platform == kPlatformOther) {
            WritePrivateProfileStringA("rename", shortTarget, shortTemp, "WININIT.INI");
        } else {
            // The delete comes first: the move does not ask to replace.
            MoveFileExA(targetPath, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            MoveFileExA(shortTemp, targetPath, MOVEFILE_DELAY_UNTIL_REBOOT);
        }
        return;
    }
    // Neither the file nor a copy beside it could take the backup: at least
    // no newer file stays behind.
    removeFileWithCompanions(targetPath);
}

void scheduleDeleteAtRestart(const char* path)
{
    if (runState.platform != kPlatformOther) {
        MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        return;
    }
    char wininit[MAX_PATH];
    UINT length = GetWindowsDirectoryA(wininit, MAX_PATH - 16);
    if (length == 0 || length >= MAX_PATH - 16)
        return;
    if (wininit[length - 1] != '\\')
        appendText(wininit, "\\");
    appendText(wininit, "WININIT.INI");
    // Raw lines: several "NUL=" keys must stand side by side, which the
    // profile API would fold into one.
    char line[MAX_PATH + 32];
    HANDLE file = CreateFileA(wininit, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        SetFilePointer(file, 0, nullptr, FILE_END);
        snprintf(line, sizeof line, "NUL=%s\r\n", path);
    } else {
        file = CreateFileA(wininit, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        snprintf(line, sizeof line, "[rename]\r\nNUL=%s\r\n", path);
    }
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    CloseHandle(file);
}

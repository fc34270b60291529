#include "engine/fileremoval.h"

#include <windows.h>

#include <cstring>

#include "common/text.h"
#include "engine/deferred.h"
#include "engine/files.h"
#include "engine/pathrules.h"

void removeFileWithCompanions(const char* path)
{
    // Attributes matter only to a file that refuses to go: a read-only,
    // hidden or system file is made normal and deleted again. A file that
    // stays for another reason (in use) keeps its attributes.
    if (deleteFile(path) != 0 && GetLastError() == ERROR_ACCESS_DENIED) {
        resetAttributes(path);
        deleteFile(path);
    }
    size_t length = strlen(path);
    if (length <= 4 || !endsWithNoCase(path, ".HLP"))
        return;
    char companion[MAX_PATH];
    if (copyText(companion, path) != length)
        return;
    memcpy(companion + length - 3, "GID", 3);
    deleteFile(companion);
    memcpy(companion + length - 3, "FTS", 3);
    deleteFile(companion);
}

int removeOrRestoreFile(const char* path, const char* backupPath, int restore)
{
    // A "." or ".." component could aim the removal above what the log names.
    if (hasDotComponent(path))
        return 0;
    if (!strpbrk(path, "*?")) {
        removeFileWithCompanions(path);
        if (restore && backupPath[0] != '\0')
            restoreBackup(backupPath, path);
        return 1;
    }

    const char* lastSlash = strrchr(path, '\\');
    size_t length = strlen(path);
    if (length >= 3 && strcmp(path + length - 3, "*.*") == 0) {
        if (length < 4 || isDriveRootPattern(path))
            return 0;
        char directory[MAX_PATH] = "";
        if (lastSlash)
            copyTextPart(directory, sizeof directory, path, static_cast<size_t>(lastSlash - path));
        if (isWindowsOrSystemDirectory(directory))
            return 0;
    }
    char folder[MAX_PATH] = "";
    if (lastSlash)
        copyTextPart(folder, sizeof folder, path, static_cast<size_t>(lastSlash - path) + 1);
    FindState find;
    for (int found = findFirst(&find, path); found == 0; found = findNext(&find)) {
        if (find.attributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        char file[MAX_PATH];
        copyText(file, folder);
        if (appendText(file, find.name) + 1 >= sizeof file)
            continue;
        removeFileWithCompanions(file);
    }
    findClose(&find);
    return 1;
}

// File-system helpers shared by start-up, the log loader and the engine.
// None reports an error to the user; each answers with a plain result.
#pragma once
#include <windows.h>

#include <cstddef>

#include "engine/pathforms.h"

struct FindState {
    char name[256];
    DWORD attributes;
    HANDLE handle;               // INVALID_HANDLE_VALUE when nothing was found
    WIN32_FIND_DATAA data;
};

// 0 on success, 1 on failure. Attributes 0 mean FILE_ATTRIBUTE_NORMAL.
int resetAttributes(const char* path, DWORD attributes = 0);

// Deletes a file (attributes are not reset here). Notes in
// runState.selfRemovalNeeded when the file is the program's own, in any
// path form. 0 on success, 1 on failure.
int deleteFile(const char* path);

// Removes an empty directory. 0 on success, 1 on failure.
int removeDirectory(const char* path);

// Removes `path` (no trailing backslash) bottom-up: subdirectories whose
// names begin with "." are kept with all they hold; files go only with
// `withFiles`. Drive roots, the Windows and System directories, and paths
// with a "." or ".." component are refused.
void removeDirectoryTree(const char* path, bool withFiles);

// True when the file carries the MZ and PE signatures.
bool isWin32Executable(const char* path);

// True when `directory` is the Windows directory or a System directory
// (as the platform reports them, or as the log loader recorded it).
bool isWindowsOrSystemDirectory(const char* directory);

// 0 when an entry was found, 1 when none.
int findFirst(FindState* find, const char* pattern);
int findNext(FindState* find);
void findClose(FindState* find);


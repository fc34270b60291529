// Win32 file look-ups that start-up, the log loader and the engine's host
// share: enumeration, path forms and the executable check.
#pragma once
#include <windows.h>

#include "common/pathforms.h"

struct FindState {
    char name[256];
    DWORD attributes;
    HANDLE handle;               // INVALID_HANDLE_VALUE when nothing was found
    WIN32_FIND_DATAA data;
};

// 0 when an entry was found, 1 when none.
int findFirst(FindState* find, const char* pattern);
int findNext(FindState* find);
void findClose(FindState* find);

// True when the file carries the MZ and PE signatures.
bool isWin32Executable(const char* path);

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

// 0 when an entry was found, 1 when none.
int findFirst(FindState* find, const char* pattern);
int findNext(FindState* find);
void findClose(FindState* find);


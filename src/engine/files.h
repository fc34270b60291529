// File-system helpers shared by start-up, the log loader and the engine.
// None reports an error to the user; each answers with a plain result.
#pragma once
#include <windows.h>

#include <cstddef>

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

// True when the path has no attributes: it does not exist or cannot be reached.
bool fileMissing(const char* path);

enum PathForm { ShortForm, LongForm };

// Rewrites `path` (a buffer of `capacity` bytes) in short (8.3) or long form,
// component by component, with the names found on disk. Roots are never
// rewritten, components that are not found stay as they are, and a result
// that would not fit leaves the path unchanged.
void convertPathForm(char* path, size_t capacity, PathForm form);

// Shared-DLL reference counts and the shared-file prompt.
#pragma once
#include <windows.h>

#include "common/exports.h"

extern "C" RUVO_EXPORT INT_PTR CALLBACK SharedDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Lowers the shared count of `path` and decides: 0 no usable count, 1 keep
// the file, 2 remove it.
int releaseSharedFile(const char* path, int sharedCount);

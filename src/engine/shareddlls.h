// Shared-DLL reference counts and the shared-file prompt.
#pragma once
#include <windows.h>

#include "common/exports.h"

extern "C" RUVO_EXPORT INT_PTR CALLBACK SharedDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

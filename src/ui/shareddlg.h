// The shared-file prompt: may a file that nobody counts any more go?
#pragma once
#include <windows.h>

#include "common/exports.h"

extern "C" RUVO_EXPORT INT_PTR CALLBACK SharedDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the prompt with `text`, which names `path`, owned by the wizard;
// answers with the id of the button that closed it.
int askSharedFile(const char* text, const char* path);

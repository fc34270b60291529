// The wizard: one modeless dialog whose controls serve every page.
#pragma once
#include <windows.h>

#include "common/exports.h"

// Creates the wizard dialog owned by `owner`; none when it cannot be made.
HWND createWizard(HWND owner);

extern "C" RUVO_EXPORT INT_PTR CALLBACK ItemDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The main window: hidden owner of the timers by default, or a full-screen
// gradient backdrop behind the wizard.
#pragma once
#include <windows.h>

#include "common/exports.h"

// Reads [Settings] of the companion INI: colours, backdrop, dialog font;
// prepares the palette and the screen metrics. Runs before any window exists.
void loadAppearance();

// Registers the window class (unless a previous instance did) and creates
// the main window into runState.mainWindow. False when either fails.
bool createMainWindow(HINSTANCE instance, HINSTANCE previous);

extern "C" RUVO_EXPORT LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog layout and the wizard's own painting: the panel picture, the
// animation and the block progress bar.
#pragma once
#include <windows.h>

constexpr UINT_PTR kAnimationTimer = 25;
constexpr UINT kAnimationPeriod = 150;

// Widens a dialog and its controls by a sixth and gives them the text font
// (built once from the companion INI's settings, then reused).
void adjustDialog(HWND dialog);

// Loads the 24 animation pictures (icons 107 to 130); the run calls it as it starts.
void loadAnimationFrames();

// Remembers the bar's rectangle (control 3830, shrunk by a pixel) and hides the control.
void rememberProgressBar(HWND dialog);

// The panel picture, and while a run is in progress the animation and the bar.
void paintWizard(HWND dialog, HDC dc);

// One tick of the animation timer.
void advanceAnimation(HWND dialog);

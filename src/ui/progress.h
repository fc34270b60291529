// The progress display: the action in progress, the bar, and keeping the
// interface alive between two items of the uninstall.
#pragma once
#include <windows.h>

#include "engine/enginehost.h"

// Shows `text` (after two empty lines) in the wizard's action line when it
// changed, invalidates the bar, and lets pending messages run. With no text
// only the bar is repainted.
void showProgress(const char* text);

// As showProgress, for a text whose path line is first fitted to the
// action line.
void showPathProgress(const char* text);

// Lets pending messages run. A period of one millisecond returns as soon as
// nothing is pending; a longer one keeps the interface alive that long,
// blocking between messages instead of spinning.
void pumpMessages(UINT milliseconds);

// As pumpMessages, but ends as soon as `object` is signalled (true) rather
// than at the end of the time (false).
bool pumpMessagesUntil(HANDLE object, UINT milliseconds);

// Waits for the end of another program. The action shown last is on the
// display meanwhile and the wizard goes on painting itself and its
// animation, but input stays in the queue: a click on Cancel is taken
// between two items, never in the middle of one.
void waitForProcess(HANDLE process);

// Shortens the path line of `text` (a buffer of `capacity` bytes) until it
// fits `control`; does nothing without a control.
void fitPathToControl(HWND control, char* text, size_t capacity);

// Turns the wizard into the progress display as a run starts: the page's
// texts give way to message 45 and the action line, Next and Back are
// disabled (Cancel stays), and the animation pictures are loaded.
void startRunDisplay();

// Fills the user's half of the engine's host: messages, the display, the
// keeping alive of the interface and the cancel check.
void fillUserHost(EngineHost* host);

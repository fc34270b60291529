// What the log loader asks of the machine. The program answers from Win32
// (loaderhost.cpp); the native tests and the fuzzer answer from a small
// in-memory machine of their own.
#pragma once
#include <cstddef>

#include "common/pathforms.h"

// nullptr when the log cannot be opened.
void* openLogFile(const char* path);
int readLogFile(void* file, char* buffer, int size);
void closeLogFile(void* file);

// True when no file matches the wildcard pattern `pattern`.
bool patternMatchesNothing(const char* pattern);

// Converts a text from the OEM code page to ANSI in place.
void oemToAnsi(char* text);

// True when drive `letter` (A or B) is a removable drive.
bool driveIsRemovable(char letter);

// The Windows and System directories, without a trailing backslash.
void windowsDirectories(char* windows, char* system, size_t capacity);

// True when SharedDLLs under HKEY_LOCAL_MACHINE has a value named `path`.
bool sharedDllCounted(const char* path);

// True when the service control manager refuses this account full access.
bool administratorAccessDenied();

// The "Start Menu" (or, with `common`, "Common Start Menu") value of the
// Shell Folders key; false when it cannot be read.
bool readStartMenuFolder(bool common, char* value, size_t capacity);

// A message box about the log: text `messageId`, caption `captionId`.
void showLoadError(int messageId, int captionId);

// Captions the main window "Uninstall <title>" (message 25 and the title).
void showTitleInCaption(const char* title);

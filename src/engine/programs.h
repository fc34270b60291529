// External programs the log asks to run at uninstall time, and the
// per-user uninstaller.
#pragma once
#include <cstddef>

// Rewrites a logged command line in short form, so that the program's
// path carries no blanks; arguments, which name no existing path, stay.
void shortenCommand(char* command, size_t capacity);

// Starts the per-user uninstaller registered under KovUser with /U and the
// log's per-user identifier, without waiting for it. Answers 0 or the
// Windows error code; nothing is started without the registration.
unsigned long runPerUserUninstall(const char* perUserId);

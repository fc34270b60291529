// What start-up learns about the machine and the program's own place on it.
#pragma once
#include <cstddef>

// Sets runState.platform and runState.windows4OrLater.
void detectPlatform();

// Makes the text comparisons fold case as the ANSI code page does, so that
// they agree with the system's case-insensitive comparison of paths.
void installCaseFolding();

// The program's own file into a 256-byte buffer, always terminated.
void moduleFileName(char* path);

// The companion INI: the program's path with its last three characters
// replaced by "INI", so the extension becomes INI whatever it was.
void formCompanionIniPath(char* path);

// When INSTALL.LOG exists beside the program (per `companionIniPath`),
// writes its path in short form, which holds no blanks, into `commandLine`
// (256 bytes) and returns true.
bool substituteDefaultLog(char* commandLine, const char* companionIniPath);

// The program's temporary copy and its removal of itself at the end.
#pragma once
#include <cstddef>

// Copies the program to the temporary directory, scheduled for deletion at
// the next restart; `tempCopyPath` (256 bytes) receives the copy's path.
void makeTemporaryCopy(char* tempCopyPath);

// The run of the temporary copy: deletes the program file named in
// `arguments` and its emptied directories.
void runSelfRemoval(const char* arguments);

// Teardown: a /Z run deletes itself and its companion INI; otherwise the
// temporary copy is started when the uninstall deleted the program's file.
void endOfRunRemoval(bool startedWithZ, const char* tempCopyPath, const char* topDirectory);

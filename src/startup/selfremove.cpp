#include "startup/selfremove.h"

// Not built yet: no copy is made and nothing removes itself. The run
// sequence already calls these at their places.

void makeTemporaryCopy(char* tempCopyPath)
{
    tempCopyPath[0] = '\0';
}

void runSelfRemoval(const char*) {}

void endOfRunRemoval(bool, const char*, const char*) {}

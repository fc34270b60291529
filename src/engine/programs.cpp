#include "engine/programs.h"

// Not built yet: no program is run and no service is touched.
void runLoggedProgram(const char*) {}
void removeService(const char*) {}
void runPerUserUninstall() {}

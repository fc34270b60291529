#include "engine/driver.h"

// Not built yet: no uninstall step runs.
void performUninstall(const char*) {}

#include "engine/devices.h"

// Not built yet: SYSTEM.INI is left as it is.
void removeDevice(const char*) {}

#include "engine/devices.h"

#include "engine/enginehost.h"

// Not built yet: SYSTEM.INI is left as it is.
unsigned long removeDevice(const char*)
{
    return kErrorNotImplemented;
}

#include "engine/selfreg.h"

#include "engine/enginehost.h"

// Not built yet: servers are neither unregistered nor registered again.
unsigned long callSelfRegistration(const char*, const char*, bool)
{
    return kErrorNotImplemented;
}

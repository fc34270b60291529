#include "engine/programs.h"

#include "engine/enginehost.h"

// Not built yet: no program is run and no service is touched, and each
// says so to the caller.
unsigned long runLoggedProgram(const char*)
{
    return kErrorNotImplemented;
}

unsigned long removeService(const char*)
{
    return kErrorNotImplemented;
}

unsigned long runPerUserUninstall()
{
    return kErrorNotImplemented;
}

#include "engine/progman.h"

#include "engine/enginehost.h"

// Not built yet: no conversation is opened, so no icon is asked for.
bool progmanConnect()
{
    return false;
}

unsigned long removeIcon(int)
{
    return kErrorNotImplemented;
}

void progmanDisconnect() {}

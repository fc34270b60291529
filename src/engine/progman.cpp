#include "engine/progman.h"

// Not built yet: icons stay where they are.
bool progmanConnect()
{
    return false;
}
void removeIcon(int) {}
void progmanDisconnect() {}

#include "engine/subsystem.h"

// Not built yet: the sub-system's registration is left as it is.
bool removeBorlandSubSystem()
{
    return true;
}

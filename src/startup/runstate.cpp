#include "startup/runstate.h"

RunState runState;

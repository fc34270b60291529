// The engine's host on Win32: the machine's half of the table.
#pragma once
#include "engine/enginehost.h"

// Fills every operation on the machine and on other software; the user's
// half comes from the progress display (ui/progress.h).
void fillMachineHost(EngineHost* host);

// The half that deals with other software: programs, services, servers,
// windows and DDE (engine/winsoftware.cpp).
void fillSoftwareHost(EngineHost* host);

// The Borland Database Engine sub-system.
#pragma once

// Gives back this installation's use of the engine; the last use removes
// its registration. False when the user chose to abort the whole uninstall
// because the local InterBase server still runs.
bool removeBorlandSubSystem();

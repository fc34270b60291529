// The Borland Database Engine sub-system.
#pragma once

// False when the user chose to abort the whole uninstall.
bool removeBorlandSubSystem();

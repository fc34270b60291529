// Device lines of SYSTEM.INI.
#pragma once

void removeDevice(const char* path);

// Device lines of SYSTEM.INI.
#pragma once

unsigned long removeDevice(const char* path);

// Device lines of SYSTEM.INI.
#pragma once
#include <cstddef>
#include <string>

// SYSTEM.INI's text with every "device=" line of [386Enh] that names
// `devicePath` or `deviceName` turned into a comment. Lines end in CR LF
// afterwards; a last line without an end, and lines of any length, are
// carried over byte for byte. False when no line named the device.
bool commentOutDevices(const std::string& text, const char* devicePath, const char* deviceName, std::string* out);

// Turns the device lines of the driver at `path` into comments, replacing
// SYSTEM.INI in one step. Answers 0 or the Windows error code; a file
// without such a line is not rewritten.
unsigned long removeDevice(const char* path);

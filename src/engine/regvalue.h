// Turning a logged old registry value (a list of strings) into the data
// that is written back.
#pragma once
#include <cstddef>

// Registry value types as the platform numbers them, and the log's root
// number for HKEY_LOCAL_MACHINE, where shared counts and registrations of
// other software live.
constexpr unsigned long kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7;
constexpr int kRootLocalMachine = 2;

// Log value types 0..4: string, expandable string, multi-string, double
// word, binary.
constexpr int kLogValueTypes = 5;

// Fills `data` (`capacity` bytes) for log type `valueType` from the string
// list `strings` (strings ended by NULs, closed by an empty string) and
// returns the byte count; -1 for a type outside 0..4.
long registryData(int valueType, const char* strings, size_t stringsSize, unsigned char* data, size_t capacity);

// A count kept in the registry, as other software writes it: decimal text
// (REG_SZ, read as atoi reads it), a REG_DWORD, or a REG_BINARY of exactly
// four bytes. False for any other form.
bool countFromRegistryData(unsigned long type, const unsigned char* data, size_t size, long long* count);

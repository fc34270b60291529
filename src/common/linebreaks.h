// Message overrides in the companion INI write a line break as "|".
#pragma once
#include <cstddef>

// Replaces every "|" in `text` by CR LF in place. The text never grows past
// `capacity` bytes: what does not fit is cut off, and a line break that does
// not fit whole is dropped with everything after it.
void expandLineBreaks(char* text, size_t capacity);

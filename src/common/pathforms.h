// Path tests and path forms, declared apart from the Win32 file helpers so
// that the log loader (which needs no Windows headers) can use them.
#pragma once
#include <cstddef>

// True when the path has no attributes: it does not exist or cannot be reached.
bool fileMissing(const char* path);

enum PathForm { ShortForm, LongForm };

// Rewrites `path` (a buffer of `capacity` bytes) in short (8.3) or long form,
// component by component, with the names found on disk. Roots are never
// rewritten, components that are not found stay as they are, and a result
// that would not fit leaves the path unchanged.
void convertPathForm(char* path, size_t capacity, PathForm form);

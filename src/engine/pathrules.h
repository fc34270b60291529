// Small tests on logged paths that decide whether a removal may touch them.
#pragma once
#include <cstddef>

// True when a component of `path` is "." or "..": such a path can aim a
// removal at a directory above the one the log names.
bool hasDotComponent(const char* path);

// True when `path` ends with `ending`, ASCII letters compared without case.
bool endsWithNoCase(const char* path, const char* ending);

// True for a whole-drive pattern such as "C:\*.*".
bool isDriveRootPattern(const char* pattern);

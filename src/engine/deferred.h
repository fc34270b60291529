// Work left for the next start of Windows: files in use replaced, and files
// deleted. The NT family takes delayed moves; the Windows 95 family takes
// the [rename] section of WININIT.INI.
#pragma once
#include <cstddef>

// Has `path` deleted at the next start of Windows. 0 or the error.
unsigned long scheduleDeleteAtRestart(const char* path);

// A file of the application still in use when the uninstall reached it:
// deleted at the next start of Windows, whenever the user restarts (no
// restart is asked for), and on the NT family its folder too when that is
// then empty. Nothing would record the file once the log is gone.
void deleteInUseAtRestart(const char* path);

// Has `tempPath` replace `targetPath` at the next start of Windows. 0 when
// the replacement is queued, else the Windows error code.
unsigned long replaceAtRestart(const char* tempPath, const char* targetPath);

// A free name "~RUXnnnn.TMP" beside `targetPath`, into `buffer` (260 bytes).
// Names never repeat in a run. False when the directory leaves no room
// for the name, or every name is taken.
bool makeTempName(char* buffer, const char* targetPath);

// WININIT.INI as text: adds the line "key=value" at the end of its
// [rename] section (made at the end when there is none), keeping every
// other line, several "NUL=" lines included, as it stands. Writes the new
// text into `out` and returns its length; 0 when it does not fit.
size_t addRenameLine(const char* text, size_t length, const char* key, const char* value, char* out,
                     size_t capacity);

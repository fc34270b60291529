// Work left for the next start of Windows: files in use replaced by their
// backups, and files deleted. The NT family takes delayed moves; the Windows
// 95 family takes the [rename] section of WININIT.INI.
#pragma once

// Copies the backup over the target, now or, when the target is in use, at
// the next restart (setting runState.rebootNeeded once the new contents are
// safely beside it). The backup is removed only once its contents are in
// place or in the temporary copy; when even that copy fails the target is
// removed and the backup kept.
void restoreBackup(const char* backupPath, const char* targetPath);

// Has `path` deleted at the next start of Windows.
void scheduleDeleteAtRestart(const char* path);

// A free name "~RUXnnnn.TMP" beside `targetPath`, into `buffer` (260 bytes).
// False when the directory leaves no room for the name.
bool makeTempName(char* buffer, const char* targetPath);

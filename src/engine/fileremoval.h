// Removing logged files (with the help companions of help files) and, in a
// rollback, putting their backups back.
#pragma once

// Removes `path` (a file, or a wildcard pattern of files, each with the help
// companions of a help file), then restores
// `backupPath` over it when `restore` is set; a file whose backup is missing
// is kept as it is. 1 when it acted on the path, 0 when the removal policy
// refused it.
int removeOrRestoreFile(const char* path, const char* backupPath, int restore);

// Copies the backup over the target, now or, when the target is in use, at
// the next restart. The backup is removed only once its contents are in
// place, or safely beside the target with the replacement queued (then
// runState.rebootNeeded is set). When the replacement cannot be queued,
// the backup and the installed file both stay and no restart is asked for.
// When not even a copy beside the target can be made, the target is
// removed and the backup kept.
void restoreBackup(const char* backupPath, const char* targetPath);

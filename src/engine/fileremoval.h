// Removing logged files (with the help companions of help files) and, in a
// rollback, putting their backups back.
#pragma once

// Deletes one file, whatever its attributes, and for a .HLP file also its
// .GID and .FTS companions.
void removeFileWithCompanions(const char* path);

// Removes `path` (a file, or a wildcard pattern of files), then restores
// `backupPath` over it when `restore` is set. 1 when it acted on the path,
// 0 when it refused it.
int removeOrRestoreFile(const char* path, const char* backupPath, int restore);

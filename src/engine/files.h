// File helpers of the engine, over the host: every removal of a file or a
// directory goes through them.
#pragma once

// True when the path has no attributes: it does not exist or cannot be reached.
bool missing(const char* path);

// Attributes made normal (0 when that worked, else the Windows error code).
unsigned long resetAttributes(const char* path);

// Whether `path`, in any path form, is the program's own file.
bool isOwnProgram(const char* path);

// Deletes a file (attributes are not reset here). Notes in
// runState.selfRemovalNeeded when the file is the program's own, in any
// path form. 0 or the Windows error code.
unsigned long deleteFile(const char* path);

// Deletes a file; one that refuses because it is read-only, hidden or
// system is made normal and deleted again. A file that stays for another
// reason (in use) keeps its attributes.
unsigned long deleteStubbornFile(const char* path);

// Removes an empty directory (or a link to a directory). 0 or the error.
unsigned long removeDirectory(const char* path);

// Removes `path` (no trailing backslash) bottom-up: subdirectories whose
// names begin with "." are kept with all they hold; files go only with
// `withFiles`; links to directories are removed themselves, never followed.
// What the removal policy refuses is left alone.
void removeDirectoryTree(const char* path, bool withFiles);

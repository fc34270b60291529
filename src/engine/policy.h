// One check before every removal. A log is only text: whatever it names,
// nothing outside what an installation can have made is deleted. Paths are
// judged in one canonical spelling, and the removal then acts on exactly
// that spelling, so no other spelling of the same place can slip past.
#pragma once
#include <cstddef>

enum RemovalKind {
    RemoveFile,          // one logged file, a backup, a file restored over, an INI file
    RemovePattern,       // a logged wildcard pattern of files
    RemoveTree,          // a directory with the files below it
    RemoveEmptyFolders,  // a directory and its subdirectories as far as they are empty
};

// Learns the protected folders from the host (Windows, System, SysWOW64,
// and the System directory the log loader recorded) and the folders the
// log itself made. Called as a run starts.
void preparePolicy();

// Writes the canonical spelling of `path` into `out` (`capacity` bytes,
// no trailing backslash) and answers whether `kind` may act on it.
// Refused: anything not absolute; drive and share roots; "." and ".."
// components and components of dots and blanks; device names; device and
// volume namespaces; stream names; the protected folders in any spelling
// (short form, "/", "\\?\" or "\\.\" prefix, trailing dots or blanks,
// letter case); patterns at a root; patterns and trees inside the Windows
// or System tree unless a folder the log made holds them.
bool mayRemovePath(const char* path, RemovalKind kind, char* out, size_t capacity);

// Answers whether an INI entry may be written back into `path`: a file
// path, absolute or a bare name that the profile API looks for in the
// Windows folder, without device names, device or volume namespaces,
// streams, or "." and ".." components. Writing an INI file reads it whole
// and writes it back, which on a device would wait for input or overwrite
// what the device holds.
bool mayWriteIniFile(const char* path);

enum KeyRemovalKind {
    RemoveKeyTree,       // a key with everything below it
    RemoveKeyValue,      // one value of a key
    RemoveEmptyKey,      // a key left empty by a removed value
};

// Answers whether a removal of `kind` may act on `key` below root number
// `root` (0..4). Refused: roots outside 0..4; an empty key (the hive root);
// trees at the top of a hive; the well-known keys that other software
// shares (Software, Software\Microsoft, Software\Classes, System, ...) and
// every key above one of them.
bool mayRemoveKey(int root, const char* key, KeyRemovalKind kind);

// True when `path` ends with `ending`, ASCII letters compared without case.
bool endsWithNoCase(const char* path, const char* ending);

// For the tests: the protected folders and the folders the log made, set
// directly instead of from the host and the lists.
void setProtectedFolders(const char* windows, const char* system, const char* wow64, const char* logged);

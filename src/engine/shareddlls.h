// Shared-DLL reference counts and the decision the shared-file prompt asks
// the user for.
#pragma once
#include <cstddef>

// Buttons of the shared-file prompt, as its dialog answers.
constexpr int kSharedNoToAll = 1;   // the default button: Enter
constexpr int kSharedYes = 1005;
constexpr int kSharedNo = 1006;
constexpr int kSharedYesToAll = 1007;

enum SharedRelease {
    SharedNotCounted = 0,   // no usable count: the file goes as an unshared one
    SharedKeep = 1,         // others still count on it, or the user said No
    SharedRemove = 2,       // nobody counts it any more and the user said Yes
};

// Reads the names SharedDLLs counts, so that releaseSharedFile need not ask
// the registry about a file it does not name; given how many files the run
// may ask about, it reads no more names than that. Forgotten again by
// forgetSharedCounts, before anything else may change the key.
void learnSharedCounts(size_t files);
void forgetSharedCounts();

// Gives back `sharedCount` references to `path` (one in a rollback) and
// decides what becomes of the file; a count that reaches zero is deleted
// and the user asked, unless a run-wide answer or a silent run decides.
SharedRelease releaseSharedFile(const char* path, int sharedCount);

// Why the last file that releaseSharedFile kept stays.
const char* sharedKeepReason();

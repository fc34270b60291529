#include "engine/fileremoval.h"

#include <cstring>

#include "common/text.h"
#include "engine/deferred.h"
#include "engine/enginehost.h"
#include "engine/files.h"
#include "engine/policy.h"
#include "engine/record.h"
#include "startup/runstate.h"

namespace {
constexpr size_t kPath = 260;

// Deletes one file, whatever its attributes, and for a .HLP file also its
// .GID and .FTS companions. Only for a path the policy has already passed
// in its canonical spelling: checking it again for every file of a run
// would only repeat the same work. A file in use goes at the next restart,
// unless a backup is about to take its place (which queues its own work)
// or it is the program itself (which removes itself).
void removeFileWithCompanions(const char* checked, bool deferInUse = true)
{
    char file[kPath];
    copyText(file, checked);
    if (deleteStubbornFile(file) != 0 && deferInUse && !missing(file) && !isOwnProgram(file))
        deleteInUseAtRestart(file);
    size_t length = strlen(file);
    if (length <= 4 || !endsWithNoCase(file, ".HLP"))
        return;
    memcpy(file + length - 3, "GID", 3);
    deleteFile(file);
    memcpy(file + length - 3, "FTS", 3);
    deleteFile(file);
}

} // namespace

int removeOrRestoreFile(const char* path, const char* backupPath, int restore)
{
    char canonical[kPath];
    if (!strpbrk(path, "*?")) {
        if (!mayRemovePath(path, RemoveFile, canonical, sizeof canonical)) {
            recordKept("refused as unsafe");
            return 0;
        }
        bool restoring = restore && backupPath[0] != '\0';
        if (restoring && missing(backupPath)) {
            // The older contents are nowhere else: they may be the very ones
            // in place, put back by a run that was ended before it could cut
            // the log. Deleting the file would lose them.
            recordKept("its backup is gone");
            return 1;
        }
        removeFileWithCompanions(canonical, !restoring);
        if (restoring)
            restoreBackup(backupPath, canonical);
        return 1;
    }
    if (!mayRemovePath(path, RemovePattern, canonical, sizeof canonical)) {
        recordKept("refused as unsafe");
        return 0;
    }
    // No backup is restored for a pattern, whatever `restore` says.
    char folder[kPath];
    copyTextPart(folder, sizeof folder, canonical, static_cast<size_t>(strrchr(canonical, '\\') - canonical) + 1);
    const EngineHost& host = *runState.host;
    FoundEntry entry;
    void* find = host.findFirst(canonical, &entry);
    for (bool found = find != nullptr; found; found = host.findNext(find, &entry)) {
        if (entry.attributes & kAttributeDirectory)
            continue;
        char file[kPath];
        copyText(file, folder);
        if (appendText(file, entry.name) + 1 >= sizeof file)
            continue;
        removeFileWithCompanions(file);   // a file of the folder the pattern passed with
    }
    if (find)
        host.findClose(find);
    return 1;
}

void restoreBackup(const char* backupPath, const char* targetPath)
{
    char backup[kPath], target[kPath];
    if (!mayRemovePath(backupPath, RemoveFile, backup, sizeof backup) ||
        !mayRemovePath(targetPath, RemoveFile, target, sizeof target))
        return;
    const EngineHost& host = *runState.host;
    if (host.copyFile(backup, target) == 0) {
        removeFileWithCompanions(backup);
        return;
    }
    char temp[kPath];
    if (makeTempName(temp, target) && host.copyFile(backup, temp) == 0) {
        if (replaceAtRestart(temp, target) == 0) {
            runState.rebootNeeded = 1;
            removeFileWithCompanions(backup);
        } else {
            // Nothing will put the copy in place: the backup stays the only
            // copy of the old contents, and the installed file stays too.
            host.deleteFile(temp);
        }
        return;
    }
    // Neither the file nor a copy beside it could take the backup: at least
    // no newer file stays behind.
    removeFileWithCompanions(target);
}

// The uninstall driver: walks the item lists in their fixed order and hands
// each item that this run undoes to the unit that knows its kind of change.
// It decides; the host acts.
#include "engine/driver.h"

#include <cstring>
#include <initializer_list>

#include "common/text.h"
#include "engine/devices.h"
#include "engine/enginehost.h"
#include "engine/fileremoval.h"
#include "engine/files.h"
#include "engine/ini.h"
#include "engine/policy.h"
#include "engine/progman.h"
#include "engine/programs.h"
#include "engine/registry.h"
#include "engine/selfreg.h"
#include "engine/shareddlls.h"
#include "engine/subsystem.h"
#include "log/itemlists.h"
#include "startup/runstate.h"

namespace {

enum Prefix {
    PrefixFile,
    PrefixSystemFile,
    PrefixDirectory,
    PrefixEmptyDirectories,
    PrefixIniFile,
    PrefixIniEdit,
    PrefixRegistryKey,
    PrefixRegistryEdit,
    PrefixIcon,
    PrefixSelfUnregister,
    PrefixSubSystem,
    PrefixRegistryTree,
    PrefixProgram,
    PrefixService,
    kPrefixCount
};

const int kPrefixMessages[kPrefixCount] = {29, 30, 31, 32, 33, 34, 35, 36, 37, 40, 44, 56, 57, 58};

struct Run {
    const EngineHost* host;
    char prefixes[kPrefixCount][64];
    bool automatic;
    bool rollback;
    uint16_t threshold;      // the lowest installation number this run undoes
};

bool cancelled(const Run& run)
{
    return run.host->cancelRequested();
}

// Announces an item: its prefix and text in progressText, shown at once.
// Files and directories are fitted to the action line first.
void announce(const Run& run, Prefix prefix, const char* item, bool fitPath = false)
{
    copyText(runState.progressText, kProgressTextSize, run.prefixes[prefix]);
    appendText(runState.progressText, kProgressTextSize, item);
    run.host->showProgress(runState.progressText, fitPath);
}

// Registry keys are shown cut to 48 characters: 45 and "...".
void announceKey(const Run& run, Prefix prefix, const char* key)
{
    char shown[64];
    if (strlen(key) > 48) {
        copyTextPart(shown, sizeof shown, key, 45);
        appendText(shown, "...");
    } else {
        copyText(shown, key);
    }
    announce(run, prefix, shown);
}

void counted()
{
    runState.progressCount += 1;
}

bool takenByMethod(const Run& run, int32_t selected)
{
    return run.automatic || selected;
}

void prepare(Run& run)
{
    RunState& rs = runState;
    for (int i = 0; i < kPrefixCount; ++i)
        run.host->loadMessage(kPrefixMessages[i], run.prefixes[i], sizeof run.prefixes[i]);
    if (rs.uninstallMethod == kMethodCustom)
        rs.rollbackRequested = 0;
    run.automatic = rs.uninstallMethod != kMethodCustom;
    run.rollback = rs.rollbackRequested != 0;
    run.threshold = run.rollback ? installLog.installationCount : 1;
    rs.progressCount = 0;
    rs.progressTotal = 0;
    for (ItemListId list : {ServiceList, IconList, RegistryEditList, RegistryTreeList, RegistryKeyList, IniItemList,
                            IniFileList, DirectoryList, SystemFileList, PrivateFileList})
        rs.progressTotal += itemCount(list);
    if (rs.progressTotal == 0)
        rs.progressTotal = 1;
    preparePolicy();
    run.host->startProgress();
    run.host->showProgress(nullptr, false);
    rs.progressActive = 1;
}

void programs(const Run& run)
{
    for (int i = 0; i < itemCount(ProgramList) && !cancelled(run); ++i) {
        auto* program = itemAt<ProgramItem>(ProgramList, i);
        if (!takenByMethod(run, program->selected) || program->install < run.threshold)
            continue;
        shortenCommand(program->command, sizeof program->command);
        announce(run, PrefixProgram, program->programName[0] ? program->programName : program->command);
        run.host->startAndWait(program->command);
    }
}

void services(const Run& run)
{
    for (int i = 0; i < itemCount(ServiceList) && !cancelled(run); ++i) {
        auto* service = itemAt<ServiceItem>(ServiceList, i);
        counted();
        if (!takenByMethod(run, service->selected) || service->install < run.threshold)
            continue;
        announce(run, PrefixService, service->name);
        run.host->removeService(service->name);
    }
}

void iniFiles(const Run& run)
{
    for (int i = 0; i < itemCount(IniFileList) && !cancelled(run); ++i) {
        auto* ini = itemAt<IniFileItem>(IniFileList, i);
        counted();
        char path[260];
        if (!takenByMethod(run, ini->selected) || ini->install < run.threshold ||
            !mayRemovePath(ini->path, RemoveFile, path, sizeof path))
            continue;
        announce(run, PrefixIniFile, ini->path);
        resetAttributes(path);
        deleteFile(path);
    }
}

void iniEntries(const Run& run)
{
    for (int i = 0; i < itemCount(IniItemList) && !cancelled(run); ++i) {
        auto* entry = itemAt<IniItem>(IniItemList, i);
        counted();
        if (!takenByMethod(run, entry->selected) || entry->install < run.threshold || missing(entry->file))
            continue;
        announce(run, PrefixIniEdit, entry->file);
        restoreIniEntry(entry, run.rollback ? entry->previousValue : entry->preInstallValue);
    }
}

void editedFiles(const Run& run)
{
    if (!run.rollback)
        return;
    for (int i = 0; i < itemCount(EditedFileList); ++i) {
        auto* edited = itemAt<EditedFileItem>(EditedFileList, i);
        if (edited->install >= run.threshold && !missing(edited->backupPath))
            removeOrRestoreFile(edited->path, edited->backupPath, 1);
    }
}

// Unregistration and device lines of a file about to go, unless a rollback
// restores it from a backup of its own installation.
template <class Item>
void beforeRemoval(const Run& run, const Item* file)
{
    if (run.rollback && !(file->backupInstall == file->install && file->backupPath[0] == '\0'))
        return;
    if (file->selfRegInstall >= run.threshold)
        callSelfRegistration(run.prefixes[PrefixSelfUnregister], file->path, false);
    if (file->deviceInstall >= run.threshold)
        removeDevice(file->path);
}

template <class Item>
bool keptForItsBackup(const Run& run, const Item* file)
{
    return run.rollback && file->backupInstall == run.threshold && file->backupPath[0] != '\0';
}

void sharedPrivateFiles(const Run& run)
{
    for (int i = itemCount(PrivateFileList) - 1; i >= 0; --i) {
        auto* file = itemAt<PrivateFileItem>(PrivateFileList, i);
        bool taken = (run.automatic && (file->autoRemove || (run.rollback && file->backupPath[0] != '\0'))) ||
                     file->selected;
        if (!taken || file->install < run.threshold)
            continue;
        SharedRelease result =
            file->sharedInstall >= run.threshold ? releaseSharedFile(file->path, file->sharedCount) : SharedNotCounted;
        if (result == SharedKeep) {
            if (!keptForItsBackup(run, file))
                file->path[0] = '\0';
            continue;
        }
        beforeRemoval(run, file);
    }
}

void sharedSystemFiles(const Run& run)
{
    for (int i = itemCount(SystemFileList) - 1; i >= 0; --i) {
        auto* file = itemAt<SystemFileItem>(SystemFileList, i);
        if (file->install < run.threshold)
            continue;
        if ((file->selected || runState.windows4OrLater) && file->sharedInstall >= run.threshold) {
            SharedRelease result = releaseSharedFile(file->path, file->sharedCount);
            if (result == SharedKeep && !keptForItsBackup(run, file))
                file->path[0] = '\0';
            if (result == SharedRemove)
                file->selected = 1;
        }
        if (file->selected && file->path[0] != '\0')
            beforeRemoval(run, file);
    }
}

void privateFiles(const Run& run)
{
    for (int i = 0; i < itemCount(PrivateFileList) && !cancelled(run); ++i) {
        auto* file = itemAt<PrivateFileItem>(PrivateFileList, i);
        counted();
        bool ownBackup = file->backupInstall == run.threshold;
        bool taken = (run.automatic && (file->autoRemove || (run.rollback && file->backupPath[0] != '\0' && ownBackup))) ||
                     file->selected;
        if (file->path[0] == '\0' || !taken || file->install < run.threshold)
            continue;
        if (removeOrRestoreFile(file->path, file->backupPath, run.rollback && ownBackup))
            announce(run, PrefixFile, file->path, true);
    }
}

void systemFiles(const Run& run)
{
    for (int i = 0; i < itemCount(SystemFileList) && !cancelled(run); ++i) {
        auto* file = itemAt<SystemFileItem>(SystemFileList, i);
        counted();
        bool ownBackup = file->backupInstall == run.threshold;
        bool taken = file->selected || (run.rollback && file->backupPath[0] != '\0' && ownBackup);
        if (file->path[0] == '\0' || !taken || file->install < run.threshold)
            continue;
        if (removeOrRestoreFile(file->path, file->backupPath, run.rollback && ownBackup))
            announce(run, PrefixSystemFile, file->path, true);
    }
}

template <class Item>
void registerAgain(const Run& run, ItemListId list)
{
    for (int i = 0; i < itemCount(list) && !cancelled(run); ++i) {
        auto* file = itemAt<Item>(list, i);
        if (file->path[0] != '\0' && file->install >= run.threshold && file->backupPath[0] != '\0' &&
            file->backupInstall == run.threshold && file->selfRegInstall >= run.threshold)
            callSelfRegistration(run.prefixes[PrefixSelfUnregister], file->path, true);
    }
}

void directories(const Run& run)
{
    for (int i = 0; i < itemCount(DirectoryList) && !cancelled(run); ++i) {
        auto* directory = itemAt<DirectoryItem>(DirectoryList, i);
        counted();
        if (!takenByMethod(run, directory->selected) || directory->madeInstall < run.threshold)
            continue;
        bool withFiles = !run.automatic || directory->treeInstall >= run.threshold;
        size_t length = strlen(directory->path);
        if (length > 0)
            directory->path[length - 1] = '\0';   // the trailing backslash
        announce(run, withFiles ? PrefixDirectory : PrefixEmptyDirectories, directory->path, true);
        removeDirectoryTree(directory->path, withFiles);
    }
}

void registryEdits(const Run& run)
{
    for (int i = 0; i < itemCount(RegistryEditList) && !cancelled(run); ++i) {
        auto* value = itemAt<RegistryEditItem>(RegistryEditList, i);
        counted();
        if (!takenByMethod(run, value->selected) || value->install < run.threshold)
            continue;
        announceKey(run, PrefixRegistryEdit, value->key);
        restoreRegistryValue(value, run.rollback ? value->previousValue : value->preInstallValue);
    }
}

void createdValues(const Run& run)
{
    for (int i = itemCount(RegistryKeyList) - 1; i >= 0 && !cancelled(run); --i) {
        auto* value = itemAt<RegistryKeyItem>(RegistryKeyList, i);
        counted();
        if (!takenByMethod(run, value->selected) || value->install < run.threshold)
            continue;
        announceKey(run, PrefixRegistryKey, value->key);
        removeCreatedValue(value);
    }
}

void registryTrees(const Run& run)
{
    for (int i = itemCount(RegistryTreeList) - 1; i >= 0 && !cancelled(run); --i) {
        auto* tree = itemAt<RegistryTreeItem>(RegistryTreeList, i);
        counted();
        if (!takenByMethod(run, tree->selected) || tree->install < run.threshold)
            continue;
        announceKey(run, PrefixRegistryTree, tree->key);
        deleteRegistryTree(tree->key, tree->root);
    }
}

void icons(const Run& run)
{
    // Program Manager is asked once, before the first icon: one that does
    // not answer is not waited for again at every icon.
    bool asked = false;
    for (int i = 0; i < itemCount(IconList) && !cancelled(run); ++i) {
        auto* icon = itemAt<IconItem>(IconList, i);
        counted();
        if (!takenByMethod(run, icon->selected) || (run.rollback && icon->install != run.threshold))
            continue;
        if (!asked)
            progmanConnect();
        asked = true;
        announce(run, PrefixIcon, icon->name);
        removeIcon(i);
    }
    if (asked)
        progmanDisconnect();
}

// A rollback cuts the log back to what precedes its last section, or
// deletes it when it has only one. A log left whole would have the next
// rollback undo the same section again, deleting files whose backups are
// gone: a read-only log is made writable rather than left so.
unsigned long cutLog(const Run& run, const char* logPath)
{
    if (installLog.lastSectionOffset == 0)
        return deleteStubbornFile(logPath);
    unsigned long error = run.host->truncateFile(logPath, installLog.lastSectionOffset);
    if (error == kErrorAccessDenied && resetAttributes(logPath) == 0)
        error = run.host->truncateFile(logPath, installLog.lastSectionOffset);
    return error;
}

} // namespace

void performUninstall(const char* logPath)
{
    Run run = {};
    run.host = runState.host;
    prepare(run);

    programs(run);
    services(run);
    if (installLog.subSystemName && (run.automatic || installLog.subSystemSelected)) {
        announce(run, PrefixSubSystem, installLog.subSystemName);
        if (!removeBorlandSubSystem())
            return;
    }
    iniFiles(run);
    iniEntries(run);
    editedFiles(run);
    sharedPrivateFiles(run);
    sharedSystemFiles(run);
    privateFiles(run);
    systemFiles(run);
    if (run.rollback) {
        registerAgain<PrivateFileItem>(run, PrivateFileList);
        registerAgain<SystemFileItem>(run, SystemFileList);
    }
    if (run.automatic && !cancelled(run) && !run.rollback)
        deleteFile(logPath);
    directories(run);
    if (run.rollback)
        cutLog(run, logPath);
    registryEdits(run);
    createdValues(run);
    registryTrees(run);
    if (cancelled(run))
        return;
    icons(run);
    bool perUserDue = run.rollback ? installLog.lastSectionOffset == 0 : run.automatic;
    if (installLog.perUserId && perUserDue)
        runPerUserUninstall(installLog.perUserId);
}

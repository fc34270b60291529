// The uninstall driver: walks the item lists in their fixed order and hands
// each item that this run undoes to the unit that knows its kind of change.
// It decides; the host acts.
#include "engine/driver.h"

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/text.h"
#include "engine/devices.h"
#include "engine/enginehost.h"
#include "engine/fileremoval.h"
#include "engine/files.h"
#include "engine/ini.h"
#include "engine/policy.h"
#include "engine/progman.h"
#include "engine/programs.h"
#include "engine/record.h"
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

// How far the run went with a logged file. The shared steps may change the
// machine on a file's behalf (its count given back, its server
// unregistered, its device line made a comment) well before the file step
// reaches it: such a file is finished even after Cancel, or it would stay
// installed but unregistered and uncounted.
enum FileProgress : char {
    FileUntouched,
    FileBegun,   // the shared steps changed something for it
    FileTaken,   // the file step removed or restored it
};

struct Run {
    const EngineHost* host;
    char prefixes[kPrefixCount][64];
    bool automatic;
    bool rollback;
    uint16_t threshold;      // the lowest installation number this run undoes
    std::vector<FileProgress> files[2];   // by index, for PrivateFileList and SystemFileList
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

// Opens the record of an item this run undoes (`take`); an item of the run
// that a Custom run's user left is recorded as kept.
bool taken(const Run& run, bool take, const char* kind, const std::string& text)
{
    recordItem(kind, text.c_str());
    if (take)
        return true;
    if (!run.automatic)
        recordKept("not selected");
    else
        recordKept("not chosen for removal");
    endRecordItem();
    return false;
}

std::string keyText(int root, const char* key, const char* name = nullptr)
{
    static const char* const kRoots[] = {"HKCR", "HKCU", "HKLM", "HKU", "HKCC"};
    std::string text = std::string(root >= 0 && root < 5 ? kRoots[root] : "?") + "\\" + key;
    return name && name[0] ? text + " : " + name : text;
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
    for (ItemListId list : {PrivateFileList, SystemFileList})
        run.files[list].assign(static_cast<size_t>(itemCount(list)), FileUntouched);
    preparePolicy();
    run.host->startProgress();
    run.host->showProgress(nullptr, false);
    rs.progressActive = 1;
}

void programs(const Run& run)
{
    for (int i = 0; i < itemCount(ProgramList) && !cancelled(run); ++i) {
        auto* program = itemAt<ProgramItem>(ProgramList, i);
        if (program->install < run.threshold ||
            !taken(run, takenByMethod(run, program->selected), "program",
                   program->programName[0] ? program->programName : program->command))
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
        if (service->install < run.threshold ||
            !taken(run, takenByMethod(run, service->selected), "service", service->name))
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
        if (ini->install < run.threshold || !taken(run, takenByMethod(run, ini->selected), "INI file", ini->path))
            continue;
        if (!mayRemovePath(ini->path, RemoveFile, path, sizeof path)) {
            recordKept("refused as unsafe");
            continue;
        }
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
        if (entry->install < run.threshold ||
            !taken(run, takenByMethod(run, entry->selected), "INI entry",
                   std::string(entry->file) + " [" + entry->section + "] " + entry->item))
            continue;
        if (!mayWriteIniFile(entry->file)) {
            recordKept("refused as unsafe");
            continue;
        }
        if (missing(entry->file))
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
        if (edited->install >= run.threshold && !missing(edited->backupPath)) {
            recordItem("edited file", edited->path);
            removeOrRestoreFile(edited->path, edited->backupPath, 1);
        }
    }
}

// Unregistration and device lines of a file about to go, unless a rollback
// restores it from a backup of its own installation. Whether it acted.
template <class Item>
bool beforeRemoval(const Run& run, const Item* file)
{
    if (run.rollback && !(file->backupInstall == file->install && file->backupPath[0] == '\0'))
        return false;
    bool acted = false;
    if (file->selfRegInstall >= run.threshold) {
        recordItem("server", file->path);
        callSelfRegistration(run.prefixes[PrefixSelfUnregister], file->path, false);
        acted = true;
    }
    if (file->deviceInstall >= run.threshold) {
        recordItem("device", file->path);
        removeDevice(file->path);
        acted = true;
    }
    endRecordItem();
    return acted;
}

// A shared file that others still count on, or that the user kept.
void recordShared(const char* path, const char* kind)
{
    recordItem(kind, path);
    recordKept(sharedKeepReason());
    endRecordItem();
}

template <class Item>
bool keptForItsBackup(const Run& run, const Item* file)
{
    return run.rollback && file->backupInstall == run.threshold && file->backupPath[0] != '\0';
}

void sharedPrivateFiles(Run& run)
{
    for (int i = itemCount(PrivateFileList) - 1; i >= 0 && !cancelled(run); --i) {
        auto* file = itemAt<PrivateFileItem>(PrivateFileList, i);
        bool taken = (run.automatic && (file->autoRemove || (run.rollback && file->backupPath[0] != '\0'))) ||
                     file->selected;
        if (!taken || file->install < run.threshold)
            continue;
        SharedRelease result =
            file->sharedInstall >= run.threshold ? releaseSharedFile(file->path, file->sharedCount) : SharedNotCounted;
        if (result != SharedNotCounted)
            run.files[PrivateFileList][static_cast<size_t>(i)] = FileBegun;
        if (result == SharedKeep) {
            if (!keptForItsBackup(run, file)) {
                recordShared(file->path, "file");
                file->path[0] = '\0';
            }
            continue;
        }
        if (beforeRemoval(run, file))
            run.files[PrivateFileList][static_cast<size_t>(i)] = FileBegun;
    }
}

void sharedSystemFiles(Run& run)
{
    for (int i = itemCount(SystemFileList) - 1; i >= 0 && !cancelled(run); --i) {
        auto* file = itemAt<SystemFileItem>(SystemFileList, i);
        if (file->install < run.threshold)
            continue;
        if ((file->selected || runState.windows4OrLater) && file->sharedInstall >= run.threshold) {
            SharedRelease result = releaseSharedFile(file->path, file->sharedCount);
            if (result != SharedNotCounted)
                run.files[SystemFileList][static_cast<size_t>(i)] = FileBegun;
            if (result == SharedKeep && !keptForItsBackup(run, file)) {
                recordShared(file->path, "system file");
                file->path[0] = '\0';
            }
            if (result == SharedRemove)
                file->selected = 1;
        }
        if (file->selected && file->path[0] != '\0' && beforeRemoval(run, file))
            run.files[SystemFileList][static_cast<size_t>(i)] = FileBegun;
    }
}

// After Cancel the file steps take only the files the shared steps began.
// Once stopped, they ask no more.
bool skippedAfterCancel(const Run& run, ItemListId list, int index, bool* stopped)
{
    *stopped = *stopped || cancelled(run);
    return *stopped && run.files[list][static_cast<size_t>(index)] != FileBegun;
}

void privateFiles(Run& run)
{
    bool stopped = false;
    for (int i = 0; i < itemCount(PrivateFileList); ++i) {
        if (skippedAfterCancel(run, PrivateFileList, i, &stopped))
            continue;
        auto* file = itemAt<PrivateFileItem>(PrivateFileList, i);
        counted();
        bool ownBackup = file->backupInstall == run.threshold;
        bool take = (run.automatic && (file->autoRemove || (run.rollback && file->backupPath[0] != '\0' && ownBackup))) ||
                    file->selected;
        if (file->path[0] == '\0' || file->install < run.threshold || !taken(run, take, "file", file->path))
            continue;
        run.files[PrivateFileList][static_cast<size_t>(i)] = FileTaken;
        if (removeOrRestoreFile(file->path, file->backupPath, run.rollback && ownBackup))
            announce(run, PrefixFile, file->path, true);
    }
}

void systemFiles(Run& run)
{
    bool stopped = false;
    for (int i = 0; i < itemCount(SystemFileList); ++i) {
        if (skippedAfterCancel(run, SystemFileList, i, &stopped))
            continue;
        auto* file = itemAt<SystemFileItem>(SystemFileList, i);
        counted();
        bool ownBackup = file->backupInstall == run.threshold;
        bool take = file->selected || (run.rollback && file->backupPath[0] != '\0' && ownBackup);
        if (file->path[0] == '\0' || file->install < run.threshold || !taken(run, take, "system file", file->path))
            continue;
        run.files[SystemFileList][static_cast<size_t>(i)] = FileTaken;
        if (removeOrRestoreFile(file->path, file->backupPath, run.rollback && ownBackup))
            announce(run, PrefixSystemFile, file->path, true);
    }
}

// A server the file step put back from its backup is registered again even
// after Cancel: its old file is in place and must work.
template <class Item>
void registerAgain(const Run& run, ItemListId list)
{
    for (int i = 0; i < itemCount(list); ++i) {
        auto* file = itemAt<Item>(list, i);
        if (run.files[list][static_cast<size_t>(i)] == FileTaken && file->path[0] != '\0' &&
            file->install >= run.threshold && file->backupPath[0] != '\0' &&
            file->backupInstall == run.threshold && file->selfRegInstall >= run.threshold) {
            recordItem("restored server", file->path);
            callSelfRegistration(run.prefixes[PrefixSelfUnregister], file->path, true);
        }
    }
}

void directories(const Run& run)
{
    for (int i = 0; i < itemCount(DirectoryList) && !cancelled(run); ++i) {
        auto* directory = itemAt<DirectoryItem>(DirectoryList, i);
        counted();
        std::string shown = directory->path;
        if (!shown.empty())
            shown.pop_back();   // the trailing backslash
        if (directory->madeInstall < run.threshold ||
            !taken(run, takenByMethod(run, directory->selected), "directory", shown))
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
        if (value->install < run.threshold || !taken(run, takenByMethod(run, value->selected), "registry value",
                                                     keyText(value->root, value->key, value->valueName)))
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
        if (value->install < run.threshold || !taken(run, takenByMethod(run, value->selected), "created value",
                                                     keyText(value->root, value->key, value->valueName)))
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
        if (tree->install < run.threshold ||
            !taken(run, takenByMethod(run, tree->selected), "registry tree", keyText(tree->root, tree->key)))
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
        if ((run.rollback && icon->install != run.threshold) ||
            !taken(run, takenByMethod(run, icon->selected), "icon", icon->name))
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

namespace {

// The run's steps; how the run ended, for the record.
const char* runSteps(Run& run, const char* logPath)
{
    programs(run);
    services(run);
    if (installLog.subSystemName && (run.automatic || installLog.subSystemSelected)) {
        announce(run, PrefixSubSystem, installLog.subSystemName);
        recordItem("sub-system", installLog.subSystemName);
        if (!removeBorlandSubSystem())
            return "aborted at the sub-system prompt";
    }
    iniFiles(run);
    iniEntries(run);
    editedFiles(run);
    endRecordItem();   // the counts the next two steps lower belong to no item
    learnSharedCounts(static_cast<size_t>(itemCount(PrivateFileList) + itemCount(SystemFileList)));
    sharedPrivateFiles(run);
    sharedSystemFiles(run);
    forgetSharedCounts();
    privateFiles(run);
    systemFiles(run);
    if (run.rollback) {
        registerAgain<PrivateFileItem>(run, PrivateFileList);
        registerAgain<SystemFileItem>(run, SystemFileList);
    }
    endRecordItem();
    if (run.automatic && !cancelled(run) && !run.rollback)
        deleteFile(logPath);
    directories(run);
    endRecordItem();
    if (run.rollback)
        cutLog(run, logPath);
    registryEdits(run);
    createdValues(run);
    registryTrees(run);
    if (cancelled(run))
        return "cancelled";
    icons(run);
    endRecordItem();
    bool perUserDue = run.rollback ? installLog.lastSectionOffset == 0 : run.automatic;
    if (installLog.perUserId && perUserDue) {
        recordItem("per-user uninstaller", installLog.perUserId);
        runPerUserUninstall(installLog.perUserId);
    }
    return cancelled(run) ? "cancelled" : "completed";
}

} // namespace

void performUninstall(const char* logPath)
{
    Run run = {};
    run.host = runState.host;
    prepare(run);
    std::string ending = runSteps(run, logPath);
    if (ending == "cancelled")
        ending += std::string(" after ") + lastRecordedItem();
    if (runState.rebootNeeded)
        ending += "; restart needed";
    finishRecord(ending.c_str());
}

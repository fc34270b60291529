// Loading INSTALL.LOG: one forward pass through the line reader, each entry
// merged into its list as it is read.
#include "log/loader.h"

#include <cstring>
#include <string>

#include "common/text.h"
#include "log/itemlists.h"
#include "log/keywords.h"
#include "log/listindex.h"
#include "log/loaderhost.h"
#include "log/reader.h"
#include "resources/resource.h"
#include "startup/runstate.h"

namespace {

constexpr size_t kLineSize = 2048;
constexpr size_t kPath = 260;

struct Load {
    char line[kLineSize];
    bool atEnd = false;
    bool consumed = true;
    bool ansiSection = false;
    bool nonSystem = false;
    bool sharedIgnored = false;
    bool removableA = false;
    bool removableB = false;
    bool adminChecked = false;
    char windowsDir[kPath] = "";
    char systemDir[kPath] = "";
    char win32sDir[kPath] = "";
    char profileRoot[kPath] = "*";    // "*" begins no path
    char commonRoot[kPath] = "*";
    char* topDirectory = nullptr;     // the caller's, kPathSize bytes

    // Indexes over the lists searched by key.
    ListIndex systemFiles, iniFiles, registryTrees, icons, programs, services, editedFiles;
    ListIndex privateByPath, systemByPath, privateByLongPath, systemByLongPath;
    DirectoryIndex directories;
};

uint16_t current()
{
    return installLog.installationCount;
}

BlockArena* arena()
{
    return &runState.arena;
}

void readNext(Load& load)
{
    // The reader delivers the last line even without a line end; the log
    // ends when it delivers nothing more. A line whose first byte is NUL is
    // an unrecognised line, not the end of the log.
    int more = readLine(&runState.reader, load.line, sizeof load.line, 0);
    load.atEnd = !more && load.line[0] == '\0';
    // A NUL inside a line would end its path early, naming a folder above
    // the one logged: such a line is unrecognised as a whole. A section
    // header stays one: where it stands is all that is taken from it.
    if (strlen(load.line) != runState.reader.length && strncmp(load.line, "*** ", 4) != 0)
        load.line[0] = '\0';
}

bool beginsWithNoCase(const char* text, const char* prefix)
{
    return compareNoCasePart(text, prefix, strlen(prefix)) == 0;
}

// A whole argument into a field, or false with the field empty: cut, a
// path or key would name another one, as often as not a folder or key
// above the one logged.
bool takeWhole(char* field, size_t capacity, const char* argument)
{
    if (copyText(field, capacity, argument) == strlen(argument))
        return true;
    field[0] = '\0';
    return false;
}

// A path argument into a field (empty when it does not fit whole),
// converted from OEM text in OEM sections.
bool takePath(const Load& load, char* field, size_t capacity, const char* argument)
{
    if (!takeWhole(field, capacity, argument))
        return false;
    if (!load.ansiSection)
        oemToAnsi(field);
    return true;
}

bool onRemovableDrive(const Load& load, const char* path)
{
    if (path[0] == '\0' || path[1] != ':')
        return false;
    char letter = static_cast<char>(foldCase(static_cast<unsigned char>(path[0])));
    return (letter == 'A' && load.removableA) || (letter == 'B' && load.removableB);
}

void appendBackslash(char* path, size_t capacity)
{
    size_t length = strlen(path);
    // A directory logged with its backslash keeps just the one.
    if (length == 0 || path[length - 1] != '\\')
        appendText(path, capacity, "\\");
}

void longFormKey(const char* path, std::string* key)
{
    char longPath[kPath];
    copyText(longPath, path);
    convertPathForm(longPath, sizeof longPath, LongForm);
    *key = foldedKey(longPath);
}

// --- File lines ----------------------------------------------------------

// A logged wildcard pattern names a set of files: it is gone when nothing
// matches it any more. (Asked for its attributes, a pattern is never there.)
bool installedFileGone(const char* path)
{
    return strpbrk(path, "*?") ? patternMatchesNothing(path) : fileMissing(path);
}

bool isSystemDirectory(const Load& load, const char* directory)
{
    return compareNoCase(directory, load.windowsDir) == 0 || compareNoCase(directory, load.systemDir) == 0 ||
           compareNoCase(directory, runState.systemDirectory) == 0 || compareNoCase(directory, load.win32sDir) == 0;
}

template <class Item>
void fillNewFile(Load& load, Item* file, const char* path, const char* backup)
{
    copyText(file->path, path);
    copyText(file->backupPath, backup);
    file->autoRemove = backup[0] == '\0';
    file->install = current();
    file->backupInstall = current();
    if (!load.sharedIgnored) {
        file->sharedInstall = current();
        file->sharedCount = 1;
    }
}

template <class Item>
void updateFile(Load& load, Item* file, const char* backup)
{
    file->install = current();
    if (!load.sharedIgnored) {
        file->sharedCount += 1;
        file->sharedInstall = current();
    }
    if (backup[0] != '\0') {
        copyText(file->backupPath, backup);
        file->backupInstall = current();
    }
}

void fileLine(Load& load, Keyword keyword)
{
    char argument[kLineSize];
    copyText(argument, argumentOf(load.line, keyword));
    cutAtBar(argument);
    char path[kPath];
    takePath(load, path, sizeof path, argument);

    if (keyword == KwShellLink && installLog.perUserId && beginsWithNoCase(path, load.profileRoot) &&
        !beginsWithNoCase(path, load.commonRoot))
        path[0] = '\0';
    bool overwrittenUnshared =
        keyword == KwFileOverwrite && !(runState.windows4OrLater && sharedDllCounted(path));

    char backup[kPath] = "";
    bool backupNamed = true;
    readNext(load);
    if (lineIs(load.line, KwBackupCopy)) {
        backupNamed = takePath(load, backup, sizeof backup, argumentOf(load.line, KwBackupCopy));
        runState.rollbackAvailable = 1;
    } else {
        load.consumed = false;
    }
    if (!backupNamed)
        return;   // neither removed nor restored: the old contents are somewhere no field can name

    // A file that is gone while its backup is there is kept for a rollback
    // to put back: a rollback ended between the two is run again.
    if (path[0] == '\0' || onRemovableDrive(load, path) || (overwrittenUnshared && backup[0] == '\0') ||
        (installedFileGone(path) && (backup[0] == '\0' || fileMissing(backup))))
        return;

    char directory[kPath];
    copyText(directory, path);
    char* lastSlash = strrchr(directory, '\\');
    if (lastSlash)
        *lastSlash = '\0';

    std::string longKey;
    if (!isSystemDirectory(load, directory)) {
        bool created = false;
        auto* file = findOrInsert<PrivateFileItem>(arena(), PrivateFileList, &created, path);
        if (!created) {
            updateFile(load, file, backup);
            return;
        }
        fillNewFile(load, file, path, backup);
        int index = itemCount(PrivateFileList) - 1;
        load.privateByPath.add(foldedKey(path), index);
        longFormKey(path, &longKey);
        load.privateByLongPath.add(longKey, index);
        return;
    }

    std::string key = foldedKey(path);
    int found = load.systemFiles.first(key);
    if (found >= 0) {
        updateFile(load, itemAt<SystemFileItem>(SystemFileList, found), backup);
        return;
    }
    auto* file = static_cast<SystemFileItem*>(appendItem(arena(), SystemFileList, sizeof(SystemFileItem)));
    fillNewFile(load, file, path, backup);
    file->selected = load.nonSystem;
    int index = itemCount(SystemFileList) - 1;
    load.systemFiles.add(key, index);
    load.systemByPath.add(key, index);
    longFormKey(path, &longKey);
    load.systemByLongPath.add(longKey, index);
}

void fileEdit(Load& load)
{
    char path[kPath];
    takePath(load, path, sizeof path, argumentOf(load.line, KwFileEdit));
    char backup[kPath] = "";
    readNext(load);
    if (lineIs(load.line, KwBackupCopy))
        takePath(load, backup, sizeof backup, argumentOf(load.line, KwBackupCopy));
    else
        load.consumed = false;
    if (path[0] == '\0' || onRemovableDrive(load, path) || backup[0] == '\0' ||
        (fileMissing(path) && fileMissing(backup)))
        return;

    std::string key = foldedKey(path);
    int found = load.editedFiles.first(key);
    if (found >= 0) {
        auto* edited = itemAt<EditedFileItem>(EditedFileList, found);
        edited->install = current();
        copyText(edited->backupPath, backup);
        return;
    }
    auto* edited = static_cast<EditedFileItem*>(appendItem(arena(), EditedFileList, sizeof(EditedFileItem)));
    copyText(edited->path, path);
    copyText(edited->backupPath, backup);
    edited->install = current();
    load.editedFiles.add(key, itemCount(EditedFileList) - 1);
}

// Lines that name a logged file mark every record of that file.
template <class Item>
void markFiles(ItemListId list, const ListIndex& index, const std::string& key, uint16_t Item::*field)
{
    index.forEach(key, [&](int i) { itemAt<Item>(list, i)->*field = current(); });
}

void addDevice(Load& load)
{
    char path[kPath];
    takePath(load, path, sizeof path, argumentOf(load.line, KwAddDevice));
    std::string key = foldedKey(path);
    markFiles<PrivateFileItem>(PrivateFileList, load.privateByPath, key, &PrivateFileItem::deviceInstall);
    markFiles<SystemFileItem>(SystemFileList, load.systemByPath, key, &SystemFileItem::deviceInstall);
}

void selfRegister(Load& load)
{
    char path[kPath];
    takePath(load, path, sizeof path, argumentOf(load.line, KwSelfRegister));
    std::string key;
    longFormKey(path, &key);
    markFiles<PrivateFileItem>(PrivateFileList, load.privateByLongPath, key, &PrivateFileItem::selfRegInstall);
    markFiles<SystemFileItem>(SystemFileList, load.systemByLongPath, key, &SystemFileItem::selfRegInstall);
}

// --- Registry -------------------------------------------------------------

void registryValue(Load& load)
{
    char key[256];
    bool whole = takeWhole(key, sizeof key, argumentOf(load.line, KwRegKey));
    load.consumed = false;
    readNext(load);
    if (!lineIs(load.line, KwRegVal))
        return;
    readNext(load);
    char name[256] = "";
    int type = 0, root = 0;
    if (lineIs(load.line, KwRegName)) {
        whole = takeWhole(name, sizeof name, argumentOf(load.line, KwRegName)) && whole;
        readNext(load);
    }
    if (lineIs(load.line, KwRegType)) {
        type = decimalNumber(argumentOf(load.line, KwRegType));
        readNext(load);
    }
    if (lineIs(load.line, KwRegRoot)) {
        root = decimalNumber(argumentOf(load.line, KwRegRoot));
        readNext(load);
    }
    if ((root == 1 && installLog.perUserId) || !whole)
        return;

    bool created = false;
    if (!lineIs(load.line, KwRegOld)) {
        char createdKey[260];
        copyText(createdKey, key);
        auto* value = findOrInsert<RegistryKeyItem>(arena(), RegistryKeyList, &created, createdKey, name);
        if (created) {
            copyText(value->key, createdKey);
            copyText(value->valueName, name);
            value->root = root;
        }
        value->install = current();
        return;
    }

    char oldValue[kStringListSize];
    StringListBuilder list;
    startStringList(&list, oldValue, sizeof oldValue);
    while (lineIs(load.line, KwRegOld)) {
        addToStringList(&list, argumentOf(load.line, KwRegOld));
        readNext(load);
    }
    char editedKey[256];
    copyText(editedKey, key);
    auto* value = findOrInsert<RegistryEditItem>(arena(), RegistryEditList, &created, editedKey, name);
    if (created) {
        copyText(value->key, editedKey);
        copyText(value->valueName, name);
        value->root = root;
        value->valueType = type;
        memcpy(value->preInstallValue, oldValue, sizeof oldValue);
    }
    memcpy(value->previousValue, oldValue, sizeof oldValue);
    value->install = current();
}

void registryTree(Load& load)
{
    char key[256];
    bool whole = takeWhole(key, sizeof key, argumentOf(load.line, KwRegTree));
    int root = 0;
    readNext(load);
    if (lineIs(load.line, KwRegRoot)) {
        root = decimalNumber(argumentOf(load.line, KwRegRoot));
        readNext(load);
    }
    load.consumed = false;
    if (!whole)
        return;
    std::string indexKey = foldedKey(key, root);
    int found = load.registryTrees.first(indexKey);
    if (found >= 0) {
        itemAt<RegistryTreeItem>(RegistryTreeList, found)->install = current();
        return;
    }
    auto* tree = static_cast<RegistryTreeItem*>(appendItem(arena(), RegistryTreeList, sizeof(RegistryTreeItem)));
    copyText(tree->key, key);
    tree->root = root;
    tree->install = current();
    load.registryTrees.add(indexKey, itemCount(RegistryTreeList) - 1);
}

// --- INI files and entries ------------------------------------------------

void iniNew(Load& load)
{
    readNext(load);
    load.consumed = false;
    if (!lineIs(load.line, KwIniFile))
        return;
    char path[kPath];
    takePath(load, path, sizeof path, argumentOf(load.line, KwIniFile));
    if (!onRemovableDrive(load, path) && !fileMissing(path)) {
        std::string key = foldedKey(path);
        int found = load.iniFiles.first(key);
        if (found >= 0) {
            itemAt<IniFileItem>(IniFileList, found)->install = current();
        } else {
            auto* ini = static_cast<IniFileItem*>(appendItem(arena(), IniFileList, sizeof(IniFileItem)));
            copyText(ini->path, path);
            ini->install = current();
            load.iniFiles.add(key, itemCount(IniFileList) - 1);
        }
    }
    // The entries written into the new file need no undoing of their own.
    for (;;) {
        readNext(load);
        if (!lineIs(load.line, KwIniAny))
            break;
        char fifth = static_cast<char>(foldCase(static_cast<unsigned char>(load.line[4])));
        if (fifth == 'F' || fifth == 'N')
            break;
    }
}

void iniEntry(Load& load)
{
    char path[kPath];
    takePath(load, path, sizeof path, argumentOf(load.line, KwIniFile));
    readNext(load);
    if (onRemovableDrive(load, path))
        return;   // the line read is dropped with the group
    load.consumed = false;
    if (!lineIs(load.line, KwIniSect))
        return;
    char section[256];
    bool whole = takeWhole(section, sizeof section, argumentOf(load.line, KwIniSect));
    readNext(load);
    if (!lineIs(load.line, KwIniItem))
        return;
    char item[256];
    whole = takeWhole(item, sizeof item, argumentOf(load.line, KwIniItem)) && whole;
    readNext(load);
    if (!lineIs(load.line, KwIniVal))
        return;
    readNext(load);
    char oldValue[512] = "";
    if (lineIs(load.line, KwIniOld)) {
        copyText(oldValue, argumentOf(load.line, KwIniOld));
        load.consumed = true;
    }
    if (!whole || path[0] == '\0')
        return;
    bool created = false;
    auto* entry = findOrInsert<IniItem>(arena(), IniItemList, &created, path, section, item);
    if (created) {
        copyText(entry->file, path);
        copyText(entry->section, section);
        copyText(entry->item, item);
        copyText(entry->preInstallValue, oldValue);
    }
    copyText(entry->previousValue, oldValue);
    entry->install = current();
}

// --- Directories ----------------------------------------------------------

size_t backslashes(const char* path)
{
    size_t count = 0;
    for (; *path; ++path)
        count += *path == '\\';
    return count;
}

bool acceptableDirectory(const char* directory)
{
    if (strlen(directory) <= 3)
        return false;
    if (directory[0] == '\\' && directory[1] == '\\')
        return true;
    unsigned char letter = static_cast<unsigned char>(foldCase(static_cast<unsigned char>(directory[0])));
    return letter >= 'A' && letter <= 'Z' && directory[1] == ':' && directory[2] == '\\';
}

DirectoryItem* newDirectory(Load& load, const char* path, uint16_t treeInstall, uint16_t madeInstall)
{
    auto* directory = static_cast<DirectoryItem*>(appendItem(arena(), DirectoryList, sizeof(DirectoryItem)));
    copyText(directory->path, path);
    directory->treeInstall = treeInstall;
    directory->madeInstall = madeInstall;
    load.directories.add(directory->path, itemCount(DirectoryList) - 1);
    return directory;
}

void madeDir(Load& load)
{
    char directory[kPath];
    if (!takePath(load, directory, sizeof directory - 1, argumentOf(load.line, KwMadeDir)))
        return;
    appendBackslash(directory, sizeof directory);

    // The short form has as many components as the directory itself, so a
    // directory deeper than the top one cannot contain it: that saves the
    // look-ups on disk for most made directories.
    if (backslashes(directory) <= backslashes(load.topDirectory)) {
        char shortForm[kPath];
        copyText(shortForm, directory);
        convertPathForm(shortForm, sizeof shortForm, ShortForm);
        if (beginsWithNoCase(load.topDirectory, shortForm))
            load.topDirectory[strlen(shortForm)] = '\0';
    }

    if (!acceptableDirectory(directory))
        return;
    int found = load.directories.firstRelated(directory);
    if (found < 0) {
        newDirectory(load, directory, 0, current());
        return;
    }
    auto* record = itemAt<DirectoryItem>(DirectoryList, found);
    size_t shorter = strlen(directory) < strlen(record->path) ? strlen(directory) : strlen(record->path);
    if (record->path[shorter] != '\0') {
        record->path[shorter] = '\0';
        load.directories.cut(record->path, found);
    }
    record->madeInstall = current();
}

void fileTree(Load& load)
{
    char directory[kPath];
    if (!takePath(load, directory, sizeof directory - 1, argumentOf(load.line, KwFileTree)))
        return;
    size_t length = strlen(directory);
    if (length >= 4 && strcmp(directory + length - 4, "\\*.*") == 0)
        directory[length - 3] = '\0';   // keep the backslash
    appendBackslash(directory, sizeof directory);
    if (!acceptableDirectory(directory))
        return;
    int found = load.directories.firstEqual(directory);
    if (found >= 0) {
        auto* record = itemAt<DirectoryItem>(DirectoryList, found);
        record->treeInstall = current();
        record->madeInstall = current();
        return;
    }
    newDirectory(load, directory, current(), current());
}

// --- Icons, programs, services --------------------------------------------

void iconGroup(Load& load)
{
    char group[256], name[256], command[256];
    copyText(group, argumentOf(load.line, KwIconGroup));
    readNext(load);
    if (!lineIs(load.line, KwIconName)) {
        load.consumed = false;
        return;
    }
    copyText(name, argumentOf(load.line, KwIconName));
    readNext(load);
    if (!lineIs(load.line, KwIconCmd)) {
        load.consumed = false;
        return;
    }
    copyText(command, argumentOf(load.line, KwIconCmd));
    std::string key = foldedKey(group, name);
    int found = load.icons.first(key);
    if (found >= 0) {
        copyText(itemAt<IconItem>(IconList, found)->command, command);
        return;
    }
    auto* icon = static_cast<IconItem*>(appendItem(arena(), IconList, sizeof(IconItem)));
    copyText(icon->group, group);
    copyText(icon->name, name);
    copyText(icon->command, command);
    icon->install = current();
    load.icons.add(key, itemCount(IconList) - 1);
}

void program(Load& load, Keyword keyword)
{
    char command[kPath];
    copyText(command, argumentOf(load.line, keyword));
    std::string key = foldedKey(command);
    int found = load.programs.first(key);
    if (found >= 0) {
        itemAt<ProgramItem>(ProgramList, found)->install = current();
        return;
    }
    auto* entry = static_cast<ProgramItem*>(appendItem(arena(), ProgramList, sizeof(ProgramItem)));
    copyText(entry->command, command);
    entry->install = current();
    load.programs.add(key, itemCount(ProgramList) - 1);
    readNext(load);
    if (lineIs(load.line, KwExecuteName))
        copyText(entry->programName, argumentOf(load.line, KwExecuteName));
    else
        load.consumed = false;
}

void service(Load& load)
{
    char name[kPath];
    copyText(name, argumentOf(load.line, KwCreateService));
    std::string key = foldedKey(name);
    int found = load.services.first(key);
    if (found >= 0) {
        itemAt<ServiceItem>(ServiceList, found)->install = current();
        return;
    }
    auto* entry = static_cast<ServiceItem*>(appendItem(arena(), ServiceList, sizeof(ServiceItem)));
    copyText(entry->name, name);
    entry->install = current();
    load.services.add(key, itemCount(ServiceList) - 1);
}

// --- Single values -------------------------------------------------------

void subSystem(Load& load)
{
    const char* name = argumentOf(load.line, KwSubSystem);
    size_t size = strlen(name) + 1;
    installLog.subSystemName = static_cast<char*>(allocate(arena(), size));
    copyText(installLog.subSystemName, size, name);
    installLog.subSystemSelected = 0;
}

void perUserId(Load& load)
{
    installLog.perUserId = static_cast<char*>(allocate(arena(), 256));
    copyText(installLog.perUserId, 256, argumentOf(load.line, KwPerUserId));
    if (!runState.windows4OrLater)
        return;
    char value[256];
    if (readStartMenuFolder(false, value, sizeof value) && value[0] != '\0') {
        // The folder that holds every user's profile: the value cut just
        // after its second-to-last backslash.
        char* last = strrchr(value, '\\');
        char* cut = value + 1;
        if (last) {
            *last = '\0';
            char* secondLast = strrchr(value, '\\');
            if (secondLast)
                cut = secondLast + 1;
        }
        *cut = '\0';
        copyText(load.profileRoot, value);
    }
    if (runState.platform == kPlatformNt && readStartMenuFolder(true, value, sizeof value) && value[0] != '\0') {
        char* last = strrchr(value, '\\');
        if (last)
            last[1] = '\0';
        copyText(load.commonRoot, value);
    }
}

// Returns false when the load must end (the warning has been shown).
bool userRightsAdmin(Load& load)
{
    if (runState.platform != kPlatformNt || load.adminChecked)
        return true;
    load.adminChecked = true;
    if (!administratorAccessDenied())
        return true;
    showLoadError(MSG_ADMIN_WARNING, MSG_UNINSTALL);
    return false;
}

void sectionHeader(Load& load)
{
    installLog.installationCount += 1;
    installLog.lastSectionOffset = lineStartOffset(&runState.reader);
    load.ansiSection = load.line[4] == ' ';
}

// --- Preparation and header ----------------------------------------------

void prepare(Load& load, const char* logPath)
{
    // Top created directory: the log's own directory in short form.
    char* top = load.topDirectory;
    copyText(top, kPathSize, logPath);
    if (char* slash = strrchr(top, '\\'))
        *slash = '\0';
    convertPathForm(top, kPathSize - 1, ShortForm);
    appendText(top, kPathSize, "\\");

    load.removableA = driveIsRemovable('A');
    load.removableB = driveIsRemovable('B');

    windowsDirectories(load.windowsDir, load.systemDir, kPath);
    copyText(load.win32sDir, load.systemDir);
    appendText(load.win32sDir, "\\WIN32S");
    copyText(runState.systemDirectory, kSystemDirectorySize, load.systemDir);

    // The log's own directory, unless it is a drive root or holds the
    // Windows or System directory.
    char logDirectory[kPath];
    copyText(logDirectory, logPath);
    convertPathForm(logDirectory, sizeof logDirectory, LongForm);
    char* slash = strrchr(logDirectory, '\\');
    if (slash)
        slash[1] = '\0';
    size_t length = strlen(logDirectory);
    if (!slash || length <= 3)
        return;
    char windowsWithSlash[kPath], systemWithSlash[kPath];
    copyText(windowsWithSlash, load.windowsDir);
    appendText(windowsWithSlash, "\\");
    copyText(systemWithSlash, load.systemDir);
    appendText(systemWithSlash, "\\");
    if (compareNoCasePart(systemWithSlash, logDirectory, length) == 0 ||
        compareNoCasePart(windowsWithSlash, logDirectory, length) == 0)
        return;
    newDirectory(load, logDirectory, 0, kLogDirectoryInstall);
}

bool readHeader(Load& load)
{
    readNext(load);
    load.ansiSection = strlen(load.line) >= 5 && load.line[4] == ' ';
    installLog.installationCount = 1;
    if (strncmp(load.line, "*** ", 4) != 0)
        return false;
    for (;;) {
        readNext(load);
        if (load.atEnd)
            return false;
        if (isTitleLine(load.line))
            break;
    }
    char title[kLineSize] = "";
    if (strlen(load.line) >= 7)
        copyText(title, load.line + 7);
    trimTitle(title);
    copyText(runState.applicationTitle, kPathSize, title);
    if (!runState.titleText)
        showTitleInCaption(runState.applicationTitle);
    return true;
}

// Handles the line in hand; false when the load must end.
bool handleEntry(Load& load)
{
    Keyword keyword = entryKeyword(load.line);
    switch (keyword) {
    case KwFileCopy:
    case KwShellLink:
    case KwFileOverwrite: fileLine(load, keyword); break;
    case KwRegKey: registryValue(load); break;
    case KwFileEdit: fileEdit(load); break;
    case KwCreateService: service(load); break;
    case KwAddDevice: addDevice(load); break;
    case KwSelfRegister: selfRegister(load); break;
    case KwIniNew: iniNew(load); break;
    case KwIniFile: iniEntry(load); break;
    case KwExecutePath:
    case KwExecuteProgram: program(load, keyword); break;
    case KwIconGroup: iconGroup(load); break;
    case KwSubSystem: subSystem(load); break;
    case KwMadeDir: madeDir(load); break;
    case KwFileTree: fileTree(load); break;
    case KwRegTree: registryTree(load); break;
    case KwHeader: sectionHeader(load); break;
    case KwUninstallMif: copyText(runState.mifName, argumentOf(load.line, keyword)); break;
    case KwManufacturer: copyText(runState.manufacturer, argumentOf(load.line, keyword)); break;
    case KwProduct: copyText(runState.product, argumentOf(load.line, keyword)); break;
    case KwVersionNumber: copyText(runState.versionNumber, argumentOf(load.line, keyword)); break;
    case KwSerialNumber: copyText(runState.serialNumber, argumentOf(load.line, keyword)); break;
    case KwUserRightsAdmin: return userRightsAdmin(load);
    case KwPerUserId: perUserId(load); break;
    default: break;   // an unrecognised line
    }
    return true;
}

} // namespace

int loadInstallLog(const char* logPath, char* topDirectory)
{
    auto* load = new Load;   // large: its line buffer and indexes
    load->topDirectory = topDirectory;
    prepare(*load, logPath);

    void* file = openLogFile(logPath);
    if (!file) {
        showLoadError(MSG_LOG_NOT_OPENED, MSG_ERROR_CAPTION);
        delete load;
        return 1;
    }
    startReading(&runState.reader, file, readLogFile);
    int result = 0;
    if (!readHeader(*load)) {
        showLoadError(MSG_LOG_INVALID, MSG_ERROR_CAPTION);
        result = 1;
    } else {
        for (;;) {
            if (load->consumed)
                readNext(*load);
            if (load->atEnd)
                break;
            load->consumed = true;
            load->nonSystem = lineIs(load->line, KwNonSystemFile);
            if (load->nonSystem)
                readNext(*load);
            load->sharedIgnored = lineIs(load->line, KwSharedIgnored);
            if (load->sharedIgnored)
                readNext(*load);
            if (!handleEntry(*load)) {
                result = 1;
                break;
            }
        }
    }
    closeLogFile(file);
    delete load;
    return result;
}

#include "engine/preview.h"

#include <cstring>
#include <map>
#include <set>
#include <string>

#include "common/text.h"

namespace {

constexpr unsigned long kErrorDirectory = 267;        // not a folder
constexpr unsigned long kErrorDirectoryNotEmpty = 145;
constexpr unsigned long kErrorNotConnected = 2250;
constexpr unsigned long kErrorSharingViolation = 32, kErrorLockViolation = 33;

EngineHost machine;   // the host as it was: its questions are asked for real

// A file the run would have put in place: a copy of `source`, or `text`.
struct MadeFile {
    std::string source;
    std::string text;
};

// What the run has removed or written so far. Windows compares paths and
// key names without regard to case, so they are kept folded.
std::set<std::string> goneFiles, goneKeys, goneValues;
std::map<std::string, MadeFile> madeFiles;
bool conversationOpen;

// The system's folding, so that names outside ASCII match as Windows
// matches them.
std::string folded(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(foldCase(static_cast<unsigned char>(c)));
    return text;
}

// Whether `name` or a folder or key above it is in `gone`.
bool goneWithParents(const std::set<std::string>& gone, const std::string& name)
{
    if (gone.empty())
        return false;
    for (size_t end = name.size(); end != std::string::npos && end > 0; end = name.rfind('\\', end - 1))
        if (gone.count(name.substr(0, end)))
            return true;
    return false;
}

// One spelling for each file: the log may name a folder in its short form
// and the files in it in their long one.
std::string fileName(const char* path)
{
    char full[1024];
    if (copyText(full, path) + 1 < sizeof full)
        machine.pathForm(full, sizeof full, LongForm);
    std::string name = folded(full);
    while (name.size() > 1 && name.back() == '\\')
        name.pop_back();
    return name;
}

std::string keyName(int root, const char* key)
{
    return std::to_string(root) + "|" + folded(key);
}

std::string valueName(int root, const char* key, const char* name)
{
    return keyName(root, key) + "\n" + folded(name);
}

bool keyGone(int root, const char* key)
{
    return goneWithParents(goneKeys, keyName(root, key));
}

void forget(const std::string& file)
{
    madeFiles.erase(file);
    goneFiles.insert(file);
}

void make(const std::string& file, const MadeFile& made)
{
    goneFiles.erase(file);
    madeFiles[file] = made;
}

// A copy of `from`, or of what the run put there before.
MadeFile copyOf(const char* from)
{
    auto made = madeFiles.find(fileName(from));
    return made != madeFiles.end() ? made->second : MadeFile{from, ""};
}

// Only a file in use stops a change that the run could make: the rest
// (read-only attributes, say) the run deals with on its way.
unsigned long heldOpen(const char* path, bool deleting)
{
    unsigned long error = machine.tryOpen(path, deleting);
    return error == kErrorSharingViolation || error == kErrorLockViolation ? error : 0;
}

// --- Questions, answered as if what the run removed were gone -------------

unsigned long attributes(const char* path)
{
    std::string name = fileName(path);
    if (madeFiles.count(name))
        return kAttributeNormal;
    if (goneWithParents(goneFiles, name))
        return kNoAttributes;
    return machine.attributes(path);
}

struct Listing {
    void* find;
    std::string folder;   // folded, with its closing backslash
};

bool listed(const Listing* listing, const FoundEntry* entry)
{
    return !goneFiles.count(listing->folder + folded(entry->name));
}

bool findNext(void* find, FoundEntry* entry)
{
    auto* listing = static_cast<Listing*>(find);
    while (machine.findNext(listing->find, entry))
        if (listed(listing, entry))
            return true;
    return false;
}

void findClose(void* find)
{
    auto* listing = static_cast<Listing*>(find);
    machine.findClose(listing->find);
    delete listing;
}

void* findFirst(const char* pattern, FoundEntry* entry)
{
    std::string folder = pattern;
    folder.erase(folder.rfind('\\') + 1);   // npos + 1: no folder at all
    if (!folder.empty()) {
        folder = fileName(folder.c_str());
        if (goneWithParents(goneFiles, folder))
            return nullptr;
        folder += '\\';
    }
    void* find = machine.findFirst(pattern, entry);
    if (!find)
        return nullptr;
    auto* listing = new Listing{find, folder};
    if (listed(listing, entry) || findNext(listing, entry))
        return listing;
    findClose(listing);
    return nullptr;
}

unsigned long readFile(const char* path, std::string* content, size_t limit)
{
    content->clear();
    auto made = madeFiles.find(fileName(path));
    if (made == madeFiles.end())
        return attributes(path) == kNoAttributes ? kErrorFileNotFound : machine.readFile(path, content, limit);
    if (!made->second.source.empty())
        return machine.readFile(made->second.source.c_str(), content, limit);
    *content = made->second.text;
    return 0;
}

bool isWin32Executable(const char* path)
{
    auto made = madeFiles.find(fileName(path));
    if (made == madeFiles.end())
        return attributes(path) != kNoAttributes && machine.isWin32Executable(path);
    return !made->second.source.empty() && machine.isWin32Executable(made->second.source.c_str());
}

unsigned long queryRegistryValue(int root, const char* key, const char* name, unsigned long* type, void* data,
                                 unsigned long* size)
{
    if (keyGone(root, key) || goneValues.count(valueName(root, key, name)))
        return kErrorFileNotFound;
    return machine.queryRegistryValue(root, key, name, type, data, size);
}

unsigned long registryEntry(int root, const char* key, bool subkey, unsigned long index, char* name,
                            size_t capacity)
{
    if (capacity > 0)
        name[0] = '\0';
    if (keyGone(root, key))
        return kErrorFileNotFound;
    // Read whole (a value's name has at most 16,383 characters), so that a
    // removed entry is told apart whatever the caller's buffer holds.
    static char full[16384];
    for (unsigned long at = 0, shown = 0;; ++at) {
        unsigned long error = machine.registryEntry(root, key, subkey, at, full, sizeof full);
        if (error != 0)
            return error;
        bool gone = subkey ? goneKeys.count(keyName(root, (std::string(key) + "\\" + full).c_str()))
                           : goneValues.count(valueName(root, key, full));
        if (!gone && shown++ == index)
            return copyText(name, capacity, full) < strlen(full) ? kErrorMoreData : 0;
    }
}

// --- Changes, answered from the present state and not made -----------------

unsigned long setAttributes(const char* path, unsigned long)
{
    return attributes(path) == kNoAttributes ? kErrorFileNotFound : 0;
}

unsigned long deleteFile(const char* path)
{
    unsigned long present = attributes(path);
    if (present == kNoAttributes)
        return kErrorFileNotFound;
    if (present & kAttributeDirectory)
        return kErrorAccessDenied;
    std::string name = fileName(path);
    if (!madeFiles.count(name))
        if (unsigned long error = heldOpen(path, true))
            return error;
    forget(name);
    return 0;
}

unsigned long removeDirectory(const char* path)
{
    unsigned long present = attributes(path);
    if (present == kNoAttributes)
        return kErrorFileNotFound;
    if (!(present & kAttributeDirectory))
        return kErrorDirectory;
    // A link goes as a link, whatever its target holds.
    if (!(present & kAttributeReparsePoint)) {
        FoundEntry entry;
        void* find = findFirst((std::string(path) + "\\*.*").c_str(), &entry);
        if (find) {
            findClose(find);
            return kErrorDirectoryNotEmpty;
        }
    }
    forget(fileName(path));
    return 0;
}

unsigned long copyFile(const char* from, const char* to)
{
    if (attributes(from) == kNoAttributes)
        return kErrorFileNotFound;
    std::string name = fileName(to);
    if (!madeFiles.count(name) && attributes(to) != kNoAttributes)
        if (unsigned long error = heldOpen(to, false))
            return error;
    make(name, copyOf(from));
    return 0;
}

unsigned long truncateFile(const char* path, unsigned long)
{
    return attributes(path) == kNoAttributes ? kErrorFileNotFound : 0;
}

unsigned long writeNewFile(const char* path, const std::string& content)
{
    make(fileName(path), MadeFile{"", content});
    return 0;
}

unsigned long replaceFile(const char* from, const char* to)
{
    if (attributes(from) == kNoAttributes)
        return kErrorFileNotFound;
    MadeFile made = copyOf(from);
    forget(fileName(from));
    make(fileName(to), made);
    return 0;
}

unsigned long atRestart(const char*, const char*)
{
    return 0;
}

unsigned long writeIniString(const char*, const char*, const char*, const char*)
{
    return 0;
}

unsigned long setRegistryValue(int root, const char* key, const char* name, unsigned long, const void*,
                               unsigned long)
{
    char first[1];
    unsigned long error = registryEntry(root, key, false, 0, first, sizeof first);
    if (error != 0 && error != kErrorMoreData && error != kErrorNoMoreItems)
        return error;   // the key does not open, and no call makes it
    goneValues.erase(valueName(root, key, name));
    return 0;
}

unsigned long deleteRegistryValue(int root, const char* key, const char* name)
{
    unsigned char data[1];
    unsigned long type = 0, size = 0;
    unsigned long error = queryRegistryValue(root, key, name, &type, data, &size);
    if (error != 0 && error != kErrorMoreData)
        return error;
    goneValues.insert(valueName(root, key, name));
    return 0;
}

unsigned long deleteRegistryKey(int root, const char* key)
{
    char first[1];
    unsigned long error = registryEntry(root, key, true, 0, first, sizeof first);
    if (error == 0 || error == kErrorMoreData)
        return kErrorAccessDenied;   // a key with subkeys does not go in one call
    if (error != kErrorNoMoreItems)
        return error;
    goneKeys.insert(keyName(root, key));
    return 0;
}

unsigned long run(const char*)
{
    return 0;
}

unsigned long removeService(const char* name)
{
    return machine.queryService(name);
}

unsigned long callServerEntry(const char* path, bool)
{
    return attributes(path) == kNoAttributes ? kErrorFileNotFound : 0;
}

bool ddeConnect(const char* service, const char* topic)
{
    conversationOpen = machine.ddeConnect(service, topic);
    return conversationOpen;
}

void ddeDisconnect()
{
    conversationOpen = false;
    machine.ddeDisconnect();
}

unsigned long ddeExecute(const char*)
{
    return conversationOpen ? 0 : kErrorNotConnected;
}

} // namespace

void previewOnly(EngineHost* host)
{
    machine = *host;
    goneFiles.clear();
    madeFiles.clear();
    goneKeys.clear();
    goneValues.clear();
    conversationOpen = false;

    host->attributes = attributes;
    host->findFirst = findFirst;
    host->findNext = findNext;
    host->findClose = findClose;
    host->readFile = readFile;
    host->isWin32Executable = isWin32Executable;
    host->queryRegistryValue = queryRegistryValue;
    host->registryEntry = registryEntry;

    host->setAttributes = setAttributes;
    host->deleteFile = deleteFile;
    host->removeDirectory = removeDirectory;
    host->copyFile = copyFile;
    host->truncateFile = truncateFile;
    host->writeNewFile = writeNewFile;
    host->replaceFile = replaceFile;
    host->moveAtRestart = atRestart;
    host->renameAtRestart = atRestart;
    host->writeIniString = writeIniString;
    host->setRegistryValue = setRegistryValue;
    host->deleteRegistryValue = deleteRegistryValue;
    host->deleteRegistryKey = deleteRegistryKey;
    host->startAndWait = run;
    host->startProgram = run;
    host->removeService = removeService;
    host->callServerEntry = callServerEntry;
    host->ddeConnect = ddeConnect;
    host->ddeDisconnect = ddeDisconnect;
    host->ddeExecute = ddeExecute;
}

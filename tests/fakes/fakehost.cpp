#include "fakehost.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fnmatch.h>

#include "common/text.h"
#include "engine/shareddlls.h"
#include "log/itemlists.h"
#include "log/loaderhost.h"
#include "startup/runstate.h"

FakeMachine fake;
EngineHost fakeHost;

std::string upper(const std::string& text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return result;
}

void FakeMachine::addFile(const std::string& path, const std::string& content, unsigned long attributes)
{
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
        files.emplace(upper(path.substr(0, slash)), FakeFile{path.substr(0, slash), "", kAttributeDirectory});
    files[upper(path)] = FakeFile{path, content, attributes};
}

std::string FakeMachine::read(const std::string& path) const
{
    auto found = files.find(upper(path));
    return found == files.end() ? "<missing>"
           : found->second.attributes & kAttributeDirectory ? "<folder>"
                                                            : found->second.content;
}

void FakeMachine::setValue(int root, const std::string& key, const std::string& name, unsigned long type,
                           const std::string& data)
{
    for (size_t slash = key.find('\\'); slash != std::string::npos; slash = key.find('\\', slash + 1))
        keys[keyName(root, key.substr(0, slash))];
    keys[keyName(root, key)][upper(name)] = FakeValue{type, data};
}

const FakeValue* FakeMachine::value(int root, const std::string& key, const std::string& name) const
{
    auto found = keys.find(keyName(root, key));
    if (found == keys.end())
        return nullptr;
    auto value = found->second.find(upper(name));
    return value == found->second.end() ? nullptr : &value->second;
}

// --- The engine's host -------------------------------------------------------

namespace {

unsigned long failure(const std::string& operation, const std::string& path)
{
    auto found = fake.failures.find(operation + " " + upper(path));
    return found == fake.failures.end() ? 0 : found->second;
}

// Traces the action and answers the failure the test injected for it, if
// any. Every change to the machine comes here: once the process has been
// ended from outside, none happens any more and none is traced.
unsigned long act(const std::string& operation, const std::string& path, bool change = true)
{
    if (change && fake.changesLeft == 0)
        return kErrorAccessDenied;
    if (change && fake.changesLeft > 0)
        --fake.changesLeft;
    fake.trace.push_back(operation + " " + path);
    return failure(operation, path);
}

FakeFile* find(const std::string& path)
{
    auto found = fake.files.find(upper(path));
    return found == fake.files.end() ? nullptr : &found->second;
}

bool isFolder(const FakeFile* entry) { return entry && (entry->attributes & kAttributeDirectory); }

// "*" and "?" as the platform matches them, "*.*" being every name ("[" is
// a bracket here and a plain character on Windows: no test names one).
bool matches(const char* pattern, const char* name)
{
    return strcmp(pattern, "*.*") == 0 || fnmatch(pattern, name, FNM_NOESCAPE | FNM_CASEFOLD) == 0;
}

void pathForm(char* path, size_t capacity, PathForm form)
{
    for (auto& names : fake.shortNames) {
        std::string from = form == ShortForm ? names.first : upper(names.second);
        std::string to = form == ShortForm ? names.second : names.first;
        std::string text = upper(path);
        if (text.compare(0, from.size(), from) == 0 && (text.size() == from.size() || text[from.size()] == '\\')) {
            copyText(path, capacity, (to + std::string(path).substr(from.size())).c_str());
            return;
        }
    }
}

unsigned long attributes(const char* given)
{
    if (fake.everyFileExists)
        return kAttributeNormal;
    char path[520];
    copyText(path, given);
    pathForm(path, sizeof path, LongForm);
    FakeFile* entry = find(path);
    return entry ? entry->attributes : kNoAttributes;
}

// A folder keeps only what makes it a folder or a link.
unsigned long setAttributes(const char* path, unsigned long value)
{
    if (unsigned long error = act("attrib", path))
        return error;
    FakeFile* entry = find(path);
    if (!entry)
        return kErrorFileNotFound;
    entry->attributes = isFolder(entry) ? entry->attributes & (kAttributeDirectory | kAttributeReparsePoint) : value;
    return 0;
}

unsigned long deleteOne(const char* path)
{
    if (unsigned long error = act("delete", path))
        return error;
    FakeFile* file = find(path);
    if (!file || isFolder(file))
        return file ? kErrorAccessDenied : kErrorFileNotFound;
    if (file->inUse)
        return 32;   // ERROR_SHARING_VIOLATION
    if (file->attributes & kAttributeReadOnly)
        return kErrorAccessDenied;
    fake.files.erase(upper(path));
    return 0;
}

unsigned long tryOpen(const char* path, bool)
{
    FakeFile* file = find(path);
    return !file ? kErrorFileNotFound : file->inUse ? 32 : 0;
}

// A link goes without a look at what it shows.
unsigned long removeFolder(const char* path)
{
    if (unsigned long error = act("rmdir", path))
        return error;
    FakeFile* folder = find(path);
    if (!isFolder(folder))
        return kErrorFileNotFound;
    std::string below = upper(path) + "\\";
    auto next = fake.files.lower_bound(below);
    if (!(folder->attributes & kAttributeReparsePoint) && next != fake.files.end() &&
        next->first.compare(0, below.size(), below) == 0)
        return 145;   // ERROR_DIR_NOT_EMPTY
    fake.files.erase(upper(path));
    return 0;
}

unsigned long copyOne(const char* from, const char* to)
{
    if (unsigned long error = act("copy", std::string(from) + " > " + to))
        return error;
    FakeFile *source = find(from), *target = find(to);
    if (!source)
        return kErrorFileNotFound;
    if (target && target->inUse)
        return 32;
    fake.addFile(to, source->content);
    return 0;
}

unsigned long truncateFile(const char* path, unsigned long length)
{
    if (unsigned long error = act("truncate", path))
        return error;
    FakeFile* file = find(path);
    if (!file)
        return kErrorFileNotFound;
    if (file->attributes & kAttributeReadOnly)
        return kErrorAccessDenied;
    file->content.resize(length < file->content.size() ? length : file->content.size());
    return 0;
}

// An enumeration is a snapshot of the matching names, as a real one may
// be: entries deleted while it runs do not disturb it. Kept last first.
using Snapshot = std::vector<FoundEntry>;

bool nextEntry(void* context, FoundEntry* entry)
{
    auto* snapshot = static_cast<Snapshot*>(context);
    if (snapshot->empty())
        return false;
    *entry = snapshot->back();
    snapshot->pop_back();
    return true;
}

void* firstEntry(const char* pattern, FoundEntry* entry)
{
    std::string text(pattern);
    size_t slash = text.rfind('\\');
    std::string folder = upper(text.substr(0, slash)) + "\\", name = text.substr(slash + 1);
    auto* snapshot = new Snapshot;
    for (auto next = fake.files.lower_bound(folder);
         next != fake.files.end() && next->first.compare(0, folder.size(), folder) == 0; ++next) {
        FoundEntry found = {};
        copyText(found.name, next->second.path.substr(folder.size()).c_str());
        found.attributes = next->second.attributes;
        if (!strchr(found.name, '\\') && matches(name.c_str(), found.name))
            snapshot->push_back(found);
    }
    std::reverse(snapshot->begin(), snapshot->end());
    if (nextEntry(snapshot, entry))
        return snapshot;
    delete snapshot;
    return nullptr;
}

void closeEntries(void* context) { delete static_cast<Snapshot*>(context); }

unsigned long readFile(const char* path, std::string* content, size_t)
{
    FakeFile* file = find(path);
    if (!file)
        return kErrorFileNotFound;
    *content = file->content;
    return 0;
}

unsigned long writeNewFile(const char* path, const std::string& content)
{
    if (unsigned long error = act("write", path))
        return error;
    fake.addFile(path, content);
    return 0;
}

unsigned long replaceFile(const char* from, const char* to)
{
    if (unsigned long error = act("replace", std::string(from) + " > " + to))
        return error;
    FakeFile* source = find(from);
    if (!source)
        return kErrorFileNotFound;
    std::string content = source->content;
    fake.files.erase(upper(from));
    fake.addFile(to, content);
    return 0;
}

// Only the tests' own image passes: what the real check reads is tried under Wine.
bool isWin32Executable(const char* path) { return fake.read(path).rfind(win32Image(), 0) == 0; }

void systemFolders(char* windows, char* system, char* wow64, size_t capacity)
{
    copyText(windows, capacity, fake.windowsDir.c_str());
    copyText(system, capacity, fake.systemDir.c_str());
    copyText(wow64, capacity, fake.wow64Dir.c_str());
}

unsigned long moveAtRestart(const char* from, const char* to)
{
    return act("restart-move", std::string(from) + " > " + (to ? to : "(delete)"));
}

unsigned long renameAtRestart(const char* key, const char* value)
{
    return act("restart-rename", std::string(key) + "=" + value);
}

unsigned long writeIniString(const char* file, const char* section, const char* key, const char* value)
{
    std::string entry = upper(file) + "|" + upper(section) + "|" + upper(key);
    if (unsigned long error =
            act("ini", std::string(file) + " [" + section + "] " + key + (value ? "=" + std::string(value) : " deleted")))
        return error;
    if (value)
        fake.ini[entry] = value;
    else
        fake.ini.erase(entry);
    return 0;
}

std::string keyPath(int root, const char* key, const char* name = nullptr)
{
    return std::to_string(root) + " " + key + (name ? " " + std::string(name) : "");
}

unsigned long setRegistryValue(int root, const char* key, const char* name, unsigned long type, const void* data,
                               unsigned long size)
{
    if (unsigned long error = act("regset", keyPath(root, key, name)))
        return error;
    if (!fake.hasKey(root, key))
        return kErrorFileNotFound;
    fake.setValue(root, key, name, type, std::string(static_cast<const char*>(data), size));
    return 0;
}

unsigned long deleteRegistryValue(int root, const char* key, const char* name)
{
    if (unsigned long error = act("regdelvalue", keyPath(root, key, name)))
        return error;
    auto found = fake.keys.find(FakeMachine::keyName(root, key));
    return found == fake.keys.end() || !found->second.erase(upper(name)) ? kErrorFileNotFound : 0;
}

unsigned long queryRegistryValue(int root, const char* key, const char* name, unsigned long* type, void* data,
                                 unsigned long* size)
{
    const FakeValue* found = fake.value(root, key, name);
    if (!found)
        return kErrorFileNotFound;
    *type = found->type;
    bool fits = found->data.size() <= *size;
    if (fits)
        memcpy(data, found->data.data(), found->data.size());
    *size = static_cast<unsigned long>(found->data.size());
    return fits ? 0 : kErrorMoreData;
}

unsigned long registryEntry(int root, const char* key, bool subkey, unsigned long index, char* name,
                            size_t capacity)
{
    name[0] = '\0';
    auto found = fake.keys.find(FakeMachine::keyName(root, key));
    if (found == fake.keys.end())
        return kErrorFileNotFound;
    std::vector<std::string> names;
    if (!subkey)
        for (auto& value : found->second)
            names.push_back(value.first);
    std::string below = found->first + "\\";
    for (auto& entry : fake.keys)
        if (subkey && entry.first.compare(0, below.size(), below) == 0 &&
            entry.first.find('\\', below.size()) == std::string::npos)
            names.push_back(entry.first.substr(below.size()));
    if (index >= names.size())
        return kErrorNoMoreItems;
    return copyText(name, capacity, names[index].c_str()) < names[index].size() ? kErrorMoreData : 0;
}

unsigned long deleteRegistryKey(int root, const char* key)
{
    if (unsigned long error = act("regdelkey", keyPath(root, key)))
        return error;
    auto found = fake.keys.find(FakeMachine::keyName(root, key));
    if (found == fake.keys.end())
        return kErrorFileNotFound;
    std::string below = found->first + "\\";
    auto next = fake.keys.lower_bound(below);
    if (next != fake.keys.end() && next->first.compare(0, below.size(), below) == 0)
        return kErrorAccessDenied;   // as the NT family answers for a key with subkeys
    fake.keys.erase(found);
    return 0;
}

unsigned long startAndWait(const char* command) { return act("start", command); }
unsigned long startProgram(const char* command) { return act("exec", command); }
unsigned long removeService(const char* name) { return act("service", name); }
unsigned long queryService(const char* name) { return failure("service", name); }
bool windowExists(const char* className) { return fake.windows.count(className) && fake.windows[className]-- > 0; }

// The run starts in C:\.
unsigned long setCurrentDirectory(const char* path, char* previous, size_t capacity)
{
    static std::string current = "C:\\";
    copyText(previous, capacity, current.c_str());
    current = path;
    return 0;
}

unsigned long callServerEntry(const char* path, bool registerServer)
{
    return act(registerServer ? "register" : "unregister", path);
}

// Program Manager answers from its groups: their names, or one's description.
bool ddeConnect(const char*, const char*) { return true; }

unsigned long ddeRequest(const char* item, std::string* answer)
{
    answer->clear();
    for (auto& group : fake.progmanGroups)
        if (upper(item) == "GROUPS")
            *answer += group.first + "\r\n";
        else if (upper(group.first) == upper(item))
            *answer = group.second;
    return 0;
}

// Each command is traced, and each item it deletes once more as "icon".
unsigned long ddeExecute(const char* command)
{
    std::string text = command;
    if (unsigned long error = act("dde", command))
        return error;
    if (text.compare(0, 12, "[DeleteItem(") == 0)
        act("icon", text.substr(12, text.size() - 14), false);
    return 0;
}
void ddeDisconnect() {}

// Each message is its number, so a trace shows which text was used.
void loadMessage(int messageId, char* buffer, size_t capacity)
{
    copyText(buffer, capacity, ("#" + std::to_string(messageId) + " ").c_str());
}

// The prompts take the test's answers in turn, then their default.
int nextAnswer(int otherwise)
{
    if (fake.answers.empty())
        return otherwise;
    int answer = fake.answers.front();
    fake.answers.erase(fake.answers.begin());
    return answer;
}

int askSharedFile(const char*, const char* path)
{
    act("ask", path, false);
    return nextAnswer(kSharedNo);
}

int askAbortRetryIgnore(int messageId, int)
{
    act("box", std::to_string(messageId), false);
    return nextAnswer(5);   // Ignore
}

void errorText(unsigned long code, char* buffer, size_t capacity)
{
    copyText(buffer, capacity, ("text of " + std::to_string(code)).c_str());
}

void startProgress() {}

void showProgress(const char* text, bool)
{
    fake.shown += text != nullptr;
}

void keepAlive(unsigned) {}

bool cancelRequested() { return fake.cancelAfterShown >= 0 && fake.shown >= fake.cancelAfterShown; }

} // namespace

void resetFakeMachine()
{
    release(&runState.arena);
    runState = RunState{};
    fake = FakeMachine{};
    allocateRunBuffers();
    runState.platform = 1;
    runState.windows4OrLater = 1;
    fakeHost = EngineHost{attributes, setAttributes, deleteOne, tryOpen, removeFolder, copyOne, truncateFile,
                          firstEntry, nextEntry, closeEntries, readFile, writeNewFile, replaceFile,
                          isWin32Executable, pathForm, systemFolders, moveAtRestart, renameAtRestart,
                          writeIniString, setRegistryValue, deleteRegistryValue, queryRegistryValue, registryEntry,
                          deleteRegistryKey, startAndWait, startProgram, removeService, queryService, windowExists,
                          setCurrentDirectory, callServerEntry, ddeConnect, ddeRequest, ddeExecute, ddeDisconnect,
                          loadMessage, askSharedFile, askAbortRetryIgnore, startProgress, showProgress, keepAlive,
                          cancelRequested, nullptr, errorText};
    runState.host = &fakeHost;
}

// --- The log loader's questions -------------------------------------------------

bool fileMissing(const char* path) { return attributes(path) == kNoAttributes; }

bool patternMatchesNothing(const char* pattern)
{
    if (!fileMissing(pattern))
        return false;
    FoundEntry entry;
    void* find = firstEntry(pattern, &entry);
    if (find)
        closeEntries(find);
    return find == nullptr;
}

void convertPathForm(char* path, size_t capacity, PathForm form) { pathForm(path, capacity, form); }

void* openLogFile(const char*)
{
    fake.readAt = 0;
    return &fake;
}

int readLogFile(void*, char* buffer, int size)
{
    size_t n = std::min({static_cast<size_t>(size), fake.log.size() - fake.readAt,
                         fake.readChunk > 0 ? static_cast<size_t>(fake.readChunk) : fake.log.size()});
    memcpy(buffer, fake.log.data() + fake.readAt, n);
    fake.readAt += n;
    return static_cast<int>(n);
}

void closeLogFile(void*) {}

// The OEM code page as far as the tests use it: 0x84 is a-umlaut, ANSI 0xE4.
void oemToAnsi(char* text)
{
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) == 0x84)
            *text = static_cast<char>(0xE4);
}

bool driveIsRemovable(char letter) { return letter == 'A'; }   // a floppy drive, and no second one

void windowsDirectories(char* windows, char* system, size_t capacity)
{
    copyText(windows, capacity, fake.windowsDir.c_str());
    copyText(system, capacity, fake.systemDir.c_str());
}

bool sharedDllCounted(const char* path) { return fake.sharedDlls.count(upper(path)) != 0; }

bool administratorAccessDenied() { return fake.adminDenied; }

bool readStartMenuFolder(bool common, char* value, size_t capacity)
{
    const std::string& folder = common ? fake.commonStartMenu : fake.startMenu;
    copyText(value, capacity, folder.c_str());
    return !folder.empty();
}

void showLoadError(int messageId, int) { fake.boxes.push_back(messageId); }

void showTitleInCaption(const char* title) { fake.caption = std::string("Uninstall ") + title; }

void recordToFake(const char* line) { fake.record.push_back(line); }

std::string win32Image()
{
    std::string image = "MZ" + std::string(62, '\0') + "PE" + std::string(2, '\0');
    image[60] = 64;
    return image;
}

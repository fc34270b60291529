#include "fakehost.h"

#include <cctype>
#include <cstring>

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

static std::string parentOf(const std::string& path)
{
    size_t slash = path.rfind('\\');
    return slash == std::string::npos || slash <= 2 ? std::string() : path.substr(0, slash);
}

void FakeMachine::addFolder(const std::string& path, unsigned long attributes)
{
    for (std::string folder = parentOf(path); !folder.empty(); folder = parentOf(folder))
        folders.emplace(upper(folder), kAttributeDirectory);
    folders[upper(path)] = attributes;
}

void FakeMachine::addFile(const std::string& path, const std::string& content, unsigned long attributes)
{
    for (std::string folder = parentOf(path); !folder.empty(); folder = parentOf(folder))
        folders.emplace(upper(folder), kAttributeDirectory);
    files[upper(path)] = FakeFile{path, content, attributes, false};
}

bool FakeMachine::exists(const std::string& path) const
{
    return files.count(upper(path)) || folders.count(upper(path));
}

std::string FakeMachine::read(const std::string& path) const
{
    auto found = files.find(upper(path));
    return found == files.end() ? "<missing>" : found->second.content;
}

static std::string keyName(int root, const std::string& key)
{
    return std::to_string(root) + "|" + upper(key);
}

void FakeMachine::setValue(int root, const std::string& key, const std::string& name, unsigned long type,
                           const std::string& data)
{
    for (std::string at = key;; at = at.substr(0, at.rfind('\\'))) {
        keys[keyName(root, at)];
        if (at.find('\\') == std::string::npos)
            break;
    }
    keys[keyName(root, key)][upper(name)] = FakeValue{type, data};
}

bool FakeMachine::hasKey(int root, const std::string& key) const
{
    return keys.count(keyName(root, key)) != 0;
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

// Traces the action and answers the failure the test injected for it, if any.
unsigned long act(const char* operation, const std::string& path)
{
    fake.trace.push_back(std::string(operation) + " " + path);
    auto found = fake.failures.find(std::string(operation) + " " + upper(path));
    return found == fake.failures.end() ? 0 : found->second;
}

bool holdsAnything(const std::string& key)
{
    std::string below = key + "\\";
    auto inside = [&](const std::string& entry) { return entry.compare(0, below.size(), below) == 0; };
    for (auto& entry : fake.files)
        if (inside(entry.first))
            return true;
    for (auto& entry : fake.folders)
        if (inside(entry.first))
            return true;
    return false;
}

// "*" and "?" as the platform matches them, "*.*" being every name.
bool matches(const char* pattern, const char* name)
{
    if (strcmp(pattern, "*.*") == 0)
        return true;
    if (*pattern == '\0')
        return *name == '\0';
    if (*pattern == '*')
        return matches(pattern + 1, name) || (*name && matches(pattern, name + 1));
    return *name && (*pattern == '?' || toupper(static_cast<unsigned char>(*pattern)) ==
                                             toupper(static_cast<unsigned char>(*name))) &&
           matches(pattern + 1, name + 1);
}

void pathForm(char* path, size_t capacity, PathForm form);

unsigned long attributes(const char* given)
{
    if (fake.everyFileExists)
        return kAttributeNormal;
    char path[520];
    copyText(path, given);
    pathForm(path, sizeof path, LongForm);
    auto file = fake.files.find(upper(path));
    if (file != fake.files.end())
        return file->second.attributes;
    auto folder = fake.folders.find(upper(path));
    return folder == fake.folders.end() ? kNoAttributes : folder->second;
}

unsigned long setAttributes(const char* path, unsigned long value)
{
    auto file = fake.files.find(upper(path));
    if (file != fake.files.end())
        file->second.attributes = value;
    else if (fake.folders.count(upper(path)))
        fake.folders[upper(path)] = kAttributeDirectory | (fake.folders[upper(path)] & kAttributeReparsePoint);
    else
        return kErrorFileNotFound;
    return 0;
}

unsigned long deleteOne(const char* path)
{
    if (unsigned long error = act("delete", path))
        return error;
    auto file = fake.files.find(upper(path));
    if (file == fake.files.end())
        return fake.folders.count(upper(path)) ? kErrorAccessDenied : kErrorFileNotFound;
    if (file->second.inUse)
        return 32;   // ERROR_SHARING_VIOLATION
    if (file->second.attributes & kAttributeReadOnly)
        return kErrorAccessDenied;
    fake.files.erase(file);
    return 0;
}

unsigned long tryOpen(const char* path, bool)
{
    auto file = fake.files.find(upper(path));
    return file == fake.files.end() ? kErrorFileNotFound : file->second.inUse ? 32 : 0;
}

unsigned long removeFolder(const char* path)
{
    if (unsigned long error = act("rmdir", path))
        return error;
    std::string key = upper(path);
    if (!fake.folders.count(key))
        return kErrorFileNotFound;
    if (!(fake.folders[key] & kAttributeReparsePoint) && holdsAnything(key))
        return 145;   // ERROR_DIR_NOT_EMPTY
    fake.folders.erase(key);
    return 0;
}

unsigned long copyOne(const char* from, const char* to)
{
    if (unsigned long error = act("copy", std::string(from) + " > " + to))
        return error;
    auto source = fake.files.find(upper(from));
    if (source == fake.files.end())
        return kErrorFileNotFound;
    auto target = fake.files.find(upper(to));
    if (target != fake.files.end() && target->second.inUse)
        return 32;
    fake.addFile(to, source->second.content);
    return 0;
}

unsigned long truncateFile(const char* path, unsigned long length)
{
    if (unsigned long error = act("truncate", path))
        return error;
    auto file = fake.files.find(upper(path));
    if (file == fake.files.end())
        return kErrorFileNotFound;
    if (file->second.attributes & kAttributeReadOnly)
        return kErrorAccessDenied;
    file->second.content.resize(length < file->second.content.size() ? length : file->second.content.size());
    return 0;
}

// An enumeration is a snapshot of the matching names, as a real one may
// be: entries deleted while it runs do not disturb it.
struct Snapshot {
    std::vector<FoundEntry> entries;
    size_t next;
};

bool nextEntry(void* context, FoundEntry* entry)
{
    auto* snapshot = static_cast<Snapshot*>(context);
    if (snapshot->next >= snapshot->entries.size())
        return false;
    *entry = snapshot->entries[snapshot->next++];
    return true;
}

void* firstEntry(const char* pattern, FoundEntry* entry)
{
    std::string text(pattern);
    size_t slash = text.rfind('\\');
    std::string folder = upper(text.substr(0, slash)) + "\\", name = text.substr(slash + 1);
    auto* snapshot = new Snapshot{{}, 0};
    auto consider = [&](const std::string& key, const std::string& path, unsigned long attributes) {
        if (key.size() <= folder.size() || key.compare(0, folder.size(), folder) != 0 ||
            key.find('\\', folder.size()) != std::string::npos)
            return;
        FoundEntry found = {};
        copyText(found.name, path.substr(path.rfind('\\') + 1).c_str());
        found.attributes = attributes;
        if (matches(name.c_str(), found.name))
            snapshot->entries.push_back(found);
    };
    for (auto& file : fake.files)
        consider(file.first, file.second.path, file.second.attributes);
    for (auto& entry : fake.folders)
        consider(entry.first, entry.first, entry.second);
    if (nextEntry(snapshot, entry))
        return snapshot;
    delete snapshot;
    return nullptr;
}

void closeEntries(void* context)
{
    delete static_cast<Snapshot*>(context);
}

unsigned long readFile(const char* path, std::string* content, size_t limit)
{
    auto found = fake.files.find(upper(path));
    if (found == fake.files.end())
        return kErrorFileNotFound;
    if (found->second.content.size() > limit)
        return 223;   // too large
    *content = found->second.content;
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
    auto source = fake.files.find(upper(from));
    if (source == fake.files.end())
        return kErrorFileNotFound;
    fake.addFile(to, source->second.content);
    fake.files.erase(source);
    return 0;
}

// "MZ", and "PE" where the four bytes at 60 point.
bool isWin32Executable(const char* path)
{
    std::string image = fake.read(path);
    if (image.size() < 64 || image.compare(0, 2, "MZ") != 0)
        return false;
    size_t at = 0;
    for (int i = 3; i >= 0; --i)
        at = at * 256 + static_cast<unsigned char>(image[60 + i]);
    return at + 2 <= image.size() && image.compare(at, 2, "PE") == 0;
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
    act("ini", std::string(file) + " [" + section + "] " + key + (value ? "=" + std::string(value) : " deleted"));
    if (value)
        fake.ini[entry] = value;
    else
        fake.ini.erase(entry);
    return 0;
}

unsigned long setRegistryValue(int root, const char* key, const char* name, unsigned long type, const void* data,
                               unsigned long size)
{
    act("regset", std::to_string(root) + " " + key + " " + name);
    if (!fake.hasKey(root, key))
        return kErrorFileNotFound;
    fake.setValue(root, key, name, type, std::string(static_cast<const char*>(data), size));
    return 0;
}

unsigned long deleteRegistryValue(int root, const char* key, const char* name)
{
    act("regdelvalue", std::to_string(root) + " " + key + " " + name);
    auto found = fake.keys.find(keyName(root, key));
    if (found == fake.keys.end() || !found->second.erase(upper(name)))
        return kErrorFileNotFound;
    return 0;
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
    auto found = fake.keys.find(keyName(root, key));
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
    act("regdelkey", std::to_string(root) + " " + key);
    auto found = fake.keys.find(keyName(root, key));
    if (found == fake.keys.end())
        return kErrorFileNotFound;
    std::string below = found->first + "\\";
    for (auto& entry : fake.keys)
        if (entry.first.compare(0, below.size(), below) == 0)
            return kErrorAccessDenied;   // as the NT family answers for a key with subkeys
    fake.keys.erase(found);
    return 0;
}

unsigned long startAndWait(const char* commandLine) { return act("start", commandLine); }
unsigned long startProgram(const char* commandLine) { return act("exec", commandLine); }
unsigned long removeService(const char* name) { return act("service", name); }
unsigned long queryService(const char* name)
{
    auto found = fake.failures.find("service " + upper(name));
    return found == fake.failures.end() ? 0 : found->second;
}
bool windowExists(const char* className) { return fake.windows.count(className) && fake.windows[className]-- > 0; }

unsigned long setCurrentDirectory(const char* path, char* previous, size_t capacity)
{
    copyText(previous, capacity, fake.currentDirectory.c_str());
    fake.currentDirectory = path;
    return act("cd", path);
}

unsigned long callServerEntry(const char* path, bool registerServer)
{
    return act(registerServer ? "register" : "unregister", path);
}

// Program Manager answers from its groups while it is connected.
bool ddeConnect(const char* service, const char* topic)
{
    act("dde-connect", std::string(service) + " " + topic);
    fake.progmanConnected = fake.progmanRunning;
    return fake.progmanConnected;
}

unsigned long ddeRequest(const char* item, std::string* answer)
{
    answer->clear();
    if (!fake.progmanConnected)
        return 0x4009;   // DMLERR_NO_CONV_ESTABLISHED
    if (upper(item) == "GROUPS") {
        for (auto& group : fake.progmanGroups)
            *answer += group.first + "\r\n";
        return 0;
    }
    for (auto& group : fake.progmanGroups)
        if (upper(group.first) == upper(item)) {
            *answer = group.second;
            return 0;
        }
    return 0x4009;
}

// Each command is traced, and each item it deletes once more as "icon".
unsigned long ddeExecute(const char* command)
{
    std::string text = command;
    if (text.compare(0, 12, "[DeleteItem(") == 0)
        act("icon", text.substr(12, text.size() - 14));
    return act("dde", command);
}
void ddeDisconnect() { act("dde-close", ""); fake.progmanConnected = false; }

// Each message is its number, so a trace shows which text was used.
void loadMessage(int messageId, char* buffer, size_t capacity)
{
    copyText(buffer, capacity, ("#" + std::to_string(messageId) + " ").c_str());
}

// The prompt takes the test's answers in turn, then No.
int askSharedFile(const char*, const char* path)
{
    act("ask", path);
    if (fake.answers.empty())
        return kSharedNo;
    int answer = fake.answers.front();
    fake.answers.erase(fake.answers.begin());
    return answer;
}

int askAbortRetryIgnore(int messageId, int)
{
    act("box", std::to_string(messageId));
    if (fake.answers.empty())
        return 5;   // Ignore
    int answer = fake.answers.front();
    fake.answers.erase(fake.answers.begin());
    return answer;
}

void errorText(unsigned long code, char* buffer, size_t capacity)
{
    copyText(buffer, capacity, ("text of " + std::to_string(code)).c_str());
}

void startProgress() { fake.trace.push_back("start"); }

void showProgress(const char* text, bool fitPath)
{
    if (!text)
        return;
    fake.trace.push_back(std::string(fitPath ? "show-path " : "show ") + text);
    ++fake.shown;
}

void keepAlive(unsigned milliseconds) { fake.trace.push_back("wait " + std::to_string(milliseconds)); }

bool cancelRequested()
{
    return fake.cancelAfterShown >= 0 && fake.shown >= fake.cancelAfterShown;
}

} // namespace

void resetFakeMachine()
{
    release(&runState.arena);
    runState = RunState{};
    fake = FakeMachine{};
    allocateRunBuffers();
    runState.platform = 1;
    runState.windows4OrLater = 1;
    fakeHost = EngineHost{attributes,       setAttributes,      deleteOne,          tryOpen,            removeFolder,
                          copyOne,          truncateFile,       firstEntry,         nextEntry,
                          closeEntries,     readFile,           writeNewFile,       replaceFile,
                          isWin32Executable, pathForm,          systemFolders,      moveAtRestart,
                          renameAtRestart,  writeIniString,     setRegistryValue,   deleteRegistryValue,
                          queryRegistryValue, registryEntry,      deleteRegistryKey, startAndWait,
                          startProgram,     removeService,      queryService,       windowExists,       setCurrentDirectory,
                          callServerEntry,  ddeConnect,         ddeRequest,         ddeExecute,
                          ddeDisconnect,    loadMessage,        askSharedFile,      askAbortRetryIgnore,
                          startProgress,    showProgress,       keepAlive,          cancelRequested,
                          nullptr,          errorText};
    runState.host = &fakeHost;
}

// --- The log loader's questions -------------------------------------------------

bool fileMissing(const char* path)
{
    return attributes(path) == kNoAttributes;
}

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

void convertPathForm(char* path, size_t capacity, PathForm form)
{
    pathForm(path, capacity, form);
}

void* openLogFile(const char*)
{
    fake.readAt = 0;
    return fake.logOpens ? &fake : nullptr;
}

int readLogFile(void*, char* buffer, int size)
{
    size_t left = fake.log.size() - fake.readAt;
    size_t n = static_cast<size_t>(size);
    if (fake.readChunk > 0 && n > static_cast<size_t>(fake.readChunk))
        n = static_cast<size_t>(fake.readChunk);
    if (n > left)
        n = left;
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

bool driveIsRemovable(char letter)
{
    return letter == 'A' ? fake.floppyA : fake.floppyB;
}

void windowsDirectories(char* windows, char* system, size_t capacity)
{
    copyText(windows, capacity, fake.windowsDir.c_str());
    copyText(system, capacity, fake.systemDir.c_str());
}

bool sharedDllCounted(const char* path)
{
    return fake.sharedDlls.count(upper(path)) != 0;
}

bool administratorAccessDenied()
{
    return fake.adminDenied;
}

bool readStartMenuFolder(bool common, char* value, size_t capacity)
{
    const std::string& folder = common ? fake.commonStartMenu : fake.startMenu;
    if (folder.empty())
        return false;
    copyText(value, capacity, folder.c_str());
    return true;
}

void showLoadError(int messageId, int)
{
    fake.boxes.push_back(messageId);
}

void showTitleInCaption(const char* title)
{
    fake.caption = std::string("Uninstall ") + title;
}

void recordToFake(const char* line)
{
    fake.record.push_back(line);
}

std::string win32Image()
{
    std::string image = "MZ" + std::string(62, '\0') + "PE" + std::string(2, '\0');
    image[60] = 64;
    return image;
}

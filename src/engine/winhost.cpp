// The engine's actions on Win32: thin calls that answer with the Windows
// error code, so that a failing item is passed over, never fatal.
#include "engine/winhost.h"

#include <windows.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/winfiles.h"
#include "engine/deferred.h"

namespace {

// Keys are opened with these rights only, never with full access, so that
// keys a restricted user may read but not change fail quietly.
const REGSAM kRegistryAccess = 0x1F;

HKEY rootKey(int root)
{
    static const HKEY kRootKeyTable[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                                         HKEY_CURRENT_CONFIG};
    return root >= 0 && root < 5 ? kRootKeyTable[root] : nullptr;
}

unsigned long result(BOOL ok)
{
    return ok ? 0 : GetLastError();
}

unsigned long attributes(const char* path)
{
    return GetFileAttributesA(path);
}

unsigned long setAttributes(const char* path, unsigned long value)
{
    return result(SetFileAttributesA(path, value));
}

unsigned long deleteOne(const char* path)
{
    return result(DeleteFileA(path));
}

unsigned long tryOpen(const char* path, bool deleting)
{
    HANDLE file = CreateFileA(path, deleting ? DELETE : GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(file);
    return 0;
}

unsigned long removeFolder(const char* path)
{
    return result(RemoveDirectoryA(path));
}

unsigned long copyOne(const char* from, const char* to)
{
    return result(CopyFileA(from, to, FALSE));
}

unsigned long readFile(const char* path, std::string* content, size_t limit)
{
    content->clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD size = GetFileSize(file, nullptr), got = 0;
    unsigned long error = 0;
    if (size == INVALID_FILE_SIZE || size > limit) {
        error = ERROR_FILE_TOO_LARGE;
    } else {
        content->resize(size);
        if (size && (!ReadFile(file, &(*content)[0], size, &got, nullptr) || got != size))
            error = GetLastError() ? GetLastError() : ERROR_READ_FAULT;
    }
    CloseHandle(file);
    return error;
}

unsigned long writeNewFile(const char* path, const std::string& content)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD written = 0;
    unsigned long error = 0;
    if (!WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size())
        error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
    if (!CloseHandle(file) && error == 0)
        error = GetLastError();
    return error;
}

unsigned long replaceFile(const char* from, const char* to)
{
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    unsigned long error = GetLastError();
    if (error != ERROR_CALL_NOT_IMPLEMENTED)
        return error;
    // The Windows 95 family has no MoveFileEx: the old file steps aside
    // first and comes back when the new one cannot take its place.
    std::string aside = to;
    aside.resize(aside.rfind('\\') + 1);
    aside += "~RUVS384.TMP";
    DeleteFileA(aside.c_str());
    if (!MoveFileA(to, aside.c_str()))
        return GetLastError();
    if (!MoveFileA(from, to)) {
        error = GetLastError();
        MoveFileA(aside.c_str(), to);
        return error;
    }
    DeleteFileA(aside.c_str());
    return 0;
}

unsigned long truncateFile(const char* path, unsigned long length)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    unsigned long error = 0;
    if (SetFilePointer(file, static_cast<LONG>(length), nullptr, FILE_BEGIN) != length || !SetEndOfFile(file))
        error = GetLastError() ? GetLastError() : ERROR_SEEK;
    CloseHandle(file);
    return error;
}

struct Enumeration {
    HANDLE handle;
    WIN32_FIND_DATAA data;
};

bool take(Enumeration* find, FoundEntry* entry)
{
    for (;;) {
        const char* name = find->data.cFileName;
        if (!(name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))) {
            copyText(entry->name, name);
            entry->attributes = find->data.dwFileAttributes;
            return true;
        }
        if (!FindNextFileA(find->handle, &find->data))
            return false;
    }
}

void* enumerateFirst(const char* pattern, FoundEntry* entry)
{
    auto* find = new (std::nothrow) Enumeration;
    if (!find)
        return nullptr;
    find->handle = FindFirstFileA(pattern, &find->data);
    if (find->handle != INVALID_HANDLE_VALUE && take(find, entry))
        return find;
    if (find->handle != INVALID_HANDLE_VALUE)
        FindClose(find->handle);
    delete find;
    return nullptr;
}

bool enumerateNext(void* context, FoundEntry* entry)
{
    auto* find = static_cast<Enumeration*>(context);
    return FindNextFileA(find->handle, &find->data) && take(find, entry);
}

void enumerateClose(void* context)
{
    auto* find = static_cast<Enumeration*>(context);
    FindClose(find->handle);
    delete find;
}

void systemFolders(char* windows, char* system, char* wow64, size_t capacity)
{
    UINT size = static_cast<UINT>(capacity);
    if (GetWindowsDirectoryA(windows, size) >= size)
        windows[0] = '\0';
    if (GetSystemDirectoryA(system, size) >= size)
        system[0] = '\0';
    // Only 64-bit Windows has it, and only later systems know the call.
    typedef UINT(WINAPI * Wow64DirectoryProc)(LPSTR, UINT);
    auto wow64Directory = reinterpret_cast<Wow64DirectoryProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "GetSystemWow64DirectoryA")));
    UINT length = wow64Directory ? wow64Directory(wow64, size) : 0;
    if (length == 0 || length >= size)
        wow64[0] = '\0';
}

unsigned long moveAtRestart(const char* from, const char* to)
{
    return result(MoveFileExA(from, to, MOVEFILE_DELAY_UNTIL_REBOOT));
}

// Both kinds of lines, renames and "NUL=" deletions, go into [rename]
// through one writer. The profile API cannot write them: it would keep
// only one of several "NUL" keys.
unsigned long renameAtRestart(const char* key, const char* value)
{
    char path[MAX_PATH];
    UINT length = GetWindowsDirectoryA(path, MAX_PATH - 16);
    if (length == 0 || length >= MAX_PATH - 16)
        return ERROR_PATH_NOT_FOUND;
    if (path[length - 1] != '\\')
        appendText(path, "\\");
    appendText(path, "WININIT.INI");

    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD size = GetFileSize(file, nullptr);
    size_t capacity = size + strlen(key) + strlen(value) + 32;
    char* text = size == INVALID_FILE_SIZE ? nullptr : new (std::nothrow) char[size + 1];
    char* updated = text ? new (std::nothrow) char[capacity] : nullptr;
    unsigned long error = updated ? 0 : ERROR_NOT_ENOUGH_MEMORY;
    DWORD done = 0;
    if (!error && (!ReadFile(file, text, size, &done, nullptr) || done != size))
        error = GetLastError() ? GetLastError() : ERROR_READ_FAULT;
    size_t written = error ? 0 : addRenameLine(text, size, key, value, updated, capacity);
    if (!error && written == 0)
        error = ERROR_NOT_ENOUGH_MEMORY;
    if (!error && (SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0 ||
                   !WriteFile(file, updated, static_cast<DWORD>(written), &done, nullptr) || done != written ||
                   !SetEndOfFile(file)))
        error = GetLastError();
    CloseHandle(file);
    delete[] text;
    delete[] updated;
    return error;
}

unsigned long writeIniString(const char* file, const char* section, const char* key, const char* value)
{
    return result(WritePrivateProfileStringA(section, key, value, file));
}

// The shared counts of a run's files all live in one key, and a tree is
// walked key by key: the last key opened stays open until another is
// wanted. Opening SharedDLLs again for every file cost more than deleting
// the file. A key deleted under the handle (by this run or another
// program) answers ERROR_KEY_DELETED: it is opened once more.
struct OpenKey {
    int root = -1;
    std::string path;
    HKEY handle = nullptr;
} lastKey;

void forgetKey()
{
    if (lastKey.handle)
        RegCloseKey(lastKey.handle);
    lastKey = OpenKey();
}

template <typename Action>
unsigned long inKey(int root, const char* key, Action action)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!lastKey.handle || lastKey.root != root || lastKey.path != key) {
            forgetKey();
            HKEY handle;
            LONG error = rootKey(root) ? RegOpenKeyExA(rootKey(root), key, 0, kRegistryAccess, &handle)
                                       : ERROR_INVALID_HANDLE;
            if (error != ERROR_SUCCESS)
                return static_cast<unsigned long>(error);   // a missing key is not made again
            lastKey.root = root;
            lastKey.path = key;
            lastKey.handle = handle;
        }
        LONG error = action(lastKey.handle);
        if (error != ERROR_KEY_DELETED)
            return static_cast<unsigned long>(error);
        forgetKey();
    }
    return ERROR_KEY_DELETED;
}

unsigned long setRegistryValue(int root, const char* key, const char* name, unsigned long type, const void* data,
                               unsigned long size)
{
    return inKey(root, key, [&](HKEY handle) {
        return RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size);
    });
}

unsigned long deleteRegistryValue(int root, const char* key, const char* name)
{
    return inKey(root, key, [&](HKEY handle) { return RegDeleteValueA(handle, name); });
}

unsigned long queryRegistryValue(int root, const char* key, const char* name, unsigned long* type, void* data,
                                 unsigned long* size)
{
    const DWORD capacity = *size;
    return inKey(root, key, [&](HKEY handle) {
        DWORD valueType = 0, valueSize = capacity;
        LONG error = RegQueryValueExA(handle, name, nullptr, &valueType, static_cast<BYTE*>(data), &valueSize);
        *type = valueType;
        *size = valueSize;
        return error;
    });
}

unsigned long registryEntry(int root, const char* key, bool subkey, unsigned long index, char* name,
                            size_t capacity)
{
    name[0] = '\0';
    unsigned long error = inKey(root, key, [&](HKEY handle) {
        DWORD size = static_cast<DWORD>(capacity);
        return subkey ? RegEnumKeyExA(handle, index, name, &size, nullptr, nullptr, nullptr, nullptr)
                      : RegEnumValueA(handle, index, name, &size, nullptr, nullptr, nullptr, nullptr);
    });
    if (error != ERROR_SUCCESS && capacity > 0)
        name[0] = '\0';
    return error;
}

// The key kept open may be the one deleted or lie below it.
unsigned long deleteRegistryKey(int root, const char* key)
{
    forgetKey();
    return rootKey(root) ? static_cast<unsigned long>(RegDeleteKeyA(rootKey(root), key)) : ERROR_INVALID_HANDLE;
}

} // namespace

void fillMachineHost(EngineHost* host)
{
    host->attributes = attributes;
    host->setAttributes = setAttributes;
    host->deleteFile = deleteOne;
    host->tryOpen = tryOpen;
    host->removeDirectory = removeFolder;
    host->copyFile = copyOne;
    host->truncateFile = truncateFile;
    host->readFile = readFile;
    host->writeNewFile = writeNewFile;
    host->replaceFile = replaceFile;
    host->isWin32Executable = isWin32Executable;
    host->findFirst = enumerateFirst;
    host->findNext = enumerateNext;
    host->findClose = enumerateClose;
    host->pathForm = convertPathForm;
    host->systemFolders = systemFolders;
    host->moveAtRestart = moveAtRestart;
    host->renameAtRestart = renameAtRestart;
    host->writeIniString = writeIniString;
    host->setRegistryValue = setRegistryValue;
    host->deleteRegistryValue = deleteRegistryValue;
    host->queryRegistryValue = queryRegistryValue;
    host->registryEntry = registryEntry;
    host->deleteRegistryKey = deleteRegistryKey;
    fillSoftwareHost(host);
}

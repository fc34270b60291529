#include "common/winfiles.h"

#include <cstring>

#include "common/text.h"

static void takeFound(FindState* find)
{
    copyText(find->name, find->data.cFileName);
    find->attributes = find->data.dwFileAttributes;
}

int findFirst(FindState* find, const char* pattern)
{
    find->handle = FindFirstFileA(pattern, &find->data);
    if (find->handle == INVALID_HANDLE_VALUE)
        return 1;
    takeFound(find);
    return 0;
}

int findNext(FindState* find)
{
    if (find->handle == INVALID_HANDLE_VALUE || !FindNextFileA(find->handle, &find->data))
        return 1;
    takeFound(find);
    return 0;
}

void findClose(FindState* find)
{
    if (find->handle != INVALID_HANDLE_VALUE)
        FindClose(find->handle);
    find->handle = INVALID_HANDLE_VALUE;
}

bool fileMissing(const char* path)
{
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
}

// Length of the part of `path` that is never rewritten: "C:\" for a drive
// path, "\\server\share\" for a UNC path, else up to the first backslash.
static size_t rootLength(const char* path)
{
    if (path[0] == '\\' && path[1] == '\\') {
        const char* server = strchr(path + 2, '\\');
        const char* share = server ? strchr(server + 1, '\\') : nullptr;
        return share ? static_cast<size_t>(share - path) + 1 : strlen(path);
    }
    const char* slash = strchr(path, '\\');
    return slash ? static_cast<size_t>(slash - path) + 1 : 0;
}

void convertPathForm(char* path, size_t capacity, PathForm form)
{
    if (form == LongForm && !strchr(path, '~'))
        return;

    char work[2 * MAX_PATH];
    if (!strchr(path, '\\')) {
        char directory[256];
        DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
        if (length == 0 || length >= sizeof directory)
            return;
        copyText(work, directory);
        if (directory[length - 1] != '\\')
            appendText(work, "\\");
        if (appendText(work, path) + 1 >= sizeof work)
            return;
    } else if (copyText(work, path) + 1 >= sizeof work) {
        return;
    }
    if (work[0] != '\0' && work[1] == ':' && work[0] >= 'a' && work[0] <= 'z')
        work[0] = static_cast<char>(work[0] - 'a' + 'A');

    char result[2 * MAX_PATH];
    size_t done = rootLength(work);
    copyTextPart(result, sizeof result, work, done);
    const char* rest = work + done;
    while (*rest) {
        const char* end = strchr(rest, '\\');
        size_t componentLength = end ? static_cast<size_t>(end - rest) : strlen(rest);
        size_t resultLength = strlen(result);
        copyTextPart(result + resultLength, sizeof result - resultLength, rest, componentLength);

        // Dot components and wildcard patterns name no single entry on disk:
        // a lookup would put some other entry's name in their place.
        bool lookUp = componentLength > 0 && strcspn(result + resultLength, "*?") == componentLength &&
                      strcmp(result + resultLength, ".") != 0 && strcmp(result + resultLength, "..") != 0;
        FindState find;
        if (lookUp && findFirst(&find, result) == 0) {
            const char* found = find.data.cFileName;
            if (form == ShortForm && find.data.cAlternateFileName[0] != '\0')
                found = find.data.cAlternateFileName;
            copyText(result + resultLength, sizeof result - resultLength, found);
            findClose(&find);
        }
        if (!end)
            break;
        appendText(result, "\\");
        rest = end + 1;
    }
    if (strlen(result) + 1 >= sizeof result || strlen(result) + 1 > capacity)
        return;
    copyText(path, capacity, result);
}

bool isWin32Executable(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool executable = false;
    WORD signature = 0;
    DWORD offset = 0, got = 0;
    if (ReadFile(file, &signature, 2, &got, nullptr) && got == 2 && signature == 0x5A4D &&
        SetFilePointer(file, 0x3C, nullptr, FILE_BEGIN) == 0x3C && ReadFile(file, &offset, 4, &got, nullptr) &&
        got == 4 && SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == offset &&
        ReadFile(file, &signature, 2, &got, nullptr) && got == 2)
        executable = signature == 0x4550;
    CloseHandle(file);
    return executable;
}

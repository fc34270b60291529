#include "engine/policy.h"

#include <cstring>
#include <initializer_list>

#include "common/text.h"
#include "engine/enginehost.h"
#include "log/itemlists.h"
#include "startup/runstate.h"

namespace {

constexpr size_t kCanonicalSize = 260;

enum Folder { WindowsFolder, SystemFolder, Wow64Folder, LoggedSystemFolder, kFolderCount };
char protectedFolders[kFolderCount][kCanonicalSize];

bool isDotsAndBlanks(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (text[i] != '.' && text[i] != ' ')
            return false;
    return true;
}

// The names Windows gives to devices in every folder, with any extension.
bool isDeviceName(const char* component, size_t length)
{
    size_t base = 0;
    while (base < length && component[base] != '.')
        ++base;
    while (base > 0 && component[base - 1] == ' ')
        --base;
    char name[8];
    if (base < 3 || base > 7)
        return false;
    copyTextPart(name, sizeof name, component, base);
    for (char& c : name)
        c = static_cast<char>(foldCase(static_cast<unsigned char>(c)));
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (strcmp(name, device) == 0)
            return true;
    return base == 4 && (strncmp(name, "COM", 3) == 0 || strncmp(name, "LPT", 3) == 0) && name[3] >= '1' &&
           name[3] <= '9';
}

bool beginsWithNoCase(const char* text, const char* start)
{
    return compareNoCasePart(text, start, strlen(start)) == 0;
}

// The one spelling of a path that every check and every removal uses:
// backslashes only, no namespace prefix, no empty components, trailing
// dots and blanks taken off each component as Windows itself does, and no
// trailing backslash except after a drive ("C:\"). False for what no
// removal may take in any spelling.
bool canonicalPath(const char* path, char* out, size_t capacity)
{
    char work[kCanonicalSize];
    if (copyText(work, path) + 1 >= sizeof work)
        return false;
    for (char& c : work)
        if (c == '/')
            c = '\\';

    const char* at = work;
    bool unc = false;
    if (beginsWithNoCase(at, "\\\\?\\") || beginsWithNoCase(at, "\\\\.\\") || beginsWithNoCase(at, "\\??\\")) {
        at += 4;
        if (beginsWithNoCase(at, "UNC\\")) {
            at += 4;
            unc = true;
        } else if (!(at[0] != '\0' && at[1] == ':' && (at[2] == '\\' || at[2] == '\0'))) {
            return false;   // a device or a volume, not a path on a drive
        }
    } else if (at[0] == '\\' && at[1] == '\\') {
        at += 2;
        unc = true;
    }

    size_t used = 0;
    auto put = [&](const char* text, size_t length) {
        if (used + length + 1 >= capacity)
            return false;
        memcpy(out + used, text, length);
        used += length;
        out[used] = '\0';
        return true;
    };
    if (unc) {
        if (!put("\\\\", 2))
            return false;
    } else {
        unsigned char letter = foldCase(static_cast<unsigned char>(at[0]));
        if (!(letter >= 'A' && letter <= 'Z') || at[1] != ':' || (at[2] != '\\' && at[2] != '\0'))
            return false;   // relative, drive-relative, or no drive at all
        char drive[3] = {static_cast<char>(letter), ':', '\\'};
        if (!put(drive, 3))
            return false;
        at += 2;
    }

    int components = 0;
    while (*at) {
        while (*at == '\\')
            ++at;
        const char* end = at;
        while (*end && *end != '\\')
            ++end;
        size_t length = static_cast<size_t>(end - at);
        if (length == 0)
            break;
        if (isDotsAndBlanks(at, length) || isDeviceName(at, length))
            return false;
        while (length > 0 && (at[length - 1] == '.' || at[length - 1] == ' '))
            --length;
        for (size_t i = 0; i < length; ++i) {
            unsigned char c = static_cast<unsigned char>(at[i]);
            // Streams (":") and characters no file name holds.
            if (c < 32 || strchr(":<>\"|", c))
                return false;
        }
        if (components > 0 && !put("\\", 1))
            return false;
        if (!put(at, length))
            return false;
        ++components;
        at = end;
    }
    // Wildcards only in the last component: a pattern names files of one folder.
    const char* wildcard = strpbrk(out, "*?");
    return !wildcard || wildcard > strrchr(out, '\\');
}

// A drive root ("C:\") or a share root ("\\server\share").
bool isRoot(const char* canonical)
{
    if (canonical[0] != '\\')
        return canonical[3] == '\0';
    const char* server = strchr(canonical + 2, '\\');
    return !server || !strchr(server + 1, '\\');
}

// `path` is `folder` or lies below it.
bool within(const char* path, const char* folder)
{
    size_t length = strlen(folder);
    return length > 0 && compareNoCasePart(path, folder, length) == 0 && (path[length] == '\0' || path[length] == '\\');
}

bool isProtectedFolder(const char* canonical)
{
    for (const char* folder : protectedFolders)
        if (folder[0] && compareNoCase(canonical, folder) == 0)
            return true;
    return false;
}

bool insideProtected(const char* canonical)
{
    for (const char* folder : protectedFolders)
        if (within(canonical, folder))
            return true;
    return false;
}

bool holdsProtected(const char* canonical)
{
    for (const char* folder : protectedFolders)
        if (within(folder, canonical))
            return true;
    return false;
}

// Folders the log made may hold what a removal takes, even inside the
// Windows tree; a log claiming to have made a protected folder (or one
// above it) does not make it fair game.
bool madeByLog(const char* canonical)
{
    for (int i = 0; i < itemCount(DirectoryList); ++i) {
        auto* directory = itemAt<DirectoryItem>(DirectoryList, i);
        char made[kCanonicalSize];
        if (directory->madeInstall == 0 || !canonicalPath(directory->path, made, sizeof made))
            continue;
        if (!isRoot(made) && !isProtectedFolder(made) && !holdsProtected(made) && within(canonical, made))
            return true;
    }
    return false;
}

bool expandShortNames(char* canonical, size_t capacity)
{
    if (!strchr(canonical, '~') || !runState.host || !runState.host->pathForm)
        return true;
    char longForm[kCanonicalSize];
    copyText(longForm, canonical);
    runState.host->pathForm(longForm, sizeof longForm, LongForm);
    return canonicalPath(longForm, canonical, capacity);
}

} // namespace

void setProtectedFolders(const char* windows, const char* system, const char* wow64, const char* logged)
{
    const char* given[kFolderCount] = {windows, system, wow64, logged};
    for (int i = 0; i < kFolderCount; ++i)
        if (!given[i] || !canonicalPath(given[i], protectedFolders[i], kCanonicalSize) || isRoot(protectedFolders[i]))
            protectedFolders[i][0] = '\0';
}

void preparePolicy()
{
    char windows[kCanonicalSize] = "", system[kCanonicalSize] = "", wow64[kCanonicalSize] = "";
    if (runState.host && runState.host->systemFolders)
        runState.host->systemFolders(windows, system, wow64, kCanonicalSize);
    setProtectedFolders(windows, system, wow64, runState.systemDirectory);
    for (char* folder : protectedFolders)
        expandShortNames(folder, kCanonicalSize);
}

bool mayRemovePath(const char* path, RemovalKind kind, char* out, size_t capacity)
{
    if (!canonicalPath(path, out, capacity) || !expandShortNames(out, capacity) || isRoot(out))
        return false;
    bool pattern = strpbrk(out, "*?") != nullptr;
    if (pattern != (kind == RemovePattern))
        return false;
    if (kind == RemovePattern) {
        char folder[kCanonicalSize];
        copyTextPart(folder, sizeof folder, out, static_cast<size_t>(strrchr(out, '\\') - out));
        if (folder[2] == '\0')
            appendText(folder, "\\");   // "C:" is the drive's root
        if (isRoot(folder))
            return false;
        return !insideProtected(folder) || madeByLog(folder);
    }
    if (isProtectedFolder(out))
        return false;
    if (kind == RemoveFile)
        return true;
    if (holdsProtected(out))
        return false;
    return !insideProtected(out) || madeByLog(out);
}

bool mayWriteIniFile(const char* path)
{
    // A relative name is looked for in the Windows folder: its components
    // are judged as if under a drive.
    bool absolute = (path[0] != '\0' && path[1] == ':') || path[0] == '\\' || path[0] == '/';
    char given[kCanonicalSize] = "", canonical[kCanonicalSize];
    if (!absolute)
        copyText(given, "C:\\");
    // A root is no file ("\\.\C:" is the volume itself).
    return appendText(given, path) + 1 < sizeof given && canonicalPath(given, canonical, sizeof canonical) &&
           !isRoot(canonical);
}

// --- Registry --------------------------------------------------------------

namespace {

// Keys other software relies on, as paths below a hive's root (or below a
// user's hive in HKEY_USERS). A key above one of them is as protected as
// the key itself: deleting "Software\Microsoft" takes "...\Run" with it.
const char* const kSharedKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    "Software\\Microsoft\\Cryptography",
    "Software\\Policies\\Microsoft",
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "System\\CurrentControlSet\\Services",
    "System\\CurrentControlSet\\Control\\Session Manager",
    "System\\CurrentControlSet\\Enum",
    "System\\ControlSet001\\Services",
    "System\\ControlSet002\\Services",
    "System\\Setup",
    "Control Panel\\Desktop",
    "Environment",
};

// The same for the classes, whether reached as HKEY_CLASSES_ROOT or as
// Software\Classes of a hive.
const char* const kSharedClasses[] = {
    "CLSID", "Interface", "TypeLib", "AppID", "*", "AllFilesystemObjects", "Directory\\Background", "Directory\\shell",
    "Drive", "Folder", "exefile", "lnkfile", "batfile", "cmdfile", "comfile", ".exe", ".lnk", ".bat", ".cmd", ".com",
    "Wow6432Node\\CLSID", "Wow6432Node\\Interface", "Wow6432Node\\TypeLib", "Wow6432Node\\AppID",
};

// `key` is `shared` or one of the keys above it.
bool coversShared(const char* key, const char* shared)
{
    size_t length = strlen(key);
    return compareNoCasePart(key, shared, length) == 0 && (shared[length] == '\0' || shared[length] == '\\');
}

int componentCount(const char* key)
{
    int count = 1;
    for (; *key; ++key)
        count += *key == '\\';
    return count;
}

// Backslashes at either end and doubled ones taken out.
bool canonicalKey(const char* key, char* out, size_t capacity)
{
    size_t used = 0;
    for (const char* at = key; *at; ++at) {
        if (*at == '\\' && (used == 0 || out[used - 1] == '\\'))
            continue;
        if (used + 1 >= capacity)
            return false;
        out[used++] = *at;
    }
    while (used > 0 && out[used - 1] == '\\')
        --used;
    out[used] = '\0';
    return used > 0;
}

} // namespace

bool mayRemoveKey(int root, const char* key, KeyRemovalKind kind)
{
    char canonical[kCanonicalSize * 2];
    if (root < 0 || root > 4 || !canonicalKey(key, canonical, sizeof canonical))
        return false;
    if (kind == RemoveKeyValue)
        return true;

    const char* relative = canonical;
    if (root == 3) {   // HKEY_USERS: a user's hive first
        const char* slash = strchr(relative, '\\');
        if (!slash)
            return false;
        relative = slash + 1;
    }
    bool classes = root == 0;
    for (const char* prefix : {"Software\\Classes\\", "Software\\Wow6432Node\\Classes\\"}) {
        if (!classes && beginsWithNoCase(relative, prefix)) {
            relative += strlen(prefix);
            classes = true;
        }
    }
    if (!classes && kind == RemoveKeyTree && componentCount(relative) == 1)
        return false;   // the top of a hive
    if (classes) {
        for (const char* shared : kSharedClasses)
            if (coversShared(relative, shared))
                return false;
        return true;
    }
    for (const char* shared : kSharedKeys)
        if (coversShared(relative, shared))
            return false;
    for (const char* shared : {"Software\\Classes", "Software\\Wow6432Node\\Classes"})
        if (coversShared(relative, shared))
            return false;
    return true;
}

bool endsWithNoCase(const char* path, const char* ending)
{
    size_t length = strlen(path), endingLength = strlen(ending);
    return length >= endingLength && compareNoCasePartAscii(path + length - endingLength, ending, endingLength) == 0;
}

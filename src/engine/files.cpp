#include "engine/files.h"

#include <cstring>

#include "common/text.h"
#include "engine/enginehost.h"
#include "engine/policy.h"
#include "engine/record.h"
#include "startup/runstate.h"

namespace {

constexpr size_t kTreePathSize = 256;

const EngineHost& host()
{
    return *runState.host;
}

// A link goes as a link: its attributes are not touched (they may be the
// target's), and nothing below it is visited.
void removeLink(const char* path)
{
    if (host().removeDirectory(path) != 0)
        host().deleteFile(path);
}

void removeBelow(const char* path, bool withFiles)
{
    char pattern[kTreePathSize];
    if (copyText(pattern, path) + 4 >= sizeof pattern)
        return;
    appendText(pattern, "\\*.*");
    FoundEntry entry;
    void* find = host().findFirst(pattern, &entry);
    for (bool found = find != nullptr; found; found = host().findNext(find, &entry)) {
        char child[kTreePathSize];
        copyText(child, path);
        appendText(child, "\\");
        // An entry whose full path would not fit is left where it is.
        if (appendText(child, entry.name) + 1 >= sizeof child)
            continue;
        if (entry.attributes & kAttributeReparsePoint) {
            // What a link points at belongs to someone else.
            if (withFiles)
                removeLink(child);
        } else if (entry.attributes & kAttributeDirectory) {
            if (entry.name[0] != '.')
                removeBelow(child, withFiles);
        } else if (withFiles) {
            deleteStubbornFile(child);
        }
    }
    if (find)
        host().findClose(find);
    removeDirectory(path);
}

} // namespace

bool missing(const char* path)
{
    return host().attributes(path) == kNoAttributes;
}

unsigned long resetAttributes(const char* path)
{
    return host().setAttributes(path, kAttributeNormal);
}

bool isOwnProgram(const char* path)
{
    if (!runState.programPath)
        return false;
    char longForm[kTreePathSize + 4];
    copyText(longForm, path);
    host().pathForm(longForm, sizeof longForm, LongForm);
    return compareNoCase(longForm, runState.programPath) == 0;
}

unsigned long deleteFile(const char* path)
{
    if (isOwnProgram(path))
        runState.selfRemovalNeeded = 1;
    return host().deleteFile(path);
}

unsigned long deleteStubbornFile(const char* path)
{
    unsigned long error = deleteFile(path);
    if (error == kErrorAccessDenied) {
        resetAttributes(path);
        error = deleteFile(path);
    }
    return error;
}

unsigned long removeDirectory(const char* path)
{
    resetAttributes(path);
    return host().removeDirectory(path);
}

void removeDirectoryTree(const char* path, bool withFiles)
{
    char canonical[kTreePathSize];
    if (!mayRemovePath(path, withFiles ? RemoveTree : RemoveEmptyFolders, canonical, sizeof canonical)) {
        recordKept("refused as unsafe");
        return;
    }
    unsigned long attributes = host().attributes(canonical);
    if (attributes != kNoAttributes && (attributes & kAttributeReparsePoint)) {
        if (withFiles)
            removeLink(canonical);
        return;
    }
    removeBelow(canonical, withFiles);
}

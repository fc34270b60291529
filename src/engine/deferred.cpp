#include "engine/deferred.h"

#include <cstdio>
#include <cstring>

#include "common/text.h"
#include "engine/enginehost.h"
#include "engine/files.h"
#include "engine/policy.h"
#include "startup/runstate.h"

bool makeTempName(char* buffer, const char* targetPath)
{
    const char* slash = strrchr(targetPath, '\\');
    size_t keep = slash ? static_cast<size_t>(slash - targetPath) + 1 : 0;
    if (keep + sizeof "~RUX0000.TMP" > 260)
        return false;
    // Every name taken means the counter wrapped round a full directory.
    for (int tries = 0; tries < 65536; ++tries) {
        copyTextPart(buffer, 260, targetPath, keep);
        char name[16];
        snprintf(name, sizeof name, "~RUX%04x.TMP", runState.tempNameCounter++);
        appendText(buffer, 260, name);
        if (missing(buffer))
            return true;
    }
    return false;
}

unsigned long replaceAtRestart(const char* tempPath, const char* targetPath)
{
    const EngineHost& host = *runState.host;
    char shortTemp[260], shortTarget[260];
    copyText(shortTemp, tempPath);
    copyText(shortTarget, targetPath);
    host.pathForm(shortTemp, sizeof shortTemp, ShortForm);
    host.pathForm(shortTarget, sizeof shortTarget, ShortForm);
    if (runState.platform == kPlatformOther)
        return host.renameAtRestart(shortTarget, shortTemp);
    // The delete comes first: the move does not ask to replace.
    unsigned long error = host.moveAtRestart(targetPath, nullptr);
    return error ? error : host.moveAtRestart(shortTemp, targetPath);
}

unsigned long scheduleDeleteAtRestart(const char* path)
{
    const EngineHost& host = *runState.host;
    if (runState.platform != kPlatformOther)
        return host.moveAtRestart(path, nullptr);
    // WININIT.INI is carried out before Windows starts, where only short
    // names are known: a long name, or one with a blank, would name nothing.
    char shortPath[260];
    copyText(shortPath, path);
    host.pathForm(shortPath, sizeof shortPath, ShortForm);
    return host.renameAtRestart("NUL", shortPath);
}

void deleteInUseAtRestart(const char* path)
{
    if (scheduleDeleteAtRestart(path) != 0 || runState.platform == kPlatformOther)
        return;   // WININIT.INI cannot remove a folder
    char folder[kPathSize];
    const char* separator = strrchr(path, '\\');
    if (!separator)
        return;
    copyTextPart(folder, sizeof folder, path, static_cast<size_t>(separator - path));
    char checked[kPathSize];
    if (mayRemovePath(folder, RemoveEmptyFolders, checked, sizeof checked))
        runState.host->moveAtRestart(checked, nullptr);   // removed then only when empty
}

namespace {

// The length of the line that starts at `at`, line break included.
size_t lineLength(const char* at, const char* end)
{
    const char* newline = static_cast<const char*>(memchr(at, '\n', static_cast<size_t>(end - at)));
    return newline ? static_cast<size_t>(newline - at) + 1 : static_cast<size_t>(end - at);
}

bool isSectionLine(const char* at, const char* end)
{
    while (at < end && (*at == ' ' || *at == '\t'))
        ++at;
    return at < end && *at == '[';
}

bool isRenameHeader(const char* at, const char* end)
{
    while (at < end && (*at == ' ' || *at == '\t'))
        ++at;
    return end - at >= 8 && compareNoCasePartAscii(at, "[rename]", 8) == 0;
}

} // namespace

size_t addRenameLine(const char* text, size_t length, const char* key, const char* value, char* out,
                     size_t capacity)
{
    const char* end = text + length;
    // Where the line goes: after the last line of [rename], or at the end.
    const char* insertAt = nullptr;
    for (const char* at = text; at < end; at += lineLength(at, end)) {
        if (insertAt == nullptr && isRenameHeader(at, end)) {
            const char* next = at + lineLength(at, end);
            while (next < end && !isSectionLine(next, end))
                next += lineLength(next, end);
            insertAt = next;
        }
    }
    bool newSection = insertAt == nullptr;
    if (newSection)
        insertAt = end;
    // Blank lines at the end of the section stay after the new line.
    while (!newSection && insertAt > text) {
        const char* lineStart = insertAt - 1;
        while (lineStart > text && lineStart[-1] != '\n')
            --lineStart;
        bool blank = true;
        for (const char* c = lineStart; c < insertAt; ++c)
            blank = blank && (*c == ' ' || *c == '\t' || *c == '\r' || *c == '\n');
        if (!blank || lineStart == insertAt)
            break;
        insertAt = lineStart;
    }
    bool needsBreak = insertAt > text && insertAt[-1] != '\n';
    size_t before = static_cast<size_t>(insertAt - text);
    size_t added = (needsBreak ? 2 : 0) + (newSection ? 10 : 0) + strlen(key) + 1 + strlen(value) + 2;
    if (length + added + 1 > capacity)
        return 0;
    memcpy(out, text, before);
    size_t used = before;
    auto put = [&](const char* part) {
        size_t n = strlen(part);
        memcpy(out + used, part, n);
        used += n;
    };
    if (needsBreak)
        put("\r\n");
    if (newSection)
        put("[rename]\r\n");
    put(key);
    put("=");
    put(value);
    put("\r\n");
    memcpy(out + used, insertAt, length - before);
    used += length - before;
    out[used] = '\0';
    return used;
}

#include "startup/cmdline.h"

#include <cstring>

#include "common/text.h"

bool beginsWithZ(const char* commandLine)
{
    return commandLine[0] == '/' && (commandLine[1] == 'Z' || commandLine[1] == 'z');
}

static char* skipBlanks(char* cursor)
{
    while (*cursor == ' ')
        ++cursor;
    return cursor;
}

// The path of "/L=path": up to the next blank, or in double quotes.
static char* takeRecordPath(char* cursor, Switches* switches)
{
    char* end;
    if (*cursor == '"') {
        end = strchr(cursor + 1, '"');
        if (!end)
            end = cursor + strlen(cursor);
        copyTextPart(switches->recordPath, sizeof switches->recordPath, cursor + 1,
                     static_cast<size_t>(end - cursor - 1));
        if (*end == '"')
            ++end;
    } else {
        end = cursor + strcspn(cursor, " ");
        copyTextPart(switches->recordPath, sizeof switches->recordPath, cursor, static_cast<size_t>(end - cursor));
    }
    return skipBlanks(end);
}

char* parseSwitches(char* cursor, Switches* switches)
{
    while (*cursor == '/') {
        char letter = cursor[1];
        switch (letter) {
        case 'z': switches->relaunchedCopy = 1; break;
        case 'Z': break;
        case 'a': case 'A': switches->automaticRun = 1; break;
        case 's': case 'S': switches->silentRun = 1; switches->automaticRun = 1; break;
        case 'r': case 'R': switches->rollbackRequested = 1; break;
        case 'u': case 'U': switches->finalPageStart = 1; break;
        case '?': switches->helpRequested = 1; break;
        case 'p': case 'P': switches->previewRequested = 1; break;
        case 'l': case 'L':
            switches->recordRequested = 1;
            if (cursor[2] == '=') {
                cursor = takeRecordPath(cursor + 3, switches);
                continue;
            }
            break;
        default: return cursor;     // the "/" begins the log path
        }
        // A switch is exactly two characters; whatever follows is not looked
        // at, so "/Afoo" leaves "foo" as the log path.
        cursor = skipBlanks(cursor + 2);
    }
    return skipBlanks(cursor);
}

char* splitTitle(char* cursor)
{
    char* blank = strchr(cursor, ' ');
    if (!blank)
        return nullptr;
    *blank = '\0';
    char* title = blank + 1;
    if (*title == '"')
        ++title;
    size_t length = strlen(title);
    if (length > 0 && title[length - 1] == '"')
        title[--length] = '\0';
    // A trailing blank after the log path would otherwise give the window
    // an empty caption in place of the application's name.
    return length > 0 ? title : nullptr;
}

bool defaultLogPath(char* out, size_t capacity, const char* iniShortPath)
{
    const char* lastSlash = strrchr(iniShortPath, '\\');
    size_t keep = lastSlash ? static_cast<size_t>(lastSlash - iniShortPath) + 1 : 0;
    static const char kLogName[] = "INSTALL.LOG";
    if (keep + sizeof kLogName > capacity)
        return false;
    copyTextPart(out, capacity, iniShortPath, keep);
    appendText(out, capacity, kLogName);
    return true;
}

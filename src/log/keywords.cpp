#include "log/keywords.h"

#include <cstring>

#include "common/text.h"

namespace {

struct KeywordInfo {
    const char* text;
    bool wholeLine;
    size_t argumentAt;   // where the argument begins (0: after the text)
};

const KeywordInfo kKeywords[KwCount] = {
    {"", false, 0},
    {"*** ", false, 0},
    {"Non-System File:", true, 0},
    {"Shared DLL counter ignored:", true, 0},
    {"File Copy: ", false, 0},
    {"Shell Link: ", false, 0},
    {"File Overwrite: ", false, 0},
    {"Backup Copy: ", false, 0},
    {"File Edit: ", false, 0},
    {"Made Dir: ", false, 0},
    {"File Tree: ", false, 0},
    {"INI New: ", false, 0},
    {"INI File: ", false, 0},
    {"INI Sect: ", false, 0},
    {"INI Item: ", false, 0},
    {"INI Val: ", false, 0},
    {"INI Old: ", false, 0},
    {"INI ", false, 0},
    {"RegDB Key: ", false, 0},
    {"RegDB Val: ", false, 0},
    {"RegDB Name: ", false, 0},
    {"RegDB Type: ", false, 0},
    {"RegDB Root: ", false, 0},
    {"RegDB Old: ", false, 0},
    {"RegDB Tree: ", false, 0},
    {"Icon Group: ", false, 0},
    {"Icon Name: ", false, 0},
    {"Icon Cmd: ", false, 0},
    {"Execute Path: ", false, 0},
    {"Execute Program: ", false, 0},
    {"Execute Name: ", false, 0},
    {"Create Service: ", false, 0},
    {"Add Device: ", false, 0},
    {"Self-Register: ", false, 0},
    {"SubSystem: B", false, 11},
    {"Uninstall MIF: ", false, 0},
    {"Manufacturer: ", false, 0},
    {"Product: ", false, 0},
    {"Version Number: ", false, 0},
    {"Serial Number: ", false, 0},
    {"User Rights: Admin", true, 0},
    {"Per-User ID: ", false, 0},
};

// The order in which an entry line is tested; the first match decides.
const Keyword kEntryOrder[] = {
    KwFileCopy, KwShellLink, KwFileOverwrite, KwRegKey, KwFileEdit, KwCreateService, KwAddDevice,
    KwSelfRegister, KwIniNew, KwIniFile, KwExecutePath, KwExecuteProgram, KwIconGroup, KwSubSystem,
    KwMadeDir, KwFileTree, KwRegTree, KwHeader, KwUninstallMif, KwManufacturer, KwProduct,
    KwVersionNumber, KwSerialNumber, KwUserRightsAdmin, KwPerUserId,
};

bool beginsWithAscii(const char* line, const char* keyword, size_t length)
{
    return compareNoCasePartAscii(line, keyword, length) == 0;   // a shorter line differs at its end
}

} // namespace

bool lineIs(const char* line, Keyword keyword)
{
    const KeywordInfo& k = kKeywords[keyword];
    size_t length = strlen(k.text);
    if (!beginsWithAscii(line, k.text, length))
        return false;
    return !k.wholeLine || line[length] == '\0';
}

const char* argumentOf(const char* line, Keyword keyword)
{
    const KeywordInfo& k = kKeywords[keyword];
    return line + (k.argumentAt ? k.argumentAt : strlen(k.text));
}

Keyword entryKeyword(const char* line)
{
    for (Keyword keyword : kEntryOrder)
        if (lineIs(line, keyword))
            return keyword;
    return KwNone;
}

bool isTitleLine(const char* line)
{
    return strncmp(line, "Title:", 6) == 0;
}

static void cutEnding(char* title, const char* ending)
{
    size_t length = strlen(title), endingLength = strlen(ending);
    if (length > endingLength && compareNoCasePartAscii(title + length - endingLength, ending, endingLength) == 0)
        title[length - endingLength] = '\0';
}

void trimTitle(char* title)
{
    if (strlen(title) > 255)
        title[255] = '\0';
    cutEnding(title, " INSTALLATION");
    cutEnding(title, " INSTALL");
}

void cutAtBar(char* path)
{
    char* bar = strchr(path, '|');
    if (!bar)
        return;
    if (bar > path && bar[-1] == ' ')
        --bar;
    *bar = '\0';
}

int decimalNumber(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (value <= 0x7FFFFFFF)    // a longer number stays out of range, not wrapped
            value = value * 10 + (*text - '0');
    if (value > 0x7FFFFFFF)
        value = 0x7FFFFFFF;
    return static_cast<int>(negative ? -value : value);
}

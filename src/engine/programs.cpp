#include "engine/programs.h"

#include <cstring>

#include "common/text.h"
#include "engine/enginehost.h"
#include "startup/runstate.h"

namespace {
const char kPerUserKey[] = "Software\\Ruvo Solutions\\KovUser";
constexpr int kLocalMachine = 2;
constexpr unsigned long kRegSz = 1, kRegExpandSz = 2;
} // namespace

void shortenCommand(char* command, size_t capacity)
{
    if (strchr(command, '\\'))
        runState.host->pathForm(command, capacity, ShortForm);
}

unsigned long runPerUserUninstall(const char* perUserId)
{
    const EngineHost* host = runState.host;
    char path[kPathSize] = "";
    unsigned long type = 0, size = sizeof path - 1;
    unsigned long error = host->queryRegistryValue(kLocalMachine, kPerUserKey, "Path", &type, path, &size);
    if (error != 0)
        return error;
    if (type != kRegSz && type != kRegExpandSz)
        return kErrorBadFormat;
    path[size] = '\0';
    host->pathForm(path, sizeof path, ShortForm);
    char command[kPathSize + kPathSize + 16];
    copyText(command, path);
    appendText(command, " /U \"");
    appendText(command, perUserId);
    appendText(command, "\"");
    return host->startProgram(command);
}

#include "engine/programs.h"

#include <cstring>

#include "common/text.h"
#include "engine/enginehost.h"
#include "engine/regvalue.h"
#include "startup/runstate.h"

namespace {
const char kPerUserKey[] = "Software\\Ruvo Solutions\\KovUser";
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
    unsigned long error = host->queryRegistryValue(kRootLocalMachine, kPerUserKey, "Path", &type, path, &size);
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

#include "engine/selfreg.h"

#include <cstring>

#include "common/text.h"
#include "engine/enginehost.h"
#include "engine/record.h"
#include "startup/runstate.h"

namespace {

unsigned long callServer(const EngineHost* host, const char* path, bool registerServer)
{
    size_t length = strlen(path);
    if (compareNoCase(path + (length < 3 ? 0 : length - 3), "EXE") == 0) {
        // A local server takes the conventional switches; a restored one is
        // registered again with /REGSERVER.
        char command[kPathSize + 16];
        copyText(command, path);
        host->pathForm(command, kPathSize, ShortForm);
        appendText(command, registerServer ? " /REGSERVER" : " /UNREGSERVER");
        return host->startAndWait(command);
    }
    // A library is loaded only when it is a Win32 image: never a text file
    // that merely carries a library's name.
    if (!host->isWin32Executable(path)) {
        recordKept("not a Win32 library: nothing to call");
        return kErrorBadFormat;
    }
    return host->callServerEntry(path, registerServer);
}

} // namespace

unsigned long callSelfRegistration(const char* prefix, const char* path, bool registerServer)
{
    const EngineHost* host = runState.host;
    copyText(runState.progressText, kProgressTextSize, prefix);
    appendText(runState.progressText, kProgressTextSize, path);
    host->showProgress(runState.progressText, true);

    // The server's own folder is the current one while it works, so that it
    // finds the libraries beside it. The one before comes back afterwards:
    // a process's current directory cannot be removed, and the server's
    // folder is usually one the run is about to remove.
    char folder[kPathSize], previous[kPathSize];
    const char* lastSeparator = strrchr(path, '\\');
    copyTextPart(folder, sizeof folder, path, lastSeparator ? static_cast<size_t>(lastSeparator - path) : 0);
    host->pathForm(folder, sizeof folder, ShortForm);
    bool moved = host->setCurrentDirectory(folder, previous, sizeof previous) == 0;
    unsigned long error = callServer(host, path, registerServer);
    if (moved && previous[0])
        host->setCurrentDirectory(previous, folder, sizeof folder);
    return error;
}

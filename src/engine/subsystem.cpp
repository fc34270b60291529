// The Borland Database Engine is shared by every program that uses it and
// keeps a use count; the last user removes its registration, once the
// local InterBase server has stopped.
#include "engine/subsystem.h"

#include <cstdio>
#include <string>

#include "engine/enginehost.h"
#include "engine/record.h"
#include "engine/registry.h"
#include "engine/regvalue.h"
#include "startup/runstate.h"

namespace {
const char kEngineKey[] = "Software\\Borland\\Database Engine";
const char kBlw32Key[] = "Software\\Borland\\BLW32";
const char kBorlandKey[] = "Software\\Borland";
constexpr int kMessageStopServer = 28, kMessageUninstall = 25;
constexpr int kAbort = 3, kIgnore = 5;

// Whether the InterBase server is stopped, or the user chose to go on
// anyway. A silent run asks nobody: it leaves the engine registered, as
// though another program still used it.
enum ServerState { ServerStopped, KeepEngine, AbortRun };

ServerState waitForServerToStop()
{
    const EngineHost* host = runState.host;
    while (host->windowExists("IB_Server")) {
        if (runState.silentRun) {
            recordKept("the InterBase server still runs, and a silent run asks nobody");
            return KeepEngine;
        }
        int answer = host->askAbortRetryIgnore(kMessageStopServer, kMessageUninstall);
        if (answer == kAbort) {
            recordKept("the user chose to abort the uninstall");
            return AbortRun;
        }
        if (answer == kIgnore)
            break;
    }
    return ServerStopped;
}
} // namespace

bool removeBorlandSubSystem()
{
    const EngineHost* host = runState.host;
    unsigned char data[256];
    unsigned long type = 0, size = sizeof data;
    if (host->queryRegistryValue(kRootLocalMachine, kEngineKey, "UseCount", &type, data, &size) != 0)
        return true;
    long long count = -1;
    countFromRegistryData(type, data, size, &count);
    if (count >= 2) {
        char text[16];
        int length = snprintf(text, sizeof text, "%d", static_cast<int>(count - 1));
        host->setRegistryValue(kRootLocalMachine, kEngineKey, "UseCount", kRegSz, text,
                               static_cast<unsigned long>(length + 1));
        recordKept(("still used by other software (count " + std::string(text) + ")").c_str());
        return true;
    }
    if (count != 1)
        return true;

    switch (waitForServerToStop()) {
    case AbortRun:
        return false;
    case KeepEngine:
        return true;
    case ServerStopped:
        break;
    }
    deleteRegistryTree(kEngineKey, kRootLocalMachine);
    deleteRegistryTree(kBlw32Key, kRootLocalMachine);
    removeEmptyKey(kRootLocalMachine, kBorlandKey);
    return true;
}

// Fuzzes the line reader, the whole log grammar and the uninstall that
// follows: any bytes as INSTALL.LOG, loaded into the item lists on a small
// in-memory machine and undone there. The first byte chooses the machine:
// platform, per-user folders, how the reader's reads are split, whether
// logged files exist, and whether the run is a rollback. Whatever the log
// says, no folder above or at the Windows folder is removed and nothing is
// reached through a "." or ".." component.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fakehost.h"
#include "log/itemlists.h"
#include "engine/driver.h"
#include "log/loader.h"
#include "startup/runstate.h"

static bool reachesAbove(const std::string& entry)
{
    std::string path = upper(entry.substr(entry.find(' ') + 1));
    auto endsWith = [&](const std::string& ending) {
        return path.size() >= ending.size() && path.compare(path.size() - ending.size(), ending.size(), ending) == 0;
    };
    const std::string system = "C:\\WINDOWS\\SYSTEM";
    bool aboveSystem = system.compare(0, path.size(), path) == 0 &&
                       (path.size() == system.size() || system[path.size()] == '\\');
    if (entry.compare(0, 6, "rmdir ") == 0 && (path.size() <= 3 || aboveSystem))
        return true;
    return path.find("\\.\\") != std::string::npos || path.find("\\..\\") != std::string::npos || endsWith("\\.") ||
           endsWith("\\..");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    resetFakeMachine();
    uint8_t choice = data[0];
    fake.log.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    fake.everyFileExists = choice & 1;
    runState.platform = (choice & 2) ? 2 : 1;
    runState.windows4OrLater = (choice & 4) != 0;
    fake.adminDenied = (choice & 8) != 0;
    if (choice & 16) {
        fake.startMenu = "C:\\WINNT\\Profiles\\joe\\Start Menu";
        fake.commonStartMenu = "C:\\WINNT\\Profiles\\All Users\\Start Menu";
    }
    fake.readChunk = (choice & 32) ? 7 : 0;
    if (choice & 64)
        fake.sharedDlls.insert("C:\\APP\\A.DLL");
    for (const char* file : {"C:\\WINDOWS\\WIN.INI", "C:\\WINDOWS\\SYSTEM\\X.DLL", "C:\\APP\\A.DLL", "C:\\APP\\B\\C.TXT"})
        fake.addFile(file);
    char topDirectory[256];
    if (loadInstallLog("C:\\APP\\INSTALL.LOG", topDirectory) != 0)
        return 0;
    runState.uninstallMethod = 1000;
    runState.rollbackRequested = (choice & 128) != 0;
    performUninstall("C:\\APP\\INSTALL.LOG");
    for (const std::string& entry : fake.trace)
        if ((entry.compare(0, 7, "delete ") == 0 || entry.compare(0, 6, "rmdir ") == 0) && reachesAbove(entry))
            abort();
    return 0;
}

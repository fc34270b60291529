// Fuzzes the line reader and the whole log grammar: any bytes as INSTALL.LOG,
// loaded into the item lists on a small in-memory machine. The first byte
// chooses the machine: platform, per-user folders, how the reader's reads
// are split, whether logged files exist.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fakehost.h"
#include "log/itemlists.h"
#include "log/loader.h"
#include "startup/runstate.h"

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
    char topDirectory[256];
    loadInstallLog("C:\\APP\\INSTALL.LOG", topDirectory);
    return 0;
}

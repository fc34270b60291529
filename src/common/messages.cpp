#include "common/messages.h"

#include <cstdio>

#include "startup/runstate.h"
#include "common/linebreaks.h"

int LoadMessageText(HINSTANCE instance, int messageId, char* buffer, int capacity)
{
    if (capacity <= 0)
        return 0;
    char key[32];
    snprintf(key, sizeof key, "Msg%d", messageId);
    // The default is a lone DEL, a text no override would consist of; the INI
    // is read on every call so that an edited file takes effect at once.
    const char* iniPath = runState.companionIniPath ? runState.companionIniPath : "";
    DWORD length = GetPrivateProfileStringA("Language", key, "\x7f", buffer, static_cast<DWORD>(capacity), iniPath);
    if (length == 1 && buffer[0] == '\x7f') {
        if (LoadStringA(instance, static_cast<UINT>(messageId), buffer, capacity) <= 0)
            buffer[0] = '\0';
    } else {
        expandLineBreaks(buffer, static_cast<size_t>(capacity));
    }
    return static_cast<int>(length);
}

#include "engine/ini.h"

#include "engine/enginehost.h"
#include "startup/runstate.h"

void restoreIniEntry(const IniItem* entry, const char* value)
{
    runState.host->writeIniString(entry->file, entry->section, entry->item, value[0] ? value : nullptr);
}

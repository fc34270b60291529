#include "engine/ini.h"

#include <windows.h>

#include "engine/files.h"

void restoreIniEntry(const IniItem* entry, const char* value)
{
    if (fileMissing(entry->file))
        return;
    WritePrivateProfileStringA(entry->section, entry->item, value[0] ? value : nullptr, entry->file);
}

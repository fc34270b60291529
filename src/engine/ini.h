// INI files the installations created and INI entries they changed.
#pragma once
#include "log/itemlists.h"

// Writes `value` back as the entry's old value; an empty value deletes the
// key. Passes over an entry whose file is gone, so no INI file is made again.
void restoreIniEntry(const IniItem* entry, const char* value);

// INI entries the installations changed.
#pragma once
#include "log/itemlists.h"

// Writes `value` back as the entry's old value; an empty value deletes the
// key. The caller passes over an entry whose file is gone, so that no INI
// file is made again.
void restoreIniEntry(const IniItem* entry, const char* value);

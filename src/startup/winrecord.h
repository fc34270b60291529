// The action record's file on Win32 (/L).
#pragma once
#include "engine/enginehost.h"

// Opens the record at `path` (empty: UNINSTAL.TXT in the temporary
// directory) and lets `host` write to it, through the gate that gives each
// item its outcome. A record that cannot be opened changes nothing in the
// run; a preview is gated all the same.
void openRecord(const char* path, EngineHost* host, bool preview);

// The record's path, and whether it could be opened.
const char* recordPath();
bool recordOpen();

// Writes the record's header for the run that starts now.
void startRecordedRun(const char* logPath);

// A run that ends before the uninstall begins: the header and how it ended.
void endRecordedRun(const char* logPath, const char* ending);

void closeRecord();

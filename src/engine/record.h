// The action record (/L): one line per item that a step of the run takes,
// tab-separated (outcome, kind of change, the item, a detail), between a
// header that says what ran and a closing line that sums the outcomes and
// says how the run ended. Each line is written as the run goes, so a run
// that is killed leaves every line up to that moment.
//
// The outcome of an item comes from the operations themselves: the gate
// wraps every call of the engine's host that changes the machine, and the
// current item learns each call's result. The engine's units only say why
// an item stays, where they decide so.
#pragma once

#include "engine/enginehost.h"

struct RecordHeader {
    const char* program;
    const char* logPath;
    const char* title;
    const char* kind;      // uninstall, rollback, custom; a preview of one
    const char* family;    // the platform family
    const char* started;   // date and time
};

// Wraps the machine-changing calls of `host` so that items learn their
// outcomes; with `preview` those calls only answer from the machine's
// present state (engine/preview.h) and the record says what would be done.
// Only a run that writes a record or previews installs it.
void gateHost(EngineHost* host, bool preview = false);

void startRecord(const RecordHeader& header);

// Begins the record of one item (ending the one before).
void recordItem(const char* kind, const char* item);

// The current item stays, for the reason given.
void recordKept(const char* why);

// Ends the current item: its line is written.
void endRecordItem();

// Ends the last item and writes the closing line.
void finishRecord(const char* ending);

// The item the run was at, for a cancelled run's closing line.
const char* lastRecordedItem();

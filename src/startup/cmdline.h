// Switches, log path and title of the program's command line.
#pragma once
#include <cstddef>

struct Switches {
    int automaticRun;       // /A or /S
    int silentRun;          // /S
    int rollbackRequested;  // /R
    int finalPageStart;     // /U
    int relaunchedCopy;     // /z, lower case only
    int recordRequested;    // /L, /L=path or /L="path"
    int helpRequested;      // /?
    int previewRequested;   // /P
    char recordPath[256];   // the path given, empty for the default
};

// True when the command line begins with "/Z" in either case: such a run
// makes no temporary copy and deletes itself at the end.
bool beginsWithZ(const char* commandLine);

// Reads the switches at `cursor`, setting their flags in `switches`, and
// returns the position after them and the blanks that follow. Parsing stops
// on a "/" with an unknown letter, which then starts the log path.
char* parseSwitches(char* cursor, Switches* switches);

// Splits the log path at `cursor` from the title that follows its first
// blank: the path is terminated there and the title returned without its
// enclosing double quotes. Returns nullptr when there is no title (no blank,
// or nothing after the quotes are taken off).
char* splitTitle(char* cursor);

// The default log beside the program: `iniShortPath` cut after its last
// backslash with "INSTALL.LOG" appended. False when the result does not fit.
bool defaultLogPath(char* out, size_t capacity, const char* iniShortPath);

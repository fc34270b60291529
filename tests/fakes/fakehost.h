// A small in-memory machine for the portable log loader: a log text, a set
// of existing files, registry answers and a record of the boxes shown.
#pragma once
#include <set>
#include <string>
#include <vector>

struct FakeMachine {
    std::string log;                 // the log's bytes
    bool logOpens = true;
    std::set<std::string> files;     // existing paths, upper case
    bool everyFileExists = false;
    std::set<std::string> sharedDlls;
    bool floppyA = true, floppyB = false;
    std::string windowsDir = "C:\\WINDOWS";
    std::string systemDir = "C:\\WINDOWS\\SYSTEM";
    bool adminDenied = false;
    std::string startMenu, commonStartMenu;
    std::vector<int> boxes;          // message ids shown
    std::string caption;

    size_t readAt = 0;
    int readChunk = 0;               // 0: as much as asked
};

extern FakeMachine fake;

// Empties the fake machine and sets up RunState and the lists for a load.
void resetFakeMachine();

// A small in-memory machine for the portable code: the log loader's
// questions and the uninstall engine's host, answered from one set of
// files, folders, registry keys and INI entries, with a trace of every
// action and every question to the user, in order.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/enginehost.h"

std::string upper(const std::string& text);

struct FakeFile {
    std::string path;                // as first written
    std::string content;
    unsigned long attributes = kAttributeNormal;   // with kAttributeDirectory: a folder
    bool inUse = false;              // deleting or overwriting it fails
};

struct FakeValue {
    unsigned long type;
    std::string data;
};

struct FakeMachine {
    // The log and the loader's other questions.
    std::string log;
    size_t readAt = 0;
    int readChunk = 0;               // 0: as much as asked (the loader's fuzzer splits its reads)
    bool everyFileExists = false;
    std::set<std::string> sharedDlls;   // paths SharedDLLs counts, upper case
    std::string windowsDir = "C:\\WINDOWS", systemDir = "C:\\WINDOWS\\SYSTEM", wow64Dir;
    bool adminDenied = false;
    std::string startMenu, commonStartMenu;
    std::vector<int> boxes;          // message ids shown
    std::string caption;

    // The disk: files and folders, keyed by upper-case path.
    std::map<std::string, FakeFile> files;
    std::map<std::string, std::string> shortNames;   // upper long path -> short path
    // The registry, keyed by "<root>|<upper key>", values by upper name.
    std::map<std::string, std::map<std::string, FakeValue>> keys;
    // INI files: "<upper file>|<upper section>|<upper key>" -> value.
    std::map<std::string, std::string> ini;

    std::vector<std::string> trace;
    std::vector<std::string> record;   // the action record's lines, when a test asks for one
    std::map<std::string, unsigned long> failures;   // "<operation> <upper path>" -> error to answer
    int changesLeft = -1;            // >= 0: the process is ended from outside after this many changes
    std::vector<int> answers;        // the prompts' buttons, in turn
    std::map<std::string, int> windows;   // class -> how many more times it is found
    std::vector<std::pair<std::string, std::string>> progmanGroups;   // name, description
    int cancelAfterShown = -1;       // Cancel arrives once this many items were shown
    int shown = 0;

    void addFile(const std::string& path, const std::string& content = "", unsigned long attributes = kAttributeNormal);
    bool exists(const std::string& path) const { return files.count(upper(path)) != 0; }
    // The file's content, "<folder>" or "<missing>".
    std::string read(const std::string& path) const;
    void setValue(int root, const std::string& key, const std::string& name, unsigned long type,
                  const std::string& data);
    bool hasKey(int root, const std::string& key) const { return keys.count(keyName(root, key)) != 0; }
    const FakeValue* value(int root, const std::string& key, const std::string& name) const;
    static std::string keyName(int root, const std::string& key) { return std::to_string(root) + "|" + upper(key); }
};

extern FakeMachine fake;
extern EngineHost fakeHost;

// Empties the fake machine, sets up RunState and the lists for a load, and
// makes fakeHost the engine's host.
void resetFakeMachine();

// The smallest file that passes for a Win32 image.
std::string win32Image();

// The fake host's record writer: lines go to fake.record.
void recordToFake(const char* line);

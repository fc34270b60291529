#include "engine/record.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "engine/preview.h"
#include "startup/runstate.h"

namespace {

enum Outcome { Removed, Restored, Kept, Deferred, Missing, Failed, Ran, kOutcomes };
const char* const kOutcomeNames[kOutcomes] = {"removed", "restored", "kept", "deferred", "missing", "failed", "ran"};
const char* const kPreviewNames[kOutcomes] = {"would remove", "would restore", "would keep", "would defer",
                                              "missing",      "would fail",    "would run"};

EngineHost real;   // the host behind the gate
bool gated, previewing;

struct Item {
    bool open = false;
    std::string kind, text, keptWhy;
    bool deferred = false, restored = false, ran = false;
    // Each path's last answer: an item touches few paths, so a list is
    // cheaper than a map.
    std::vector<std::pair<std::string, unsigned long>> results;
} item;

int counts[kOutcomes];
std::string lastItem;

void writeLine(const std::string& line)
{
    if (runState.host && runState.host->writeRecordLine)
        runState.host->writeRecordLine(line.c_str());
}

constexpr unsigned long kErrorPathNotFound = 3, kErrorDirectoryNotEmpty = 145, kErrorServiceDoesNotExist = 1060;

bool isMissing(unsigned long error)
{
    return error == kErrorFileNotFound || error == kErrorPathNotFound || error == kErrorServiceDoesNotExist;
}

unsigned long observe(const std::string& path, unsigned long result)
{
    if (!item.open)
        return result;
    for (auto& known : item.results)
        if (known.first == path) {
            known.second = result;
            return result;
        }
    item.results.emplace_back(path, result);
    return result;
}

// --- The gate: every call that changes the machine --------------------------

unsigned long deleteFile(const char* path) { return observe(path, real.deleteFile(path)); }
unsigned long removeDirectory(const char* path) { return observe(path, real.removeDirectory(path)); }
unsigned long truncateFile(const char* path, unsigned long length)
{
    return observe(path, real.truncateFile(path, length));
}
unsigned long copyFile(const char* from, const char* to)
{
    unsigned long result = real.copyFile(from, to);
    item.restored = item.restored || result == 0;
    return observe(to, result);
}
unsigned long writeNewFile(const char* path, const std::string& content)
{
    return observe(path, real.writeNewFile(path, content));
}
unsigned long replaceFile(const char* from, const char* to) { return observe(to, real.replaceFile(from, to)); }
unsigned long moveAtRestart(const char* from, const char* to)
{
    unsigned long result = real.moveAtRestart(from, to);
    item.deferred = item.deferred || result == 0;
    return observe(std::string("restart ") + from, result);
}
unsigned long renameAtRestart(const char* key, const char* value)
{
    unsigned long result = real.renameAtRestart(key, value);
    item.deferred = item.deferred || result == 0;
    return observe(std::string("restart ") + key + "=" + value, result);
}
unsigned long writeIniString(const char* file, const char* section, const char* key, const char* value)
{
    unsigned long result = real.writeIniString(file, section, key, value);
    item.restored = item.restored || (result == 0 && value);
    return observe(std::string(file) + "[" + section + "]" + key, result);
}
unsigned long setRegistryValue(int root, const char* key, const char* name, unsigned long type, const void* data,
                               unsigned long size)
{
    unsigned long result = real.setRegistryValue(root, key, name, type, data, size);
    item.restored = item.restored || result == 0;
    return observe(std::to_string(root) + key + "\\" + name, result);
}
unsigned long deleteRegistryValue(int root, const char* key, const char* name)
{
    return observe(std::to_string(root) + key + "\\" + name, real.deleteRegistryValue(root, key, name));
}
unsigned long deleteRegistryKey(int root, const char* key)
{
    return observe(std::to_string(root) + key, real.deleteRegistryKey(root, key));
}
unsigned long startAndWait(const char* command)
{
    unsigned long result = real.startAndWait(command);
    item.ran = item.ran || result == 0;
    return observe(command, result);
}
unsigned long startProgram(const char* command)
{
    unsigned long result = real.startProgram(command);
    item.ran = item.ran || result == 0;
    return observe(command, result);
}
unsigned long removeService(const char* name) { return observe(name, real.removeService(name)); }
unsigned long callServerEntry(const char* path, bool registerServer)
{
    unsigned long result = real.callServerEntry(path, registerServer);
    item.restored = item.restored || (registerServer && result == 0);
    return observe(std::string("server ") + path, result);
}
unsigned long ddeExecute(const char* command) { return observe(command, real.ddeExecute(command)); }

} // namespace

void gateHost(EngineHost* host, bool preview)
{
    // The one place where a run's changes are made or only answered for:
    // everything else runs the same either way.
    if (preview)
        previewOnly(host);
    previewing = preview;
    real = *host;
    gated = true;
    host->deleteFile = deleteFile;
    host->removeDirectory = removeDirectory;
    host->truncateFile = truncateFile;
    host->copyFile = copyFile;
    host->writeNewFile = writeNewFile;
    host->replaceFile = replaceFile;
    host->moveAtRestart = moveAtRestart;
    host->renameAtRestart = renameAtRestart;
    host->writeIniString = writeIniString;
    host->setRegistryValue = setRegistryValue;
    host->deleteRegistryValue = deleteRegistryValue;
    host->deleteRegistryKey = deleteRegistryKey;
    host->startAndWait = startAndWait;
    host->startProgram = startProgram;
    host->removeService = removeService;
    host->callServerEntry = callServerEntry;
    host->ddeExecute = ddeExecute;
}

void startRecord(const RecordHeader& header)
{
    item = Item{};
    for (int& count : counts)
        count = 0;
    lastItem.clear();
    writeLine("Ruvo Uninstall action record");
    writeLine(std::string("program\t") + header.program);
    writeLine(std::string("log\t") + header.logPath);
    writeLine(std::string("title\t") + (header.title ? header.title : ""));
    writeLine(std::string("run\t") + header.kind);
    writeLine(std::string("platform\t") + header.family);
    writeLine(std::string("started\t") + header.started);
}

void recordItem(const char* kind, const char* text)
{
    endRecordItem();
    item.open = gated;
    item.kind = kind;
    item.text = text;
    lastItem = text;
}

void recordKept(const char* why)
{
    if (item.open && item.keptWhy.empty())
        item.keptWhy = why;
}

void endRecordItem()
{
    if (!item.open)
        return;
    Outcome outcome = Missing;
    std::string detail;
    unsigned long failure = 0;
    bool acted = false;
    for (const auto& [path, result] : item.results) {
        if (result == 0)
            acted = true;
        else if (!isMissing(result) && !failure)
            failure = result;
    }
    if (failure == kErrorDirectoryNotEmpty && item.keptWhy.empty())
        item.keptWhy = "still holds files";
    if (!item.keptWhy.empty()) {
        outcome = Kept;
        detail = item.keptWhy;
    } else if (item.deferred) {
        outcome = Deferred;
        detail = "at the next restart";
    } else if (failure) {
        outcome = Failed;
        char text[256] = "";
        if (runState.host->errorText)
            runState.host->errorText(failure, text, sizeof text);
        detail = "error " + std::to_string(failure) + (text[0] ? ": " + std::string(text) : "");
    } else if (item.ran) {
        outcome = Ran;
    } else if (item.restored) {
        outcome = Restored;
    } else if (acted) {
        outcome = Removed;
    }
    // A preview's answers come from the present state: what it would act on
    // is there now.
    if (previewing && (outcome == Removed || outcome == Restored || outcome == Deferred))
        detail = detail.empty() ? "present" : "present, " + detail;
    ++counts[outcome];
    const char* const* names = previewing ? kPreviewNames : kOutcomeNames;
    writeLine(std::string(names[outcome]) + "\t" + item.kind + "\t" + item.text + "\t" + detail);
    item = Item{};
}

void finishRecord(const char* ending)
{
    endRecordItem();
    std::string sums;
    for (int i = 0; i < kOutcomes; ++i)
        sums += std::string(i ? ", " : "") + std::to_string(counts[i]) + " " + (previewing ? kPreviewNames : kOutcomeNames)[i];
    writeLine(std::string("ended\t") + ending + "\t" + sums);
}

const char* lastRecordedItem()
{
    return lastItem.c_str();
}

// Files that several products share carry a reference count in SharedDLLs,
// one value per file named by its path. An uninstall gives its references
// back; a file others still count on stays, and one nobody counts any more
// goes only with the user's consent.
#include "engine/shareddlls.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_set>

#include "common/text.h"
#include "engine/enginehost.h"
#include "engine/regvalue.h"
#include "startup/runstate.h"

namespace {

std::string keepReason;

const char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr unsigned long kCountDataLimit = 256;

constexpr int kMessageSharedFile = 38, kMessageSharedQuestion = 39;

// The names of the counts, read once before the shared steps. Asking for a
// count is a round trip to the registry (under Wine, a request to the
// wineserver) for every logged file, and most logged files have none: one
// walk over the key's names answers for every file it does not name. Used
// only while `namesKnown`, which needs every name in plain ASCII, where
// the registry's case-insensitive match is ASCII's. (Not compareNoCase's
// folding: that is the platform's upper-casing in the user's language,
// which may take "i" elsewhere than "I", as Turkish does.)
std::unordered_set<std::string> countedNames;   // in upper case
bool namesKnown = false;

bool plainAscii(const char* text)
{
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) >= 0x80 || *text == '?')   // '?': a character the code page lacks
            return false;
    return true;
}

std::string asciiUpper(const char* text)
{
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(upperAscii(static_cast<unsigned char>(c)));
    return upper;
}

// False when the walk shows the file has no count; true when it may have.
bool mayBeCounted(const char* path)
{
    return !namesKnown || !plainAscii(path) || countedNames.count(asciiUpper(path)) != 0;
}

// The user's answer for the file, or the run's remembered one.
bool userSaysYes(const char* path)
{
    RunState& rs = runState;
    if (rs.silentRun || rs.sharedNoToAll) {
        keepReason = rs.silentRun ? "nobody counts it, but a silent run asks nobody" : "the user answered No to All";
        return false;
    }
    if (rs.sharedYesToAll)
        return true;
    char format[kProgressTextSize], question[kProgressTextSize];
    rs.host->loadMessage(kMessageSharedFile, format, sizeof format);
    formatMessage(rs.progressText, kProgressTextSize, format, path);
    rs.host->loadMessage(kMessageSharedQuestion, question, sizeof question);
    appendText(rs.progressText, kProgressTextSize, question);
    switch (rs.host->askSharedFile(rs.progressText, path)) {
    case kSharedYes:
        return true;
    case kSharedYesToAll:
        rs.sharedYesToAll = 1;
        return true;
    case kSharedNoToAll:
        rs.sharedNoToAll = 1;
        keepReason = "the user answered No to All";
        return false;
    default:   // No, Escape, the close box
        keepReason = "the user answered No";
        return false;
    }
}

} // namespace

void learnSharedCounts(size_t files)
{
    forgetSharedCounts();
    // A preview's host finds each name by walking from the first, which
    // would make the walk quadratic: a preview asks file by file.
    const EngineHost* host = runState.host;
    if (!runState.windows4OrLater || runState.previewRun || !host->registryEntry)
        return;
    char name[kPathSize];
    for (unsigned long i = 0;; ++i) {
        unsigned long error = host->registryEntry(kRootLocalMachine, kSharedDllsKey, false, i, name, sizeof name);
        if (error == kErrorNoMoreItems || (error == kErrorFileNotFound && i == 0))
            break;
        // More names than files to ask about would cost more than the
        // questions they spare; a name too long or not plain ASCII cannot
        // be matched here.
        if (error != 0 || i >= files || !plainAscii(name)) {
            forgetSharedCounts();
            return;
        }
        countedNames.insert(asciiUpper(name));
    }
    namesKnown = true;
}

void forgetSharedCounts()
{
    countedNames.clear();
    namesKnown = false;
}

SharedRelease releaseSharedFile(const char* path, int sharedCount)
{
    const EngineHost* host = runState.host;
    // Before Windows 4 nothing counts shared files.
    if (!runState.windows4OrLater || !mayBeCounted(path))
        return SharedNotCounted;
    unsigned char data[kCountDataLimit];
    unsigned long type = 0, size = sizeof data;
    long long count = 0;
    if (host->queryRegistryValue(kRootLocalMachine, kSharedDllsKey, path, &type, data, &size) != 0 ||
        !countFromRegistryData(type, data, size, &count) || count <= 0)
        return SharedNotCounted;

    // A rollback gives back only the last installation's reference.
    long long had = count;
    count -= runState.rollbackRequested ? 1 : sharedCount;
    if (count > 0) {
        uint32_t left = static_cast<uint32_t>(count);
        unsigned char dword[4] = {static_cast<unsigned char>(left), static_cast<unsigned char>(left >> 8),
                                  static_cast<unsigned char>(left >> 16), static_cast<unsigned char>(left >> 24)};
        host->setRegistryValue(kRootLocalMachine, kSharedDllsKey, path, kRegDword, dword, sizeof dword);
        keepReason = "still counted by other software (count " + std::to_string(had) + ", " + std::to_string(count) +
                     " after this run)";
        return SharedKeep;
    }
    bool remove = userSaysYes(path);
    // Nobody counts the file any more, whatever becomes of it.
    host->deleteRegistryValue(kRootLocalMachine, kSharedDllsKey, path);
    return remove ? SharedRemove : SharedKeep;
}

const char* sharedKeepReason()
{
    return keepReason.c_str();
}

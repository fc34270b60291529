// Files that several products share carry a reference count in SharedDLLs,
// one value per file named by its path. An uninstall gives its references
// back; a file others still count on stays, and one nobody counts any more
// goes only with the user's consent.
#include "engine/shareddlls.h"

#include <cstdint>
#include <cstring>

#include "common/text.h"
#include "engine/enginehost.h"
#include "startup/runstate.h"

namespace {

const char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr int kLocalMachine = 2;
constexpr unsigned long kRegSz = 1, kRegBinary = 3, kRegDword = 4;
constexpr unsigned long kCountDataLimit = 256;

constexpr int kMessageSharedFile = 38, kMessageSharedQuestion = 39;

long long littleEndian32(const unsigned char* data)
{
    uint32_t value = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
    return static_cast<int32_t>(value);
}

// Leading blanks, a sign and decimal digits, as atoi reads them; clamped
// rather than overflowing.
long long decimalCount(const char* text, size_t size)
{
    size_t at = 0;
    while (at < size && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    bool negative = at < size && text[at] == '-';
    if (at < size && (text[at] == '-' || text[at] == '+'))
        ++at;
    long long value = 0;
    for (; at < size && text[at] >= '0' && text[at] <= '9'; ++at)
        value = value < 0x7FFFFFFF ? value * 10 + (text[at] - '0') : value;
    if (value > 0x7FFFFFFF)
        value = 0x7FFFFFFF;
    return negative ? -value : value;
}

// The user's answer for the file, or the run's remembered one.
bool userSaysYes(const char* path)
{
    RunState& rs = runState;
    if (rs.silentRun || rs.sharedNoToAll)
        return false;
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
        return false;
    default:   // No, Escape, the close box
        return false;
    }
}

} // namespace

bool sharedCountOf(unsigned long type, const unsigned char* data, size_t size, long long* count)
{
    if (type == kRegSz) {
        const void* end = memchr(data, '\0', size);
        *count = decimalCount(reinterpret_cast<const char*>(data),
                              end ? static_cast<size_t>(static_cast<const unsigned char*>(end) - data) : size);
    }
    else if ((type == kRegDword || type == kRegBinary) && size == 4)
        *count = littleEndian32(data);
    else
        return false;
    return true;
}

SharedRelease releaseSharedFile(const char* path, int sharedCount)
{
    const EngineHost* host = runState.host;
    if (!runState.windows4OrLater)
        return SharedNotCounted;   // before Windows 4 nothing counts shared files
    unsigned char data[kCountDataLimit];
    unsigned long type = 0, size = sizeof data;
    long long count = 0;
    if (host->queryRegistryValue(kLocalMachine, kSharedDllsKey, path, &type, data, &size) != 0 ||
        !sharedCountOf(type, data, size, &count) || count <= 0)
        return SharedNotCounted;

    // A rollback gives back only the last installation's reference.
    count -= runState.rollbackRequested ? 1 : sharedCount;
    if (count > 0) {
        uint32_t left = static_cast<uint32_t>(count);
        unsigned char dword[4] = {static_cast<unsigned char>(left), static_cast<unsigned char>(left >> 8),
                                  static_cast<unsigned char>(left >> 16), static_cast<unsigned char>(left >> 24)};
        host->setRegistryValue(kLocalMachine, kSharedDllsKey, path, kRegDword, dword, sizeof dword);
        return SharedKeep;
    }
    bool remove = userSaysYes(path);
    // Nobody counts the file any more, whatever becomes of it.
    host->deleteRegistryValue(kLocalMachine, kSharedDllsKey, path);
    return remove ? SharedRemove : SharedKeep;
}

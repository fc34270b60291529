// Fuzzes the command line, which whoever starts the program writes: any
// bytes as the line, in a writable buffer of exactly its length with its
// NUL, as start-up parses it. The switches leave the line as it was and
// return a place inside it where parsing, begun again, stops at once (for a
// line that starts with a switch or the log path, as start-up gives it);
// the record's path is a terminated piece of the line. The split that follows
// gives back the line: path, blank, the title with at most one quote taken
// off each end. The same bytes as the companion INI's short path give the
// log beside it, or nothing when the field is too small, never a byte more.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "startup/cmdline.h"

namespace {

void require(bool condition)
{
    if (!condition)
        abort();
}

bool isFlag(int value)
{
    return value == 0 || value == 1;
}

void checkSwitches(const Switches& s, const std::string& line)
{
    require(isFlag(s.automaticRun) && isFlag(s.silentRun) && isFlag(s.rollbackRequested) &&
            isFlag(s.finalPageStart) && isFlag(s.relaunchedCopy) && isFlag(s.recordRequested) &&
            isFlag(s.helpRequested) && isFlag(s.previewRequested));
    require(!s.silentRun || s.automaticRun);
    const char* end = static_cast<const char*>(memchr(s.recordPath, '\0', sizeof s.recordPath));
    require(end != nullptr);
    require(s.recordPath[0] == '\0' || (s.recordRequested && line.find(s.recordPath) != std::string::npos));
}

// The path and title put back together must be the text they came from.
void checkSplit(char* cursor, const char* bufferEnd, const std::string& before)
{
    char* title = splitTitle(cursor);
    std::string path = cursor;
    require(path.find(' ') == std::string::npos);
    if (path.size() == before.size()) {
        require(title == nullptr && path == before);
        return;
    }
    require(before.compare(0, path.size() + 1, path + " ") == 0);
    std::string after = before.substr(path.size() + 1);
    if (!after.empty() && after.front() == '"')
        after.erase(0, 1);
    if (!after.empty() && after.back() == '"')
        after.pop_back();
    if (title == nullptr) {
        require(after.empty());
        return;
    }
    require(title > cursor && title < bufferEnd && title + strlen(title) <= bufferEnd);
    require(after == title);
}

void checkDefaultLog(const char* iniPath)
{
    const char* slash = strrchr(iniPath, '\\');
    std::string expected = std::string(iniPath, slash ? slash + 1 - iniPath : 0) + "INSTALL.LOG";
    for (size_t capacity : {size_t{0}, size_t{1}, expected.size(), expected.size() + 1, size_t{260}}) {
        // Exactly `capacity` bytes, so that a byte past the field is caught.
        std::unique_ptr<char[]> out(new char[capacity]);
        bool fits = defaultLogPath(out.get(), capacity, iniPath);
        require(fits == (expected.size() < capacity));
        require(!fits || out.get() == expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<char[]> buffer(new char[size + 1]);
    memcpy(buffer.get(), data, size);
    buffer[size] = '\0';
    const std::string line = buffer.get();
    const char* lineEnd = buffer.get() + line.size();

    Switches switches = {};
    char* cursor = parseSwitches(buffer.get(), &switches);
    require(cursor >= buffer.get() && cursor <= lineEnd);
    require(line == buffer.get());
    require(*cursor != ' ');
    checkSwitches(switches, line);
    require(!(beginsWithZ(buffer.get()) && line[1] == 'z') || switches.relaunchedCopy);

    // Start-up code hands over the line without the blanks before it;
    // switches after such blanks are the log path's.
    Switches again = {}, none = {};
    if (line[0] != ' ') {
        require(parseSwitches(cursor, &again) == cursor);
        require(memcmp(&again, &none, sizeof again) == 0);
    }

    checkSplit(cursor, lineEnd, std::string(cursor));
    checkDefaultLog(line.c_str());
    return 0;
}

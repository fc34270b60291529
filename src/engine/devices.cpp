// An installation may have added a virtual device driver to [386Enh] of
// SYSTEM.INI. When its file goes, every "device=" line naming it becomes a
// comment; nothing is deleted from SYSTEM.INI.
#include "engine/devices.h"

#include <cstring>

#include "common/text.h"
#include "engine/enginehost.h"
#include "engine/record.h"
#include "startup/runstate.h"

namespace {

constexpr size_t kSystemIniLimit = 16 * 1024 * 1024;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Whole-text, case-insensitive; a NUL inside the line never matches. An
// empty name names no driver (a logged path that is the System folder
// itself leaves one), or every bare "device=" line would go with it.
bool sameText(const char* line, size_t length, const char* name)
{
    return length > 0 && strlen(name) == length && memchr(line, '\0', length) == nullptr &&
           compareNoCasePart(line, name, length) == 0;
}

} // namespace

bool commentOutDevices(const std::string& text, const char* devicePath, const char* deviceName, std::string* out)
{
    out->clear();
    out->reserve(text.size() + 64);
    bool inSection = false, changed = false;
    for (size_t at = 0; at < text.size();) {
        // A line ends at CR LF, CR or LF.
        size_t end = text.find_first_of("\r\n", at);
        bool terminated = end != std::string::npos;
        if (!terminated)
            end = text.size();
        const char* line = text.data() + at;
        size_t length = end - at;
        size_t indent = 0;
        while (indent < length && isBlank(line[indent]))
            ++indent;
        const char* p = line + indent;
        size_t rest = length - indent;
        if (inSection) {
            // Any section header ends [386Enh], another [386Enh] too.
            if (rest > 0 && p[0] == '[') {
                inSection = false;
            } else if (rest >= 7 && compareNoCasePart(p, "device=", 7) == 0 &&
                       (sameText(p + 7, rest - 7, deviceName) || sameText(p + 7, rest - 7, devicePath))) {
                out->push_back(';');   // before the indentation, which stays
                changed = true;
            }
        } else if (rest >= 8 && compareNoCasePart(p, "[386Enh]", 8) == 0) {
            inSection = true;
        }
        out->append(line, length);
        if (terminated) {
            out->append("\r\n");
            end += text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
        }
        at = end;
    }
    return changed;
}

unsigned long removeDevice(const char* path)
{
    const EngineHost* host = runState.host;
    char windows[kPathSize], system[kPathSize], wow64[kPathSize];
    host->systemFolders(windows, system, wow64, kPathSize);
    std::string systemIni = std::string(windows) + "\\SYSTEM.INI";
    std::string workFile = std::string(windows) + "\\~RUVS383.TMP";

    // The name a line may give instead of the path: the part after the
    // System directory.
    std::string systemPrefix = std::string(system) + (system[0] && system[strlen(system) - 1] == '\\' ? "" : "\\");
    const char* deviceName = path;
    if (system[0] && compareNoCasePart(path, systemPrefix.c_str(), systemPrefix.size()) == 0)
        deviceName = path + systemPrefix.size();

    // A read-only SYSTEM.INI is left as it is.
    unsigned long attributes = host->attributes(systemIni.c_str());
    if (attributes != kNoAttributes && (attributes & kAttributeReadOnly)) {
        recordKept("SYSTEM.INI is read-only");
        return kErrorAccessDenied;
    }
    std::string text, rewritten;
    unsigned long error = host->readFile(systemIni.c_str(), &text, kSystemIniLimit);
    if (error != 0)
        return error;
    if (!commentOutDevices(text, path, deviceName, &rewritten)) {
        recordKept("no device line of SYSTEM.INI names it");
        return 0;
    }
    error = host->writeNewFile(workFile.c_str(), rewritten);
    if (error == 0)
        error = host->replaceFile(workFile.c_str(), systemIni.c_str());
    if (error != 0)
        host->deleteFile(workFile.c_str());
    return error;
}

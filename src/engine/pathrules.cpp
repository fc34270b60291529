#include "engine/pathrules.h"

#include <cstring>

#include "common/text.h"

bool hasDotComponent(const char* path)
{
    const char* component = path;
    for (const char* at = path;; ++at) {
        if (*at == '\\' || *at == '/' || *at == '\0') {
            size_t length = static_cast<size_t>(at - component);
            if ((length == 1 && component[0] == '.') || (length == 2 && component[0] == '.' && component[1] == '.'))
                return true;
            if (*at == '\0')
                return false;
            component = at + 1;
        }
    }
}

bool endsWithNoCase(const char* path, const char* ending)
{
    size_t length = strlen(path), endingLength = strlen(ending);
    return length >= endingLength && compareNoCasePartAscii(path + length - endingLength, ending, endingLength) == 0;
}

bool isDriveRootPattern(const char* pattern)
{
    return strlen(pattern) == 6 && pattern[1] == ':' && strcmp(pattern + 2, "\\*.*") == 0;
}

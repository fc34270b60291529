#include "ui/pathfit.h"

#include <cstring>

#include "common/text.h"

static char* pathLine(char* text)
{
    char* at = text + strcspn(text, "\r\n");
    if (*at == '\0')
        return text;
    at += strspn(at, "\r\n");
    return *at ? at : text;
}

// One pass; false when the copy cannot get shorter.
static bool shortenOnce(char* copy)
{
    size_t length = strlen(copy);
    const char* firstSlash = strchr(copy, '\\');
    if (firstSlash) {
        char* start = copy + (firstSlash - copy) + 1;
        char* at = start;
        if (*at == '.') {                       // the "..." of an earlier pass
            char* slash = strchr(at, '\\');
            at = slash ? slash + 1 : at + strlen(at);
        }
        char* componentEnd = strchr(at, '\\');
        if (componentEnd && componentEnd - start > 3) {
            memmove(start + 3, componentEnd, strlen(componentEnd) + 1);
            memcpy(start, "...", 3);
            return true;
        }
    }
    if (length < 4)
        return false;
    memcpy(copy + length - 4, "...", 4);   // the last four characters become "..."
    return true;
}

void fitPath(char* text, size_t capacity, int available, MeasureText measure, void* context)
{
    char* line = pathLine(text);
    char copy[kFitCopySize];
    copyText(copy, line);
    if (measure(copy, context) < available)
        return;
    while (measure(copy, context) >= available)
        if (!shortenOnce(copy))
            break;
    copyText(line, capacity - static_cast<size_t>(line - text), copy);
}

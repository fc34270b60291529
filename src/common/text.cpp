#include "common/text.h"

#include <cstring>

size_t copyTextPart(char* dst, size_t capacity, const char* src, size_t count)
{
    if (capacity == 0)
        return 0;
    size_t n = 0;
    while (n < count && n + 1 < capacity && src[n] != '\0') {
        dst[n] = src[n];
        ++n;
    }
    dst[n] = '\0';
    return n;
}

size_t copyText(char* dst, size_t capacity, const char* src)
{
    return copyTextPart(dst, capacity, src, static_cast<size_t>(-1));
}

size_t appendText(char* dst, size_t capacity, const char* src)
{
    if (capacity == 0)
        return 0;
    size_t used = strnlen(dst, capacity);
    if (used >= capacity) {        // unterminated: terminate at the last byte
        dst[capacity - 1] = '\0';
        return capacity - 1;
    }
    return used + copyText(dst + used, capacity - used, src);
}

size_t formatMessage(char* out, size_t capacity, const char* format, const char* argument)
{
    if (capacity == 0)
        return 0;
    size_t n = 0;
    bool substituted = false;
    for (const char* p = format; *p != '\0' && n + 1 < capacity; ++p) {
        if (p[0] == '%' && p[1] == '%') {
            out[n++] = '%';
            ++p;
        } else if (p[0] == '%' && p[1] == 's' && !substituted) {
            substituted = true;
            n += copyText(out + n, capacity - n, argument ? argument : "");
            ++p;
        } else {
            out[n++] = *p;
        }
    }
    out[n] = '\0';
    return n;
}

namespace {

struct Folding {
    unsigned char upper[256];
    Folding()
    {
        for (int c = 0; c < 256; ++c)
            upper[c] = static_cast<unsigned char>(upperAscii(static_cast<unsigned char>(c)));
    }
};

Folding folding;

} // namespace

int upperAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
}

unsigned char foldCase(unsigned char c)
{
    return folding.upper[c];
}

void setCaseFolding(const unsigned char upper[256])
{
    memcpy(folding.upper, upper, sizeof folding.upper);
}

int compareNoCasePart(const char* a, const char* b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        int ca = folding.upper[static_cast<unsigned char>(a[i])];
        int cb = folding.upper[static_cast<unsigned char>(b[i])];
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
    return 0;
}

int compareNoCase(const char* a, const char* b)
{
    return compareNoCasePart(a, b, static_cast<size_t>(-1));
}

int compareNoCasePartAscii(const char* a, const char* b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        int ca = upperAscii(static_cast<unsigned char>(a[i]));
        int cb = upperAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
    return 0;
}

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

static int lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int compareNoCasePart(const char* a, const char* b, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        int ca = lowerAscii(static_cast<unsigned char>(a[i]));
        int cb = lowerAscii(static_cast<unsigned char>(b[i]));
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

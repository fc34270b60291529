#include "engine/regvalue.h"

#include <cstdint>
#include <cstring>

#include "log/keywords.h"

static int hexDigit(char c)
{
    if (c >= 'a' && c <= 'f')
        c = static_cast<char>(c - 'a' + 'A');
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Length of the first string, never reading past the list.
static size_t firstLength(const char* strings, size_t size)
{
    return strnlen(strings, size);
}

long registryData(int valueType, const char* strings, size_t stringsSize, unsigned char* data, size_t capacity)
{
    switch (valueType) {
    case 3: {   // REG_DWORD from signed decimal text
        char number[64] = "";
        size_t length = firstLength(strings, stringsSize);
        memcpy(number, strings, length < sizeof number - 1 ? length : sizeof number - 1);
        auto value = static_cast<uint32_t>(decimalNumber(number));
        if (capacity < 4)
            return 0;
        memcpy(data, &value, 4);
        return 4;
    }
    case 2: {   // REG_MULTI_SZ: every string with its NUL; the closing empty one not counted
        size_t at = 0;
        while (at < stringsSize && strings[at] != '\0')
            at += strnlen(strings + at, stringsSize - at) + 1;
        if (at > stringsSize)
            at = stringsSize;
        size_t count = at < capacity ? at : capacity;
        memcpy(data, strings, count);
        return static_cast<long>(count);
    }
    case 4: {   // REG_BINARY from hexadecimal text: pairs of digits, other characters skipped
        size_t length = firstLength(strings, stringsSize), count = 0;
        int high = -1;
        for (size_t i = 0; i < length && count < capacity; ++i) {
            int digit = hexDigit(strings[i]);
            if (digit < 0)
                continue;
            if (high < 0) {
                high = digit;
            } else {
                data[count++] = static_cast<unsigned char>(high << 4 | digit);
                high = -1;
            }
        }
        return static_cast<long>(count);
    }
    case 0:
    case 1: {   // REG_SZ, REG_EXPAND_SZ: the first string and its NUL
        size_t length = firstLength(strings, stringsSize);
        if (capacity == 0)
            return 0;   // no room even for the terminator
        if (length + 1 > capacity)
            length = capacity - 1;
        memcpy(data, strings, length);
        data[length] = '\0';
        return static_cast<long>(length + 1);
    }
    default:
        return -1;
    }
}

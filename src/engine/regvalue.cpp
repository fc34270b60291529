#include "engine/regvalue.h"

#include <cstdint>
#include <cstring>

#include "common/text.h"
#include "log/keywords.h"

static int hexDigit(char c)
{
    c = static_cast<char>(upperAscii(static_cast<unsigned char>(c)));
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

namespace {

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

} // namespace

bool countFromRegistryData(unsigned long type, const unsigned char* data, size_t size, long long* count)
{
    if (type == kRegSz) {
        const void* end = memchr(data, '\0', size);
        *count = decimalCount(reinterpret_cast<const char*>(data),
                              end ? static_cast<size_t>(static_cast<const unsigned char*>(end) - data) : size);
        return true;
    }
    if ((type == kRegDword || type == kRegBinary) && size == 4) {
        *count = littleEndian32(data);
        return true;
    }
    return false;
}


#include "common/linebreaks.h"

#include <cstring>

void expandLineBreaks(char* text, size_t capacity)
{
    if (capacity == 0)
        return;
    size_t length = strnlen(text, capacity);
    if (length == capacity) {
        text[capacity - 1] = '\0';
        length = capacity - 1;
    }
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '|')
            continue;
        if (i + 2 > capacity - 1) {         // not even the pair fits
            text[i] = '\0';
            return;
        }
        size_t newLength = length + 1 < capacity - 1 ? length + 1 : capacity - 1;
        // Move the tail after "|" one place right, dropping what would fall
        // off the end of the buffer.
        memmove(text + i + 2, text + i + 1, newLength - (i + 2));
        text[i] = '\r';
        text[i + 1] = '\n';
        text[newLength] = '\0';
        length = newLength;
        ++i;
    }
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "common/linebreaks.h"

namespace {

TEST(LineBreaks, BarsBecomeCrLfNeverPastTheCapacity)
{
    struct Case { const char* text; size_t capacity; const char* expected; } cases[] = {
        {"two|words", 64, "two\r\nwords"}, {"trailing|", 64, "trailing\r\n"}, {"a||b", 64, "a\r\n\r\nb"},
        {"none", 64, "none"}, {"%s|%s", 64, "%s\r\n%s"},
        {"ab|cdef", 8, "ab\r\ncde"},   // room for 7 characters: the tail falls off the end
        {"abcde|f", 8, "abcde\r\n"},
        {"abcdef|", 8, "abcdef"},      // a pair that no longer fits goes with what follows
        {"||||||", 8, "\r\n\r\n\r\n"},
        {"|", 2, ""}, {"", 1, ""},
        {"a|bc", 4, "a\r\n"}, {"abcd", 4, "abc"},   // unterminated: cut at the capacity
    };
    for (const Case& c : cases) {
        // The text in a buffer of exactly `capacity` bytes followed by guard bytes.
        std::string buffer(c.capacity + 8, '#');
        memcpy(&buffer[0], c.text, std::min(strlen(c.text) + 1, c.capacity));
        expandLineBreaks(&buffer[0], c.capacity);
        EXPECT_EQ(buffer.substr(c.capacity), "########") << c.text << ": wrote past the capacity";
        EXPECT_STREQ(buffer.c_str(), c.expected) << c.text;
    }
}

} // namespace

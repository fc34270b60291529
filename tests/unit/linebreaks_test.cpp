#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/linebreaks.h"

namespace {

// Expands `text` in a buffer of exactly `capacity` bytes followed by guard
// bytes, and checks that nothing was written past the capacity.
std::string expand(const char* text, size_t capacity)
{
    std::string buffer(capacity + 8, '#');
    size_t length = strlen(text);
    EXPECT_LT(length, capacity) << "test text must fit its buffer";
    memcpy(&buffer[0], text, length + 1);
    expandLineBreaks(&buffer[0], capacity);
    EXPECT_EQ(buffer.substr(capacity), std::string(8, '#')) << "wrote past the capacity";
    EXPECT_NE(memchr(buffer.data(), '\0', capacity), nullptr) << "not terminated";
    return std::string(buffer.c_str());
}

TEST(LineBreaks, BarsBecomeCrLf)
{
    EXPECT_EQ(expand("two|words", 64), "two\r\nwords");
    EXPECT_EQ(expand("trailing|", 64), "trailing\r\n");
    EXPECT_EQ(expand("a||b", 64), "a\r\n\r\nb");
    EXPECT_EQ(expand("|", 64), "\r\n");
    EXPECT_EQ(expand("none", 64), "none");
    EXPECT_EQ(expand("", 64), "");
    EXPECT_EQ(expand("%s|%s", 64), "%s\r\n%s");
}

TEST(LineBreaks, NeverGrowsPastTheCapacity)
{
    // Room for 7 characters: the tail falls off the end.
    EXPECT_EQ(expand("ab|cdef", 8), "ab\r\ncde");
    // A pair that no longer fits is dropped with what follows it.
    EXPECT_EQ(expand("abcde|f", 8), "abcde\r\n");
    EXPECT_EQ(expand("abcdef|", 8), "abcdef");
    EXPECT_EQ(expand("||||||", 8), "\r\n\r\n\r\n");
    EXPECT_EQ(expand("|", 2), "");
    EXPECT_EQ(expand("", 1), "");
}

TEST(LineBreaks, UnterminatedInputIsCutAtTheCapacity)
{
    char buffer[4] = {'a', '|', 'b', 'c'};
    expandLineBreaks(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "a\r\n");
}

} // namespace

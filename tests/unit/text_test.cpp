#include <gtest/gtest.h>

#include <cstring>

#include "common/text.h"

namespace {

TEST(Text, CopyCutsAtTheCapacityAndTerminates)
{
    char field[8];
    memset(field, '#', sizeof field);
    EXPECT_EQ(copyText(field, "0123456789"), 7u);
    EXPECT_STREQ(field, "0123456");
    EXPECT_EQ(copyText(field, "ab"), 2u);
    EXPECT_STREQ(field, "ab");

    char guard[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(copyText(guard, 0, "abc"), 0u);   // capacity 0 writes nothing
    EXPECT_EQ(guard[0], 'x');
    EXPECT_EQ(copyText(guard, 1, "abc"), 0u);
    EXPECT_EQ(guard[0], '\0');
}

TEST(Text, CopyPartTakesAtMostCountCharacters)
{
    char field[16];
    EXPECT_EQ(copyTextPart(field, sizeof field, "C:\\APP\\X.LOG", 7), 7u);
    EXPECT_STREQ(field, "C:\\APP\\");
    EXPECT_EQ(copyTextPart(field, 4, "C:\\APP\\X.LOG", 7), 3u);
    EXPECT_STREQ(field, "C:\\");
}

TEST(Text, AppendCutsAtTheCapacity)
{
    char field[10] = "C:\\";
    EXPECT_EQ(appendText(field, "APP"), 6u);
    EXPECT_EQ(appendText(field, "\\LONGNAME"), 9u);
    EXPECT_STREQ(field, "C:\\APP\\LO");
    char full[3] = {'a', 'b', 'c'};   // unterminated: terminated at its last byte
    EXPECT_EQ(appendText(full, "d"), 2u);
    EXPECT_STREQ(full, "ab");
}

TEST(Text, FormatMessageTakesOnlyTheFirstPercentSAndShowsTheRestLiterally)
{
    struct Case {
        const char* format;
        const char* argument;
        size_t capacity;
        const char* expected;
    };
    const Case cases[] = {
        {"Welcome to the %s program.", "Ruvo", 64, "Welcome to the Ruvo program."},
        {"%s %s %n %x %d %", "Ruvo", 64, "Ruvo %s %n %x %d %"},
        {"100%% of %s, %%s", "Ruvo", 64, "100% of Ruvo, %s"},
        {"%%s then %s", "Ruvo", 64, "%s then Ruvo"},
        {"no title here", "Ruvo", 64, "no title here"},
        {"[%s]", nullptr, 64, "[]"},
        {"ab%scd", "XYZ", 5, "abXY"},      // cut inside the argument
        {"%s!!", "abc", 5, "abc!"},        // cut after it
        {"%%%%", "", 2, "%"},
        {"%s", "abc", 1, ""},
    };
    for (const Case& c : cases) {
        char out[80];
        memset(out, '#', sizeof out);
        size_t length = formatMessage(out, c.capacity, c.format, c.argument);
        EXPECT_STREQ(out, c.expected) << c.format;
        EXPECT_EQ(length, strlen(c.expected)) << c.format;
        for (size_t i = c.capacity; i < sizeof out; ++i)
            ASSERT_EQ(out[i], '#') << c.format << " wrote past its capacity at " << i;
    }
    char guard = 'x';
    EXPECT_EQ(formatMessage(&guard, 0, "%s", "abc"), 0u);
    EXPECT_EQ(guard, 'x');
}

TEST(Text, CaseInsensitiveComparison)
{
    EXPECT_EQ(compareNoCase("C:\\Windows", "c:\\WINDOWS"), 0);
    EXPECT_LT(compareNoCase("abc", "abd"), 0);
    EXPECT_GT(compareNoCase("abc", "ab"), 0);
    EXPECT_EQ(compareNoCasePart("*** Installation", "*** other", 4), 0);
    EXPECT_NE(compareNoCasePart("Title", "Tit", 5), 0);
}

} // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "common/text.h"

namespace {

// Every helper writes into the first `capacity` bytes of a buffer whose
// rest must stay untouched, and returns the length it leaves.
TEST(Text, CopyAppendAndFormatCutAtTheCapacityAndTerminate)
{
    enum Op { Copy, CopyPart, Append, Format };
    // Copy: `first`. CopyPart: 7 characters of `first`. Append: `second`
    // onto `first`. Format: `first` with `second` for its first %s.
    struct Case { Op op; const char *first, *second; size_t capacity; const char* expected; } cases[] = {
        {Copy, "0123456789", nullptr, 8, "0123456"}, {Copy, "ab", nullptr, 8, "ab"},
        {Copy, "abc", nullptr, 0, ""}, {Copy, "abc", nullptr, 1, ""},
        {CopyPart, "C:\\APP\\X.LOG", nullptr, 16, "C:\\APP\\"}, {CopyPart, "C:\\APP\\X.LOG", nullptr, 4, "C:\\"},
        {Append, "C:\\APP", "\\LONGNAME", 10, "C:\\APP\\LO"},
        {Append, "abc", "d", 3, "ab"},   // unterminated: terminated at its last byte
        {Format, "Welcome to the %s program.", "Ruvo", 64, "Welcome to the Ruvo program."},
        {Format, "%s %s %n %x %d %", "Ruvo", 64, "Ruvo %s %n %x %d %"},
        {Format, "100%% of %s, %%s", "Ruvo", 64, "100% of Ruvo, %s"},
        {Format, "%%s then %s", "Ruvo", 64, "%s then Ruvo"},
        {Format, "[%s]", nullptr, 64, "[]"},
        {Format, "ab%scd", "XYZ", 5, "abXY"},   // cut inside the argument
        {Format, "%s!!", "abc", 5, "abc!"},     // cut after it
        {Format, "%%%%", "", 2, "%"}, {Format, "%s", "abc", 1, ""}, {Format, "%s", "abc", 0, ""},
    };
    for (const Case& c : cases) {
        std::string out(80, '#');
        size_t length = 0;
        switch (c.op) {
        case Copy: length = copyText(&out[0], c.capacity, c.first); break;
        case CopyPart: length = copyTextPart(&out[0], c.capacity, c.first, 7); break;
        case Append:
            memcpy(&out[0], c.first, std::min(strlen(c.first) + 1, c.capacity));
            length = appendText(&out[0], c.capacity, c.second);
            break;
        case Format: length = formatMessage(&out[0], c.capacity, c.first, c.second); break;
        }
        EXPECT_EQ(out.substr(c.capacity), std::string(out.size() - c.capacity, '#')) << c.first << " wrote past";
        EXPECT_EQ(length, strlen(c.expected)) << c.first;
        if (c.capacity > 0) {
            EXPECT_STREQ(out.c_str(), c.expected) << c.first;
        }
    }
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

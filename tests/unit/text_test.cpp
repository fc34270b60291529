// Text in fixed buffers: every helper writes only within its capacity.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/linebreaks.h"
#include "common/text.h"
#include "ui/pathfit.h"

namespace {

// Every helper writes into the first `capacity` bytes of a buffer whose
// rest must stay untouched, and leaves a terminated text of the length it
// returns.
TEST(Text, CopyAppendFormatAndLineBreaksCutAtTheCapacityAndTerminate)
{
    enum Op { Copy, CopyPart, Append, Format, Breaks };
    // Copy: `first`. CopyPart: 7 characters of `first`. Append: `second`
    // onto `first`. Format: `first` with `second` for its first %s.
    // Breaks: each "|" of `first` in place becomes CR LF.
    struct Case { Op op; const char *first, *second; size_t capacity; const char* expected; } cases[] = {
        {Copy, "0123456789", nullptr, 8, "0123456"}, {Copy, "abc", nullptr, 0, ""},
        {CopyPart, "C:\\APP\\X.LOG", nullptr, 16, "C:\\APP\\"}, {CopyPart, "C:\\APP\\X.LOG", nullptr, 4, "C:\\"},
        {Append, "C:\\APP", "\\LONGNAME", 10, "C:\\APP\\LO"},
        {Append, "abc", "d", 3, "ab"},   // unterminated: terminated at its last byte
        {Format, "Welcome to the %s program.", "Ruvo", 64, "Welcome to the Ruvo program."},
        {Format, "%s %s %n %x %d %", "Ruvo", 64, "Ruvo %s %n %x %d %"},
        {Format, "100%% of %s, %%s", "Ruvo", 64, "100% of Ruvo, %s"},
        {Format, "[%s]", nullptr, 64, "[]"},
        {Format, "ab%scd", "XYZ", 5, "abXY"},   // cut inside the argument
        {Format, "%s!!", "abc", 5, "abc!"},     // cut after it
        {Format, "%s", "abc", 0, ""},
        {Breaks, "a||b", nullptr, 64, "a\r\n\r\nb"}, {Breaks, "trailing|", nullptr, 64, "trailing\r\n"},
        {Breaks, "ab|cdef", nullptr, 8, "ab\r\ncde"},   // room for 7 characters: the tail falls off the end
        {Breaks, "abcde|f", nullptr, 8, "abcde\r\n"},
        {Breaks, "abcdef|", nullptr, 8, "abcdef"},   // a pair that no longer fits goes with what follows
        {Breaks, "|", nullptr, 2, ""}, {Breaks, "a|bc", nullptr, 4, "a\r\n"},
        {Breaks, "abcd", nullptr, 4, "abc"},   // unterminated: cut at the capacity
    };
    for (const Case& c : cases) {
        std::string out(80, '#');
        size_t length = 0;
        if (c.op == Append || c.op == Breaks)
            memcpy(&out[0], c.first, std::min(strlen(c.first) + 1, c.capacity));
        switch (c.op) {
        case Copy: length = copyText(&out[0], c.capacity, c.first); break;
        case CopyPart: length = copyTextPart(&out[0], c.capacity, c.first, 7); break;
        case Append: length = appendText(&out[0], c.capacity, c.second); break;
        case Format: length = formatMessage(&out[0], c.capacity, c.first, c.second); break;
        case Breaks:
            expandLineBreaks(&out[0], c.capacity);
            length = strlen(out.c_str());
            break;
        }
        EXPECT_EQ(out.substr(c.capacity), std::string(out.size() - c.capacity, '#')) << c.first << " wrote past";
        EXPECT_EQ(length, strlen(c.expected)) << c.first;
        if (c.capacity > 0) {
            EXPECT_STREQ(out.c_str(), c.expected) << c.first;
        }
    }
}

// Fitting a path to the action line: each character is one pixel wide here.

std::string fit(const std::string& text, int available, size_t capacity = 1024)
{
    std::vector<char> buffer(capacity + 8, '#');
    memcpy(buffer.data(), text.c_str(), text.size() + 1);
    fitPath(buffer.data(), capacity, available, [](const char* line, void*) { return static_cast<int>(strlen(line)); },
            nullptr);
    EXPECT_EQ(std::string(buffer.data() + capacity, 8), std::string(8, '#')) << "wrote past the capacity";
    return buffer.data();
}

const std::string kPrefix = "Removing File:\r\n", kPath = "C:\\Program Files\\App\\Data\\file.txt",
                  kLong = "C:\\" + std::string(400, 'a') + "\\b.txt";

TEST(PathFit, DirectoriesGiveWayFromTheLeftThenTheEndOneCharacterAtATime)
{
    struct Case { std::string text; int available; std::string expected; size_t capacity = 1024; } cases[] = {
        {kPrefix + kPath, 34, kPrefix + "C:\\...\\App\\Data\\file.txt"},
        {kPrefix + kPath, 24, kPrefix + "C:\\...\\Data\\file.txt", 51},   // just room
        {kPrefix + kPath, 0, kPrefix + "..."},   // too narrow: as short as it gets
        {"C:\\AB\\CDEFGHIJ\\x.txt", 20, "C:\\AB\\CDEFGHIJ\\x..."},    // short first directories stay
        {kLong, 100, "C:\\" + std::string(93, 'a') + "..."},   // shortened from the working copy
    };
    for (const Case& c : cases)
        EXPECT_EQ(fit(c.text, c.available, c.capacity), c.expected) << c.text << " in " << c.available;
}

} // namespace

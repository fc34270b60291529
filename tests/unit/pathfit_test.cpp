// Fitting a path to the action line: each character is one pixel wide here.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/pathfit.h"

namespace {

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
        {kPrefix + kPath, 35, kPrefix + kPath},
        {kPrefix + kPath, 34, kPrefix + "C:\\...\\App\\Data\\file.txt"},
        {kPrefix + kPath, 24, kPrefix + "C:\\...\\Data\\file.txt"},
        {kPrefix + kPath, 12, kPrefix + "C:\\...\\f..."},
        {kPrefix + kPath, 24, kPrefix + "C:\\...\\Data\\file.txt", 51},   // just room
        {kPrefix + kPath, 0, kPrefix + "..."},   // too narrow: as short as it gets
        {"C:\\Program Files\\App\\x.txt", 20, "C:\\...\\App\\x.txt"},   // a one-line text is fitted whole
        {"C:\\AB\\CDEFGHIJ\\x.txt", 20, "C:\\AB\\CDEFGHIJ\\x..."},    // short first directories stay
        {"\\\\server\\share\\dir\\file.txt", 27, "\\\\server\\share\\dir\\file..."},
        {kLong, 10000, kLong},   // fits: nothing is touched
        {kLong, 100, "C:\\" + std::string(93, 'a') + "..."},   // shortened from the working copy
    };
    for (const Case& c : cases)
        EXPECT_EQ(fit(c.text, c.available, c.capacity), c.expected) << c.text << " in " << c.available;
}

} // namespace

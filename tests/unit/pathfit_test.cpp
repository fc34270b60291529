// Fitting a path to the action line: each character is one pixel wide here.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/pathfit.h"

namespace {

int length(const char* text, void*)
{
    return static_cast<int>(strlen(text));
}

std::string fit(const std::string& text, int available, size_t capacity = 1024)
{
    std::vector<char> buffer(capacity + 8, '#');
    memcpy(buffer.data(), text.c_str(), text.size() + 1);
    fitPath(buffer.data(), capacity, available, length, nullptr);
    EXPECT_EQ(std::string(buffer.data() + capacity, 8), std::string(8, '#')) << "wrote past the capacity";
    return buffer.data();
}

TEST(PathFit, WholeDirectoriesGiveWayFromTheLeft)
{
    const std::string prefix = "Removing File:\r\n";
    std::string path = "C:\\Program Files\\App\\Data\\file.txt";   // 34 characters
    EXPECT_EQ(fit(prefix + path, 35), prefix + path);               // fits: unchanged
    EXPECT_EQ(fit(prefix + path, 34), prefix + "C:\\...\\App\\Data\\file.txt");
    EXPECT_EQ(fit(prefix + path, 24), prefix + "C:\\...\\Data\\file.txt");
    EXPECT_EQ(fit(prefix + path, 20), prefix + "C:\\...\\file.txt");
    // Then the end gives way one character at a time.
    EXPECT_EQ(fit(prefix + path, 15), prefix + "C:\\...\\file...");
    EXPECT_EQ(fit(prefix + path, 12), prefix + "C:\\...\\f...");
}

TEST(PathFit, ShortFirstDirectoriesAndUncPathsShortenFromTheEnd)
{
    EXPECT_EQ(fit("C:\\AB\\CDEFGHIJ\\x.txt", 20), "C:\\AB\\CDEFGHIJ\\x...");
    EXPECT_EQ(fit("\\\\server\\share\\dir\\file.txt", 27), "\\\\server\\share\\dir\\file...");
}

TEST(PathFit, AOneLineTextIsFittedWhole)
{
    EXPECT_EQ(fit("C:\\Program Files\\App\\x.txt", 20), "C:\\...\\App\\x.txt");
}

TEST(PathFit, ATooNarrowControlEndsTheLoop)
{
    std::string result = fit("Removing:\r\nC:\\Program Files\\App\\x.txt", 0);
    EXPECT_EQ(result.substr(0, 11), "Removing:\r\n");
    EXPECT_LT(result.size() - 11, 4u);
}

TEST(PathFit, LongPathLinesAreCutToTheWorkingCopy)
{
    std::string path = "C:\\" + std::string(400, 'a') + "\\b.txt";
    std::string result = fit(path, 10000);
    EXPECT_EQ(result, path);   // fits: nothing is touched
    result = fit(path, 100);
    EXPECT_LE(result.size(), kFitCopySize - 1);
    EXPECT_LT(static_cast<int>(result.size()), 100);
}

TEST(PathFit, TheResultStaysWithinTheCallersBuffer)
{
    std::string text = "Removing File:\r\nC:\\Program Files\\App\\Data\\file.txt";
    std::string result = fit(text, 24, text.size() + 1);
    EXPECT_EQ(result, "Removing File:\r\nC:\\...\\Data\\file.txt");
}

} // namespace

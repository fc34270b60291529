// Pure rules of the engine: which paths a removal refuses, and how logged
// old registry values become registry data.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/pathrules.h"
#include "engine/regvalue.h"

namespace {

TEST(PathRules, DotComponentsAreFound)
{
    for (const char* path : {"C:\\APP\\..\\", "C:\\APP\\..", "C:\\APP\\.\\X", "..\\X", ".", "C:/APP/../X",
                             "\\\\server\\share\\..\\x"})
        EXPECT_TRUE(hasDotComponent(path)) << path;
    for (const char* path : {"C:\\APP\\", "C:\\APP\\.cache\\", "C:\\APP\\...\\x", "C:\\APP\\a..b", "C:\\APP\\x.",
                             "", "C:\\"})
        EXPECT_FALSE(hasDotComponent(path)) << path;
}

TEST(PathRules, EndingsAndDriveRootPatterns)
{
    EXPECT_TRUE(endsWithNoCase("C:\\APP\\HELP\\App.hlp", ".HLP"));
    EXPECT_FALSE(endsWithNoCase("HLP", ".HLP"));
    EXPECT_TRUE(isDriveRootPattern("C:\\*.*"));
    EXPECT_TRUE(isDriveRootPattern("d:\\*.*"));
    EXPECT_FALSE(isDriveRootPattern("C:\\APP\\*.*"));
    EXPECT_FALSE(isDriveRootPattern("C:\\*.DAT"));
}

std::vector<unsigned char> data(int type, const std::string& strings)
{
    char list[2048] = {};
    memcpy(list, strings.data(), strings.size());
    unsigned char out[2048];
    long count = registryData(type, list, sizeof list, out, sizeof out);
    if (count < 0)
        return {0xEE};
    return std::vector<unsigned char>(out, out + count);
}

using Bytes = std::vector<unsigned char>;

TEST(RegistryData, DoubleWordsFromSignedDecimalText)
{
    EXPECT_EQ(data(3, std::string("-1\0\0", 4)), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(data(3, std::string("  42abc\0\0", 9)), (Bytes{42, 0, 0, 0}));
    EXPECT_EQ(data(3, std::string("x\0\0", 3)), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(data(3, std::string("\0", 1)), (Bytes{0, 0, 0, 0}));
}

TEST(RegistryData, BinaryFromHexPairs)
{
    EXPECT_EQ(data(4, std::string("0a 1B,2c 3\0\0", 12)), (Bytes{0x0A, 0x1B, 0x2C}));   // odd last digit lost
    EXPECT_EQ(data(4, std::string("FFxx00\0\0", 8)), (Bytes{0xFF, 0x00}));
    EXPECT_EQ(data(4, std::string("\0", 1)), Bytes{});
}

TEST(RegistryData, StringsAndMultiStrings)
{
    EXPECT_EQ(data(0, std::string("abc\0def\0\0", 9)), (Bytes{'a', 'b', 'c', 0}));
    EXPECT_EQ(data(1, std::string("%PATH%\0\0", 8)).size(), 7u);
    // "a" and "bc": five bytes, the closing empty string not counted.
    EXPECT_EQ(data(2, std::string("a\0bc\0\0", 6)), (Bytes{'a', 0, 'b', 'c', 0}));
    EXPECT_EQ(data(2, std::string("\0", 1)), Bytes{});
}

TEST(RegistryData, TypesOutsideTheLogFormatAreRefused)
{
    EXPECT_EQ(data(5, std::string("x\0\0", 3)), Bytes{0xEE});
    EXPECT_EQ(data(-1, std::string("x\0\0", 3)), Bytes{0xEE});
}

TEST(RegistryData, AnUnterminatedListIsReadWithinItsSize)
{
    char list[4] = {'a', 'b', 'c', 'd'};   // no NUL at all
    unsigned char out[16];
    EXPECT_EQ(registryData(0, list, sizeof list, out, sizeof out), 5);
    EXPECT_EQ(registryData(2, list, sizeof list, out, sizeof out), 4);
}

} // namespace

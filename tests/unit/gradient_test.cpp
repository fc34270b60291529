#include <gtest/gtest.h>

#include <climits>

#include "startup/gradient.h"

namespace {

struct Settings {
    int start[3];
    int end[3];
};

BandColour band(const Settings& s, int i)
{
    int delta[3] = {s.end[0] - s.start[0], s.end[1] - s.start[1], s.end[2] - s.start[2]};
    return bandColour(s.start, delta, i);
}

TEST(Gradient, DefaultsRunFromPureBlueToBlack)
{
    Settings s = {{0, 0, 255}, {0, 0, 0}};
    BandColour top = band(s, 0), bottom = band(s, 95), middle = band(s, 48);
    EXPECT_EQ((top.red | top.green), 0);
    EXPECT_EQ(top.blue, 255);
    EXPECT_EQ((bottom.red | bottom.green | bottom.blue), 0);
    EXPECT_EQ(middle.blue, 255 - 255 * 48 / 95);   // truncating division
}

TEST(Gradient, ValuesOutsideTheRangeAreLimitedPerBand)
{
    // Red 300 to 0: 255 until the interpolated value drops below 256.
    Settings s = {{300, -40, 0}, {0, 40, 0}};
    for (int i = 0; i < kBandCount; ++i) {
        int red = 300 - 300 * i / 95;
        int green = -40 + 80 * i / 95;
        BandColour c = band(s, i);
        EXPECT_EQ(c.red, red > 255 ? 255 : red) << "band " << i;
        EXPECT_EQ(c.green, green < 0 ? 0 : green) << "band " << i;
    }
    EXPECT_EQ(band(s, 14).red, 255);   // 300 - 44 = 256
    EXPECT_EQ(band(s, 15).red, 253);   // 300 - 47
}

TEST(Gradient, NegativeProductsTruncateTowardZero)
{
    // 100 + (-1 * 50) / 95 is 100 + 0 with truncation, 99 with flooring.
    Settings s = {{100, 0, 0}, {99, 0, 0}};
    EXPECT_EQ(band(s, 50).red, 100);
    EXPECT_EQ(band(s, 95).red, 99);
}

TEST(Gradient, ExtremeSettingsDoNotOverflow)
{
    int start[3] = {INT_MAX, INT_MIN, 0};
    int delta[3] = {INT_MIN, INT_MAX, INT_MAX};
    BandColour c = bandColour(start, delta, 95);   // UBSan flags int overflow here
    EXPECT_EQ(c.red, 0);
    EXPECT_EQ(c.green, 0);
    EXPECT_EQ(c.blue, 255);
}

TEST(Gradient, BandsCoverTheClientAreaExactly)
{
    // 480 pixels: 96 bands of 5.
    for (int i = 0; i < kBandCount; ++i)
        EXPECT_EQ(bandBottom(480, i), 5 * (i + 1));
    // 100 pixels: bands of 1 or 2, ending exactly at the bottom edge.
    int top = -1;   // the first band starts one pixel above the client area
    for (int i = 0; i < kBandCount; ++i) {
        int bottom = bandBottom(100, i);
        int height = bottom - top;
        if (i > 0) {
            EXPECT_TRUE(height == 1 || height == 2) << "band " << i << " height " << height;
        }
        top = bottom;
    }
    EXPECT_EQ(top, 100);
}

} // namespace

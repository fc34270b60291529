#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "startup/gradient.h"

namespace {

TEST(Gradient, BandColoursAreInterpolatedTruncatedAndLimited)
{
    struct Case { int start[3], delta[3], band, expected[3]; } cases[] = {
        {{0, 0, 255}, {0, 0, -255}, 48, {0, 0, 127}},   // the defaults: pure blue to black
        {{0, 0, 255}, {0, 0, -255}, 95, {0, 0, 0}},
        {{300, -40, 0}, {-300, 80, 0}, 14, {255, 0, 0}},   // limited per band: 256 and -29
        {{300, -40, 0}, {-300, 80, 0}, 60, {111, 10, 0}},
        {{100, 0, 0}, {-1, 0, 0}, 50, {100, 0, 0}},   // -50 / 95 truncates toward zero
        {{INT_MAX, INT_MIN, 0}, {INT_MIN, INT_MAX, INT_MAX}, 95, {0, 0, 255}},   // UBSan flags any overflow
    };
    for (const Case& c : cases) {
        BandColour colour = bandColour(c.start, c.delta, c.band);
        EXPECT_EQ((std::vector<int>{colour.red, colour.green, colour.blue}),
                  (std::vector<int>{c.expected[0], c.expected[1], c.expected[2]}))
            << "band " << c.band << " from " << c.start[0] << "," << c.start[1] << "," << c.start[2];
    }
}

TEST(Gradient, BandsCoverTheClientAreaExactly)
{
    // 100 pixels: bands of 1 or 2, the first starting one pixel above the
    // client area, the last ending exactly at its bottom edge.
    for (int i = 0, top = -1; i < kBandCount; top = bandBottom(100, i++))
        EXPECT_TRUE(bandBottom(100, i) - top == 2 || (i > 0 && bandBottom(100, i) - top == 1)) << "band " << i;
    EXPECT_EQ(bandBottom(100, kBandCount - 1), 100);
}

} // namespace

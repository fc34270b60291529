#include "startup/gradient.h"

#include <cstdint>

static unsigned char channel(int start, int delta, int band)
{
    // 64-bit arithmetic: settings values may be anything an INI file holds.
    int64_t value = static_cast<int64_t>(start) + static_cast<int64_t>(delta) * band / (kBandCount - 1);
    if (value < 0)
        return 0;
    if (value > 255)
        return 255;
    return static_cast<unsigned char>(value);
}

BandColour bandColour(const int start[3], const int delta[3], int band)
{
    return BandColour{channel(start[0], delta[0], band), channel(start[1], delta[1], band),
                      channel(start[2], delta[2], band)};
}

int bandBottom(int height, int band)
{
    return static_cast<int>(static_cast<int64_t>(height) * (band + 1) / kBandCount);
}

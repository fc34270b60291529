// Colours and geometry of the background's 96 gradient bands.
#pragma once

constexpr int kBandCount = 96;

struct BandColour {
    unsigned char red, green, blue;
};

// Colour of band `band` (0..95): start + delta * band / 95 per channel,
// truncated toward zero, then limited to 0..255. Start and delta come from
// the settings as read, so they may lie far outside 0..255.
BandColour bandColour(const int start[3], const int delta[3], int band);

// Bottom edge (exclusive) of band `band` in a client area `height` pixels high.
int bandBottom(int height, int band);

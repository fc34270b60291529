// The arithmetic of the wizard's layout and painting, apart from Windows.
#pragma once

struct Box {
    int left, top, right, bottom;
};

// A horizontal coordinate of a dialog widened by a sixth.
inline int widenedBySixth(int x)
{
    return x + x / 6;
}

// The progress bar's blocks inside `bar` for `count` of `total`: writes up to
// `capacity` blocks and returns how many there are.
int progressBlocks(const Box& bar, int count, int total, Box* blocks, int capacity);

constexpr int kAnimationFrameCount = 25;   // the counter runs 1..25
constexpr int kAnimationIcons = 24;

// The next value of the animation counter (1..25, wrapping).
int nextAnimationFrame(int frame);

// Where the moving icon of `frame` stands, in pixels from the panel's corner,
// for dialog base units `bx`, `by`; false for the frames without one (24, 25).
bool animationOffset(int frame, int bx, int by, int* x, int* y);

#include "ui/geometry.h"

#include <cstdint>

int progressBlocks(const Box& bar, int count, int total, Box* blocks, int capacity)
{
    // Width and height are taken as 16-bit unsigned values, as the bar is drawn.
    auto width = static_cast<uint16_t>(bar.right - bar.left);
    auto height = static_cast<uint16_t>(bar.bottom - bar.top);
    if (total <= 0 || count <= 0)
        return 0;
    int blockWidth = height * 2 / 3;
    if (blockWidth <= 0)
        return 0;
    int64_t filled = static_cast<int64_t>(width) * count / total;
    int n = 0;
    for (int drawn = 0; drawn < filled && n < capacity; drawn += blockWidth) {
        int x = bar.left + drawn;
        blocks[n++] = Box{x, bar.top + 1, x + blockWidth - 3, bar.bottom - 1};
    }
    return n;
}

int nextAnimationFrame(int frame)
{
    return frame >= kAnimationFrameCount ? 1 : frame + 1;
}

bool animationOffset(int frame, int bx, int by, int* x, int* y)
{
    static const int kPath[23][2] = {
        {0, 10},  {5, 8},  {8, 6},   {14, 5},  {19, 2},   {26, 2},   {30, 2},  {38, 2},
        {42, 2},  {50, 0}, {57, 0},  {62, 0},  {72, 0},   {78, 2},   {87, 3},  {94, 4},
        {102, 8}, {110, 10}, {114, 11}, {118, 13}, {121, 5}, {126, 16}, {126, 17},
    };
    if (frame < 1 || frame > 23)
        return false;
    *x = bx * kPath[frame - 1][0] / 4;
    *y = by * kPath[frame - 1][1] / 8;
    return true;
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "startup/arena.h"

namespace {

constexpr size_t kRoom = kArenaBlockSize - kArenaLinkSize;   // what one block holds

std::vector<unsigned char*> chain(const BlockArena& arena)
{
    std::vector<unsigned char*> blocks;
    for (unsigned char* b = arena.firstBlock; b; b = *reinterpret_cast<unsigned char**>(b))
        blocks.push_back(b);
    return blocks;
}

TEST(Arena, WherePiecesGoAndTheyAreZeroed)
{
    struct Piece { int block; size_t at; };   // blocks numbered as first used; `at` behind the link
    struct Case { const char* what; std::vector<size_t> sizes; std::vector<Piece> expected; size_t blocks; };
    const Case cases[] = {
        {"pieces follow each other", {256, 64, 16, 8}, {{0, 0}, {0, 256}, {0, 320}, {0, 336}}, 1},
        {"odd sizes are rounded to the pointer size", {522, 1, 8}, {{0, 0}, {0, 528}, {0, 536}}, 1},
        {"an exact fit stays in the block, and so do zero bytes; one more piece opens a block",
         {1000, kRoom - 1000, 0, 8}, {{0, 0}, {0, 1000}, {0, kRoom}, {1, 0}}, 2},
        {"a piece over the rest opens a block; the old tail stays unused", {64, kRoom - 56, 8},
         {{0, 0}, {1, 0}, {1, kRoom - 56}}, 2},
        {"an oversized piece gets a block of its own; small ones go on", {100, 3 * kArenaBlockSize, 8},
         {{0, 0}, {1, 0}, {0, 104}}, 2},
        {"also when it comes first", {100000, 8}, {{0, 0}, {1, 0}}, 2},
        {"the item lists' arrays each take a block", std::vector<size_t>(12, 16000 * sizeof(void*)), {}, 12},
    };
    BlockArena arena = {};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::map<unsigned char*, int> blocks;   // in the order first used
        for (size_t i = 0; i < c.sizes.size(); ++i) {
            auto* piece = static_cast<unsigned char*>(allocateZeroed(&arena, c.sizes[i]));
            EXPECT_EQ(std::count(piece, piece + c.sizes[i], 0), static_cast<std::ptrdiff_t>(c.sizes[i]));
            memset(piece, 0xAB, c.sizes[i]);   // under ASan, any overrun of its block shows here
            EXPECT_EQ(reinterpret_cast<uintptr_t>(piece) % kArenaAlignment, 0u);
            unsigned char* block = nullptr;   // the one it lies in: the last that begins before it
            for (unsigned char* b : chain(arena))
                block = b < piece && b > block ? b : block;
            int number = blocks.emplace(block, static_cast<int>(blocks.size())).first->second;
            if (i < c.expected.size()) {
                EXPECT_EQ(number, c.expected[i].block) << "piece " << i;
                EXPECT_EQ(static_cast<size_t>(piece - block) - kArenaLinkSize, c.expected[i].at) << "piece " << i;
            }
        }
        EXPECT_EQ(chain(arena).size(), c.blocks);
        release(&arena);   // LeakSanitizer reports any block left behind; the next case starts again
        EXPECT_EQ(arena.firstBlock, nullptr);
    }
}

TEST(ArenaDeathTest, ARequestTheHeapCannotMeetEndsTheRunThroughTheHandler)
{
    BlockArena arena = {};
    arena.onExhausted = [](size_t requested) {
        fprintf(stderr, "arena exhausted at %zu bytes\n", requested);
        exit(3);
    };
    EXPECT_EXIT(allocate(&arena, static_cast<size_t>(-1)), ::testing::ExitedWithCode(3), "arena exhausted");
    arena.onExhausted = nullptr;
    EXPECT_DEATH(allocate(&arena, static_cast<size_t>(-1) - 3), "");
}

} // namespace

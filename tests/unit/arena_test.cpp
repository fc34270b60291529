#include <gtest/gtest.h>

#include <algorithm>
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
    // Blocks are numbered as first used; `at` counts from behind the link.
    struct Piece { size_t size; int block; size_t at; };
    const std::pair<const char*, std::vector<Piece>> cases[] = {
        {"pieces follow each other, rounded to the pointer size", {{522, 0, 0}, {1, 0, 528}, {64, 0, 536}}},
        {"an exact fit stays in the block, and so do zero bytes; one more piece opens a block",
         {{1000, 0, 0}, {kRoom - 1000, 0, 1000}, {0, 0, kRoom}, {8, 1, 0}}},
        {"a piece over the rest opens a block; the old tail stays unused",
         {{64, 0, 0}, {kRoom - 56, 1, 0}, {8, 1, kRoom - 56}}},
        {"an oversized piece gets a block of its own; small ones go on",
         {{100, 0, 0}, {3 * kArenaBlockSize, 1, 0}, {8, 0, 104}}},
        {"also when it comes first", {{100000, 0, 0}, {8, 1, 0}}},
    };
    BlockArena arena = {};
    for (const auto& [what, pieces] : cases) {
        SCOPED_TRACE(what);
        std::map<unsigned char*, int> blocks;   // in the order first used
        for (const Piece& expected : pieces) {
            auto* piece = static_cast<unsigned char*>(allocateZeroed(&arena, expected.size));
            EXPECT_EQ(std::count(piece, piece + expected.size, 0), static_cast<std::ptrdiff_t>(expected.size));
            memset(piece, 0xAB, expected.size);   // under ASan, any overrun of its block shows here
            unsigned char* block = nullptr;   // the one it lies in: the last that begins before it
            for (unsigned char* b : chain(arena))
                block = b < piece && b > block ? b : block;
            int number = blocks.emplace(block, static_cast<int>(blocks.size())).first->second;
            EXPECT_EQ(number, expected.block) << expected.size;
            EXPECT_EQ(static_cast<size_t>(piece - block) - kArenaLinkSize, expected.at) << expected.size;
        }
        EXPECT_EQ(chain(arena).size(), blocks.size()) << "blocks that hold no piece";
        release(&arena);   // LeakSanitizer reports any block left behind; the next case starts again
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

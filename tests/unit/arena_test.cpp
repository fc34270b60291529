#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "startup/arena.h"

namespace {

struct ArenaTest : ::testing::Test {
    BlockArena arena = {};
    void TearDown() override { release(&arena); }

    unsigned char* linkOf(unsigned char* block) { return *reinterpret_cast<unsigned char**>(block); }
    size_t blockCount()
    {
        size_t n = 0;
        for (unsigned char* b = arena.firstBlock; b; b = linkOf(b))
            ++n;
        return n;
    }
};

TEST_F(ArenaTest, FirstRequestStartsBehindTheLink)
{
    auto* piece = static_cast<unsigned char*>(allocate(&arena, 256));
    ASSERT_NE(arena.firstBlock, nullptr);
    EXPECT_EQ(arena.firstBlock, arena.currentBlock);
    EXPECT_EQ(piece, arena.firstBlock + kArenaLinkSize);
    EXPECT_EQ(arena.usedInBlock, kArenaLinkSize + 256);
    EXPECT_EQ(linkOf(arena.firstBlock), nullptr);
}

TEST_F(ArenaTest, PiecesFollowEachOtherWithoutGaps)
{
    auto* a = static_cast<unsigned char*>(allocate(&arena, 64));
    auto* b = static_cast<unsigned char*>(allocate(&arena, 16));
    auto* c = static_cast<unsigned char*>(allocate(&arena, 8));
    EXPECT_EQ(b, a + 64);
    EXPECT_EQ(c, b + 16);
}

TEST_F(ArenaTest, OddSizesAreRoundedToPointerAlignment)
{
    auto* a = static_cast<unsigned char*>(allocate(&arena, 522));   // a record size of the log
    auto* b = static_cast<unsigned char*>(allocate(&arena, 1));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % kArenaAlignment, 0u);
    EXPECT_GE(b, a + 522);
    EXPECT_LT(b, a + 522 + kArenaAlignment);
}

TEST_F(ArenaTest, ExactFitStaysInBlockAndOneMoreOpensANewOne)
{
    allocate(&arena, 1000);
    unsigned char* first = arena.currentBlock;
    size_t rest = kArenaBlockSize - arena.usedInBlock;
    auto* piece = static_cast<unsigned char*>(allocate(&arena, rest));
    EXPECT_EQ(arena.currentBlock, first);
    EXPECT_EQ(arena.usedInBlock, kArenaBlockSize);
    EXPECT_EQ(piece + rest, first + kArenaBlockSize);

    // A full block: a zero-byte request opens nothing, one more piece does.
    allocate(&arena, 0);
    EXPECT_EQ(arena.currentBlock, first);
    auto* next = static_cast<unsigned char*>(allocate(&arena, kArenaAlignment));
    EXPECT_NE(arena.currentBlock, first);
    EXPECT_EQ(linkOf(first), arena.currentBlock);
    EXPECT_EQ(next, arena.currentBlock + kArenaLinkSize);
    EXPECT_EQ(arena.usedInBlock, kArenaLinkSize + kArenaAlignment);
}

TEST_F(ArenaTest, RequestOneByteOverTheRestOpensABlockAndAbandonsTheTail)
{
    allocate(&arena, 64);
    unsigned char* first = arena.currentBlock;
    size_t rest = kArenaBlockSize - arena.usedInBlock;
    allocate(&arena, rest + kArenaAlignment);
    EXPECT_NE(arena.currentBlock, first);
    // The tail of the first block is never used again, even for a small piece.
    auto* small = static_cast<unsigned char*>(allocate(&arena, kArenaAlignment));
    EXPECT_TRUE(small >= arena.currentBlock && small < arena.currentBlock + kArenaBlockSize);
}

TEST_F(ArenaTest, ZeroBytesReturnsTheCurrentPosition)
{
    allocate(&arena, 32);
    size_t used = arena.usedInBlock;
    auto* piece = static_cast<unsigned char*>(allocate(&arena, 0));
    EXPECT_EQ(piece, arena.currentBlock + used);
    EXPECT_EQ(arena.usedInBlock, used);
}

TEST_F(ArenaTest, ItemListArraysEachOpenABlock)
{
    // Twelve arrays of 16000 pointers one after another: none shares a block.
    std::vector<unsigned char*> pieces;
    for (int i = 0; i < 12; ++i) {
        auto* p = static_cast<unsigned char*>(allocate(&arena, 16000 * sizeof(void*)));
        memset(p, 0xAB, 16000 * sizeof(void*));   // the whole piece is writable
        pieces.push_back(p);
    }
    EXPECT_EQ(blockCount(), 12u);
}

TEST_F(ArenaTest, OversizedRequestGetsABlockOfItsOwn)
{
    auto* small = static_cast<unsigned char*>(allocate(&arena, 100));
    unsigned char* current = arena.currentBlock;
    size_t used = arena.usedInBlock;
    size_t big = kArenaBlockSize * 3;
    auto* piece = static_cast<unsigned char*>(allocate(&arena, big));
    memset(piece, 0xCD, big);   // under ASan, any overrun of the block shows here
    EXPECT_EQ(arena.currentBlock, current);   // small requests go on in the block they had
    EXPECT_EQ(arena.usedInBlock, used);
    auto* after = static_cast<unsigned char*>(allocate(&arena, 8));
    EXPECT_EQ(after, small + 104);
    EXPECT_EQ(blockCount(), 2u);
}

TEST_F(ArenaTest, OversizedFirstRequestThenSmallOnes)
{
    auto* piece = static_cast<unsigned char*>(allocate(&arena, 100000));
    memset(piece, 1, 100000);
    auto* small = static_cast<unsigned char*>(allocate(&arena, 8));
    memset(small, 2, 8);
    EXPECT_EQ(blockCount(), 2u);
}

TEST_F(ArenaTest, ZeroedPiecesAreCleared)
{
    auto* dirty = static_cast<unsigned char*>(allocate(&arena, 64));
    memset(dirty, 0xFF, 64);
    auto* zero = static_cast<unsigned char*>(allocateZeroed(&arena, 64));
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(zero[i], 0);
}

TEST_F(ArenaTest, ReleaseFreesEveryBlockAndTheArenaCanStartAgain)
{
    for (int i = 0; i < 40; ++i)
        allocate(&arena, 5000);
    EXPECT_GT(blockCount(), 1u);
    release(&arena);   // LeakSanitizer reports any block left behind
    EXPECT_EQ(arena.firstBlock, nullptr);
    EXPECT_EQ(arena.currentBlock, nullptr);
    auto* piece = static_cast<unsigned char*>(allocate(&arena, 256));
    EXPECT_EQ(piece, arena.firstBlock + kArenaLinkSize);
}

void reportExhausted(size_t requested)
{
    fprintf(stderr, "arena exhausted at %zu bytes\n", requested);
    exit(3);
}

TEST(ArenaDeathTest, ARequestTheHeapCannotMeetEndsTheRunThroughTheHandler)
{
    BlockArena arena = {};
    arena.onExhausted = reportExhausted;
    EXPECT_EXIT(allocate(&arena, static_cast<size_t>(-1)), ::testing::ExitedWithCode(3), "arena exhausted");
    arena.onExhausted = nullptr;
    EXPECT_DEATH(allocate(&arena, static_cast<size_t>(-1) - 3), "");
}

} // namespace

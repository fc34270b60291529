#include "startup/arena.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static unsigned char* takeBlock(BlockArena* arena, size_t bytes, size_t requested)
{
    auto* block = static_cast<unsigned char*>(malloc(bytes));
    if (!block) {
        if (arena->onExhausted)
            arena->onExhausted(requested);
        fprintf(stderr, "arena: out of memory (%zu bytes requested)\n", requested);
        abort();
    }
    *reinterpret_cast<unsigned char**>(block) = nullptr;
    return block;
}

void* allocate(BlockArena* arena, size_t size)
{
    // Records hold pointers and 32-bit integers; keeping every piece on a
    // pointer boundary lets them be read without misaligned access.
    if (size > static_cast<size_t>(-1) - kArenaAlignment - kArenaLinkSize) {
        if (arena->onExhausted)
            arena->onExhausted(size);
        abort();
    }
    size = (size + kArenaAlignment - 1) & ~(kArenaAlignment - 1);

    if (size > kArenaBlockSize - kArenaLinkSize) {
        // Too large for any block: it gets a block of its own size, chained in
        // front so that release frees it, while the current block keeps
        // serving small requests.
        unsigned char* block = takeBlock(arena, kArenaLinkSize + size, size);
        *reinterpret_cast<unsigned char**>(block) = arena->firstBlock;
        arena->firstBlock = block;
        if (!arena->currentBlock) {
            arena->currentBlock = block;
            arena->usedInBlock = kArenaBlockSize;   // full: the next request opens a block
        }
        return block + kArenaLinkSize;
    }

    if (arena->currentBlock && kArenaBlockSize - arena->usedInBlock >= size) {
        void* piece = arena->currentBlock + arena->usedInBlock;
        arena->usedInBlock += size;
        return piece;
    }

    unsigned char* block = takeBlock(arena, kArenaBlockSize, size);
    if (arena->currentBlock)
        *reinterpret_cast<unsigned char**>(arena->currentBlock) = block;
    else
        arena->firstBlock = block;
    arena->currentBlock = block;
    arena->usedInBlock = kArenaLinkSize + size;
    return block + kArenaLinkSize;
}

void* allocateZeroed(BlockArena* arena, size_t size)
{
    void* piece = allocate(arena, size);
    memset(piece, 0, size);
    return piece;
}

void release(BlockArena* arena)
{
    unsigned char* block = arena->firstBlock;
    while (block) {
        unsigned char* next = *reinterpret_cast<unsigned char**>(block);
        free(block);
        block = next;
    }
    arena->firstBlock = nullptr;
    arena->currentBlock = nullptr;
    arena->usedInBlock = 0;
}

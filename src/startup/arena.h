// BlockArena: bump allocation in large blocks, released only as a whole.
// Every long-lived buffer, list array and log record of a run comes from here.
#pragma once
#include <cstddef>

constexpr size_t kArenaBlockSize = 64512;               // 0xFC00
constexpr size_t kArenaLinkSize = sizeof(void*);         // link to the next block
constexpr size_t kArenaAlignment = sizeof(void*);

struct BlockArena {
    unsigned char* firstBlock;
    unsigned char* currentBlock;
    size_t usedInBlock;                                  // counts the link
    // Called when the heap cannot supply a block; it must not return
    // (the process ends). Without one, the process aborts with a message.
    void (*onExhausted)(size_t requested);
};

// Returns `size` bytes (rounded up to kArenaAlignment) valid until release.
// The memory is not cleared.
void* allocate(BlockArena* arena, size_t size);

// Like allocate, but the piece is zero-filled.
void* allocateZeroed(BlockArena* arena, size_t size);

// Frees every block. The arena can be used again afterwards.
void release(BlockArena* arena);

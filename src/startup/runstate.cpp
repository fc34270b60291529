#include "startup/runstate.h"

#include "log/itemlists.h"

RunState runState;

static char* arenaText(size_t size)
{
    return static_cast<char*>(allocate(&runState.arena, size));
}

static char* arenaEmptyText(size_t size)
{
    char* text = arenaText(size);
    text[0] = '\0';
    return text;
}

void allocateRunBuffers()
{
    RunState& rs = runState;
    rs.applicationTitle = arenaEmptyText(kPathSize);
    rs.readBuffer = static_cast<char*>(allocateZeroed(&rs.arena, kReadBufferSize));
    rs.reader = LineReader{};
    rs.reader.buffer = rs.readBuffer;
    rs.reader.size = kReadBufferSize;
    rs.pageBuffer = arenaEmptyText(kPathSize);
    rs.progressText = arenaEmptyText(kProgressTextSize);
    rs.workBuffer = arenaEmptyText(kPathSize);
    rs.systemDirectory = arenaEmptyText(kSystemDirectorySize);
    rs.progmanBuffer = static_cast<char*>(allocateZeroed(&rs.arena, 512));
    allocateItemLists(&rs.arena);
}

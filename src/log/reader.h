// The buffered line reader of INSTALL.LOG (and of SYSTEM.INI).
//
// A line ends at a carriage return; a line feed is ignored wherever it
// stands, so CR LF and bare CR both end lines and a bare LF does not. A NUL
// is stored like any other byte. Text beyond capacity - 1 characters is read
// and dropped up to the line's end.
#pragma once
#include <cstddef>
#include <cstdint>

// Reads up to `size` bytes; 0 or less at the end of the file or on failure.
typedef int (*ReadProc)(void* file, char* buffer, int size);

struct LineReader {
    char* buffer;
    size_t size;
    size_t position;       // next byte of buffer to take
    size_t fill;           // bytes the buffer holds
    uint32_t consumed;     // file bytes held by all earlier fills
    uint32_t lineStart;    // file offset of the line last delivered
    size_t length;         // characters stored of the line last delivered, NULs included
    void* file;
    ReadProc read;
};

// Points the reader at the start of another file.
void startReading(LineReader* reader, void* file, ReadProc read);

// Delivers the next line into `line` (at most capacity - 1 characters and a
// NUL) and returns 1; returns 0 at the end of the file, with `line` holding
// what was read after the last carriage return. Empty lines are skipped
// unless `keepEmpty` is set.
int readLine(LineReader* reader, char* line, size_t capacity, int keepEmpty);

// File offset of the first character of the line last delivered.
uint32_t lineStartOffset(const LineReader* reader);

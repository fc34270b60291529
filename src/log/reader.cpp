#include "log/reader.h"

void startReading(LineReader* reader, void* file, ReadProc read)
{
    reader->position = 0;
    reader->fill = 0;
    reader->consumed = 0;
    reader->lineStart = 0;
    reader->length = 0;
    reader->file = file;
    reader->read = read;
}

int readLine(LineReader* reader, char* line, size_t capacity, int keepEmpty)
{
    size_t stored = 0;
    bool started = false;
    for (;;) {
        if (reader->position >= reader->fill) {
            reader->consumed += static_cast<uint32_t>(reader->fill);
            reader->position = 0;
            reader->fill = 0;
            int got = reader->read(reader->file, reader->buffer, static_cast<int>(reader->size));
            if (got <= 0) {
                if (capacity > 0)
                    line[stored] = '\0';
                reader->length = stored;
                return 0;
            }
            reader->fill = static_cast<size_t>(got);
        }
        uint32_t offset = reader->consumed + static_cast<uint32_t>(reader->position);
        char c = reader->buffer[reader->position++];
        if (c == '\n')
            continue;
        if (c == '\r') {
            if (stored == 0 && !keepEmpty) {
                started = false;
                continue;
            }
            if (!started)
                reader->lineStart = offset;
            if (capacity > 0)
                line[stored] = '\0';
            reader->length = stored;
            return 1;
        }
        // The offset of the line's first byte is kept as read, so that a log
        // cut back to a section header is cut exactly there, whatever the
        // line's length.
        if (!started) {
            started = true;
            reader->lineStart = offset;
        }
        if (stored + 1 < capacity)
            line[stored++] = c;
    }
}

uint32_t lineStartOffset(const LineReader* reader)
{
    return reader->lineStart;
}

// The line reader: line ends, cuts, NUL bytes, empty lines, and reads that
// split lines at any point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "log/reader.h"

namespace {

using namespace std::string_literals;

// Every line as "[text]@offset", the last (delivered with the end) as "[text]".
std::string readAll(const std::string& bytes, int keepEmpty, size_t capacity, size_t chunk, size_t bufferSize)
{
    struct Source { std::string bytes; size_t at, chunk; } source{bytes, 0, chunk};
    std::vector<char> buffer(bufferSize), line(capacity + 8, '#');
    LineReader reader = {};
    reader.buffer = buffer.data();
    reader.size = buffer.size();
    startReading(&reader, &source, [](void* file, char* to, int size) {
        auto* source = static_cast<Source*>(file);
        size_t n = std::min({static_cast<size_t>(size), source->chunk, source->bytes.size() - source->at});
        memcpy(to, source->bytes.data() + source->at, n);
        source->at += n;
        return static_cast<int>(n);
    });
    std::string lines;
    for (;;) {
        int result = readLine(&reader, line.data(), capacity, keepEmpty);
        EXPECT_EQ(std::string(line.data() + capacity, 8), "########") << "wrote past the capacity";
        lines += "[" + std::string(line.data()) + "]";
        if (!result)
            return lines;
        lines += "@" + std::to_string(lineStartOffset(&reader)) + " ";
    }
}

TEST(Reader, LinesOffsetsAndAnySplitOfTheReads)
{
    struct Case { const char* what; std::string bytes; const char* expected; int keepEmpty = 0; size_t capacity = 2048; };
    const Case cases[] = {
        {"CR alone ends a line", "a\rb\r", "[a]@0 [b]@2 []"},
        {"LF is ignored", "a\r\n\nb\r", "[a]@0 [b]@4 []"},
        {"and alone ends nothing", "*** x\nTitle: y\n", "[*** xTitle: y]"},
        {"the last line needs no line end", "one\r\ntwo", "[one]@0 [two]"},
        {"empty lines are skipped, blank ones are not", "\r\n\r\na\r\n\r\n  \r\n", "[a]@4 [  ]@9 []"},
        {"empty lines kept", "\r\na\r\n\r\n", "[]@0 [a]@2 []@5 []", 1},
        {"a long line is cut and its rest dropped", "abcdef\r\nnext\r\n", "[abc]@0 [nex]@8 []", 0, 4},
        {"a capacity of one holds the terminator alone", "abc\r\n", "[]@0 []", 1, 1},
        {"NUL is stored and ends the text", "ab\0cd\r\ne\r\n"s, "[ab]@0 [e]@7 []"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (size_t chunk : {size_t(1), size_t(2), size_t(3), size_t(7), size_t(1) << 20})
            for (size_t bufferSize : {size_t(1), size_t(3), size_t(16384)})
                EXPECT_EQ(readAll(c.bytes, c.keepEmpty, c.capacity, chunk, bufferSize), c.expected)
                    << "reads of " << chunk << " into " << bufferSize;
    }
}

} // namespace

// The line reader: line ends, cuts, NUL bytes, empty lines, and reads that
// split lines at any point.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "log/reader.h"

namespace {

struct Source {
    std::string bytes;
    size_t at = 0;
    int chunk = 0;
};

int readSource(void* file, char* buffer, int size)
{
    auto* source = static_cast<Source*>(file);
    size_t n = static_cast<size_t>(size);
    if (source->chunk > 0 && n > static_cast<size_t>(source->chunk))
        n = static_cast<size_t>(source->chunk);
    n = std::min(n, source->bytes.size() - source->at);
    memcpy(buffer, source->bytes.data() + source->at, n);
    source->at += n;
    return static_cast<int>(n);
}

struct Line {
    int result;
    std::string text;
    uint32_t start;
};

std::vector<Line> readAll(const std::string& bytes, int keepEmpty = 0, size_t capacity = 2048, int chunk = 0,
                          size_t bufferSize = 16384)
{
    Source source{bytes, 0, chunk};
    std::vector<char> buffer(bufferSize);
    LineReader reader = {};
    reader.buffer = buffer.data();
    reader.size = buffer.size();
    startReading(&reader, &source, readSource);
    std::vector<Line> lines;
    std::vector<char> line(capacity);
    for (;;) {
        int result = readLine(&reader, line.data(), capacity, keepEmpty);
        lines.push_back({result, line.data(), lineStartOffset(&reader)});
        if (!result)
            return lines;
    }
}

TEST(Reader, CarriageReturnEndsALineAndLineFeedIsIgnored)
{
    for (const char* text : {"a\r\nb\r\n", "a\rb\r", "a\r\n\nb\r"}) {
        auto lines = readAll(text);
        ASSERT_EQ(lines.size(), 3u) << text;
        EXPECT_EQ(lines[0].text, "a");
        EXPECT_EQ(lines[1].text, "b");
        EXPECT_EQ(lines[2].result, 0);
        EXPECT_EQ(lines[2].text, "");
    }
    // LF alone ends nothing: the whole file is one line, delivered at the end.
    auto lf = readAll("*** x\nTitle: y\n");
    ASSERT_EQ(lf.size(), 1u);
    EXPECT_EQ(lf[0].result, 0);
    EXPECT_EQ(lf[0].text, "*** xTitle: y");
}

TEST(Reader, LastLineNeedsNoTerminator)
{
    auto lines = readAll("one\r\ntwo");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "one");
    EXPECT_EQ(lines[1].result, 0);
    EXPECT_EQ(lines[1].text, "two");
}

TEST(Reader, EmptyLinesAreSkippedUnlessKept)
{
    auto skipped = readAll("\r\n\r\na\r\n\r\n  \r\n");
    ASSERT_EQ(skipped.size(), 3u);
    EXPECT_EQ(skipped[0].text, "a");
    EXPECT_EQ(skipped[1].text, "  ");   // blanks are not empty
    auto kept = readAll("\r\na\r\n\r\n", 1);
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(kept[0].text, "");
    EXPECT_EQ(kept[1].text, "a");
    EXPECT_EQ(kept[2].text, "");
    EXPECT_EQ(kept[2].result, 1);
}

TEST(Reader, LongLinesAreCutAndTheRestDropped)
{
    std::string longLine(3000, 'x');
    auto lines = readAll(longLine + "\r\nnext\r\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, std::string(2047, 'x'));
    EXPECT_EQ(lines[1].text, "next");
    EXPECT_EQ(lines[1].start, 3002u);
}

TEST(Reader, NulIsStoredAndEndsTheText)
{
    std::string bytes = std::string("ab\0cd\r\n", 7) + "e\r\n";
    auto lines = readAll(bytes);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].result, 1);
    EXPECT_EQ(lines[0].text, "ab");
    EXPECT_EQ(lines[1].text, "e");
}

TEST(Reader, LinesAndOffsetsSurviveAnySplitOfTheReads)
{
    std::string log = "*** one\r\nTitle: T\r\n\r\nFile Copy: C:\\A\r\n*** two\r\nlast";
    auto whole = readAll(log);
    for (int chunk : {1, 2, 3, 5, 7}) {
        for (size_t bufferSize : {size_t(1), size_t(3), size_t(16384)}) {
            auto split = readAll(log, 0, 2048, chunk, bufferSize);
            ASSERT_EQ(split.size(), whole.size()) << chunk << "/" << bufferSize;
            for (size_t i = 0; i < whole.size(); ++i) {
                EXPECT_EQ(split[i].text, whole[i].text);
                if (split[i].result) {
                    EXPECT_EQ(split[i].start, whole[i].start);
                }
            }
        }
    }
    EXPECT_EQ(whole[3].text, "*** two");
    EXPECT_EQ(whole[3].start, log.find("*** two"));
}

TEST(Reader, CapacityOneStoresNothingAndStaysTerminated)
{
    auto lines = readAll("abc\r\n", 1, 1);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "");
}

} // namespace

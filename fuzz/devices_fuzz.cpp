// Fuzzes the rewriting of SYSTEM.INI's device lines. The file is the
// machine's, edited by hand and by every installer before this one, so any
// bytes are SYSTEM.INI; the first two lines of the input are the driver's
// name and path. The result is read back line by line against a reading of
// its own: each line comes out whole, with a ";" before it exactly when it
// is a "device=" line of [386Enh] that names the driver (an empty name
// names none), and each line end as CR LF. A second pass over that result
// finds nothing left to change and gives the same text back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/devices.h"

namespace {

struct Line {
    std::string text;
    bool ended;
};

std::vector<Line> splitLines(const std::string& text)
{
    std::vector<Line> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back({text.substr(at), false});
            break;
        }
        lines.push_back({text.substr(at, end - at), true});
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::string upperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The line as an INI reader sees it: without its indentation, in one case.
std::string keyOf(const std::string& line)
{
    size_t start = line.find_first_not_of(" \t");
    return upperAscii(start == std::string::npos ? std::string() : line.substr(start));
}

// Each line with whether it should become a comment.
std::vector<bool> expectedComments(const std::vector<Line>& lines, const std::string& name, const std::string& path)
{
    std::vector<bool> comment;
    bool inSection = false;
    for (const Line& line : lines) {
        std::string key = keyOf(line.text);
        bool header = !key.empty() && key[0] == '[';
        if (header)
            inSection = !inSection && key.compare(0, 8, "[386ENH]") == 0;
        bool names = (!name.empty() && key == "DEVICE=" + upperAscii(name)) ||
                     (!path.empty() && key == "DEVICE=" + upperAscii(path));
        comment.push_back(!header && inSection && names);
    }
    return comment;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t nameEnd = input.find('\n');
    size_t pathEnd = nameEnd == std::string::npos ? nameEnd : input.find('\n', nameEnd + 1);
    if (pathEnd == std::string::npos)
        return 0;
    // Names reach the parser as C strings: a NUL ends them there too.
    std::string name = input.substr(0, nameEnd).c_str();
    std::string path = input.substr(nameEnd + 1, pathEnd - nameEnd - 1).c_str();
    std::string text = input.substr(pathEnd + 1), out;
    bool changed = commentOutDevices(text, path.c_str(), name.c_str(), &out);

    std::vector<Line> lines = splitLines(text);
    std::vector<bool> comment = expectedComments(lines, name, path);
    std::string expected;
    bool anyComment = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        expected += (comment[i] ? ";" : "") + lines[i].text + (lines[i].ended ? "\r\n" : "");
        anyComment = anyComment || comment[i];
    }
    if (changed != anyComment || (changed && out != expected))
        abort();
    std::string again;
    if (commentOutDevices(expected, path.c_str(), name.c_str(), &again) || again != expected)
        abort();
    return 0;
}

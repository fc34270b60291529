// Fuzzes the reading of Program Manager's group descriptions, which come
// from another program: any bytes as one group's text, and an icon to
// remove (its group, name and command are the first three lines of the
// input). The text keeps its length, changes only where an item or the
// group is marked deleted, and every deletion comes with its two
// ShowGroup commands.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/progman.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size), fields[3];
    size_t at = 0;
    for (std::string& field : fields) {
        size_t end = input.find('\n', at);
        if (end == std::string::npos)
            return 0;
        field = input.substr(at, end - at);
        at = end + 1;
    }
    std::string text = input.substr(at), before = text;
    std::vector<std::string> commands;
    removeIconFromGroup(&text, fields[0].c_str(), fields[1].c_str(), fields[2].c_str(), &commands);
    if (text.size() != before.size())
        abort();
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != before[i] && (text[i] != '*' || (i > 0 && text[i - 1] != '\r' && text[i - 1] != '\n')))
            abort();
    size_t items = 0;
    for (size_t i = 0; i < commands.size(); ++i)
        if (commands[i].compare(0, 12, "[DeleteItem(") == 0) {
            ++items;
            if (i < 2 || commands[i - 2].compare(0, 11, "[ShowGroup(") != 0)
                abort();
        }
    if (items == 0 && !commands.empty())
        abort();
    return 0;
}

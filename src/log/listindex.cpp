#include "log/listindex.h"

#include <algorithm>
#include <cstring>

#include "common/text.h"
#include "log/itemlists.h"

std::string foldedKey(const char* text)
{
    std::string key(text);
    for (char& c : key)
        c = static_cast<char>(foldCase(static_cast<unsigned char>(c)));
    return key;
}

std::string foldedKey(const char* first, const char* second)
{
    return foldedKey(first) + '\x01' + foldedKey(second);
}

std::string foldedKey(const char* text, int number)
{
    return foldedKey(text) + '\x01' + std::to_string(number);
}

int ListIndex::first(const std::string& key) const
{
    auto found = records.find(key);
    return found == records.end() ? -1 : found->second.front();
}

const std::vector<int>* ListIndex::all(const std::string& key) const
{
    auto found = records.find(key);
    return found == records.end() ? nullptr : &found->second;
}

static const char* directoryPath(int index)
{
    return itemAt<DirectoryItem>(DirectoryList, index)->path;
}

void DirectoryIndex::add(const char* path, int index)
{
    std::string folded = foldedKey(path);
    byPath[folded].push_back(index);
    for (size_t at = 0; (at = folded.find('\\', at)) != std::string::npos; ++at) {
        std::vector<int>& list = byPrefix[folded.substr(0, at + 1)];
        if (list.empty() || list.back() != index)
            list.push_back(index);
    }
}

void DirectoryIndex::cut(const char* path, int index)
{
    std::vector<int>& list = byPath[foldedKey(path)];
    list.insert(std::lower_bound(list.begin(), list.end(), index), index);
}

int DirectoryIndex::firstEqual(const char* path) const
{
    auto found = byPath.find(foldedKey(path));
    if (found == byPath.end())
        return -1;
    for (int index : found->second)
        if (compareNoCase(directoryPath(index), path) == 0)
            return index;
    return -1;
}

int DirectoryIndex::firstRelated(const char* path) const
{
    int best = -1;
    std::string folded = foldedKey(path);
    size_t length = strlen(path);
    // Records inside `path` (or equal to it).
    auto inside = byPrefix.find(folded);
    if (inside != byPrefix.end()) {
        for (int index : inside->second) {
            const char* recordPath = directoryPath(index);
            if (strlen(recordPath) >= length && compareNoCasePart(recordPath, path, length) == 0) {
                best = index;
                break;
            }
        }
    }
    // Records that `path` lies inside: their path is one of its directories.
    for (size_t at = 0; (at = folded.find('\\', at)) != std::string::npos; ++at) {
        size_t prefixLength = at + 1;
        if (prefixLength >= length)
            break;
        auto outer = byPath.find(folded.substr(0, prefixLength));
        if (outer == byPath.end())
            continue;
        for (int index : outer->second) {
            if (best >= 0 && index >= best)
                break;
            const char* recordPath = directoryPath(index);
            if (strlen(recordPath) == prefixLength && compareNoCasePart(recordPath, path, prefixLength) == 0) {
                best = index;
                break;
            }
        }
    }
    return best;
}

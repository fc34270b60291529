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

static size_t hashOf(const char* text, size_t length)
{
    uint64_t hash = 14695981039346656037ull;   // FNV-1a
    for (size_t i = 0; i < length; ++i)
        hash = (hash ^ static_cast<unsigned char>(text[i])) * 1099511628211ull;
    return static_cast<size_t>(hash ^ (hash >> 32));
}

// The slot that holds `key`, or the free one where it would go.
size_t ListIndex::slotOf(const char* key, size_t length) const
{
    size_t mask = slots.size() - 1;
    for (size_t slot = hashOf(key, length) & mask;; slot = (slot + 1) & mask) {
        int32_t keyNumber = slots[slot];
        if (keyNumber < 0)
            return slot;
        const char* stored = text.c_str() + keys[keyNumber].textAt;
        if (strncmp(stored, key, length) == 0 && stored[length] == '\0')
            return slot;
    }
}

void ListIndex::rehash()
{
    slots.assign(slots.empty() ? 64 : slots.size() * 2, -1);
    for (size_t keyNumber = 0; keyNumber < keys.size(); ++keyNumber) {
        const char* stored = text.c_str() + keys[keyNumber].textAt;
        slots[slotOf(stored, strlen(stored))] = static_cast<int32_t>(keyNumber);
    }
}

int ListIndex::find(const std::string& key) const
{
    return slots.empty() ? -1 : slots[slotOf(key.c_str(), key.size())];
}

void ListIndex::add(const std::string& key, int index)
{
    if (2 * (keys.size() + 1) > slots.size())   // at most half full: short probes
        rehash();
    int32_t& slot = slots[slotOf(key.c_str(), key.size())];
    int32_t link = static_cast<int32_t>(links.size());
    links.push_back({index, -1});
    if (slot >= 0) {
        links[keys[slot].tail].next = link;
        keys[slot].tail = link;
        return;
    }
    slot = static_cast<int32_t>(keys.size());
    keys.push_back({static_cast<uint32_t>(text.size()), link, link});
    text.append(key.c_str(), key.size() + 1);
}

int ListIndex::first(const std::string& key) const
{
    int keyNumber = find(key);
    return keyNumber < 0 ? -1 : links[keys[keyNumber].head].record;
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

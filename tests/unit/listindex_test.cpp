// The indexes must answer exactly as what they replace: the directory index
// as the walk from index 0, checked over many random merges, and the keyed
// index as a map of keys to record lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "log/itemlists.h"
#include "log/listindex.h"

namespace {

// The made-directory merge as a plain walk of the list: the first record
// equal to `path`, or (when `related`) also inside it or containing it.
int walk(const char* path, bool related)
{
    for (int i = 0; i < itemCount(DirectoryList); ++i) {
        const char* recordPath = itemAt<DirectoryItem>(DirectoryList, i)->path;
        size_t n = related ? std::min(strlen(recordPath), strlen(path)) : strlen(path) + 1;
        if (compareNoCasePart(recordPath, path, n) == 0)
            return i;
    }
    return -1;
}

TEST(DirectoryIndex, AnswersAsTheWalkDoes)
{
    BlockArena arena = {};
    allocateItemLists(&arena);
    DirectoryIndex index;
    std::mt19937 random(12345);
    const char* names[] = {"a", "B", "ab", "A", "c", "bc"};
    for (int step = 0; step < 4000; ++step) {
        std::string path = random() % 2 ? "C:\\" : "c:\\";
        for (int depth = 1 + static_cast<int>(random() % 4); depth > 0; --depth)
            path += std::string(names[random() % 6]) + "\\";
        ASSERT_EQ(index.firstEqual(path.c_str()), walk(path.c_str(), false)) << path;
        int found = index.firstRelated(path.c_str());
        ASSERT_EQ(found, walk(path.c_str(), true)) << path << " at step " << step;
        if (found < 0 || random() % 5 == 0) {
            // A new record (as a file tree would make one).
            auto* record = static_cast<DirectoryItem*>(appendItem(&arena, DirectoryList, sizeof(DirectoryItem)));
            copyText(record->path, path.c_str());
            index.add(record->path, itemCount(DirectoryList) - 1);
        } else {
            auto* record = itemAt<DirectoryItem>(DirectoryList, found);
            if (strlen(record->path) > path.size()) {
                record->path[path.size()] = '\0';
                index.cut(record->path, found);
            }
        }
    }
    EXPECT_GT(itemCount(DirectoryList), 50);
    release(&arena);
}

TEST(ListIndex, KeysKeepTheirFieldsApart)
{
    EXPECT_NE(foldedKey("Group", "Name"), foldedKey("GroupN", "ame"));
    EXPECT_NE(foldedKey("Key", 11), foldedKey("Key1", 1));
}

// The index must answer as a map of every key to its records in list order
// would, through its growth: keys that are prefixes of one another, the
// empty key, and keys met again long after their first record.
TEST(ListIndex, AnswersAsAMapOfRecordLists)
{
    ListIndex index;
    std::map<std::string, std::vector<int>> expected;
    std::mt19937 random(99);
    for (int record = 0; record < 5000; ++record) {
        std::string key = std::string(random() % 4, 'k') + std::to_string(random() % 1500);
        if (random() % 50 == 0)
            key.clear();
        std::string probe = std::to_string(random() % 1600);
        auto known = expected.find(probe);
        ASSERT_EQ(index.first(probe), known == expected.end() ? -1 : known->second.front()) << probe;
        index.add(key, record);
        expected[key].push_back(record);
    }
    for (const auto& entry : expected) {
        std::vector<int> found;
        index.forEach(entry.first, [&](int record) { found.push_back(record); });
        EXPECT_EQ(found, entry.second) << entry.first;
    }
}

} // namespace

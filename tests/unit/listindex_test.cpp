// The directory index must answer exactly as the walk from index 0 that it
// replaces: checked against that walk over many random merges.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "common/text.h"
#include "log/itemlists.h"
#include "log/listindex.h"

namespace {

// The made-directory merge as a plain walk of the list.
int walkRelated(const char* path)
{
    for (int i = 0; i < itemCount(DirectoryList); ++i) {
        const char* recordPath = itemAt<DirectoryItem>(DirectoryList, i)->path;
        size_t n = std::min(strlen(recordPath), strlen(path));
        if (compareNoCasePart(recordPath, path, n) == 0)
            return i;
    }
    return -1;
}

int walkEqual(const char* path)
{
    for (int i = 0; i < itemCount(DirectoryList); ++i)
        if (compareNoCase(itemAt<DirectoryItem>(DirectoryList, i)->path, path) == 0)
            return i;
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
        int depth = 1 + static_cast<int>(random() % 4);
        for (int d = 0; d < depth; ++d)
            path += std::string(names[random() % 6]) + "\\";

        ASSERT_EQ(index.firstEqual(path.c_str()), walkEqual(path.c_str())) << path;
        int expected = walkRelated(path.c_str());
        int found = index.firstRelated(path.c_str());
        ASSERT_EQ(found, expected) << path << " at step " << step;
        if (found < 0 || random() % 5 == 0) {
            // A new record (as a file tree would make one).
            auto* record = static_cast<DirectoryItem*>(appendItem(&arena, DirectoryList, sizeof(DirectoryItem)));
            copyText(record->path, path.c_str());
            index.add(record->path, itemCount(DirectoryList) - 1);
        } else {
            auto* record = itemAt<DirectoryItem>(DirectoryList, found);
            size_t shorter = std::min(strlen(record->path), path.size());
            if (record->path[shorter] != '\0') {
                record->path[shorter] = '\0';
                index.cut(record->path, found);
            }
        }
    }
    EXPECT_GT(itemCount(DirectoryList), 50);
    release(&arena);
}

TEST(ListIndex, FirstRecordPerFoldedKey)
{
    ListIndex index;
    index.add(foldedKey("C:\\App\\A.DLL"), 3);
    index.add(foldedKey("c:\\APP\\a.dll"), 7);
    index.add(foldedKey("Group", "Name"), 1);
    EXPECT_EQ(index.first(foldedKey("C:\\APP\\A.DLL")), 3);
    EXPECT_EQ(index.all(foldedKey("C:\\APP\\A.DLL"))->size(), 2u);
    EXPECT_EQ(index.first(foldedKey("GROUP", "NAME")), 1);
    EXPECT_EQ(index.first(foldedKey("GroupN", "ame")), -1);   // parts do not run together
    EXPECT_EQ(index.first(foldedKey("Software\\Key", 1)), -1);
}

} // namespace

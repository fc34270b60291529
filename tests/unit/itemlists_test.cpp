// Where the log's items are kept: the block arena, the item lists and their
// trees, and the indexes that spare the walks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/text.h"
#include "log/itemlists.h"
#include "log/listindex.h"
#include "startup/arena.h"

namespace {

using namespace std::string_literals;

constexpr size_t kRoom = kArenaBlockSize - kArenaLinkSize;   // what one block holds

std::vector<unsigned char*> chain(const BlockArena& arena)
{
    std::vector<unsigned char*> blocks;
    for (unsigned char* b = arena.firstBlock; b; b = *reinterpret_cast<unsigned char**>(b))
        blocks.push_back(b);
    return blocks;
}

// Pieces of any size, a block's exact rest, nothing and more than a block
// among them, come zeroed, aligned for any record and apart from each
// other; every block in the chain holds one. ASan flags a piece that
// overruns its block, LeakSanitizer a block the release leaves behind.
TEST(Arena, PiecesAreZeroedAlignedApartAndNoBlockIsWasted)
{
    BlockArena arena = {};
    std::vector<std::pair<unsigned char*, size_t>> pieces;
    std::set<unsigned char*> used;
    for (size_t size : {size_t(522), size_t(1), size_t(0), kRoom - 536, size_t(8), 3 * kArenaBlockSize, size_t(64),
                        kRoom - 64, size_t(100000), size_t(8)}) {
        auto* piece = static_cast<unsigned char*>(allocateZeroed(&arena, size));
        EXPECT_EQ(std::count(piece, piece + size, 0), static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(piece) % alignof(void*), 0u) << size;
        memset(piece, static_cast<int>(pieces.size() + 1), size);
        pieces.emplace_back(piece, size);
        unsigned char* block = nullptr;   // the one it lies in: the last that begins before it
        for (unsigned char* b : chain(arena))
            block = b < piece && b > block ? b : block;
        used.insert(block);
    }
    for (size_t i = 0; i < pieces.size(); ++i)
        EXPECT_EQ(std::count(pieces[i].first, pieces[i].first + pieces[i].second, i + 1),
                  static_cast<std::ptrdiff_t>(pieces[i].second)) << "piece " << i << " was overwritten";
    EXPECT_EQ(chain(arena).size(), used.size()) << "blocks that hold no piece";
    release(&arena);
}

TEST(ArenaDeathTest, ARequestTheHeapCannotMeetEndsTheRunThroughTheHandler)
{
    BlockArena arena = {};
    arena.onExhausted = [](size_t requested) {
        fprintf(stderr, "arena exhausted at %zu bytes\n", requested);
        exit(3);
    };
    EXPECT_EXIT(allocate(&arena, static_cast<size_t>(-1)), ::testing::ExitedWithCode(3), "arena exhausted");
    arena.onExhausted = nullptr;
    EXPECT_DEATH(allocate(&arena, static_cast<size_t>(-1) - 3), "");
}

// Item lists: the unbalanced trees, and string lists.

struct ItemListsTest : ::testing::Test {
    BlockArena arena = {};
    void SetUp() override { allocateItemLists(&arena); }
    void TearDown() override { release(&arena); }
};

// Every tree-kept record begins with its two links.
struct Links { void *higher, *lower; };

// Each search must find what a walk from the root of the list's tree finds,
// comparing the keys the list uses (the first from the end, the others
// without case), and a new record must hang where that walk ends: the index
// that spares the walk must leave the tree in the walk's shape.
TEST_F(ItemListsTest, TreesKeepTheShapeOfAWalkFromTheRoot)
{
    // File keys are equal when they are from the end without ASCII case;
    // other letters keep theirs, and a tail is another file.
    EXPECT_EQ(compareFromEnd("C:\\APP\\A.DLL", "c:\\app\\a.dll"), 0);
    EXPECT_NE(compareFromEnd("\xE4", "\xC4"), 0);
    EXPECT_NE(compareFromEnd("C:\\X.DLL", "X.DLL"), 0);
    // Few first keys make long chains below one file or key.
    struct Case { ItemListId list; size_t recordSize; int keysUsed, firstKeys; } cases[] = {
        {PrivateFileList, sizeof(PrivateFileItem), 1, 40},
        {RegistryKeyList, sizeof(RegistryKeyItem), 2, 8},
        {IniItemList, sizeof(IniItem), 3, 1},
    };
    std::mt19937 random(7);
    const char* files[] = {"C:\\WIN.INI", "c:\\win.ini", "C:\\APP\\APP.INI", "D:\\X.INI", "WIN.INI", "\\app.ini"};
    const char* words[] = {"a", "B", "ab", "A", "ba", ""};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        std::map<void*, std::vector<std::string>> keysOf;
        for (int step = 0; step < 3000; ++step) {
            std::vector<std::string> keys = {std::to_string(random() % c.firstKeys) + files[random() % 6],
                                              words[random() % 6], words[random() % 6] + std::to_string(random() % 40)};
            void *found = nullptr, **link = nullptr;
            for (void* node = itemCount(c.list) ? itemAt<void>(c.list, 0) : nullptr; node; node = *link) {
                int r = compareFromEnd(keysOf[node][0].c_str(), keys[0].c_str());
                for (int k = 1; k < c.keysUsed && r == 0; ++k)
                    r = compareNoCase(keysOf[node][k].c_str(), keys[k].c_str());
                if (r == 0) {
                    found = node;
                    break;
                }
                link = r < 0 ? &static_cast<Links*>(node)->higher : &static_cast<Links*>(node)->lower;
            }
            bool created = false;
            void* record = findOrInsertItem(&arena, c.list, c.recordSize, &created, keys[0].c_str(), keys[1].c_str(),
                                            keys[2].c_str());
            ASSERT_EQ(created, !found) << step;
            ASSERT_EQ(record, found ? found : itemAt<void>(c.list, itemCount(c.list) - 1)) << step;
            if (!found && link) {
                ASSERT_EQ(*link, record) << step;
            }
            keysOf[record] = keys;
        }
        EXPECT_GT(keysOf.size(), 100u);
    }
}

TEST(StringList, StringsEndedByAnEmptyOneAndCutAtAStringBoundary)
{
    struct Case { size_t capacity; std::vector<const char*> strings; std::string expected; } cases[] = {
        {64, {}, "\0\0"s}, {64, {"one", "", "three"}, "one\0\0three\0\0"s},
        {16, {"abcdef", "ghijklmn", "xy"}, "abcdef\0xy\0\0"s},   // the second would leave no room for the end
        {8, {"0123456789"}, "012345\0\0"s},                     // a first string alone keeps what fits
    };
    for (const Case& c : cases) {
        std::string field(c.capacity + 4, '#');
        StringListBuilder list;
        startStringList(&list, &field[0], c.capacity);
        for (const char* text : c.strings)
            addToStringList(&list, text);
        EXPECT_EQ(field.substr(0, c.expected.size()), c.expected) << c.capacity;
        EXPECT_EQ(field.substr(c.capacity), "####") << c.capacity;
    }
}

// The indexes must answer exactly as what they replace: the directory index
// as the walk from index 0, checked over many random merges, and the keyed
// index as a map of keys to record lists.

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

TEST_F(ItemListsTest, TheDirectoryIndexAnswersAsTheWalkDoes)
{
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
}

// The index must answer as a map of every key to its records in list order
// would, through its growth: keys that are prefixes of one another, the
// empty key, and keys met again long after their first record; keys made
// of two fields keep them apart.
TEST(ListIndex, AnswersAsAMapOfRecordLists)
{
    EXPECT_NE(foldedKey("Group", "Name"), foldedKey("GroupN", "ame"));
    EXPECT_NE(foldedKey("Key", 11), foldedKey("Key1", 1));
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

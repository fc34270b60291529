// Item lists: the backward comparison, the unbalanced trees' shape, growth
// past the first array, and string lists.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "log/itemlists.h"

namespace {

using namespace std::string_literals;

TEST(CompareFromEnd, ReadsFromTheLastCharacter)
{
    struct Case { const char *a, *b; int expected; } cases[] = {
        {"C:\\APP\\A.DLL", "c:\\app\\a.dll", 0}, {"", "", 0},
        {"C:\\B\\X.DLL", "C:\\A\\X.DLL", 'B' - 'A'},
        {"AX", "BY", 'X' - 'Y'},                            // the last characters decide first
        {"C:\\X.DLL", "X.DLL", -1}, {"X.DLL", "C:\\X.DLL", 1},   // a proper tail sorts above
        {"\xE4", "\xC4", 0xE4 - 0xC4},                       // only ASCII letters fold
    };
    for (const Case& c : cases)
        EXPECT_EQ(compareFromEnd(c.a, c.b), c.expected) << c.a << " / " << c.b;
}

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

TEST_F(ItemListsTest, ListsGrowPastTheirFirstArray)
{
    std::vector<void*> appended;
    for (int i = 0; i < kItemListInitialCapacity + 500; ++i)
        appended.push_back(appendItem(&arena, ServiceList, sizeof(ServiceItem)));
    void** items = installLog.lists[ServiceList].items;
    EXPECT_EQ(std::vector<void*>(items, items + itemCount(ServiceList)), appended);
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

} // namespace

// Item lists: the backward comparison, the unbalanced tree's shape, growth
// past the first array, and string lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "log/itemlists.h"

namespace {

struct ItemListsTest : ::testing::Test {
    BlockArena arena = {};
    void SetUp() override { allocateItemLists(&arena); }
    void TearDown() override { release(&arena); }

    PrivateFileItem* file(const char* path, bool* created)
    {
        auto* record = findOrInsert<PrivateFileItem>(&arena, PrivateFileList, created, path);
        if (*created)
            strcpy(record->path, path);
        return record;
    }
};

TEST(CompareFromEnd, ReadsFromTheLastCharacter)
{
    EXPECT_EQ(compareFromEnd("C:\\APP\\A.DLL", "c:\\app\\a.dll"), 0);
    EXPECT_EQ(compareFromEnd("C:\\B\\X.DLL", "C:\\A\\X.DLL"), 'B' - 'A');
    EXPECT_EQ(compareFromEnd("C:\\A\\X.DLL", "C:\\B\\X.DLL"), 'A' - 'B');
    EXPECT_EQ(compareFromEnd("AX", "BY"), 'X' - 'Y');   // the last characters decide first
    EXPECT_EQ(compareFromEnd("C:\\X.DLL", "X.DLL"), -1);  // b is a proper tail of a
    EXPECT_EQ(compareFromEnd("X.DLL", "C:\\X.DLL"), 1);
    EXPECT_EQ(compareFromEnd("", ""), 0);
    EXPECT_EQ(compareFromEnd("\xE4", "\xC4"), 0xE4 - 0xC4);   // only ASCII letters fold
}

TEST_F(ItemListsTest, TreeTakesTheShapeOfTheInsertionOrder)
{
    bool created = false;
    PrivateFileItem* root = file("C:\\A\\X.DLL", &created);
    ASSERT_TRUE(created);
    // Compared from the end, B sorts above A: the new key is higher.
    PrivateFileItem* b = file("C:\\B\\X.DLL", &created);
    ASSERT_TRUE(created);
    EXPECT_EQ(root->higher, b);
    EXPECT_EQ(root->lower, nullptr);
    PrivateFileItem* w = file("C:\\A\\W.DLL", &created);   // W < X at the name
    EXPECT_EQ(root->lower, w);
    PrivateFileItem* c = file("C:\\C\\X.DLL", &created);   // higher than A, then higher than B
    EXPECT_EQ(b->higher, c);
    EXPECT_EQ(itemCount(PrivateFileList), 4);
    EXPECT_EQ(itemAt<PrivateFileItem>(PrivateFileList, 2), w);   // list order is first-seen order

    PrivateFileItem* again = file("c:\\b\\x.dll", &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(again, b);
    EXPECT_STREQ(again->path, "C:\\B\\X.DLL");   // the first form of the name stays
    EXPECT_EQ(itemCount(PrivateFileList), 4);
}

TEST_F(ItemListsTest, SecondAndThirdKeysIgnoreCase)
{
    bool created = false;
    auto make = [&](const char* file, const char* section, const char* item) {
        IniItem* record = findOrInsert<IniItem>(&arena, IniItemList, &created, file, section, item);
        if (created) {
            strcpy(record->file, file);
            strcpy(record->section, section);
            strcpy(record->item, item);
        }
        return record;
    };
    IniItem* a = make("C:\\WIN.INI", "Ext", "txt");
    IniItem* b = make("C:\\WIN.INI", "Ext", "doc");
    EXPECT_TRUE(created);
    EXPECT_EQ(make("c:\\win.ini", "EXT", "TXT"), a);
    EXPECT_FALSE(created);
    EXPECT_EQ(make("C:\\WIN.INI", "ext", "Doc"), b);
    EXPECT_EQ(itemCount(IniItemList), 2);

    // Registry values differing only in their root are one record.
    auto* value = findOrInsert<RegistryKeyItem>(&arena, RegistryKeyList, &created, "Software\\App", "");
    ASSERT_TRUE(created);
    strcpy(value->key, "Software\\App");
    value->root = 2;
    EXPECT_EQ(findOrInsert<RegistryKeyItem>(&arena, RegistryKeyList, &created, "SOFTWARE\\APP", ""), value);
    EXPECT_FALSE(created);
    EXPECT_EQ(value->root, 2);
    findOrInsert<RegistryKeyItem>(&arena, RegistryKeyList, &created, "Software\\App", "Version");
    EXPECT_TRUE(created);
}

// The tree as a walk from its root builds it: the shape the index must keep.
struct WalkNode {
    WalkNode* higher = nullptr;
    WalkNode* lower = nullptr;
    std::string file, section, item;
};

int walkCompare(const WalkNode& node, const std::string& f, const std::string& s, const std::string& i)
{
    int r = compareFromEnd(node.file.c_str(), f.c_str());
    if (r == 0)
        r = compareNoCase(node.section.c_str(), s.c_str());
    if (r == 0)
        r = compareNoCase(node.item.c_str(), i.c_str());
    return r;
}

TEST_F(ItemListsTest, TreesKeepTheShapeOfAWalkFromTheRoot)
{
    std::vector<WalkNode*> walked;   // in list order, like the list
    std::mt19937 random(7);
    const char* files[] = {"C:\\WIN.INI", "c:\\win.ini", "C:\\APP\\APP.INI", "D:\\X.INI", "WIN.INI"};
    const char* words[] = {"a", "B", "ab", "A", "ba", ""};
    for (int step = 0; step < 3000; ++step) {
        std::string f = files[random() % 5], sec = words[random() % 6], it = words[random() % 6] + std::to_string(random() % 40);
        // The reference: walk from the root.
        WalkNode* found = nullptr;
        WalkNode** link = nullptr;
        if (!walked.empty()) {
            for (WalkNode* node = walked[0];;) {
                int r = walkCompare(*node, f, sec, it);
                if (r == 0) { found = node; break; }
                link = r < 0 ? &node->higher : &node->lower;
                if (!*link) break;
                node = *link;
            }
        }
        bool created = false;
        IniItem* record = findOrInsert<IniItem>(&arena, IniItemList, &created, f.c_str(), sec.c_str(), it.c_str());
        ASSERT_EQ(created, found == nullptr) << step;
        if (found) {
            auto index = static_cast<size_t>(std::find(walked.begin(), walked.end(), found) - walked.begin());
            ASSERT_EQ(itemAt<IniItem>(IniItemList, static_cast<int>(index)), record) << step;
            continue;
        }
        auto* node = new WalkNode{nullptr, nullptr, f, sec, it};
        if (link)
            *link = node;
        walked.push_back(node);
        copyText(record->file, f.c_str());
        copyText(record->section, sec.c_str());
        copyText(record->item, it.c_str());
    }
    // Same shape: every record's links point where the walk's do.
    ASSERT_EQ(static_cast<size_t>(itemCount(IniItemList)), walked.size());
    auto indexOf = [&](WalkNode* node) { return node ? static_cast<int>(std::find(walked.begin(), walked.end(), node) - walked.begin()) : -1; };
    auto recordIndex = [&](IniItem* item) {
        for (int i = 0; i < itemCount(IniItemList); ++i)
            if (itemAt<IniItem>(IniItemList, i) == item) return i;
        return -1;
    };
    for (size_t i = 0; i < walked.size(); ++i) {
        IniItem* record = itemAt<IniItem>(IniItemList, static_cast<int>(i));
        ASSERT_EQ(recordIndex(record->higher), indexOf(walked[i]->higher)) << i;
        ASSERT_EQ(recordIndex(record->lower), indexOf(walked[i]->lower)) << i;
    }
    EXPECT_GT(walked.size(), 500u);
    for (WalkNode* node : walked)
        delete node;
}

TEST_F(ItemListsTest, ListsGrowPastTheirFirstArray)
{
    const int total = kItemListInitialCapacity + 500;
    for (int i = 0; i < total; ++i) {
        auto* service = static_cast<ServiceItem*>(appendItem(&arena, ServiceList, sizeof(ServiceItem)));
        snprintf(service->name, sizeof service->name, "Service%d", i);
    }
    ASSERT_EQ(itemCount(ServiceList), total);
    for (int i : {0, 1, kItemListInitialCapacity - 1, kItemListInitialCapacity, total - 1})
        EXPECT_EQ(std::string(itemAt<ServiceItem>(ServiceList, i)->name), "Service" + std::to_string(i));
}

std::vector<std::string> strings(const char* field)
{
    std::vector<std::string> result;
    for (const char* at = field; *at; at += strlen(at) + 1)
        result.push_back(at);
    return result;
}

TEST(StringList, StringsEndedByAnEmptyOne)
{
    char field[kStringListSize];
    StringListBuilder list;
    startStringList(&list, field, sizeof field);
    EXPECT_EQ(strings(field), std::vector<std::string>{});
    addToStringList(&list, "one");
    addToStringList(&list, "");
    addToStringList(&list, "three");
    EXPECT_EQ(memcmp(field, "one\0\0three\0\0", 12), 0);
}

TEST(StringList, CutAtAStringBoundaryAndAlwaysEnded)
{
    char field[16 + 4];
    memset(field, '#', sizeof field);
    StringListBuilder list;
    startStringList(&list, field, 16);
    addToStringList(&list, "abcdef");    // 7 bytes
    addToStringList(&list, "ghijklmn");  // 9 more would leave no room for the end
    addToStringList(&list, "xy");        // fits
    EXPECT_EQ(strings(field), (std::vector<std::string>{"abcdef", "xy"}));
    EXPECT_EQ(field[10], '\0');
    EXPECT_EQ(std::string(field + 16, 4), "####");

    // A single string longer than the field keeps what fits.
    char single[8 + 4];
    memset(single, '#', sizeof single);
    startStringList(&list, single, 8);
    addToStringList(&list, "0123456789");
    EXPECT_EQ(strings(single), std::vector<std::string>{"012345"});
    EXPECT_EQ(single[7], '\0');
    EXPECT_EQ(std::string(single + 8, 4), "####");
}

} // namespace

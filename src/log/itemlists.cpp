#include "log/itemlists.h"

#include <cstring>
#include <iterator>
#include <set>
#include <string>

#include "common/text.h"

InstallLog installLog;

namespace {

// The keys of every record in a tree, in the tree's own order. The trees
// are not balanced, and logs that name one INI file or one registry key
// over and over grow them into long chains; this ordered copy finds a
// record, or the one link a new record hangs on, without walking them.
struct TreeKey {
    std::string k1, k2, k3;
    void* node;
};

int compareKeys(const TreeKey& a, const TreeKey& b)
{
    int r = compareFromEnd(a.k1.c_str(), b.k1.c_str());
    if (r == 0)
        r = compareNoCase(a.k2.c_str(), b.k2.c_str());
    if (r == 0)
        r = compareNoCase(a.k3.c_str(), b.k3.c_str());
    return r;
}

struct TreeOrder {
    bool operator()(const TreeKey& a, const TreeKey& b) const { return compareKeys(a, b) < 0; }
};

std::set<TreeKey, TreeOrder> treeKeys[kItemListCount];

} // namespace

void allocateItemLists(BlockArena* arena)
{
    installLog = InstallLog{};
    for (auto& keys : treeKeys)
        keys.clear();
    for (ItemList& list : installLog.lists) {
        list.items = static_cast<void**>(allocate(arena, kItemListInitialCapacity * sizeof(void*)));
        list.count = 0;
        list.capacity = kItemListInitialCapacity;
    }
}

static void growIfFull(BlockArena* arena, ItemList& list)
{
    if (list.count < list.capacity)
        return;
    int capacity = list.capacity * 2;
    auto** items = static_cast<void**>(allocate(arena, static_cast<size_t>(capacity) * sizeof(void*)));
    memcpy(items, list.items, static_cast<size_t>(list.count) * sizeof(void*));
    list.items = items;   // the old array stays in the arena until its release
    list.capacity = capacity;
}

void* appendItem(BlockArena* arena, ItemListId id, size_t recordSize)
{
    ItemList& list = installLog.lists[id];
    growIfFull(arena, list);
    void* record = allocateZeroed(arena, recordSize);
    list.items[list.count++] = record;
    return record;
}

static int upperAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
}

int compareFromEnd(const char* a, const char* b)
{
    size_t i = strlen(a), j = strlen(b);
    while (i > 0 && j > 0) {
        int ca = upperAscii(static_cast<unsigned char>(a[i - 1]));
        int cb = upperAscii(static_cast<unsigned char>(b[j - 1]));
        if (ca != cb)
            return ca - cb;
        --i;
        --j;
    }
    if (i == 0 && j == 0)
        return 0;
    return j == 0 ? -1 : 1;
}

// Every tree-kept record begins with these links, followed by its first
// key; the second and third keys stand at fixed places per record kind.
struct TreeNode {
    TreeNode* higher;
    TreeNode* lower;
};

struct TreeKeys {
    size_t first, second, third;   // offsets; 0 = no such key
};

static TreeKeys keysOf(ItemListId list)
{
    switch (list) {
    case PrivateFileList:
        return {offsetof(PrivateFileItem, path), 0, 0};
    case IniItemList:
        return {offsetof(IniItem, file), offsetof(IniItem, section), offsetof(IniItem, item)};
    case RegistryKeyList:
        return {offsetof(RegistryKeyItem, key), offsetof(RegistryKeyItem, valueName), 0};
    case RegistryEditList:
        return {offsetof(RegistryEditItem, key), offsetof(RegistryEditItem, valueName), 0};
    default:
        return {0, 0, 0};
    }
}

void* findOrInsertItem(BlockArena* arena, ItemListId id, size_t recordSize, bool* created, const char* k1,
                       const char* k2, const char* k3)
{
    ItemList& list = installLog.lists[id];
    TreeKeys keys = keysOf(id);
    // A key the list does not use counts as equal, as an empty one does.
    TreeKey probe = {k1, k2 && keys.second ? k2 : "", k3 && keys.third ? k3 : "", nullptr};
    std::set<TreeKey, TreeOrder>& ordered = treeKeys[id];
    *created = true;
    if (list.count == 0) {
        probe.node = appendItem(arena, id, recordSize);
        ordered.insert(probe);
        return probe.node;
    }
    auto found = ordered.find(probe);
    if (found != ordered.end()) {
        *created = false;
        return found->node;
    }
    // Walking the tree from its root would end on the new key's neighbour
    // in order: below its predecessor when that has no higher record, else
    // below its successor. The shape is the same as the walk's.
    auto successor = ordered.lower_bound(probe);
    TreeNode** link = nullptr;
    if (successor != ordered.begin()) {
        auto* predecessor = static_cast<TreeNode*>(std::prev(successor)->node);
        if (!predecessor->higher)
            link = &predecessor->higher;
    }
    if (!link)
        link = &static_cast<TreeNode*>(successor->node)->lower;
    auto* fresh = static_cast<TreeNode*>(appendItem(arena, id, recordSize));
    *link = fresh;
    probe.node = fresh;
    ordered.insert(probe);
    return fresh;
}

void startStringList(StringListBuilder* builder, char* field, size_t capacity)
{
    builder->field = field;
    builder->capacity = capacity;
    builder->used = 0;
    if (capacity >= 2)
        field[0] = field[1] = '\0';
}

void addToStringList(StringListBuilder* builder, const char* text)
{
    if (builder->capacity < 2)
        return;
    size_t room = builder->capacity - builder->used - 1;   // one byte for the closing empty string
    size_t length = strlen(text);
    if (length + 1 > room) {
        // Only the first string is cut to fit: a value of one long string
        // keeps what fits rather than losing everything; later strings that
        // do not fit whole are left out, so the list ends on a boundary.
        if (builder->used != 0 || room < 2)
            return;
        length = room - 1;
    }
    memcpy(builder->field + builder->used, text, length);
    builder->used += length;
    builder->field[builder->used++] = '\0';
    builder->field[builder->used] = '\0';
}

#include "log/itemlists.h"

#include <cstring>
#include <iterator>
#include <set>

#include "common/text.h"

InstallLog installLog;

namespace {

// Every tree-kept record begins with these links, followed by its first
// key; the second and third keys stand at fixed places per record kind.
struct TreeNode {
    TreeNode* higher;
    TreeNode* lower;
};

struct KeyField {
    size_t offset, size;   // offset 0: the list has no such key
};

struct TreeKeys {
    KeyField first, second, third;
};

TreeKeys keysOf(ItemListId list)
{
    switch (list) {
    case PrivateFileList:
        return {{offsetof(PrivateFileItem, path), sizeof PrivateFileItem::path}, {}, {}};
    case IniItemList:
        return {{offsetof(IniItem, file), sizeof IniItem::file},
                {offsetof(IniItem, section), sizeof IniItem::section},
                {offsetof(IniItem, item), sizeof IniItem::item}};
    case RegistryKeyList:
        return {{offsetof(RegistryKeyItem, key), sizeof RegistryKeyItem::key},
                {offsetof(RegistryKeyItem, valueName), sizeof RegistryKeyItem::valueName},
                {}};
    case RegistryEditList:
        return {{offsetof(RegistryEditItem, key), sizeof RegistryEditItem::key},
                {offsetof(RegistryEditItem, valueName), sizeof RegistryEditItem::valueName},
                {}};
    default:
        return {};
    }
}

constexpr size_t kLongestKey = 260;   // the largest key field
static_assert(sizeof PrivateFileItem::path <= kLongestKey && sizeof IniItem::file <= kLongestKey &&
                  sizeof RegistryKeyItem::key <= kLongestKey,
              "a probe holds any key field");

struct KeyTexts {
    const char *k1, *k2, *k3;
};

int compareKeys(const KeyTexts& a, const KeyTexts& b)
{
    int r = compareFromEnd(a.k1, b.k1);
    if (r == 0)
        r = compareNoCase(a.k2, b.k2);
    if (r == 0)
        r = compareNoCase(a.k3, b.k3);
    return r;
}

// The records of a tree in the tree's own order. The trees are not
// balanced, and logs that name one INI file or one registry key over and
// over grow them into long chains; this ordered set of the same records
// finds a record, or the one link a new record hangs on, without walking
// them. It holds only the records' addresses and reads their keys from the
// records themselves: copies of the keys cost more than the records.
struct TreeOrder {
    using is_transparent = void;
    TreeKeys fields;

    static const char* field(const void* record, KeyField key)
    {
        return key.offset ? static_cast<const char*>(record) + key.offset : "";
    }
    KeyTexts textsOf(const void* record) const
    {
        return {field(record, fields.first), field(record, fields.second), field(record, fields.third)};
    }
    bool operator()(const void* a, const void* b) const { return compareKeys(textsOf(a), textsOf(b)) < 0; }
    bool operator()(const KeyTexts& a, const void* b) const { return compareKeys(a, textsOf(b)) < 0; }
    bool operator()(const void* a, const KeyTexts& b) const { return compareKeys(textsOf(a), b) < 0; }
};

std::set<void*, TreeOrder> treeRecords[kItemListCount];

} // namespace

void allocateItemLists(BlockArena* arena)
{
    installLog = InstallLog{};
    for (int list = 0; list < kItemListCount; ++list)
        treeRecords[list] = std::set<void*, TreeOrder>(TreeOrder{keysOf(static_cast<ItemListId>(list))});
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

void* findOrInsertItem(BlockArena* arena, ItemListId id, size_t recordSize, bool* created, const char* k1,
                       const char* k2, const char* k3)
{
    // The keys as the record's fields will hold them (cut to the fields'
    // sizes; a key the list does not use counts as empty), so that a search
    // compares exactly what a walk over the records would.
    TreeKeys fields = keysOf(id);
    char first[kLongestKey], second[kLongestKey], third[kLongestKey];
    copyText(first, fields.first.size ? fields.first.size : sizeof first, k1);
    copyText(second, fields.second.size ? fields.second.size : 1, k2 ? k2 : "");
    copyText(third, fields.third.size ? fields.third.size : 1, k3 ? k3 : "");
    KeyTexts probe = {first, second, third};

    std::set<void*, TreeOrder>& ordered = treeRecords[id];
    auto successor = ordered.lower_bound(probe);
    if (successor != ordered.end() && compareKeys(probe, ordered.key_comp().textsOf(*successor)) == 0) {
        *created = false;
        return *successor;
    }
    *created = true;
    // Walking the tree from its root would end on the new key's neighbour
    // in order: below its predecessor when that has no higher record, else
    // below its successor. The shape is the same as the walk's.
    TreeNode** link = nullptr;
    if (successor != ordered.begin()) {
        auto* predecessor = static_cast<TreeNode*>(*std::prev(successor));
        if (!predecessor->higher)
            link = &predecessor->higher;
    }
    if (!link && successor != ordered.end())
        link = &static_cast<TreeNode*>(*successor)->lower;
    auto* fresh = static_cast<TreeNode*>(appendItem(arena, id, recordSize));
    char* record = reinterpret_cast<char*>(fresh);
    copyText(record + fields.first.offset, fields.first.size, first);
    if (fields.second.offset)
        copyText(record + fields.second.offset, fields.second.size, second);
    if (fields.third.offset)
        copyText(record + fields.third.offset, fields.third.size, third);
    if (link)
        *link = fresh;
    ordered.insert(successor, fresh);
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

// The item lists that hold what the installation log records, one per
// category, in first-seen order, and the single values of the log.
#pragma once
#include <cstddef>
#include <cstdint>

#include "startup/arena.h"

enum ItemListId {
    PrivateFileList,
    SystemFileList,
    DirectoryList,
    IniFileList,
    IniItemList,
    RegistryKeyList,
    RegistryEditList,
    RegistryTreeList,
    IconList,
    ProgramList,
    ServiceList,
    EditedFileList,
    kItemListCount
};

constexpr int kItemListInitialCapacity = 256;   // lists grow on demand: most logs are small
constexpr size_t kStringListSize = 2048;
constexpr uint16_t kLogDirectoryInstall = 32767;

struct ItemList {
    void** items;
    int count;
    int capacity;
};

// Records. Tree-kept ones begin with their two tree links.

struct PrivateFileItem {
    PrivateFileItem* higher;
    PrivateFileItem* lower;
    char path[260];
    char backupPath[260];
    int32_t selected;
    int32_t autoRemove;
    uint16_t selfRegInstall;
    uint16_t deviceInstall;
    uint16_t install;
    uint16_t backupInstall;
    uint16_t sharedInstall;
    int32_t sharedCount;
};

struct SystemFileItem {
    char path[260];
    char backupPath[260];
    int32_t selected;
    int32_t autoRemove;
    uint16_t selfRegInstall;
    uint16_t deviceInstall;
    uint16_t install;
    uint16_t backupInstall;
    uint16_t sharedInstall;
    int32_t sharedCount;
};

struct DirectoryItem {
    char path[260];          // always ends with "\"
    int32_t selected;
    uint16_t treeInstall;
    uint16_t madeInstall;
};

struct IniFileItem {
    char path[260];
    int32_t selected;
    uint16_t install;
};

struct IniItem {
    IniItem* higher;
    IniItem* lower;
    char file[260];
    char section[256];
    char item[256];
    char preInstallValue[512];
    char previousValue[512];
    int32_t selected;
    uint16_t install;
};

struct RegistryKeyItem {
    RegistryKeyItem* higher;
    RegistryKeyItem* lower;
    char key[260];
    char valueName[256];
    int32_t root;
    int32_t selected;
    uint16_t install;
};

struct RegistryEditItem {
    RegistryEditItem* higher;
    RegistryEditItem* lower;
    char key[256];
    char valueName[256];
    char preInstallValue[kStringListSize];   // strings, each NUL-ended, then an empty one
    char previousValue[kStringListSize];
    int32_t root;
    int32_t valueType;
    int32_t selected;
    uint16_t install;
};

struct RegistryTreeItem {
    char key[256];
    int32_t root;
    int32_t selected;
    uint16_t install;
};

struct IconItem {
    char group[256];
    char name[256];
    char command[256];
    int32_t selected;
    uint16_t install;
};

struct ProgramItem {
    char command[260];
    char programName[256];
    int32_t selected;
    uint16_t install;
};

struct ServiceItem {
    char name[260];
    int32_t selected;
    uint16_t install;
};

struct EditedFileItem {
    char path[260];
    char backupPath[260];
    uint16_t install;
};

// The log as loaded: the lists and the single values that are not header
// values of RunState.
struct InstallLog {
    ItemList lists[kItemListCount];
    uint16_t installationCount;
    uint32_t lastSectionOffset;
    char* perUserId;
    char* subSystemName;
    int32_t subSystemSelected;
};

extern InstallLog installLog;

// Takes the twelve list arrays from the arena, one after another, and
// empties the log.
void allocateItemLists(BlockArena* arena);

template <class Item>
inline Item* itemAt(ItemListId list, int index)
{
    return static_cast<Item*>(installLog.lists[list].items[index]);
}

inline int itemCount(ItemListId list)
{
    return installLog.lists[list].count;
}

// A new zero-filled record at the end of `list`. A full list grows instead
// of dropping the entry: an uninstaller that forgot a logged change would
// leave it behind without a word.
void* appendItem(BlockArena* arena, ItemListId list, size_t recordSize);

// Orders two strings by their characters read from the last one backwards,
// with ASCII letters folded to upper case.
int compareFromEnd(const char* a, const char* b);

// Searches the tree of `list` for a record with the first key equal by
// compareFromEnd and the second and third (when given) equal without case.
// Found: returns it with *created false. Otherwise a new zero-filled record
// is taken from the arena, placed at the end of the list, hung into the
// tree, and returned with *created true.
void* findOrInsertItem(BlockArena* arena, ItemListId list, size_t recordSize, bool* created, const char* k1,
                       const char* k2 = nullptr, const char* k3 = nullptr);

template <class Item>
inline Item* findOrInsert(BlockArena* arena, ItemListId list, bool* created, const char* k1, const char* k2 = nullptr,
                          const char* k3 = nullptr)
{
    return static_cast<Item*>(findOrInsertItem(arena, list, sizeof(Item), created, k1, k2, k3));
}

// Builds a string list (each string NUL-ended, then an empty string) in a
// field of `capacity` bytes. Strings that do not fit whole are left out, so
// the list always stays properly ended.
struct StringListBuilder {
    char* field;
    size_t capacity;
    size_t used;   // bytes before the closing empty string
};
void startStringList(StringListBuilder* builder, char* field, size_t capacity);
void addToStringList(StringListBuilder* builder, const char* text);

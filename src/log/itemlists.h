// The twelve item lists that hold what the installation log records, one per
// category, in first-seen order.
#pragma once
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

constexpr int kItemListInitialCapacity = 16000;

struct ItemList {
    void** items;
    int count;
    int capacity;
};

extern ItemList itemLists[kItemListCount];

// Takes the twelve arrays from the arena, one after another.
void allocateItemLists(BlockArena* arena);

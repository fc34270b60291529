#include "log/itemlists.h"

ItemList itemLists[kItemListCount];

void allocateItemLists(BlockArena* arena)
{
    for (ItemList& list : itemLists) {
        list.items = static_cast<void**>(allocate(arena, kItemListInitialCapacity * sizeof(void*)));
        list.count = 0;
        list.capacity = kItemListInitialCapacity;
    }
}

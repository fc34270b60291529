#include "engine/registry.h"

#include <cstring>

#include "common/text.h"
#include "engine/enginehost.h"
#include "engine/policy.h"
#include "engine/record.h"
#include "engine/regvalue.h"
#include "startup/runstate.h"

namespace {

const EngineHost& host()
{
    return *runState.host;
}

// Each pass deletes the first remaining subkey, so the list shrinks until
// it is empty; the bound ends the loop when a subkey keeps coming back.
void deleteTree(int root, const char* key)
{
    for (int pass = 0; pass < 2048; ++pass) {
        char name[256];   // a subkey's name has at most 255 characters
        if (host().registryEntry(root, key, true, 0, name, sizeof name) != 0)
            break;
        char child[400];
        copyText(child, key);
        appendText(child, "\\");
        if (appendText(child, name) + 1 >= sizeof child)
            break;
        deleteTree(root, child);
    }
    host().deleteRegistryKey(root, key);
}

} // namespace

void restoreRegistryValue(const RegistryEditItem* item, const char* stored)
{
    static const unsigned long kValueTypeTable[kLogValueTypes] = {kRegSz, kRegExpandSz, kRegMultiSz, kRegDword,
                                                                  kRegBinary};
    if (item->root < 0 || item->root >= kRootCount || item->valueType < 0 || item->valueType >= kLogValueTypes)
        return;
    unsigned char data[kStringListSize];
    long count = registryData(item->valueType, stored, kStringListSize, data, sizeof data);
    if (count >= 0)
        host().setRegistryValue(item->root, item->key, item->valueName, kValueTypeTable[item->valueType], data,
                                static_cast<unsigned long>(count));
}

bool removeEmptyKey(int root, const char* key)
{
    // A value or subkey name too long for the buffer still answers that it
    // is there; a key that cannot be read is not empty either.
    char name[256];
    if (host().registryEntry(root, key, false, 0, name, sizeof name) != kErrorNoMoreItems ||
        host().registryEntry(root, key, true, 0, name, sizeof name) != kErrorNoMoreItems ||
        !mayRemoveKey(root, key, RemoveEmptyKey))
        return false;
    return host().deleteRegistryKey(root, key) == 0;
}

void removeCreatedValue(RegistryKeyItem* item)
{
    if (!mayRemoveKey(item->root, item->key, RemoveKeyValue)) {
        recordKept("refused as unsafe");
        return;
    }
    host().deleteRegistryValue(item->root, item->key, item->valueName);
    while (item->key[0] != '\0') {
        if (!removeEmptyKey(item->root, item->key))
            return;
        char* slash = strrchr(item->key, '\\');
        if (slash)
            *slash = '\0';
        else
            item->key[0] = '\0';
    }
}

void deleteRegistryTree(const char* key, int root)
{
    if (mayRemoveKey(root, key, RemoveKeyTree))
        deleteTree(root, key);
    else
        recordKept("refused as unsafe");
}

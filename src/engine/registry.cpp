#include "engine/registry.h"

#include <windows.h>

#include <cstring>

#include "common/text.h"
#include "engine/regvalue.h"

// Keys are opened with these rights only, never with full access, so that
// keys a restricted user may read but not change fail quietly.
static const REGSAM kRegistryAccess = 0x1F;

HKEY rootKey(int root)
{
    static const HKEY kRootKeyTable[kRootCount] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                                                   HKEY_CURRENT_CONFIG};
    return root >= 0 && root < kRootCount ? kRootKeyTable[root] : nullptr;
}

void restoreRegistryValue(const RegistryEditItem* item, const char* stored)
{
    static const DWORD kValueTypeTable[kLogValueTypes] = {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_BINARY};
    HKEY root = rootKey(item->root);
    if (!root || item->valueType < 0 || item->valueType >= kLogValueTypes)
        return;
    HKEY key;
    if (RegOpenKeyExA(root, item->key, 0, kRegistryAccess, &key) != ERROR_SUCCESS)
        return;   // a missing key is not made again
    unsigned char data[kStringListSize];
    long count = registryData(item->valueType, stored, kStringListSize, data, sizeof data);
    if (count >= 0)
        RegSetValueExA(key, item->valueName, 0, kValueTypeTable[item->valueType], data, static_cast<DWORD>(count));
    RegCloseKey(key);
}

void removeCreatedValue(RegistryKeyItem* item)
{
    HKEY root = rootKey(item->root);
    if (!root)
        return;
    bool firstPass = true;
    while (item->key[0] != '\0') {
        HKEY key;
        if (RegOpenKeyExA(root, item->key, 0, kRegistryAccess, &key) != ERROR_SUCCESS)
            return;
        if (firstPass)
            RegDeleteValueA(key, item->valueName);
        firstPass = false;
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumValueA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_NO_MORE_ITEMS) {
            RegCloseKey(key);
            return;
        }
        size = sizeof name;
        LONG subkey = RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        if (subkey != ERROR_NO_MORE_ITEMS)
            return;
        RegDeleteKeyA(root, item->key);
        char* slash = strrchr(item->key, '\\');
        if (slash)
            *slash = '\0';
        else
            item->key[0] = '\0';
    }
}

void deleteRegistryTree(const char* keyPath, int root)
{
    HKEY rootHandle = rootKey(root);
    if (!rootHandle)
        return;
    for (int pass = 0; pass < 2048; ++pass) {
        HKEY key;
        if (RegOpenKeyExA(rootHandle, keyPath, 0, kRegistryAccess, &key) != ERROR_SUCCESS)
            break;
        char name[256];
        DWORD size = sizeof name;
        LONG found = RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        if (found != ERROR_SUCCESS)
            break;
        char child[400];
        copyText(child, keyPath);
        appendText(child, "\\");
        appendText(child, name);
        deleteRegistryTree(child, root);
    }
    RegDeleteKeyA(rootHandle, keyPath);
}

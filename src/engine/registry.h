// Registry values and trees the log recorded: written back, removed.
#pragma once
#include "common/wintypes.h"
#include "log/itemlists.h"

constexpr int kRootCount = 5;

// The key of log root number `root` (0..4); none outside that range.
HKEY rootKey(int root);

// Writes `stored` (a string list) back as the item's value, under its key
// when that still exists. Types outside 0..4 are refused.
void restoreRegistryValue(const RegistryEditItem* item, const char* stored);

// Deletes the created value, then every key on its path that this leaves
// without values and subkeys. Shortens the item's key as it climbs.
void removeCreatedValue(RegistryKeyItem* item);

// Deletes `key` below root `root` with all its subkeys and values.
void deleteRegistryTree(const char* key, int root);

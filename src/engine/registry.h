// Registry values and trees the log recorded: written back, removed.
#pragma once
#include "log/itemlists.h"

constexpr int kRootCount = 5;

// Writes `stored` (a string list) back as the item's value, under its key
// when that still exists. Roots and types outside 0..4 are refused.
void restoreRegistryValue(const RegistryEditItem* item, const char* stored);

// Deletes the created value, then every key on its path that this leaves
// without values and subkeys, stopping below keys other software shares.
// Shortens the item's key as it climbs.
void removeCreatedValue(RegistryKeyItem* item);

// Deletes `key` when it holds neither values nor subkeys and the removal
// policy lets it go; true when it went.
bool removeEmptyKey(int root, const char* key);

// Deletes `key` below root `root` with all its subkeys and values, unless
// the removal policy refuses the key.
void deleteRegistryTree(const char* key, int root);

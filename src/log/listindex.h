// Indexes that answer the loader's list searches in constant time, with
// exactly the answers a walk from index 0 would give: the first record in
// list order whose key matches without regard to case.
#pragma once
#include <string>
#include <unordered_map>
#include <vector>

// A key folded as compareNoCase folds it; parts are joined by a byte that
// no text of the log holds.
std::string foldedKey(const char* text);
std::string foldedKey(const char* first, const char* second);
std::string foldedKey(const char* text, int number);

// Records by folded key, each key's record indices in list order.
struct ListIndex {
    std::unordered_map<std::string, std::vector<int>> records;

    void add(const std::string& key, int index) { records[key].push_back(index); }
    // The first record with this key, or -1.
    int first(const std::string& key) const;
    const std::vector<int>* all(const std::string& key) const;
};

// The directory list's index. Its records' paths end with "\" and may be cut
// back to a shorter directory; every record is listed under each of the
// directories its path has ever begun with, and a candidate is checked
// against its current path before it counts.
struct DirectoryIndex {
    std::unordered_map<std::string, std::vector<int>> byPrefix;   // every directory along a path
    std::unordered_map<std::string, std::vector<int>> byPath;     // the whole path, kept in list order

    // Lists a new record `index` under `path` and every directory along it.
    void add(const char* path, int index);
    // Record `index` now has the shorter path `path`.
    void cut(const char* path, int index);
    // The first record, in list order, whose path is `path` or a directory
    // inside it, or which `path` lies inside (the made-directory merge).
    int firstRelated(const char* path) const;
    // The first record whose path equals `path`.
    int firstEqual(const char* path) const;
};

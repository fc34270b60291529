// Indexes that answer the loader's list searches in constant time, with
// exactly the answers a walk from index 0 would give: the first record in
// list order whose key matches without regard to case.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// A key folded as compareNoCase folds it; parts are joined by a byte that
// no text of the log holds.
std::string foldedKey(const char* text);
std::string foldedKey(const char* first, const char* second);
std::string foldedKey(const char* text, int number);

// Records by folded key, each key's record indices in list order. Each key
// is kept once, in one block of text, and the indices as links in one
// array: a map of strings to vectors spent some two hundred bytes on every
// record of a large log, more than the record itself.
class ListIndex {
public:
    void add(const std::string& key, int index);
    // The first record with this key, or -1.
    int first(const std::string& key) const;
    // Calls visit(index) for every record with this key, in list order.
    template <class Visit>
    void forEach(const std::string& key, Visit visit) const
    {
        int keyNumber = find(key);
        for (int link = keyNumber < 0 ? -1 : keys[keyNumber].head; link >= 0; link = links[link].next)
            visit(links[link].record);
    }

private:
    struct Key {
        uint32_t textAt;   // where the key stands in `text`, ended by NUL
        int32_t head, tail;   // its first and last link
    };
    struct Link {
        int32_t record, next;
    };
    std::string text;
    std::vector<Key> keys;
    std::vector<Link> links;
    std::vector<int32_t> slots;   // key numbers by hash, open addressing; -1 is free

    int find(const std::string& key) const;
    size_t slotOf(const char* key, size_t length) const;
    void rehash();
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

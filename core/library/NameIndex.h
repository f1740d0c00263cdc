#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

#include "core/library/LibEntry.h"

namespace qurix {

// The first entry of each name, found by the name: an open-addressed table of pointers,
// so that a library of many parts spends no allocation per name on it.
class CNameIndex {
public:
    // Null when no entry has the name.
    const CLibEntry* Find(std::string_view name) const;
    // Adds the entry under its name (which must not change) unless an entry has it.
    void Add(const CLibEntry* entry) { static_cast<void>(AddOrFind(entry)); }
    // The same in one look-up: null when the entry was added, else the entry that has
    // the name (and the entry is not added).
    const CLibEntry* AddOrFind(const CLibEntry* entry) {
        return AddOrFind(entry, HashOf(entry->Name()));
    }
    // The same with the hash of the entry's name already known (HashOf).
    const CLibEntry* AddOrFind(const CLibEntry* entry, size_t hash);
    static size_t HashOf(std::string_view name);
    // Starts loading the slot for a name of this hash into the cache, so that a look-up
    // of it a little later does not wait on memory (a large table is mostly out of cache).
    void Prefetch(size_t hash) const;
    void Clear();
    // The bytes of the table.
    int64_t Bytes() const { return static_cast<int64_t>(slots_.capacity() * sizeof(Slot)); }

private:
    struct Slot {
        size_t hash = 0;
        const CLibEntry* entry = nullptr;  // null: free; the library owns the entry
    };
    // Where name is, or the free slot where it would go.
    size_t SlotOf(std::string_view name, size_t hash) const;

    std::vector<Slot> slots_;  // a power of two in size, at most half full
    size_t count_ = 0;
};

}  // namespace qurix

#include "core/library/NameIndex.h"

#include <functional>

namespace qurix {

size_t CNameIndex::SlotOf(std::string_view name, size_t hash) const {
    const size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i].entry &&
           !(slots_[i].hash == hash && std::string_view(slots_[i].entry->Name()) == name)) {
        i = (i + 1) & mask;
    }
    return i;
}

size_t CNameIndex::HashOf(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

const CLibEntry* CNameIndex::Find(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    return slots_[SlotOf(name, HashOf(name))].entry;
}

const CLibEntry* CNameIndex::AddOrFind(const CLibEntry* entry, size_t hash) {
    if ((count_ + 1) * 2 > slots_.size()) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
        // The names are distinct: each goes to the first free slot from its hash, without
        // reading the entry (which would cost a cache miss per name).
        const size_t mask = slots_.size() - 1;
        for (const Slot& s : old) {
            if (!s.entry) continue;
            size_t i = s.hash & mask;
            while (slots_[i].entry) i = (i + 1) & mask;
            slots_[i] = s;
        }
    }
    Slot& slot = slots_[SlotOf(entry->Name(), hash)];
    if (slot.entry) return slot.entry;
    slot = Slot{hash, entry};
    ++count_;
    return nullptr;
}

void CNameIndex::Prefetch(size_t hash) const {
#if defined(__GNUC__)
    if (slots_.empty()) return;
    __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
#else
    static_cast<void>(hash);
#endif
}

void CNameIndex::Clear() {
    slots_.clear();
    slots_.shrink_to_fit();
    count_ = 0;
}

}  // namespace qurix

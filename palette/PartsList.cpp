#include "palette/PartsList.h"

#include <algorithm>

#include "core/library/LibEntry.h"
#include "core/library/PartLibrary.h"
#include "palette/ThumbnailStore.h"

namespace qurix {

std::vector<PartsListItem> CPartsList::LibraryItems(const CPartLibrary* library,
                                                    const CThumbnailStore& store) {
    std::vector<PartsListItem> items;
    if (library == nullptr) return items;
    items.reserve(static_cast<size_t>(std::max(library->EntryCount(), 0)));
    for (int32_t i = 0; i < library->EntryCount(); ++i) {
        const CLibEntry* entry = library->Entry(i);
        const int32_t image = store.ImageIndex(entry);
        if (image < 0) continue;
        items.push_back({entry, image, nullptr, library});
    }
    return items;
}

std::vector<PartsListItem> CPartsList::ListedItems(const std::vector<ListedPart>& parts,
                                                   const CThumbnailStore& store) {
    std::vector<PartsListItem> items;
    items.reserve(parts.size());
    for (const ListedPart& part : parts) {
        const int32_t image = store.ImageIndex(part.entry);
        if (image < 0 || part.library == nullptr) continue;
        items.push_back({part.entry, image, part.library, nullptr});
    }
    return items;
}

void CPartsList::Remember(const CPartLibrary* library, int32_t topItem) {
    if (library != nullptr) scrollMemory_[library] = topItem;
}

int32_t CPartsList::Recall(const CPartLibrary* library) const {
    const auto found = scrollMemory_.find(library);
    return found == scrollMemory_.end() ? -1 : found->second;
}

}  // namespace qurix

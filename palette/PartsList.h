#pragma once
#include <cstdint>
#include <map>
#include <vector>

namespace qurix {

class CLibEntry;
class CPartLibrary;
class CThumbnailStore;

// One item of the parts list: a part that has a thumbnail.
struct PartsListItem {
    const CLibEntry* entry = nullptr;
    int32_t image = -1;  // in the store's images
    // Only for parts listed outside their library's own list (search results).
    const CPartLibrary* library = nullptr;
    // The library listed, for the tool tip of a library's own item.
    const CPartLibrary* shown = nullptr;
};

// Parts of any libraries, each with the library it drags from (search results).
struct ListedPart {
    const CPartLibrary* library = nullptr;
    const CLibEntry* entry = nullptr;
};

// What the parts list holds and remembers, whatever shows it.
class CPartsList {
public:
    // The library's entries that have images, in entry order.
    static std::vector<PartsListItem> LibraryItems(const CPartLibrary* library,
                                                   const CThumbnailStore& store);
    // The listed parts that have images and a library, in the given order.
    static std::vector<PartsListItem> ListedItems(const std::vector<ListedPart>& parts,
                                                  const CThumbnailStore& store);

    // Where a library's list was scrolled (its top item) when another was shown; -1 for
    // a library not shown before. Forget before the libraries go.
    void Remember(const CPartLibrary* library, int32_t topItem);
    int32_t Recall(const CPartLibrary* library) const;
    void Forget() { scrollMemory_.clear(); }

private:
    std::map<const CPartLibrary*, int32_t> scrollMemory_;
};

}  // namespace qurix

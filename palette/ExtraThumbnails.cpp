#include "palette/ExtraThumbnails.h"

#include <algorithm>
#include <vector>

#include "core/platform/Paths.h"
#include "render/Thumbnails.h"

namespace qurix {

int32_t CExtraThumbnails::LogicalSide(Kind kind) {
    if (kind == Kind::Small) return SMALL_THUMBNAIL_SIDE;
    return kind == Kind::ExtraLarge ? EXTRA_LARGE_THUMBNAIL_SIDE : LARGE_THUMBNAIL_SIDE;
}

std::string CExtraThumbnails::FileName(Kind kind, int32_t ratio) {
    const char* name = kind == Kind::Small        ? "smallimage"
                       : kind == Kind::ExtraLarge ? "xlargeimage"
                                                  : "largeimage";
    return ExtraCacheFileName(name, ratio);
}

void CExtraThumbnails::Reset(std::string cacheFolder, uint64_t drawing, size_t maxImages) {
    stores_.clear();
    folder_ = std::move(cacheFolder);
    drawing_ = drawing;
    maxImages_ = maxImages;
    drawn_ = 0;
}

std::string CExtraThumbnails::Path(Kind kind, int32_t ratio) const {
    return CombinePath(folder_, FileName(kind, ratio));
}

void CExtraThumbnails::Store::Put(uint64_t identity, const ArgbImage& image) {
    // An image drawn again for an identity replaces the one kept; its old bytes stay
    // unused until the next Reset.
    if (images.Append(image)) index[identity] = images.Count() - 1;
}

CExtraThumbnails::Store& CExtraThumbnails::StoreFor(Kind kind, int32_t ratio) {
    Store& store = stores_[{kind, ratio}];
    if (!store.loaded) {
        store.loaded = true;
        const int32_t side = LogicalSide(kind) * ratio;
        std::vector<uint64_t> identities;
        if (!LoadExtraImageFile(Path(kind, ratio), side, drawing_, maxImages_, store.images,
                                identities)) {
            store.images = CPackedImages(side);
        }
        for (size_t i = 0; i < identities.size(); ++i) store.index.emplace(identities[i], i);
    }
    return store;
}

ArgbImage CExtraThumbnails::Get(Kind kind, int32_t ratio, uint64_t identity, const Draw& draw) {
    ratio = std::clamp(ratio, 1, MAX_DEVICE_RATIO);
    Store& store = StoreFor(kind, ratio);
    const auto found = store.index.find(identity);
    if (found != store.index.end()) return store.images.Image(found->second);
    if (!draw) return ArgbImage();
    ArgbImage first;
    ArgbImage second;
    draw(kind, ratio, first, second);
    if (first.IsNull() || (kind != Kind::ExtraLarge && second.IsNull())) return ArgbImage();
    ++drawn_;
    store.dirty = true;
    if (kind == Kind::ExtraLarge) {
        store.Put(identity, first);
        return first;
    }
    // Both sides come from one drawing, so the other side is kept too.
    Store& large = StoreFor(Kind::Large, ratio);
    Store& smallImage = StoreFor(Kind::Small, ratio);
    large.dirty = smallImage.dirty = true;
    large.Put(identity, first);
    smallImage.Put(identity, second);
    return kind == Kind::Large ? first : second;
}

bool CExtraThumbnails::Save(const ThumbnailSet& set) {
    bool ok = true;
    for (auto& [key, store] : stores_) {
        if (!store.dirty) continue;
        const int32_t side = LogicalSide(key.first) * key.second;
        CPackedImages images(side);
        std::vector<int32_t> entries;
        std::vector<uint64_t> identities;
        for (size_t i = 0; i < set.Count() && i < set.identities.size(); ++i) {
            const auto found = store.index.find(set.identities[i]);
            if (found == store.index.end()) continue;
            images.AppendFrom(store.images, found->second);
            entries.push_back(set.entries[i]);
            identities.push_back(set.identities[i]);
        }
        if (SaveExtraImageFile(Path(key.first, key.second), side, drawing_, images, entries,
                               identities)) {
            store.dirty = false;
        } else {
            ok = false;
        }
    }
    return ok;
}

}  // namespace qurix

#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>

#include "palette/ImageCache.h"
#include "render/ArgbImage.h"

namespace qurix {

// The thumbnails the three specified cache files do not hold: the extra-large ones and
// those drawn for a device pixel ratio above 1. Each is drawn from the part's vectors
// when first asked for, kept by the identity of what it shows, and saved in its own
// file of the cache folder (ExtraCacheFileName), read back on first use. They are held
// packed (CPackedImages) and decoded for each Get.
class CExtraThumbnails {
public:
    enum class Kind { Large, Small, ExtraLarge };
    static int32_t LogicalSide(Kind kind);
    // "largeimage@2.cache", "xlargeimage.cache", …
    static std::string FileName(Kind kind, int32_t ratio);

    // Forgets every image (new settings or libraries); the files stay.
    void Reset(std::string cacheFolder, uint64_t drawing, size_t maxImages);

    // Draws one part at a ratio: for Large and Small the large image into first and the
    // small into second, for ExtraLarge the one image into first; null when not drawn.
    using Draw = std::function<void(Kind kind, int32_t ratio, ArgbImage& first, ArgbImage& second)>;
    // The image of identity: kept, else from the file, else drawn (kept when drawn).
    // Null when it cannot be had.
    ArgbImage Get(Kind kind, int32_t ratio, uint64_t identity, const Draw& draw);

    // Writes the files that gained images, in set's order; images of parts no longer in
    // set are left out. False when a file could not be written.
    bool Save(const ThumbnailSet& set);
    // Images drawn since the last Reset.
    int32_t Drawn() const { return drawn_; }

private:
    // Images packed as they come (from the file or drawn), found by identity.
    struct Store {
        CPackedImages images;
        std::unordered_map<uint64_t, size_t> index;
        bool loaded = false;
        bool dirty = false;
        void Put(uint64_t identity, const ArgbImage& image);
    };
    Store& StoreFor(Kind kind, int32_t ratio);
    std::string Path(Kind kind, int32_t ratio) const;

    std::map<std::pair<Kind, int32_t>, Store> stores_;
    std::string folder_;
    uint64_t drawing_ = 0;
    size_t maxImages_ = 0;
    int32_t drawn_ = 0;
};

}  // namespace qurix

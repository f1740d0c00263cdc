#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/ArgbImage.h"

namespace qurix {

// Square ARGB images of one side, held small and decoded only when asked for. Each is
// kept as the runs of the cache files (palette/PixelRuns.h) with every pixel value replaced
// by its number in the image's own colour table, one byte instead of four: a 64 x 64
// thumbnail of 16 KB is about 1 KB here. An image of more than 255 colours keeps the
// runs as they are. Images from a file are taken without decoding them, and the runs of
// an image come back exactly as they were packed, so a file written again is the same.
// Images are never changed once appended; another set can share them (AppendFrom).
class CPackedImages {
public:
    explicit CPackedImages(int32_t side = 0) : side_(side) {}

    int32_t Side() const { return side_; }
    size_t Count() const { return slots_.size(); }
    bool Empty() const { return slots_.empty(); }
    // Drops every image; the side stays.
    void Clear();

    // Packs a drawn image. False for a null image or another size.
    bool Append(const ArgbImage& image);
    // Takes an image in the run form of the files; false (nothing appended) unless the
    // bytes make exactly Side() x Side() pixels.
    bool AppendRuns(const unsigned char* runs, size_t size);
    // Appends image index of other, sharing its bytes. False when other has another side
    // or no such image.
    bool AppendFrom(const CPackedImages& other, size_t index);

    // The image; null when there is no such image.
    ArgbImage Image(size_t index) const;
    // Appends the image's runs as the files hold them; false when there is no such image.
    bool WriteRuns(size_t index, std::string& out) const;
    // Where the image's bytes are: the same for an image shared between sets.
    const void* Where(size_t index) const {
        return index < slots_.size() ? Bytes(slots_[index]) : nullptr;
    }
    // Bytes the images take (shared ones counted in full), for measurements.
    size_t HeldBytes() const;

private:
    struct Slot {
        uint32_t chunk;
        uint32_t offset;
        uint32_t size;
    };
    // Bytes of several images. A chunk gets bytes only within its capacity, so what sets
    // sharing it point at never moves.
    struct Chunk;
    const unsigned char* Bytes(const Slot& slot) const;
    // Room for at most so many bytes of the next image; Commit says how many it took.
    unsigned char* Reserve(size_t most);
    void Commit(size_t used);
    uint32_t ChunkIndex(const std::shared_ptr<Chunk>& chunk);

    int32_t side_;
    std::vector<std::shared_ptr<Chunk>> chunks_;
    std::vector<Slot> slots_;
    // The chunk this set appends to (an index of chunks_, so a moved-from set never
    // refers to another's), none when out of range.
    size_t open_ = SIZE_MAX;
    std::unordered_map<const Chunk*, uint32_t> chunkIndex_;
    uint32_t lastChunk_ = 0;  // the chunk found last, a valid index when chunks_ is not empty
};

}  // namespace qurix

#include "palette/PackedImages.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "palette/PixelRuns.h"

namespace qurix {

namespace {

// A stored image: its number of colours (0: the runs as the files hold them), the runs
// with colour numbers for pixels, then the colours, 4 bytes each. The colours go last so
// that the runs can be written as they are read.
constexpr uint32_t MAX_COLOURS = 255;
constexpr size_t FIRST_CHUNK = size_t{64} << 10;
constexpr size_t LARGEST_CHUNK = size_t{4} << 20;

void SetPixel(unsigned char* p, uint32_t pixel) {
    p[0] = static_cast<unsigned char>(pixel);
    p[1] = static_cast<unsigned char>(pixel >> 8);
    p[2] = static_cast<unsigned char>(pixel >> 16);
    p[3] = static_cast<unsigned char>(pixel >> 24);
}

size_t RunLength(uint32_t control) {
    return control < RUN_REPEAT_BASE ? control + 1 : control - (RUN_REPEAT_BASE - 2);
}

// The colours of one image and their numbers, found by open addressing.
class ColourTable {
public:
    ColourTable() { slots_.fill(EMPTY); }
    // The colour's number, a new one when it is new; -1 when the table is full.
    int Number(uint32_t colour) {
        // Drawn lines and texts repeat a colour often.
        if (count_ > 0 && colours_[last_] == colour) return last_;
        uint32_t h = (colour * 2654435761u) >> (32 - BITS);
        while (slots_[h] != EMPTY) {
            if (colours_[slots_[h]] == colour) return last_ = slots_[h];
            h = (h + 1) & (SIZE - 1);
        }
        if (count_ == MAX_COLOURS) return -1;
        colours_[count_] = colour;
        slots_[h] = static_cast<uint8_t>(count_);
        last_ = static_cast<uint8_t>(count_);
        return static_cast<int>(count_++);
    }
    uint32_t Count() const { return count_; }
    uint32_t Colour(uint32_t number) const { return colours_[number]; }

private:
    static constexpr int BITS = 9;
    static constexpr uint32_t SIZE = 1u << BITS;
    static constexpr uint8_t EMPTY = 0xFF;
    std::array<uint8_t, SIZE> slots_;
    std::array<uint32_t, MAX_COLOURS> colours_;
    uint32_t count_ = 0;
    uint8_t last_ = 0;
};

// The most bytes an image of size bytes of runs is stored in: runs never grow when
// pixels become numbers, and the colours come on top.
size_t MostStored(size_t size) {
    return 1 + size + MAX_COLOURS * 4;
}

// Stores the runs of the files (size bytes making n pixels) into out; the bytes used, or
// 0 when the runs do not make exactly n pixels.
size_t NumberRuns(const unsigned char* in, size_t size, size_t n, unsigned char* out) {
    ColourTable table;
    size_t pos = 0;
    size_t filled = 0;
    size_t put = 1;
    bool numbered = true;
    while (pos < size) {
        const uint32_t control = in[pos++];
        const size_t count = RunLength(control);
        const size_t values = control < RUN_REPEAT_BASE ? count : 1;
        if (count > n - filled || values * 4 > size - pos) return 0;
        filled += count;
        if (numbered) {
            out[put++] = static_cast<unsigned char>(control);
            for (size_t k = 0; k < values; ++k) {
                const int number = table.Number(GetLE32(in + pos + 4 * k));
                if (number < 0) numbered = false;
                out[put++] = static_cast<unsigned char>(number);
            }
        }
        pos += values * 4;
    }
    if (filled != n) return 0;
    if (!numbered) {
        // Too many colours: the runs are kept as they are.
        out[0] = 0;
        std::memcpy(out + 1, in, size);
        return 1 + size;
    }
    out[0] = static_cast<unsigned char>(table.Count());
    for (uint32_t i = 0; i < table.Count(); ++i, put += 4) SetPixel(out + put, table.Colour(i));
    return put;
}

// Calls run(control, k, pixel) for the k-th value of each run of a stored image (one
// value for a repeat); the image was checked when it was stored.
template <typename Run>
void WalkRuns(const unsigned char* bytes, size_t size, const Run& run) {
    const uint32_t colours = bytes[0];
    const size_t runsEnd = size - size_t{colours} * 4;
    const unsigned char* table = bytes + runsEnd;
    size_t pos = 1;
    while (pos < runsEnd) {
        const uint32_t control = bytes[pos++];
        const size_t values = control < RUN_REPEAT_BASE ? control + 1 : 1;
        for (size_t k = 0; k < values; ++k) {
            if (colours == 0) {
                run(control, k, GetLE32(bytes + pos));
                pos += 4;
            } else {
                run(control, k, GetLE32(table + 4 * size_t{bytes[pos]}));
                pos += 1;
            }
        }
    }
}

}  // namespace

struct CPackedImages::Chunk {
    explicit Chunk(size_t room)
        : bytes(std::make_unique_for_overwrite<unsigned char[]>(room)), capacity(room) {}
    std::unique_ptr<unsigned char[]> bytes;
    size_t size = 0;
    size_t capacity;
};

void CPackedImages::Clear() {
    chunks_.clear();
    slots_.clear();
    chunkIndex_.clear();
    open_ = SIZE_MAX;
    lastChunk_ = 0;
}

bool CPackedImages::Append(const ArgbImage& image) {
    const size_t pixels = static_cast<size_t>(side_) * static_cast<size_t>(side_);
    if (image.IsNull() || image.width != side_ || image.height != side_ ||
        image.pixels.size() != pixels) {
        return false;
    }
    std::string runs;
    PackPixels(image.pixels.data(), pixels, runs);
    return AppendRuns(reinterpret_cast<const unsigned char*>(runs.data()), runs.size());
}

bool CPackedImages::AppendRuns(const unsigned char* runs, size_t size) {
    if (side_ <= 0) return false;
    const size_t pixels = static_cast<size_t>(side_) * static_cast<size_t>(side_);
    const size_t used = NumberRuns(runs, size, pixels, Reserve(MostStored(size)));
    if (used == 0) return false;
    Commit(used);
    return true;
}

unsigned char* CPackedImages::Reserve(size_t most) {
    Chunk* chunk = open_ < chunks_.size() ? chunks_[open_].get() : nullptr;
    if (chunk == nullptr || chunk->capacity - chunk->size < most) {
        // Chunks grow with the set, so a few images take little and many take few chunks.
        const size_t last = chunk != nullptr ? chunk->capacity : FIRST_CHUNK / 2;
        auto fresh = std::make_shared<Chunk>(std::max(most, std::min(last * 2, LARGEST_CHUNK)));
        open_ = ChunkIndex(fresh);
        chunk = fresh.get();
    }
    return chunk->bytes.get() + chunk->size;
}

void CPackedImages::Commit(size_t used) {
    Chunk& chunk = *chunks_[open_];
    slots_.push_back({static_cast<uint32_t>(open_), static_cast<uint32_t>(chunk.size),
                      static_cast<uint32_t>(used)});
    chunk.size += used;
}

uint32_t CPackedImages::ChunkIndex(const std::shared_ptr<Chunk>& chunk) {
    // Images are mostly taken in order, many from one chunk.
    if (!chunks_.empty() && chunks_[lastChunk_] == chunk) return lastChunk_;
    const auto found = chunkIndex_.find(chunk.get());
    if (found != chunkIndex_.end()) return lastChunk_ = found->second;
    lastChunk_ = static_cast<uint32_t>(chunks_.size());
    chunkIndex_.emplace(chunk.get(), lastChunk_);
    chunks_.push_back(chunk);
    return lastChunk_;
}

bool CPackedImages::AppendFrom(const CPackedImages& other, size_t index) {
    if (other.side_ != side_ || index >= other.slots_.size()) return false;
    Slot slot = other.slots_[index];
    slot.chunk = ChunkIndex(other.chunks_[slot.chunk]);
    slots_.push_back(slot);
    return true;
}

const unsigned char* CPackedImages::Bytes(const Slot& slot) const {
    return chunks_[slot.chunk]->bytes.get() + slot.offset;
}

ArgbImage CPackedImages::Image(size_t index) const {
    if (index >= slots_.size() || side_ <= 0) return ArgbImage();
    ArgbImage image;
    image.width = side_;
    image.height = side_;
    image.pixels.assign(static_cast<size_t>(side_) * static_cast<size_t>(side_), 0);
    uint32_t* px = image.pixels.data();
    size_t filled = 0;
    const Slot& slot = slots_[index];
    WalkRuns(Bytes(slot), slot.size, [&](uint32_t control, size_t k, uint32_t pixel) {
        if (control < RUN_REPEAT_BASE) {
            px[filled++] = pixel;
        } else if (k == 0) {
            const size_t count = RunLength(control);
            std::fill(px + filled, px + filled + count, pixel);
            filled += count;
        }
    });
    return image;
}

bool CPackedImages::WriteRuns(size_t index, std::string& out) const {
    if (index >= slots_.size()) return false;
    const Slot& slot = slots_[index];
    const unsigned char* bytes = Bytes(slot);
    if (bytes[0] == 0) {
        out.append(reinterpret_cast<const char*>(bytes) + 1, slot.size - 1);
        return true;
    }
    WalkRuns(bytes, slot.size, [&](uint32_t control, size_t k, uint32_t pixel) {
        if (k == 0) out += static_cast<char>(control);
        unsigned char value[4];
        SetPixel(value, pixel);
        out.append(reinterpret_cast<const char*>(value), 4);
    });
    return true;
}

size_t CPackedImages::HeldBytes() const {
    size_t bytes = slots_.size() * sizeof(Slot);
    for (const Slot& slot : slots_) bytes += slot.size;
    return bytes;
}

}  // namespace qurix

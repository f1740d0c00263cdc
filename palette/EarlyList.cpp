#include "palette/EarlyList.h"

#include <xxhash.h>

#include <cstring>
#include <utility>

#include "core/platform/Paths.h"
#include "palette/LibraryList.h"
#include "palette/LittleEndian.h"
#include "palette/PixelRuns.h"

namespace qurix {

namespace {

constexpr char EARLY_MAGIC[8] = {'Q', 'U', 'R', 'I', 'X', 'E', 'A', 'R'};
constexpr uint32_t EARLY_VERSION = 1;
constexpr size_t DIGEST_SIZE = 8;
// A library of a hundred thousand parts fits many times over; anything larger is not ours.
constexpr uintmax_t MAX_EARLY_FILE = uintmax_t{256} << 20;

void PutBytes(std::string& out, const std::string& bytes) {
    PutU32(out, static_cast<uint32_t>(bytes.size()));
    out += bytes;
}

// A length and where that many bytes lie; false when they run past the end.
bool TakeSpan(CByteReader& in, size_t& at, size_t& size) {
    uint32_t length = 0;
    if (!in.U32(length)) return false;
    at = in.Pos();
    size = length;
    return in.Skip(length);
}

}  // namespace

ArgbImage EarlyList::Decode(const std::vector<Runs>& images, size_t part, int32_t side) const {
    if (part >= images.size()) return ArgbImage();
    ArgbImage image{side, side, std::vector<uint32_t>(static_cast<size_t>(side) * side)};
    const Runs& runs = images[part];
    const auto* at = reinterpret_cast<const unsigned char*>(bytes_.data()) + runs.at;
    if (!UnpackPixels(at, runs.size, image.pixels.data(), image.pixels.size())) return ArgbImage();
    return image;
}

std::string EncodeEarlyList(const EarlyListParts& parts) {
    const size_t count = parts.names.size();
    if (parts.large.Count() != count || parts.smallImage.Count() != count || count > 0x7FFFFFFF) {
        return {};
    }
    std::string out(EARLY_MAGIC, sizeof EARLY_MAGIC);
    PutU32(out, EARLY_VERSION);
    PutU64(out, parts.drawing);
    PutU32(out, static_cast<uint32_t>(parts.row));
    PutBytes(out, EncodeLibraryLines(parts.libraryLines));
    PutU32(out, static_cast<uint32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        PutBytes(out, parts.names[i]);
        for (const CPackedImages* images : {&parts.large, &parts.smallImage}) {
            const size_t lengthAt = out.size();
            PutU32(out, 0);
            if (!images->WriteRuns(i, out)) return {};
            const auto length = static_cast<uint32_t>(out.size() - lengthAt - 4);
            for (int k = 0; k < 4; ++k) out[lengthAt + k] = static_cast<char>(length >> (8 * k));
        }
    }
    PutU64(out, XXH3_64bits(out.data(), out.size()));
    return out;
}

bool DecodeEarlyList(std::string bytes, EarlyList& list) {
    list = EarlyList();
    if (bytes.size() < sizeof EARLY_MAGIC + DIGEST_SIZE ||
        std::memcmp(bytes.data(), EARLY_MAGIC, sizeof EARLY_MAGIC) != 0) {
        return false;
    }
    // A digest rather than a CRC: the whole file is checked before the first paint.
    const size_t body = bytes.size() - DIGEST_SIZE;
    CByteReader tail(bytes, body);
    uint64_t digest = 0;
    if (!tail.U64(digest) || digest != XXH3_64bits(bytes.data(), body)) return false;

    CByteReader in(bytes, sizeof EARLY_MAGIC, body);
    EarlyList read;
    uint32_t version = 0;
    uint32_t row = 0;
    size_t linesAt = 0;
    size_t linesSize = 0;
    uint32_t count = 0;
    if (!in.U32(version) || version != EARLY_VERSION || !in.U64(read.drawing) || !in.U32(row) ||
        row > 0x7FFFFFFF || !TakeSpan(in, linesAt, linesSize) ||
        !DecodeLibraryLines(bytes.substr(linesAt, linesSize), read.libraryLines) ||
        !in.U32(count)) {
        return false;
    }
    // Every part takes at least its three lengths.
    if (count > in.Remaining() / 12) return false;
    read.row = static_cast<int32_t>(row);
    read.names.reserve(count);
    read.large_.reserve(count);
    read.small_.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        size_t nameAt = 0;
        size_t nameSize = 0;
        EarlyList::Runs large;
        EarlyList::Runs smallImage;
        if (!TakeSpan(in, nameAt, nameSize) || !TakeSpan(in, large.at, large.size) ||
            !TakeSpan(in, smallImage.at, smallImage.size)) {
            return false;
        }
        read.names.emplace_back(bytes, nameAt, nameSize);
        read.large_.push_back(large);
        read.small_.push_back(smallImage);
    }
    if (in.Remaining() != 0) return false;
    read.bytes_ = std::move(bytes);
    list = std::move(read);
    return true;
}

bool LoadEarlyList(const std::string& cacheFolder, const CProfile& profile,
                   const std::string& configFolder, uint64_t drawing, EarlyList& list) {
    list = EarlyList();
    const std::string path = CombinePath(cacheFolder, EARLY_LIST_FILE);
    std::string bytes;
    if (!ReadCacheFile(path, MAX_EARLY_FILE, bytes)) return false;
    EarlyList read;
    // The libraries' files are looked at last: that costs a look at each.
    if (!DecodeEarlyList(std::move(bytes), read) || read.drawing != drawing ||
        read.row != ReadLastLibrary(profile) ||
        !LibraryLinesMatch(read.libraryLines, profile, configFolder)) {
        return false;
    }
    list = std::move(read);
    return true;
}

bool SaveEarlyList(const std::string& cacheFolder, const EarlyListParts& parts) {
    const std::string bytes = EncodeEarlyList(parts);
    return !bytes.empty() && ReplaceCacheFile(CombinePath(cacheFolder, EARLY_LIST_FILE), bytes);
}

}  // namespace qurix

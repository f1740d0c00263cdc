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
// 2: only the kinds of images the list was shown with.
constexpr uint32_t EARLY_VERSION = 2;
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

// The kept kinds' images, large first.
std::vector<const CPackedImages*> KeptImages(const EarlyListParts& parts) {
    std::vector<const CPackedImages*> kept;
    if (Holds(parts.kept, EarlyImages::Large)) kept.push_back(&parts.large);
    if (Holds(parts.kept, EarlyImages::Small)) kept.push_back(&parts.smallImage);
    return kept;
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
    const std::vector<const CPackedImages*> kept = KeptImages(parts);
    if (kept.empty() || count > 0x7FFFFFFF) return {};
    for (const CPackedImages* images : kept) {
        if (images->Count() != count) return {};
    }
    std::string out(EARLY_MAGIC, sizeof EARLY_MAGIC);
    PutU32(out, EARLY_VERSION);
    PutU64(out, parts.drawing);
    PutU32(out, static_cast<uint32_t>(parts.row));
    PutU32(out, static_cast<uint32_t>(parts.kept));
    PutBytes(out, EncodeLibraryLines(parts.libraryLines));
    PutU32(out, static_cast<uint32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        PutBytes(out, parts.names[i]);
        for (const CPackedImages* images : kept) {
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
    uint32_t kept = 0;
    size_t linesAt = 0;
    size_t linesSize = 0;
    uint32_t count = 0;
    if (!in.U32(version) || version != EARLY_VERSION || !in.U64(read.drawing) || !in.U32(row) ||
        row > 0x7FFFFFFF || !in.U32(kept) || kept == 0 ||
        kept > static_cast<uint32_t>(EarlyImages::Both) || !TakeSpan(in, linesAt, linesSize) ||
        !DecodeLibraryLines(bytes.substr(linesAt, linesSize), read.libraryLines) ||
        !in.U32(count)) {
        return false;
    }
    read.kept = static_cast<EarlyImages>(kept);
    std::vector<EarlyList::Runs>* images[2] = {};
    size_t kinds = 0;
    if (Holds(read.kept, EarlyImages::Large)) images[kinds++] = &read.large_;
    if (Holds(read.kept, EarlyImages::Small)) images[kinds++] = &read.small_;
    // Every part takes at least its lengths.
    if (count > in.Remaining() / (4 * (1 + kinds))) return false;
    read.row = static_cast<int32_t>(row);
    read.names.reserve(count);
    for (size_t k = 0; k < kinds; ++k) images[k]->reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        size_t nameAt = 0;
        size_t nameSize = 0;
        if (!TakeSpan(in, nameAt, nameSize)) return false;
        read.names.emplace_back(bytes, nameAt, nameSize);
        for (size_t k = 0; k < kinds; ++k) {
            EarlyList::Runs runs;
            if (!TakeSpan(in, runs.at, runs.size)) return false;
            images[k]->push_back(runs);
        }
    }
    if (in.Remaining() != 0) return false;
    read.bytes_ = std::move(bytes);
    list = std::move(read);
    return true;
}

bool ReadEarlyListFile(const std::string& cacheFolder, EarlyList& list) {
    list = EarlyList();
    std::string bytes;
    return ReadCacheFile(CombinePath(cacheFolder, EARLY_LIST_FILE), MAX_EARLY_FILE, bytes) &&
           DecodeEarlyList(std::move(bytes), list);
}

bool EarlyListMatches(const EarlyList& list, const CProfile& profile,
                      const std::string& configFolder, uint64_t drawing) {
    // The libraries' files are looked at last: that costs a look at each.
    return list.drawing == drawing && list.row == ReadLastLibrary(profile) &&
           LibraryLinesMatch(list.libraryLines, profile, configFolder);
}

CEarlyListReader::CEarlyListReader(std::string cacheFolder, std::function<uint64_t()> drawing)
    : cacheFolder_(std::move(cacheFolder)), makeDrawing_(std::move(drawing)), thread_([this] {
          read_ = ReadEarlyListFile(cacheFolder_, list_);
          // Not needed for a list that cannot be shown.
          if (read_ && makeDrawing_) drawing_ = makeDrawing_();
      }) {}

bool CEarlyListReader::Take(EarlyList& list, std::optional<uint64_t>& drawing) {
    if (thread_.joinable()) thread_.join();
    list = std::exchange(list_, EarlyList());
    drawing = std::exchange(drawing_, std::nullopt);
    return std::exchange(read_, false);
}

bool SaveEarlyList(const std::string& cacheFolder, const EarlyListParts& parts) {
    const std::string bytes = EncodeEarlyList(parts);
    return !bytes.empty() && ReplaceCacheFile(CombinePath(cacheFolder, EARLY_LIST_FILE), bytes);
}

}  // namespace qurix

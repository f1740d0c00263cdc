// Decodes arbitrary bytes as the thumbnail cache's files. The first byte picks the file:
// 0 the library lines, 1 the large and 2 the small images, 3 the large images as an extra
// image file on disk; with 0x80 set the trailing CRC is made to match, so mutations reach
// the records behind it. Whatever decodes must encode and decode again to the same
// content, read packed as a start reads it, the same images, and read from a file (the
// streaming reader a start uses) exactly when it decodes from memory.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/FileIo.h"
#include "core/platform/TempFiles.h"
#include "palette/ImageCache.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

bool SameImages(const std::vector<qurix::ArgbImage>& a, const std::vector<qurix::ArgbImage>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].width != b[i].width || a[i].height != b[i].height || a[i].pixels != b[i].pixels) {
            return false;
        }
    }
    return true;
}

bool SamePacked(const qurix::CPackedImages& packed, const std::vector<qurix::ArgbImage>& images) {
    if (packed.Count() != images.size()) return false;
    std::vector<qurix::ArgbImage> unpacked;
    for (size_t i = 0; i < packed.Count(); ++i) unpacked.push_back(packed.Image(i));
    return SameImages(unpacked, images);
}

void FixCrc(std::string& bytes) {
    if (bytes.size() < 4) return;
    const size_t body = bytes.size() - 4;
    const uint32_t crc = qurix::Crc32(bytes.data(), body);
    for (size_t i = 0; i < 4; ++i) bytes[body + i] = static_cast<char>(crc >> (8 * i));
}

// A file decoded from memory, every image unpacked.
struct Decoded {
    bool ok = false;
    std::vector<qurix::ArgbImage> images;
    std::vector<int32_t> entries;
    std::vector<uint64_t> identities;
    qurix::CacheStamp stamp;
};

Decoded Decode(const std::string& bytes, int32_t side) {
    Decoded d;
    d.ok = qurix::DecodeImageFile(bytes, side, d.images, d.entries, d.identities, d.stamp);
    return d;
}

void CheckLines(const std::string& bytes) {
    std::vector<std::string> lines;
    if (!qurix::DecodeLibraryLines(bytes, lines)) return;
    std::vector<std::string> again;
    Require(qurix::DecodeLibraryLines(qurix::EncodeLibraryLines(lines), again) && again == lines);
}

void CheckImages(const std::string& bytes, int32_t side) {
    const Decoded d = Decode(bytes, side);
    if (!d.ok) return;
    const Decoded again =
        Decode(qurix::EncodeImageFile(d.images, d.entries, d.identities, side, d.stamp), side);
    Require(again.ok && SameImages(again.images, d.images) && again.entries == d.entries &&
            again.identities == d.identities && again.stamp.saveId == d.stamp.saveId &&
            again.stamp.linesCrc == d.stamp.linesCrc && again.stamp.drawing == d.stamp.drawing);
}

// The packed reading a start does takes exactly the files the decoding takes, holds the
// same pixels, and writes a file that reads back the same.
void CheckPacked(const std::string& bytes, int32_t side) {
    const Decoded d = Decode(bytes, side);
    qurix::CPackedImages packed;
    std::vector<int32_t> packedEntries;
    std::vector<uint64_t> packedIdentities;
    qurix::CacheStamp packedStamp;
    Require(qurix::DecodeImageFile(bytes, side, packed, packedEntries, packedIdentities,
                                   packedStamp) == d.ok);
    if (!d.ok) return;
    Require(SamePacked(packed, d.images) && packedEntries == d.entries);
    const Decoded again = Decode(
        qurix::EncodeImageFile(packed, packedEntries, packedIdentities, side, packedStamp), side);
    Require(again.ok && SameImages(again.images, d.images));
}

// The streaming reader, from a file: it takes the file exactly when the decoding does,
// with the same images; what it took is saved through a temporary file of its own and
// reads back the same.
void CheckExtraFile(const std::string& bytes, int32_t side) {
    // Removed when the run ends.
    static const struct Scratch {
        std::string path = qurix::MakeTemporaryFolder("qurix-fuzz-cache");
        ~Scratch() {
            std::error_code ec;
            if (!path.empty()) std::filesystem::remove_all(path, ec);
        }
    } scratch;
    const std::string& folder = scratch.path;
    if (folder.empty()) return;
    const std::string path = folder + "/" + qurix::XLARGE_CACHE_FILE;
    std::FILE* f = qurix::OpenFile(path, "wb");
    if (f == nullptr) return;
    const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !wrote) return;

    std::vector<qurix::ArgbImage> images;
    std::vector<int32_t> entries;
    std::vector<uint64_t> identities;
    qurix::CacheStamp stamp;
    const bool decoded = qurix::DecodeImageFile(bytes, side, images, entries, identities, stamp);
    qurix::CPackedImages packed;
    std::vector<uint64_t> loadedIdentities;
    Require(qurix::LoadExtraImageFile(path, side, stamp.drawing, SIZE_MAX, packed,
                                      loadedIdentities) == decoded);
    if (!decoded) return;
    Require(SamePacked(packed, images) && loadedIdentities == identities);
    const std::string copy = folder + "/copy.cache";
    Require(qurix::SaveExtraImageFile(copy, side, stamp.drawing, packed, entries, identities));
    qurix::CPackedImages again;
    std::vector<uint64_t> identitiesAgain;
    Require(
        qurix::LoadExtraImageFile(copy, side, stamp.drawing, SIZE_MAX, again, identitiesAgain) &&
        identitiesAgain == identities);
    Require(again.Count() == packed.Count());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 0x80) FixCrc(bytes);
    switch (data[0] & 0x7F) {
        case 0:
            CheckLines(bytes);
            break;
        case 1:
            CheckImages(bytes, qurix::LARGE_THUMB_SIZE);
            CheckPacked(bytes, qurix::LARGE_THUMB_SIZE);
            break;
        case 2:
            CheckImages(bytes, qurix::SMALL_THUMB_SIZE);
            CheckPacked(bytes, qurix::SMALL_THUMB_SIZE);
            break;
        case 3:
            CheckExtraFile(bytes, qurix::LARGE_THUMB_SIZE);
            break;
        default:
            break;
    }
    return 0;
}

// Decodes arbitrary bytes as the thumbnail cache's files (QURIX_FUZZ_NEEDS_QT). The
// first byte picks the file: 0 the library lines, 1 the large and 2 the small images;
// with 0x80 set the trailing CRC is made to match, so mutations reach the records
// behind it. Whatever decodes must encode and decode again to the same content, and
// read packed as a start reads it, the same images.
#include <zlib.h>

#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "palette/ImageCache.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void FixCrc(std::string& bytes) {
    if (bytes.size() < 4) return;
    const size_t body = bytes.size() - 4;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), body);
    for (size_t i = 0; i < 4; ++i) bytes[body + i] = static_cast<char>(crc >> (8 * i));
}

void CheckLines(const std::string& bytes) {
    std::vector<std::string> lines;
    if (!qurix::DecodeLibraryLines(bytes, lines)) return;
    std::vector<std::string> again;
    Require(qurix::DecodeLibraryLines(qurix::EncodeLibraryLines(lines), again) && again == lines);
}

void CheckImages(const std::string& bytes, int32_t side) {
    std::vector<QImage> images;
    std::vector<int32_t> entries;
    std::vector<uint64_t> identities;
    qurix::CacheStamp stamp;
    if (!qurix::DecodeImageFile(bytes, side, images, entries, identities, stamp)) return;
    const std::string encoded = qurix::EncodeImageFile(images, entries, identities, side, stamp);
    std::vector<QImage> imagesAgain;
    std::vector<int32_t> entriesAgain;
    std::vector<uint64_t> identitiesAgain;
    qurix::CacheStamp stampAgain;
    Require(qurix::DecodeImageFile(encoded, side, imagesAgain, entriesAgain, identitiesAgain,
                                   stampAgain));
    Require(imagesAgain == images && entriesAgain == entries && identitiesAgain == identities &&
            stampAgain.saveId == stamp.saveId && stampAgain.linesCrc == stamp.linesCrc &&
            stampAgain.drawing == stamp.drawing);
}

// The packed reading a start does takes exactly the files the decoding takes, holds the
// same pixels, and writes a file that reads back the same.
void CheckPacked(const std::string& bytes, int32_t side) {
    std::vector<QImage> images;
    std::vector<int32_t> entries;
    std::vector<uint64_t> identities;
    qurix::CacheStamp stamp;
    const bool decoded = qurix::DecodeImageFile(bytes, side, images, entries, identities, stamp);
    qurix::CPackedImages packed;
    std::vector<int32_t> packedEntries;
    std::vector<uint64_t> packedIdentities;
    qurix::CacheStamp packedStamp;
    Require(qurix::DecodeImageFile(bytes, side, packed, packedEntries, packedIdentities,
                                   packedStamp) == decoded);
    if (!decoded) return;
    Require(packed.Count() == images.size() && packedEntries == entries);
    for (size_t i = 0; i < images.size(); ++i) Require(packed.Image(i) == images[i]);
    const std::string encoded =
        qurix::EncodeImageFile(packed, packedEntries, packedIdentities, side, packedStamp);
    std::vector<QImage> again;
    Require(qurix::DecodeImageFile(encoded, side, again, entries, identities, stamp) &&
            again == images);
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
        default:
            break;
    }
    return 0;
}

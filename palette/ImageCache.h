#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <functional>

#include "core/profile/Profile.h"
#include "palette/PackedImages.h"
#include "render/Thumbnails.h"

namespace qurix {

class CDisplaySettings;
class CLibEntry;

// The parts list keeps its thumbnails between runs in three files of a "cache" folder
// below the working folder: the large images, the small images, and the library lines
// ("<LIB%d value>|<modification time>") of the files they were made from. The images
// are reused only while the lines still match the configured libraries, the drawing
// settings are those they were drawn with, and each image's identity (library, part
// name and definition) is that of the entry it is given to.

inline constexpr int32_t LARGE_THUMB_SIZE = 64;
inline constexpr int32_t SMALL_THUMB_SIZE = 32;
inline constexpr const char* CACHE_FOLDER_NAME = "cache";
inline constexpr const char* LARGE_CACHE_FILE = "largeimage.cache";
inline constexpr const char* SMALL_CACHE_FILE = "smallimage.cache";
inline constexpr const char* LIBDATA_CACHE_FILE = "libdata.cache";
// Raise when thumbnails are drawn differently from the same settings and parts: cached
// images of an older drawing then no longer count.
inline constexpr uint32_t THUMBNAIL_RENDERER_VERSION = 1;
// How DrawingDigest itself is made; raising it redraws every cache once. 2: XXH3-64
// (1: SHA-256).
inline constexpr uint32_t DRAWING_DIGEST_VERSION = 2;

// Thumbnails of the entries of all libraries, in image-index order.
struct ThumbnailSet {
    // Alpha 0 where the key colour was; packed, decoded when shown.
    CPackedImages large{LARGE_THUMB_SIZE};
    CPackedImages smallImage{SMALL_THUMB_SIZE};  // same order and count
    // For each image, the position of its entry among all entries (libraries in slot
    // order, entries in entry order). Strictly increasing. It equals the image index
    // unless an entry got no image; reuse by this number, not by the image index, or a
    // part that failed to render shifts every later part onto its neighbour's image.
    std::vector<int32_t> entries;
    // For each image, what it shows (ImageIdentity of its entry).
    std::vector<uint64_t> identities;

    void Clear();
    size_t Count() const { return large.Count(); }
    // Same counts, the right sizes, entries strictly increasing and not negative.
    bool Consistent() const;
};

// "<current folder>/cache", the folder the palette uses.
std::string DefaultCacheFolder();

// The parts list's display mode ("parts_style" of section "qurix"): 0 large icons,
// 1 details, 2 small icons, 3 list, 4 extra-large icons. Other values read as 0.
int32_t ReadPartsStyle(const CProfile& profile);
bool WritePartsStyle(const CProfile& profile, int32_t mode);

// Whether a library file can be opened for reading (a seam for tests: as root every
// file can).
using FileCheck = std::function<bool(const std::string& path)>;

// What a cache must agree with to be used.
struct CacheExpectation {
    uint64_t drawing = 0;         // DrawingDigest of the settings in use
    size_t maxImages = SIZE_MAX;  // the entries there are; a file declaring more is refused
    FileCheck canOpen;            // empty: CanOpenForReading
};

// Reads the three files from cacheFolder and checks them against the keys "LIB0" ..
// "LIB15" of section "Library" (relative values are found in configFolder) and against
// expect. True with set filled when the cache is valid; false with set empty otherwise,
// whatever the reason (missing, truncated, damaged or foreign files, files from different
// saves, libraries changed, added, removed, missing or unreadable, other drawing
// settings). The library lines are checked first, and an image file is read only when
// its size fits what its header declares.
bool LoadImageCache(const std::string& cacheFolder, const CProfile& profile,
                    const std::string& configFolder, const CacheExpectation& expect,
                    ThumbnailSet& set);

// The library lines of the configured libraries as they are now: one per non-empty
// "LIB%d" value whose file exists and can be read. Take them before the images are made
// from the libraries (at load or at the start of the build), not at exit: a library saved
// in between then gets a newer time than its images and the cache is not reused for it.
std::vector<std::string> MakeLibraryLines(const CProfile& profile, const std::string& configFolder,
                                          const FileCheck& canOpen = {});

// A digest of everything besides the part that changes a drawn pixel: the 21 colours,
// the two fonts and THUMBNAIL_RENDERER_VERSION; and of how identities and the digest
// are made. With canvases, also what their backend draws the two fonts with (the family
// each resolves to, the text backend's version), so that a changed substitution redraws.
uint64_t DrawingDigest(const CDisplaySettings& settings, const CanvasFactory& canvases = {});
// What an image shows: the library's path as opened, the entry's name and its
// definition as the library format writes it, hashed with XXH3 (fast enough to tie
// every cached image to its part at each start).
uint64_t ImageIdentity(const std::string& libraryPath, const CLibEntry& entry);

// Writes the three files into cacheFolder, creating the folder (one level) when the first
// file cannot be created. The caller writes only when the cache is dirty. Each file is
// written beside its final name and renamed into place, so a failure leaves the old
// files; the three files carry a common stamp, so a set mixed from two saves reads back
// as invalid. False when set is not consistent or anything could not be written.
// drawing is the DrawingDigest of the settings the images were drawn with.
bool SaveImageCache(const std::string& cacheFolder, const std::vector<std::string>& libraryLines,
                    uint64_t drawing, const ThumbnailSet& set);

// --- The pieces, for tests and tools ---

// "<keyValue>|<seconds>" with the low 32 bits of the time as a signed number.
std::string MakeLibraryLine(const std::string& keyValue, int64_t modificationTime);

// The validity walk: every non-empty "LIB%d" value, in key order with gaps skipped,
// must match the next line, and the lines must all be used. A configured library whose
// file cannot be found or read makes the cache invalid (its images cannot be told apart
// from another library's).
bool LibraryLinesMatch(const std::vector<std::string>& lines, const CProfile& profile,
                       const std::string& configFolder, const FileCheck& canOpen = {});

// libdata.cache: a count (2 bytes, or 0xFFFF and 4 bytes) and each line as a length
// prefix (1 byte; or 0xFF and 2 bytes; or 0xFF, 0xFFFF and 4 bytes) and its bytes,
// little-endian. Decoding is strict: a short, overlong or foreign file is false.
std::string EncodeLibraryLines(const std::vector<std::string>& lines);
bool DecodeLibraryLines(const std::string& bytes, std::vector<std::string>& lines);

// What binds the three files of one save together, and to the settings they were
// drawn with.
struct CacheStamp {
    uint64_t saveId = 0;    // random per save, the same in both image files
    uint32_t linesCrc = 0;  // CRC-32 of the libdata.cache bytes written with them
    uint64_t drawing = 0;   // DrawingDigest of the settings the images were drawn with
};

// One image file: header "QURIXIMG", version, image side, count, stamp; per image its
// entry number, its identity and its ARGB pixels (alpha is the mask) packed in runs; a
// CRC-32 of everything before it.
inline constexpr size_t IMAGE_HEADER_SIZE = 40;
// Encoding fails (empty result) for images of another size, bad entry numbers or counts
// that differ.
std::string EncodeImageFile(const std::vector<ArgbImage>& images,
                            const std::vector<int32_t>& entries,
                            const std::vector<uint64_t>& identities, int32_t side,
                            const CacheStamp& stamp);
// The same from packed images, whose runs are written as they are kept (images.Side()
// must be side).
std::string EncodeImageFile(const CPackedImages& images, const std::vector<int32_t>& entries,
                            const std::vector<uint64_t>& identities, int32_t side,
                            const CacheStamp& stamp);
// The images are taken packed, without decoding them. False for anything this program
// did not write for this side, or that was changed since.
bool DecodeImageFile(const std::string& bytes, int32_t side, CPackedImages& images,
                     std::vector<int32_t>& entries, std::vector<uint64_t>& identities,
                     CacheStamp& stamp);
// The same with every image decoded.
bool DecodeImageFile(const std::string& bytes, int32_t side, std::vector<ArgbImage>& images,
                     std::vector<int32_t>& entries, std::vector<uint64_t>& identities,
                     CacheStamp& stamp);
// Whether a file of fileSize bytes starting with head (at least IMAGE_HEADER_SIZE bytes)
// can be an image file of this side with at most maxImages images: the size must lie
// between the smallest and the largest file the declared count can make.
bool ImageFileSizeFits(const std::string& head, uintmax_t fileSize, int32_t side, size_t maxImages);

// --- Image files beside the three above ---

// The extra-large images ("xlargeimage.cache") and images drawn for a device pixel ratio
// above 1 ("largeimage@2.cache", …): the image file format, bound to the drawing
// settings alone, each image taken only for the identity it was drawn for.
inline constexpr const char* XLARGE_CACHE_FILE = "xlargeimage.cache";
// The file of an image kind ("largeimage", "smallimage", "xlargeimage") at ratio: the
// kind's name for ratio 1, "<kind>@<ratio>.cache" above.
std::string ExtraCacheFileName(const std::string& kind, int32_t ratio);
// False (images empty) when the file is missing, damaged, of another side, drawn with
// other settings, or declares more than maxImages images.
bool LoadExtraImageFile(const std::string& path, int32_t side, uint64_t drawing, size_t maxImages,
                        CPackedImages& images, std::vector<uint64_t>& identities);
// Written beside its final name and renamed into place, making the folder when needed.
bool SaveExtraImageFile(const std::string& path, int32_t side, uint64_t drawing,
                        const CPackedImages& images, const std::vector<int32_t>& entries,
                        const std::vector<uint64_t>& identities);

// The whole file in one read, when it is no larger than maxSize; false (out empty) when it
// is larger, cannot be read or changes size while it is read.
bool ReadCacheFile(const std::string& path, uintmax_t maxSize, std::string& out);

// Writes bytes beside path and renames them into place, making path's folder (one level)
// when needed: a failure leaves the old file whole.
bool ReplaceCacheFile(const std::string& path, const std::string& bytes);

// CRC-32 (zlib), carried on from crc.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);

}  // namespace qurix

#include "palette/ImageCache.h"

#include <xxhash.h>
#include <zlib.h>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <thread>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/platform/FileIo.h"
#include "core/platform/FileTime.h"
#include "core/platform/Paths.h"
#include "core/profile/ConfigFile.h"
#include "core/records/RecordWriter.h"
#include "palette/ConfigLocation.h"
#include "palette/LittleEndian.h"
#include "palette/PixelRuns.h"
#include "render/DisplaySettings.h"

namespace qurix {

namespace {

constexpr char IMAGE_MAGIC[8] = {'Q', 'U', 'R', 'I', 'X', 'I', 'M', 'G'};
// 2: each record carries its identity, the header the drawing digest.
constexpr uint32_t IMAGE_VERSION = 2;
constexpr size_t IMAGE_RECORD_HEAD = 16;  // entry number, identity, packed length
// How ImageIdentity is made. It is part of the drawing digest, so that a cache whose
// identities were made otherwise is refused as a whole. 2: XXH3-64 (1: SHA-256).
constexpr uint32_t IDENTITY_VERSION = 2;
constexpr size_t CRC_SIZE = 4;
constexpr int32_t LIBRARY_KEYS = 16;
constexpr int32_t MAX_SIDE = 4096;
// Sixteen library lines; anything larger is not our file.
constexpr uintmax_t MAX_LIBDATA_FILE = uintmax_t{1} << 20;

std::string LibraryKey(int32_t j) {
    return "LIB" + std::to_string(j);
}

std::string JoinPath(const std::string& folder, const char* name) {
    return CombinePath(folder, name);
}

// Opens path and reads its first headSize bytes (fewer when the file is shorter) and
// its size (false in sizeKnown when it cannot be had); null when it does not open.
std::FILE* OpenWithHead(const std::string& path, size_t headSize, std::string& head,
                        uintmax_t& size, bool& sizeKnown) {
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr) return nullptr;
    sizeKnown = OpenFileSize(f, size) && size <= SIZE_MAX;
    head.assign(headSize, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), f));
    return f;
}

// Runs read(file, head, size) on the file at path when fits(head, size) allows its size;
// head is the first headSize bytes (fewer when the file is shorter). Nothing more is read
// from a file refused.
bool ReadFittingFile(
    const std::string& path, size_t headSize,
    const std::function<bool(const std::string& head, uintmax_t size)>& fits,
    const std::function<bool(std::FILE*, std::string& head, uintmax_t size)>& read) {
    std::string head;
    uintmax_t size = 0;
    bool sizeKnown = false;
    std::FILE* f = OpenWithHead(path, headSize, head, size, sizeKnown);
    if (f == nullptr) return false;
    const bool ok = sizeKnown && fits(head, size) && read(f, head, size);
    std::fclose(f);
    return ok;
}

// The whole file, when fits(head, size) allows its size.
bool ReadCheckedFile(const std::string& path, size_t headSize,
                     const std::function<bool(const std::string& head, uintmax_t size)>& fits,
                     std::string& out) {
    out.clear();
    const bool ok =
        ReadFittingFile(path, headSize, fits, [&](std::FILE* f, std::string& head, uintmax_t size) {
            const size_t have = std::min(head.size(), static_cast<size_t>(size));
            out = std::move(head);
            out.resize(static_cast<size_t>(size));
            const size_t rest = out.size() - have;
            // The file must end where its size said (it may be rewritten while we read).
            return (rest == 0 || std::fread(out.data() + have, 1, rest, f) == rest) &&
                   std::fgetc(f) == EOF;
        });
    if (!ok) out.clear();
    return ok;
}

bool CanRead(const FileCheck& canOpen, const std::string& path) {
    return canOpen ? canOpen(path) : CanOpenForReading(path);
}

// The line of a configured library, false when it has none (missing or unreadable).
bool CurrentLibraryLine(const std::string& value, CWinePaths& paths, const FileCheck& canOpen,
                        std::string& line) {
    const std::string path = paths.Resolve(value);
    int64_t time = 0;
    if (!LastWriteSeconds(path, time) || !CanRead(canOpen, path)) return false;
    line = MakeLibraryLine(value, time);
    return true;
}

void AddU32(std::string& bytes, uint32_t v) {
    PutU32(bytes, v);
}

void AddFont(std::string& bytes, const LogFont& font) {
    for (const int32_t v :
         {font.height, font.width, font.escapement, font.orientation, font.weight}) {
        AddU32(bytes, static_cast<uint32_t>(v));
    }
    for (const uint8_t v :
         {font.italic, font.underline, font.strikeOut, font.charSet, font.outPrecision,
          font.clipPrecision, font.quality, font.pitchAndFamily}) {
        AddU32(bytes, v);
    }
    bytes.append(font.faceName.data(), font.faceName.size());
}

// A new save's stamp: files of two saves must never share one.
uint64_t NewSaveId() {
    std::random_device random;
    return (uint64_t{random()} << 32) ^ random();
}

// The temporary file a save writes before it replaces path: named after the save, so that
// palettes saving the same file at once never write into one another's.
std::string TempNameFor(const std::string& path, uint64_t saveId) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(saveId));
    return path + suffix;
}

std::FILE* OpenNewFile(const std::string& path) {
    return OpenFile(path, "wb");
}

bool WriteAndClose(std::FILE* f, const std::string& bytes) {
    const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool flushed = std::fflush(f) == 0;
    const bool closed = std::fclose(f) == 0;
    return wrote && flushed && closed;
}

void RemoveQuietly(const std::string& path) {
    RemoveFile(path);
}

// The body of an image file (all but its CRC) in memory, handed out piece by piece.
class CMemorySource {
public:
    explicit CMemorySource(const std::string& bytes)
        : bytes_(bytes), end_(bytes.size() - CRC_SIZE) {}
    const unsigned char* Take(size_t n) {
        if (n > end_ - pos_) return nullptr;
        pos_ += n;
        return reinterpret_cast<const unsigned char*>(bytes_.data()) + pos_ - n;
    }
    size_t Left() const { return end_ - pos_; }
    bool CrcMatches() const {
        CByteReader tail(bytes_, end_);
        uint32_t stored = 0;
        return tail.U32(stored) && Crc32(bytes_.data(), end_) == stored;
    }

private:
    const std::string& bytes_;
    size_t end_;
    size_t pos_ = 0;
};

// The body of an image file read in blocks as it is handed out, so that the file's
// bytes are never all in memory at once; the CRC grows with each block. The first bytes
// come from head, already read.
class CFileSource {
public:
    CFileSource(std::FILE* f, std::string head, uintmax_t bodySize)
        : f_(f), buffer_(std::move(head)), unread_(bodySize - buffer_.size()) {
        crc_ = Crc32(buffer_.data(), buffer_.size());
    }
    const unsigned char* Take(size_t n) {
        if (n > buffer_.size() - pos_ && !Fill(n)) return nullptr;
        pos_ += n;
        return reinterpret_cast<const unsigned char*>(buffer_.data()) + pos_ - n;
    }
    uintmax_t Left() const { return unread_ + (buffer_.size() - pos_); }
    // After the body: the stored CRC matches and the file ends there.
    bool CrcMatches() {
        unsigned char stored[CRC_SIZE];
        if (Left() != 0 || std::fread(stored, 1, CRC_SIZE, f_) != CRC_SIZE) return false;
        // The file must end where its size said (it may be rewritten while we read).
        return GetLE32(stored) == crc_ && std::fgetc(f_) == EOF;
    }

private:
    static constexpr size_t BLOCK = size_t{1} << 20;
    bool Fill(size_t n) {
        buffer_.erase(0, pos_);
        pos_ = 0;
        const size_t want = std::max(n, BLOCK) - buffer_.size();
        const size_t take = static_cast<size_t>(std::min<uintmax_t>(want, unread_));
        const size_t had = buffer_.size();
        buffer_.resize(had + take);
        if (std::fread(buffer_.data() + had, 1, take, f_) != take) return false;
        unread_ -= take;
        crc_ = Crc32(buffer_.data() + had, take, crc_);
        return buffer_.size() >= n;
    }
    std::FILE* f_;
    std::string buffer_;
    size_t pos_ = 0;
    uintmax_t unread_;
    uint32_t crc_ = 0;
};

uint64_t GetU64(const unsigned char* p) {
    return uint64_t{GetLE32(p)} | (uint64_t{GetLE32(p + 4)} << 32);
}

// The header and records of an image file whose size fits its header, the images taken
// packed; the caller checks the CRC. Nothing is handed out unless all was read.
template <typename Source>
bool ReadImageRecords(Source& in, int32_t side, CPackedImages& images,
                      std::vector<int32_t>& entries, std::vector<uint64_t>& identities,
                      CacheStamp& stamp) {
    const unsigned char* head = in.Take(IMAGE_HEADER_SIZE);
    if (head == nullptr) return false;
    const uint32_t count = GetLE32(head + 16);
    const CacheStamp read{GetU64(head + 20), GetLE32(head + 28), GetU64(head + 32)};
    if (count > in.Left() / IMAGE_RECORD_HEAD) return false;
    const uintmax_t mostPacked = MaxPackedSize(side);

    CPackedImages packed(side);
    std::vector<int32_t> numbers;
    std::vector<uint64_t> shown;
    numbers.reserve(count);
    shown.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* record = in.Take(IMAGE_RECORD_HEAD);
        if (record == nullptr) return false;
        const uint32_t entry = GetLE32(record);
        const uint64_t identity = GetU64(record + 4);
        const uint32_t length = GetLE32(record + 12);
        if (entry > 0x7FFFFFFF ||
            (!numbers.empty() && static_cast<int32_t>(entry) <= numbers.back())) {
            return false;
        }
        if (length > mostPacked) return false;
        const unsigned char* runs = in.Take(length);
        if (runs == nullptr || !packed.AppendRuns(runs, length)) return false;
        numbers.push_back(static_cast<int32_t>(entry));
        shown.push_back(identity);
    }
    if (in.Left() != 0) return false;
    images = std::move(packed);
    entries = std::move(numbers);
    identities = std::move(shown);
    stamp = read;
    return true;
}

// Reads an image file of this side with at most maxImages images, in one pass.
bool ReadImageFile(const std::string& path, int32_t side, size_t maxImages, CPackedImages& images,
                   std::vector<int32_t>& entries, std::vector<uint64_t>& identities,
                   CacheStamp& stamp) {
    images = CPackedImages(side);
    entries.clear();
    identities.clear();
    const auto fits = [&](const std::string& head, uintmax_t size) {
        return ImageFileSizeFits(head, size, side, maxImages);
    };
    return ReadFittingFile(
        path, IMAGE_HEADER_SIZE, fits, [&](std::FILE* f, std::string& head, uintmax_t size) {
            CFileSource in(f, std::move(head), size - CRC_SIZE);
            CPackedImages packed;
            std::vector<int32_t> numbers;
            std::vector<uint64_t> shown;
            CacheStamp read;
            if (!ReadImageRecords(in, side, packed, numbers, shown, read) || !in.CrcMatches()) {
                return false;
            }
            images = std::move(packed);
            entries = std::move(numbers);
            identities = std::move(shown);
            stamp = read;
            return true;
        });
}

}  // namespace

bool ReadCacheFile(const std::string& path, uintmax_t maxSize, std::string& out) {
    const auto fits = [maxSize](const std::string&, uintmax_t size) { return size <= maxSize; };
    return ReadCheckedFile(path, 0, fits, out);
}

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
    return static_cast<uint32_t>(crc32_z(crc, static_cast<const Bytef*>(data), size));
}

void ThumbnailSet::Clear() {
    large.Clear();
    smallImage.Clear();
    entries.clear();
    identities.clear();
}

bool ThumbnailSet::Consistent() const {
    if (smallImage.Count() != large.Count() || entries.size() != large.Count() ||
        identities.size() != large.Count()) {
        return false;
    }
    if (large.Side() != LARGE_THUMB_SIZE || smallImage.Side() != SMALL_THUMB_SIZE) return false;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] < 0 || (i > 0 && entries[i] <= entries[i - 1])) return false;
    }
    return true;
}

std::string DefaultCacheFolder() {
    const std::string current = CurrentFolder();
    if (current.empty()) return CACHE_FOLDER_NAME;
    return CombinePath(current, CACHE_FOLDER_NAME);
}

int32_t ReadPartsStyle(const CProfile& profile) {
    const int32_t mode = profile.GetInt("qurix", "parts_style", 0);
    // 4 is the palette's own extra-large view.
    return mode >= 0 && mode <= 4 ? mode : 0;
}

bool WritePartsStyle(const CProfile& profile, int32_t mode) {
    return profile.WriteInt("qurix", "parts_style", mode);
}

std::string MakeLibraryLine(const std::string& keyValue, int64_t modificationTime) {
    const auto low = static_cast<int32_t>(static_cast<uint32_t>(modificationTime));
    return keyValue + "|" + std::to_string(low);
}

std::vector<std::string> MakeLibraryLines(const CProfile& profile, const std::string& configFolder,
                                          const FileCheck& canOpen) {
    std::vector<std::string> lines;
    CWinePaths paths = ConfiguredPaths(profile, configFolder);
    for (int32_t j = 0; j < LIBRARY_KEYS; ++j) {
        const std::string value = profile.GetString("Library", LibraryKey(j));
        std::string line;
        if (value.empty() || !CurrentLibraryLine(value, paths, canOpen, line)) continue;
        lines.push_back(std::move(line));
    }
    return lines;
}

bool LibraryLinesMatch(const std::vector<std::string>& lines, const CProfile& profile,
                       const std::string& configFolder, const FileCheck& canOpen) {
    size_t k = 0;
    CWinePaths paths = ConfiguredPaths(profile, configFolder);
    for (int32_t j = 0; j < LIBRARY_KEYS; ++j) {
        const std::string value = profile.GetString("Library", LibraryKey(j));
        if (value.empty()) continue;
        if (k >= lines.size()) return false;
        // A library whose file cannot be found or read has no line at save time and is
        // not loaded; letting it through would pair a later library's line with an
        // earlier library's images.
        std::string line;
        if (!CurrentLibraryLine(value, paths, canOpen, line)) return false;
        if (line != lines[k]) return false;
        ++k;
    }
    return k == lines.size();
}

uint64_t DrawingDigest(const CDisplaySettings& settings, const CanvasFactory& canvases) {
    std::string bytes;
    AddU32(bytes, THUMBNAIL_RENDERER_VERSION);
    AddU32(bytes, IDENTITY_VERSION);
    AddU32(bytes, DRAWING_DIGEST_VERSION);
    for (int32_t i = 0; i < COLOUR_COUNT; ++i) {
        AddU32(bytes, settings.colours.Get(static_cast<ColourKey>(i)));
    }
    AddFont(bytes, settings.labelFont);
    AddFont(bytes, settings.compNameFont);
    const CanvasMaker maker = canvases ? canvases(settings.colours.Get(ColourKey::BG)) : nullptr;
    if (const std::unique_ptr<CDrawSurface> canvas = maker ? maker(1, 1) : nullptr) {
        for (const LogFont* font : {&settings.labelFont, &settings.compNameFont}) {
            const std::unique_ptr<CSurfaceFont> made = canvas->MakeFont(*font);
            const std::string drawnWith = made ? made->DrawnWith() : std::string();
            AddU32(bytes, static_cast<uint32_t>(drawnWith.size()));
            bytes += drawnWith;
        }
    }
    return XXH3_64bits(bytes.data(), bytes.size());
}

uint64_t ImageIdentity(const std::string& libraryPath, const CLibEntry& entry) {
    // Each field with its length first, so that two fields cannot run into each other.
    std::string bytes;
    bytes.reserve(libraryPath.size() + entry.Name().size() + 1024);
    PutU32(bytes, static_cast<uint32_t>(libraryPath.size()));
    bytes += libraryPath;
    PutU32(bytes, static_cast<uint32_t>(entry.Name().size()));
    bytes += entry.Name();
    const size_t lengthAt = bytes.size();
    PutU32(bytes, 0);
    if (const CComponentDef* def = entry.ComponentDef()) {
        CRecordWriter writer(&bytes);
        // A definition that cannot be written is told apart by its name and library only.
        if (!def->WriteComponent(writer, entry.Name())) bytes.resize(lengthAt + 4);
    }
    const auto length = static_cast<uint32_t>(bytes.size() - lengthAt - 4);
    for (int k = 0; k < 4; ++k) bytes[lengthAt + k] = static_cast<char>(length >> (8 * k));
    return XXH3_64bits(bytes.data(), bytes.size());
}

std::string EncodeLibraryLines(const std::vector<std::string>& lines) {
    std::string out;
    const size_t count = lines.size();
    if (count < 0xFFFF) {
        PutU16(out, static_cast<uint32_t>(count));
    } else {
        PutU16(out, 0xFFFF);
        PutU32(out, static_cast<uint32_t>(count));
    }
    for (const std::string& line : lines) {
        const size_t length = line.size();
        if (length < 0xFF) {
            out += static_cast<char>(length);
        } else if (length < 0xFFFE) {
            out += '\xFF';
            PutU16(out, static_cast<uint32_t>(length));
        } else {
            out += '\xFF';
            PutU16(out, 0xFFFF);
            PutU32(out, static_cast<uint32_t>(length));
        }
        out += line;
    }
    return out;
}

bool DecodeLibraryLines(const std::string& bytes, std::vector<std::string>& lines) {
    lines.clear();
    CByteReader in(bytes);
    uint32_t count = 0;
    if (!in.U16(count)) return false;
    if (count == 0xFFFF) {
        // 0xFFFFFFFF would announce a 64-bit count, which we never write.
        if (!in.U32(count) || count == 0xFFFFFFFF) return false;
    }
    // Every line takes at least its one-byte prefix.
    if (count > in.Remaining()) return false;
    std::vector<std::string> read;
    read.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = 0;
        if (!in.U8(length)) return false;
        if (length == 0xFF) {
            if (!in.U16(length)) return false;
            // 0xFFFE marks a UTF-16 string: not a file of ours.
            if (length == 0xFFFE) return false;
            if (length == 0xFFFF && (!in.U32(length) || length == 0xFFFFFFFF)) return false;
        }
        const char* text = in.Here();
        if (!in.Skip(length)) return false;
        read.emplace_back(text, length);
    }
    if (in.Remaining() != 0) return false;
    lines = std::move(read);
    return true;
}

std::string EncodeImageFile(const std::vector<ArgbImage>& images,
                            const std::vector<int32_t>& entries,
                            const std::vector<uint64_t>& identities, int32_t side,
                            const CacheStamp& stamp) {
    CPackedImages packed(side);
    for (const ArgbImage& image : images) {
        if (!packed.Append(image)) return {};
    }
    return EncodeImageFile(packed, entries, identities, side, stamp);
}

std::string EncodeImageFile(const CPackedImages& images, const std::vector<int32_t>& entries,
                            const std::vector<uint64_t>& identities, int32_t side,
                            const CacheStamp& stamp) {
    const size_t count = images.Count();
    if (side <= 0 || side > MAX_SIDE || images.Side() != side || count != entries.size() ||
        count != identities.size() || count > 0x7FFFFFFF) {
        return {};
    }
    std::string out(IMAGE_MAGIC, sizeof IMAGE_MAGIC);
    PutU32(out, IMAGE_VERSION);
    PutU32(out, static_cast<uint32_t>(side));
    PutU32(out, static_cast<uint32_t>(count));
    PutU64(out, stamp.saveId);
    PutU32(out, stamp.linesCrc);
    PutU64(out, stamp.drawing);

    for (size_t i = 0; i < count; ++i) {
        if (entries[i] < 0 || (i > 0 && entries[i] <= entries[i - 1])) return {};
        PutU32(out, static_cast<uint32_t>(entries[i]));
        PutU64(out, identities[i]);
        // The length goes before the runs: written as 0 and set when they are.
        const size_t lengthAt = out.size();
        PutU32(out, 0);
        images.WriteRuns(i, out);
        const auto length = static_cast<uint32_t>(out.size() - lengthAt - 4);
        for (int k = 0; k < 4; ++k) out[lengthAt + k] = static_cast<char>(length >> (8 * k));
    }
    PutU32(out, Crc32(out.data(), out.size()));
    return out;
}

bool ImageFileSizeFits(const std::string& head, uintmax_t fileSize, int32_t side,
                       size_t maxImages) {
    if (side <= 0 || side > MAX_SIDE || head.size() < IMAGE_HEADER_SIZE) return false;
    if (std::memcmp(head.data(), IMAGE_MAGIC, sizeof IMAGE_MAGIC) != 0) return false;
    CByteReader in(head, sizeof IMAGE_MAGIC);
    uint32_t version = 0;
    uint32_t fileSide = 0;
    uint32_t count = 0;
    in.U32(version);
    in.U32(fileSide);
    in.U32(count);
    if (version != IMAGE_VERSION || fileSide != static_cast<uint32_t>(side)) return false;
    if (count > maxImages) return false;
    // At most 2^31 records of at most 16 + 67 MB each: no product here can wrap.
    const uintmax_t frame = IMAGE_HEADER_SIZE + CRC_SIZE;
    const uintmax_t least = frame + uintmax_t{count} * IMAGE_RECORD_HEAD;
    const uintmax_t most = frame + uintmax_t{count} * (IMAGE_RECORD_HEAD + MaxPackedSize(side));
    return fileSize >= least && fileSize <= most;
}

bool DecodeImageFile(const std::string& bytes, int32_t side, CPackedImages& images,
                     std::vector<int32_t>& entries, std::vector<uint64_t>& identities,
                     CacheStamp& stamp) {
    images = CPackedImages(side);
    entries.clear();
    identities.clear();
    if (!ImageFileSizeFits(bytes, bytes.size(), side, SIZE_MAX)) return false;
    CMemorySource in(bytes);
    return in.CrcMatches() && ReadImageRecords(in, side, images, entries, identities, stamp);
}

bool DecodeImageFile(const std::string& bytes, int32_t side, std::vector<ArgbImage>& images,
                     std::vector<int32_t>& entries, std::vector<uint64_t>& identities,
                     CacheStamp& stamp) {
    images.clear();
    CPackedImages packed;
    if (!DecodeImageFile(bytes, side, packed, entries, identities, stamp)) return false;
    images.reserve(packed.Count());
    for (size_t i = 0; i < packed.Count(); ++i) images.push_back(packed.Image(i));
    return true;
}

bool LoadImageCache(const std::string& cacheFolder, const CProfile& profile,
                    const std::string& configFolder, const CacheExpectation& expect,
                    ThumbnailSet& set) {
    set.Clear();
    // The small file first: when the libraries changed, no image is read at all.
    std::string bytes;
    std::vector<std::string> lines;
    if (!ReadCacheFile(JoinPath(cacheFolder, LIBDATA_CACHE_FILE), MAX_LIBDATA_FILE, bytes) ||
        !DecodeLibraryLines(bytes, lines) ||
        !LibraryLinesMatch(lines, profile, configFolder, expect.canOpen)) {
        return false;
    }
    const uint32_t linesCrc = Crc32(bytes.data(), bytes.size());

    const auto readImages = [&](const char* name, int32_t side, CPackedImages& images,
                                std::vector<int32_t>& entries, std::vector<uint64_t>& identities,
                                CacheStamp& stamp) {
        return ReadImageFile(JoinPath(cacheFolder, name), side, expect.maxImages, images, entries,
                             identities, stamp);
    };
    ThumbnailSet read;
    CacheStamp largeStamp;
    CacheStamp smallStamp;
    std::vector<int32_t> smallEntries;
    std::vector<uint64_t> smallIdentities;
    // The two image files are read at once, the small one on a thread of its own.
    bool smallRead = false;
    std::thread smallReader([&] {
        smallRead = readImages(SMALL_CACHE_FILE, SMALL_THUMB_SIZE, read.smallImage, smallEntries,
                               smallIdentities, smallStamp);
    });
    const bool largeRead = readImages(LARGE_CACHE_FILE, LARGE_THUMB_SIZE, read.large, read.entries,
                                      read.identities, largeStamp);
    smallReader.join();
    if (!largeRead || !smallRead) return false;
    // The three files must come from one save, drawn as the images would be drawn now.
    if (largeStamp.saveId != smallStamp.saveId || largeStamp.linesCrc != linesCrc ||
        smallStamp.linesCrc != linesCrc || smallEntries != read.entries ||
        smallIdentities != read.identities || largeStamp.drawing != expect.drawing ||
        smallStamp.drawing != expect.drawing) {
        return false;
    }
    set = std::move(read);
    return true;
}

bool SaveImageCache(const std::string& cacheFolder, const std::vector<std::string>& libraryLines,
                    uint64_t drawing, const ThumbnailSet& set) {
    if (!set.Consistent()) return false;
    CacheStamp stamp;
    stamp.saveId = NewSaveId();
    stamp.drawing = drawing;
    const std::string libdata = EncodeLibraryLines(libraryLines);
    stamp.linesCrc = Crc32(libdata.data(), libdata.size());
    const std::string large =
        EncodeImageFile(set.large, set.entries, set.identities, LARGE_THUMB_SIZE, stamp);
    const std::string smallImage =
        EncodeImageFile(set.smallImage, set.entries, set.identities, SMALL_THUMB_SIZE, stamp);
    if (large.empty() || smallImage.empty()) return false;

    struct Pending {
        const char* name;
        const std::string* bytes;
        std::string temp;
    };
    Pending files[] = {{LARGE_CACHE_FILE, &large, {}},
                       {SMALL_CACHE_FILE, &smallImage, {}},
                       {LIBDATA_CACHE_FILE, &libdata, {}}};
    const auto dropTemps = [&files] {
        for (Pending& p : files) {
            if (!p.temp.empty()) RemoveQuietly(p.temp);
        }
    };

    for (Pending& p : files) {
        const std::string temp = TempNameFor(JoinPath(cacheFolder, p.name), stamp.saveId);
        std::FILE* f = OpenNewFile(temp);
        if (f == nullptr && &p == &files[0]) {
            // The folder is made when it is first needed.
            if (MakeFolder(cacheFolder)) f = OpenNewFile(temp);
        }
        if (f == nullptr) {
            dropTemps();
            return false;
        }
        p.temp = temp;
        if (!WriteAndClose(f, *p.bytes)) {
            dropTemps();
            return false;
        }
    }
    for (Pending& p : files) {
        if (!RenameOver(p.temp, JoinPath(cacheFolder, p.name))) {
            // Files already renamed carry this save's stamp, the others the old one:
            // the set reads back as invalid, never as mixed images.
            dropTemps();
            return false;
        }
        p.temp.clear();
    }
    return true;
}

std::string ExtraCacheFileName(const std::string& kind, int32_t ratio) {
    return ratio == 1 ? kind + ".cache" : kind + "@" + std::to_string(ratio) + ".cache";
}

bool LoadExtraImageFile(const std::string& path, int32_t side, uint64_t drawing, size_t maxImages,
                        CPackedImages& images, std::vector<uint64_t>& identities) {
    images = CPackedImages(side);
    identities.clear();
    std::vector<int32_t> entries;
    CacheStamp stamp;
    if (!ReadImageFile(path, side, maxImages, images, entries, identities, stamp) ||
        stamp.drawing != drawing) {
        images = CPackedImages(side);
        identities.clear();
        return false;
    }
    return true;
}

bool SaveExtraImageFile(const std::string& path, int32_t side, uint64_t drawing,
                        const CPackedImages& images, const std::vector<int32_t>& entries,
                        const std::vector<uint64_t>& identities) {
    CacheStamp stamp;
    stamp.saveId = NewSaveId();
    stamp.drawing = drawing;
    const std::string bytes = EncodeImageFile(images, entries, identities, side, stamp);
    return !bytes.empty() && ReplaceCacheFile(path, bytes);
}

bool ReplaceCacheFile(const std::string& path, const std::string& bytes) {
    const std::string temp = TempNameFor(path, NewSaveId());
    std::FILE* f = OpenNewFile(temp);
    if (f == nullptr) {
        const std::string folder = FolderOfPath(path);
        if (!folder.empty() && MakeFolder(folder)) f = OpenNewFile(temp);
    }
    if (f == nullptr) return false;
    if (!WriteAndClose(f, bytes) || !RenameOver(temp, path)) {
        RemoveQuietly(temp);
        return false;
    }
    return true;
}

}  // namespace qurix

#include "app/ImageCache.h"

#include <zlib.h>
#include <QCryptographicHash>
#include <QRandomGenerator>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/ConfigLocation.h"
#include "core/library/LibEntry.h"
#include "core/platform/FileTime.h"
#include "core/profile/ConfigFile.h"
#include "core/records/RecordWriter.h"
#include "render/DisplaySettings.h"

namespace qurix {

namespace fs = std::filesystem;

namespace {

constexpr char IMAGE_MAGIC[8] = {'Q', 'U', 'R', 'I', 'X', 'I', 'M', 'G'};
// 2: each record carries its identity, the header the drawing digest.
constexpr uint32_t IMAGE_VERSION = 2;
constexpr size_t IMAGE_RECORD_HEAD = 16;  // entry number, identity, packed length
constexpr size_t CRC_SIZE = 4;
constexpr int32_t LIBRARY_KEYS = 16;
constexpr int32_t MAX_SIDE = 4096;
// Sixteen library lines; anything larger is not our file.
constexpr uintmax_t MAX_LIBDATA_FILE = uintmax_t{1} << 20;

void PutU16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void PutU32(std::string& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}
void PutU64(std::string& out, uint64_t v) {
    PutU32(out, static_cast<uint32_t>(v));
    PutU32(out, static_cast<uint32_t>(v >> 32));
}

// Little-endian reads that refuse to run past end (the whole string by default). The
// position never passes end, so Remaining() cannot wrap.
class CByteReader {
public:
    explicit CByteReader(const std::string& bytes, size_t pos = 0, size_t end = SIZE_MAX)
        : bytes_(bytes), end_(std::min(end, bytes.size())), pos_(std::min(pos, end_)) {}
    size_t Remaining() const { return end_ - pos_; }
    size_t Pos() const { return pos_; }
    const char* Here() const { return bytes_.data() + pos_; }
    bool Skip(size_t n) {
        if (n > Remaining()) return false;
        pos_ += n;
        return true;
    }
    bool U8(uint32_t& v) { return Take(1, v); }
    bool U16(uint32_t& v) { return Take(2, v); }
    bool U32(uint32_t& v) { return Take(4, v); }
    bool U64(uint64_t& v) {
        uint32_t lo = 0;
        uint32_t hi = 0;
        if (!U32(lo) || !U32(hi)) return false;
        v = (uint64_t{hi} << 32) | lo;
        return true;
    }

private:
    bool Take(size_t n, uint32_t& v) {
        if (n > Remaining()) return false;
        v = 0;
        for (size_t i = 0; i < n; ++i) {
            v |= uint32_t{static_cast<unsigned char>(bytes_[pos_ + i])} << (8 * i);
        }
        pos_ += n;
        return true;
    }
    const std::string& bytes_;
    size_t end_;
    size_t pos_;
};

std::string LibraryKey(int32_t j) {
    return "LIB" + std::to_string(j);
}

std::string ResolveLibraryPath(const std::string& value, const std::string& configFolder) {
    return IsRelativePath(value) ? CombinePath(configFolder, value) : value;
}

std::string JoinPath(const std::string& folder, const char* name) {
    return (fs::path(folder) / name).string();
}

// The whole file, when fits(head, size) allows its size; head is the first headSize
// bytes (fewer when the file is shorter). Nothing more is read from a file refused.
bool ReadCheckedFile(const std::string& path, size_t headSize,
                     const std::function<bool(const std::string& head, uintmax_t size)>& fits,
                     std::string& out) {
    out.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    std::error_code ec;
    const uintmax_t size = fs::file_size(path, ec);
    std::string head(headSize, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), f));
    bool ok = !ec && size <= SIZE_MAX && fits(head, size);
    if (ok) {
        const size_t have = std::min(head.size(), static_cast<size_t>(size));
        out = std::move(head);
        out.resize(static_cast<size_t>(size));
        const size_t rest = out.size() - have;
        ok = rest == 0 || std::fread(out.data() + have, 1, rest, f) == rest;
        // The file must end where its size said (it may be rewritten while we read).
        ok = ok && std::fgetc(f) == EOF;
    }
    std::fclose(f);
    if (!ok) out.clear();
    return ok;
}

bool CanRead(const FileCheck& canOpen, const std::string& path) {
    return canOpen ? canOpen(path) : CanOpenForReading(path);
}

// The line of a configured library, false when it has none (missing or unreadable).
bool CurrentLibraryLine(const std::string& value, const std::string& configFolder,
                        const FileCheck& canOpen, std::string& line) {
    const std::string path = ResolveLibraryPath(value, configFolder);
    int64_t time = 0;
    if (!LastWriteSeconds(path, time) || !CanRead(canOpen, path)) return false;
    line = MakeLibraryLine(value, time);
    return true;
}

// The first eight bytes of a SHA-256, little-endian.
uint64_t Digest64(const QCryptographicHash& hash) {
    const QByteArray sum = hash.result();
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= uint64_t{static_cast<unsigned char>(sum[i])} << (8 * i);
    return v;
}

void AddU32(QCryptographicHash& hash, uint32_t v) {
    const char bytes[4] = {static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    hash.addData(QByteArrayView(bytes, 4));
}

void AddFont(QCryptographicHash& hash, const LogFont& font) {
    for (const int32_t v :
         {font.height, font.width, font.escapement, font.orientation, font.weight}) {
        AddU32(hash, static_cast<uint32_t>(v));
    }
    for (const uint8_t v :
         {font.italic, font.underline, font.strikeOut, font.charSet, font.outPrecision,
          font.clipPrecision, font.quality, font.pitchAndFamily}) {
        AddU32(hash, v);
    }
    hash.addData(
        QByteArrayView(font.faceName.data(), static_cast<qsizetype>(font.faceName.size())));
}

// Text with its length first, so that two fields cannot run into each other.
void AddText(QCryptographicHash& hash, const std::string& text) {
    AddU32(hash, static_cast<uint32_t>(text.size()));
    hash.addData(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::FILE* OpenNewFile(const std::string& path) {
    return std::fopen(path.c_str(), "wb");
}

bool WriteAndClose(std::FILE* f, const std::string& bytes) {
    const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool flushed = std::fflush(f) == 0;
    const bool closed = std::fclose(f) == 0;
    return wrote && flushed && closed;
}

void RemoveQuietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

// Pixels are packed in runs, since a thumbnail is mostly background: a control byte c
// below 0x80 is followed by c + 1 literal pixels; c from 0x80 up by one pixel that
// repeats c - 0x7E times (2 … 129). A pixel is 4 bytes, the ARGB value little-endian.
constexpr uint32_t MAX_LITERAL = 128;
constexpr uint32_t MAX_REPEAT = 129;

void PutPixel(std::string& out, QRgb pixel) {
    PutU32(out, pixel);
}

void PackPixels(const QRgb* px, size_t n, std::string& out) {
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < MAX_REPEAT && px[i + run] == px[i]) ++run;
        if (run >= 2) {
            out += static_cast<char>(0x80 + (run - 2));
            PutPixel(out, px[i]);
            i += run;
            continue;
        }
        // Literal pixels up to the next pair of equal ones.
        size_t count = 1;
        while (i + count < n && count < MAX_LITERAL &&
               !(i + count + 1 < n && px[i + count] == px[i + count + 1])) {
            ++count;
        }
        out += static_cast<char>(count - 1);
        for (size_t k = 0; k < count; ++k) PutPixel(out, px[i + k]);
        i += count;
    }
}

QRgb GetPixel(const unsigned char* p) {
    return QRgb{p[0]} | (QRgb{p[1]} << 8) | (QRgb{p[2]} << 16) | (QRgb{p[3]} << 24);
}

// Exactly n pixels from exactly size bytes, or false.
bool UnpackPixels(const unsigned char* in, size_t size, QRgb* px, size_t n) {
    size_t pos = 0;
    size_t filled = 0;
    while (pos < size) {
        const uint32_t control = in[pos++];
        if (control < 0x80) {
            const size_t count = control + 1;
            if (count > n - filled || count * 4 > size - pos) return false;
            for (size_t k = 0; k < count; ++k, pos += 4) px[filled++] = GetPixel(in + pos);
        } else {
            const size_t count = control - 0x7E;
            if (count > n - filled || 4 > size - pos) return false;
            const QRgb pixel = GetPixel(in + pos);
            pos += 4;
            std::fill(px + filled, px + filled + count, pixel);
            filled += count;
        }
    }
    return filled == n;
}

// The most bytes one image of side x side pixels packs into: all literals.
uintmax_t MaxPackedSize(int32_t side) {
    const uintmax_t pixels = static_cast<uintmax_t>(side) * static_cast<uintmax_t>(side);
    return pixels * 4 + (pixels + MAX_LITERAL - 1) / MAX_LITERAL;
}

}  // namespace

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
    return static_cast<uint32_t>(crc32_z(crc, static_cast<const Bytef*>(data), size));
}

void ThumbnailSet::Clear() {
    large.clear();
    small.clear();
    entries.clear();
    identities.clear();
}

bool ThumbnailSet::Consistent() const {
    if (small.size() != large.size() || entries.size() != large.size() ||
        identities.size() != large.size()) {
        return false;
    }
    for (size_t i = 0; i < large.size(); ++i) {
        if (large[i].size() != QSize(LARGE_THUMB_SIZE, LARGE_THUMB_SIZE)) return false;
        if (small[i].size() != QSize(SMALL_THUMB_SIZE, SMALL_THUMB_SIZE)) return false;
        if (entries[i] < 0 || (i > 0 && entries[i] <= entries[i - 1])) return false;
    }
    return true;
}

std::string DefaultCacheFolder() {
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    if (ec) return CACHE_FOLDER_NAME;
    return (current / CACHE_FOLDER_NAME).string();
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
    for (int32_t j = 0; j < LIBRARY_KEYS; ++j) {
        const std::string value = profile.GetString("Library", LibraryKey(j));
        std::string line;
        if (value.empty() || !CurrentLibraryLine(value, configFolder, canOpen, line)) continue;
        lines.push_back(std::move(line));
    }
    return lines;
}

bool LibraryLinesMatch(const std::vector<std::string>& lines, const CProfile& profile,
                       const std::string& configFolder, const FileCheck& canOpen) {
    size_t k = 0;
    for (int32_t j = 0; j < LIBRARY_KEYS; ++j) {
        const std::string value = profile.GetString("Library", LibraryKey(j));
        if (value.empty()) continue;
        if (k >= lines.size()) return false;
        // A library whose file cannot be found or read has no line at save time and is
        // not loaded; letting it through would pair a later library's line with an
        // earlier library's images.
        std::string line;
        if (!CurrentLibraryLine(value, configFolder, canOpen, line)) return false;
        if (line != lines[k]) return false;
        ++k;
    }
    return k == lines.size();
}

uint64_t DrawingDigest(const CDisplaySettings& settings) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    AddU32(hash, THUMBNAIL_RENDERER_VERSION);
    for (int32_t i = 0; i < COLOUR_COUNT; ++i) {
        AddU32(hash, settings.colours.Get(static_cast<ColourKey>(i)));
    }
    AddFont(hash, settings.labelFont);
    AddFont(hash, settings.compNameFont);
    return Digest64(hash);
}

uint64_t ImageIdentity(const std::string& libraryPath, const CLibEntry& entry) {
    std::string written;
    if (const CComponentDef* def = entry.ComponentDef()) {
        CRecordWriter writer(&written);
        // A definition that cannot be written is told apart by its name and library only.
        if (!def->WriteComponent(writer, entry.Name())) written.clear();
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    AddText(hash, libraryPath);
    AddText(hash, entry.Name());
    AddText(hash, written);
    return Digest64(hash);
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

std::string EncodeImageFile(const std::vector<QImage>& images, const std::vector<int32_t>& entries,
                            const std::vector<uint64_t>& identities, int32_t side,
                            const CacheStamp& stamp) {
    if (side <= 0 || side > MAX_SIDE || images.size() != entries.size() ||
        images.size() != identities.size() || images.size() > 0x7FFFFFFF) {
        return {};
    }
    std::string out(IMAGE_MAGIC, sizeof IMAGE_MAGIC);
    PutU32(out, IMAGE_VERSION);
    PutU32(out, static_cast<uint32_t>(side));
    PutU32(out, static_cast<uint32_t>(images.size()));
    PutU64(out, stamp.saveId);
    PutU32(out, stamp.linesCrc);
    PutU64(out, stamp.drawing);

    std::string packed;
    for (size_t i = 0; i < images.size(); ++i) {
        if (images[i].size() != QSize(side, side)) return {};
        if (entries[i] < 0 || (i > 0 && entries[i] <= entries[i - 1])) return {};
        const QImage argb = images[i].convertToFormat(QImage::Format_ARGB32);
        if (argb.bytesPerLine() != side * 4) return {};
        packed.clear();
        PackPixels(reinterpret_cast<const QRgb*>(argb.constBits()),
                   static_cast<size_t>(side) * side, packed);
        PutU32(out, static_cast<uint32_t>(entries[i]));
        PutU64(out, identities[i]);
        PutU32(out, static_cast<uint32_t>(packed.size()));
        out += packed;
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

bool DecodeImageFile(const std::string& bytes, int32_t side, std::vector<QImage>& images,
                     std::vector<int32_t>& entries, std::vector<uint64_t>& identities,
                     CacheStamp& stamp) {
    images.clear();
    entries.clear();
    identities.clear();
    if (!ImageFileSizeFits(bytes, bytes.size(), side, SIZE_MAX)) return false;

    const size_t bodyEnd = bytes.size() - CRC_SIZE;
    CByteReader tail(bytes, bodyEnd);
    uint32_t storedCrc = 0;
    tail.U32(storedCrc);
    if (Crc32(bytes.data(), bodyEnd) != storedCrc) return false;

    CByteReader in(bytes, sizeof IMAGE_MAGIC + 8, bodyEnd);
    uint32_t count = 0;
    CacheStamp read;
    if (!in.U32(count) || !in.U64(read.saveId) || !in.U32(read.linesCrc) || !in.U64(read.drawing)) {
        return false;
    }
    if (count > in.Remaining() / IMAGE_RECORD_HEAD) return false;

    const size_t pixelCount = static_cast<size_t>(side) * side;
    std::vector<QImage> decoded;
    std::vector<int32_t> numbers;
    std::vector<uint64_t> shown;
    decoded.reserve(count);
    numbers.reserve(count);
    shown.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t entry = 0;
        uint64_t identity = 0;
        uint32_t length = 0;
        if (!in.U32(entry) || !in.U64(identity) || !in.U32(length)) return false;
        if (entry > 0x7FFFFFFF ||
            (!numbers.empty() && static_cast<int32_t>(entry) <= numbers.back())) {
            return false;
        }
        if (length > in.Remaining()) return false;
        QImage image(side, side, QImage::Format_ARGB32);
        if (image.isNull() || image.bytesPerLine() != side * 4) return false;
        const auto* packed = reinterpret_cast<const unsigned char*>(in.Here());
        if (!UnpackPixels(packed, length, reinterpret_cast<QRgb*>(image.bits()), pixelCount)) {
            return false;
        }
        in.Skip(length);
        decoded.push_back(std::move(image));
        numbers.push_back(static_cast<int32_t>(entry));
        shown.push_back(identity);
    }
    if (in.Remaining() != 0) return false;
    images = std::move(decoded);
    entries = std::move(numbers);
    identities = std::move(shown);
    stamp = read;
    return true;
}

bool LoadImageCache(const std::string& cacheFolder, const CProfile& profile,
                    const std::string& configFolder, const CacheExpectation& expect,
                    ThumbnailSet& set) {
    set.Clear();
    // The small file first: when the libraries changed, no image is read at all.
    std::string bytes;
    std::vector<std::string> lines;
    const auto smallEnough = [](const std::string&, uintmax_t size) {
        return size <= MAX_LIBDATA_FILE;
    };
    if (!ReadCheckedFile(JoinPath(cacheFolder, LIBDATA_CACHE_FILE), 0, smallEnough, bytes) ||
        !DecodeLibraryLines(bytes, lines) ||
        !LibraryLinesMatch(lines, profile, configFolder, expect.canOpen)) {
        return false;
    }
    const uint32_t linesCrc = Crc32(bytes.data(), bytes.size());

    const auto readImages = [&](const char* name, int32_t side, std::vector<QImage>& images,
                                std::vector<int32_t>& entries, std::vector<uint64_t>& identities,
                                CacheStamp& stamp) {
        const auto fits = [&](const std::string& head, uintmax_t size) {
            return ImageFileSizeFits(head, size, side, expect.maxImages);
        };
        return ReadCheckedFile(JoinPath(cacheFolder, name), IMAGE_HEADER_SIZE, fits, bytes) &&
               DecodeImageFile(bytes, side, images, entries, identities, stamp);
    };
    ThumbnailSet read;
    CacheStamp largeStamp;
    CacheStamp smallStamp;
    std::vector<int32_t> smallEntries;
    std::vector<uint64_t> smallIdentities;
    if (!readImages(LARGE_CACHE_FILE, LARGE_THUMB_SIZE, read.large, read.entries, read.identities,
                    largeStamp) ||
        !readImages(SMALL_CACHE_FILE, SMALL_THUMB_SIZE, read.small, smallEntries, smallIdentities,
                    smallStamp)) {
        return false;
    }
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
    stamp.saveId = QRandomGenerator::system()->generate64();
    stamp.drawing = drawing;
    const std::string libdata = EncodeLibraryLines(libraryLines);
    stamp.linesCrc = Crc32(libdata.data(), libdata.size());
    const std::string large =
        EncodeImageFile(set.large, set.entries, set.identities, LARGE_THUMB_SIZE, stamp);
    const std::string small =
        EncodeImageFile(set.small, set.entries, set.identities, SMALL_THUMB_SIZE, stamp);
    if (large.empty() || small.empty()) return false;

    struct Pending {
        const char* name;
        const std::string* bytes;
        std::string temp;
    };
    Pending files[] = {{LARGE_CACHE_FILE, &large, {}},
                       {SMALL_CACHE_FILE, &small, {}},
                       {LIBDATA_CACHE_FILE, &libdata, {}}};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                  static_cast<unsigned long long>(stamp.saveId));
    const auto dropTemps = [&files] {
        for (Pending& p : files) {
            if (!p.temp.empty()) RemoveQuietly(p.temp);
        }
    };

    for (Pending& p : files) {
        const std::string temp = JoinPath(cacheFolder, p.name) + suffix;
        std::FILE* f = OpenNewFile(temp);
        if (f == nullptr && &p == &files[0]) {
            // The folder is made when it is first needed.
            std::error_code ec;
            fs::create_directory(cacheFolder, ec);
            if (!ec && fs::is_directory(cacheFolder, ec)) f = OpenNewFile(temp);
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
        std::error_code ec;
        fs::rename(p.temp, JoinPath(cacheFolder, p.name), ec);
        if (ec) {
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
                        std::vector<QImage>& images, std::vector<uint64_t>& identities) {
    images.clear();
    identities.clear();
    std::string bytes;
    const auto fits = [&](const std::string& head, uintmax_t size) {
        return ImageFileSizeFits(head, size, side, maxImages);
    };
    std::vector<int32_t> entries;
    CacheStamp stamp;
    if (!ReadCheckedFile(path, IMAGE_HEADER_SIZE, fits, bytes) ||
        !DecodeImageFile(bytes, side, images, entries, identities, stamp) ||
        stamp.drawing != drawing) {
        images.clear();
        identities.clear();
        return false;
    }
    return true;
}

bool SaveExtraImageFile(const std::string& path, int32_t side, uint64_t drawing,
                        const std::vector<QImage>& images, const std::vector<int32_t>& entries,
                        const std::vector<uint64_t>& identities) {
    CacheStamp stamp;
    stamp.saveId = QRandomGenerator::system()->generate64();
    stamp.drawing = drawing;
    const std::string bytes = EncodeImageFile(images, entries, identities, side, stamp);
    if (bytes.empty()) return false;
    const std::string temp = path + ".tmp";
    std::FILE* f = OpenNewFile(temp);
    if (f == nullptr) {
        std::error_code ec;
        fs::create_directory(fs::path(path).parent_path(), ec);
        f = OpenNewFile(temp);
    }
    if (f == nullptr) return false;
    std::error_code ec;
    if (!WriteAndClose(f, bytes) || (fs::rename(temp, path, ec), ec)) {
        RemoveQuietly(temp);
        return false;
    }
    return true;
}

}  // namespace qurix

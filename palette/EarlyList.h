#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/profile/Profile.h"
#include "palette/CommandIds.h"
#include "palette/ImageCache.h"
#include "palette/PackedImages.h"

namespace qurix {

// The parts list of the library on screen at the last close, kept in the cache folder so
// that a start can show it before any library is parsed. It holds what the first paint
// needs and nothing else: the shown parts' names and thumbnails, in list order. It is
// shown only while every configured library's file is as it was when its thumbnails were
// drawn (the cache's library lines), the drawing settings are the same and "plib_last"
// still names its library; the load that follows replaces it.
inline constexpr const char* EARLY_LIST_FILE = "earlylist.cache";

// Which thumbnails the list keeps: a close keeps those of the mode shown, the only ones the
// first paint can ask for.
enum class EarlyImages : uint32_t { Large = 1, Small = 2, Both = 3 };

constexpr bool Holds(EarlyImages kept, EarlyImages kind) {
    return (static_cast<uint32_t>(kept) & static_cast<uint32_t>(kind)) ==
           static_cast<uint32_t>(kind);
}

// The thumbnails a parts list in mode ("parts_style") shows: large icons the large ones,
// the small icons and the list the small ones.
constexpr EarlyImages EarlyImagesOfMode(int mode) {
    return mode == MODE_LARGE ? EarlyImages::Large : EarlyImages::Small;
}

// What a close keeps.
struct EarlyListParts {
    int32_t row = -1;  // the library's number among the loaded ones ("plib_last")
    std::vector<std::string> names;
    EarlyImages kept = EarlyImages::Both;
    // Those kept: in the names' order and count.
    CPackedImages large{LARGE_THUMB_SIZE};
    CPackedImages smallImage{SMALL_THUMB_SIZE};
    // What the images were drawn from and with, as the image cache says it.
    std::vector<std::string> libraryLines;
    uint64_t drawing = 0;
};

// What a start reads back. The images stay in the file's bytes as their runs and are
// decoded only for the parts the list paints.
struct EarlyList {
    int32_t row = -1;
    std::vector<std::string> names;
    EarlyImages kept = EarlyImages::Both;
    std::vector<std::string> libraryLines;
    uint64_t drawing = 0;

    size_t Count() const { return names.size(); }
    // Null when there is no such part, the list does not keep that kind or its runs do not
    // make a whole image.
    ArgbImage LargeImage(size_t part) const { return Decode(large_, part, LARGE_THUMB_SIZE); }
    ArgbImage SmallImage(size_t part) const { return Decode(small_, part, SMALL_THUMB_SIZE); }

private:
    friend bool DecodeEarlyList(std::string bytes, EarlyList& list);
    struct Runs {
        size_t at = 0;
        size_t size = 0;
    };
    ArgbImage Decode(const std::vector<Runs>& images, size_t part, int32_t side) const;

    std::string bytes_;
    std::vector<Runs> large_;
    std::vector<Runs> small_;
};

// The file's bytes: header "QURIXEAR", version, drawing digest, row, the kinds kept, the
// library lines as libdata.cache holds them, the count, then per part its name and the kept
// images' runs (large first), and an XXH3-64 digest of everything before it. Empty when the
// kept images and the names do not pair up.
std::string EncodeEarlyList(const EarlyListParts& parts);
// Strict: false (list empty) for a file this program did not write or that was changed.
bool DecodeEarlyList(std::string bytes, EarlyList& list);

// Reads the list from cacheFolder (any thread); false, with list empty, when the file is
// missing, damaged or foreign.
bool ReadEarlyListFile(const std::string& cacheFolder, EarlyList& list);
// Whether a list read still holds: the configured libraries' files, the drawing digest of
// the settings in use and "plib_last" of section "qurix" are as it recorded them.
bool EarlyListMatches(const EarlyList& list, const CProfile& profile,
                      const std::string& configFolder, uint64_t drawing);

// Reads the file on a thread of its own while the window is built, and makes
// the drawing digest there too when given how (it makes fonts: a few milliseconds): a
// start then only compares them with the settings. The thread ends with the reader.
class CEarlyListReader {
public:
    explicit CEarlyListReader(std::string cacheFolder, std::function<uint64_t()> drawing = {});
    const std::string& CacheFolder() const { return cacheFolder_; }
    // Waits for the read; false (list empty) when ReadEarlyListFile was. The digest made,
    // if any, goes to drawing. Once.
    bool Take(EarlyList& list, std::optional<uint64_t>& drawing);

private:
    std::string cacheFolder_;
    std::function<uint64_t()> makeDrawing_;
    EarlyList list_;
    bool read_ = false;
    std::optional<uint64_t> drawing_;
    std::jthread thread_;
};
// Written beside its final name and renamed into place.
bool SaveEarlyList(const std::string& cacheFolder, const EarlyListParts& parts);

}  // namespace qurix

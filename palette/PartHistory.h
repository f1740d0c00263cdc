#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qurix {

class CLibEntry;
class CLibrarySet;
class CPartLibrary;

// A part by where it lives, as kept across runs: the library's path as it was loaded and
// the part's name, both bytes.
struct PartKey {
    std::string libraryPath;
    std::string partName;
    bool operator==(const PartKey&) const = default;
};

struct RecentPart {
    PartKey key;
    int32_t uses = 0;
};

// The parts dropped lately and the user's favourites, kept in the palette's own per-user
// file (never in the editor's INI).
class CPartHistory {
public:
    static constexpr int32_t MAX_RECENT = 30;

    // Newest first.
    const std::vector<RecentPart>& Recent() const { return recent_; }
    // A drop the target accepted: the part moves to the front and counts one more use;
    // the oldest beyond MAX_RECENT goes.
    void RecordDrop(const PartKey& key);
    bool RemoveRecent(const PartKey& key);

    // In the user's own order.
    const std::vector<PartKey>& Favourites() const { return favourites_; }
    bool IsFavourite(const PartKey& key) const;
    // Appended at the end; false when it is one already.
    bool AddFavourite(const PartKey& key);
    bool RemoveFavourite(const PartKey& key);
    // Moves the favourite at from to position to; false when either is out of range.
    bool MoveFavourite(int32_t from, int32_t to);

    // How search ranks a part within its rank group, lower first: favourites in their order,
    // then recent parts newest first, then the rest (all alike).
    int32_t Preference(std::string_view libraryPath, std::string_view partName) const;

    // The file's bytes: a header line, then one line per part ("R", uses, path, name or
    // "F", path, name, separated by tabs, bytes below 0x20, 0x7F and '%' as %XX).
    std::string Serialize() const;
    // False, and nothing changed, for bytes that are not such a file.
    bool Parse(std::string_view bytes);

    enum class LoadResult { Loaded, Missing, Damaged };
    // A damaged or unreadable file leaves the lists empty; the caller says so.
    LoadResult Load(const std::string& path);
    // Replaces the file as a whole (a crash leaves the old or the new file, never half of
    // one), making its folder when needed. False when it could not be written.
    bool Save(const std::string& path) const;

private:
    std::vector<RecentPart> recent_;
    std::vector<PartKey> favourites_;
};

// The history file in the palette's per-user folder; "" when there is none.
std::string PartHistoryPath();

// A kept part found again in the loaded libraries.
struct ResolvedPart {
    enum class Gone { None, Library, Part };
    PartKey key;
    int32_t uses = 0;
    const CPartLibrary* library = nullptr;  // null when gone
    const CLibEntry* entry = nullptr;       // null when gone
    Gone gone = Gone::None;
};

// Each part in the given order, with its library and entry, or why it cannot be found.
std::vector<ResolvedPart> ResolveRecent(const CPartHistory& history, const CLibrarySet& set);
std::vector<ResolvedPart> ResolveFavourites(const CPartHistory& history, const CLibrarySet& set);

// Why a gone part cannot be placed, with "%1" for the library's path (decoded by the
// front end); null for one that is there.
const char* GoneReasonText(const ResolvedPart& part);

}  // namespace qurix

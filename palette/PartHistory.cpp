#include "palette/PartHistory.h"

#include <algorithm>
#include <charconv>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "core/platform/FileIo.h"
#include "core/platform/FileReplace.h"
#include "core/platform/FileReplaceSteps.h"
#include "core/platform/Paths.h"
#include "palette/ConfigLocation.h"
#include "palette/Texts.h"

namespace qurix {

namespace {

constexpr std::string_view HEADER = "qurix-parts 1";
constexpr int32_t MAX_FAVOURITES = 1000;
constexpr int32_t MAX_USES = 1000000000;
// Another palette that writes between our read and our replace wins a retry, not the race.
constexpr int SAVE_ATTEMPTS = 3;

void AppendEscaped(std::string& out, std::string_view bytes) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '%') {
            out += '%';
            out += HEX[c >> 4];
            out += HEX[c & 0x0F];
        } else {
            out += ch;
        }
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Unescape(std::string_view field, std::string& out) {
    out.clear();
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return false;
        const int high = HexValue(field[i + 1]);
        const int low = HexValue(field[i + 2]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    // A NUL could never be dragged, and an empty text names nothing.
    return !out.empty() && out.find('\0') == std::string::npos;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

std::vector<ResolvedPart> Resolve(const std::vector<RecentPart>& parts, const CLibrarySet& set) {
    std::vector<ResolvedPart> resolved;
    resolved.reserve(parts.size());
    for (const RecentPart& part : parts) {
        ResolvedPart r{part.key, part.uses, nullptr, nullptr, ResolvedPart::Gone::Library};
        for (int32_t i = 0; i < set.Count() && r.library == nullptr; ++i) {
            const CPartLibrary* library = set.GetLibrary(i);
            if (library->Path() == part.key.libraryPath) r.library = library;
        }
        if (r.library != nullptr) r.entry = r.library->FindEntry(part.key.partName);
        if (r.library != nullptr)
            r.gone = r.entry ? ResolvedPart::Gone::None : ResolvedPart::Gone::Part;
        if (r.entry == nullptr) r.library = nullptr;
        resolved.push_back(std::move(r));
    }
    return resolved;
}

}  // namespace

void CPartHistory::RecordDrop(const PartKey& key) {
    int32_t uses = 1;
    const auto found = std::find_if(recent_.begin(), recent_.end(),
                                    [&](const RecentPart& part) { return part.key == key; });
    if (found != recent_.end()) {
        uses = std::min(found->uses + 1, MAX_USES);
        recent_.erase(found);
    }
    recent_.insert(recent_.begin(), RecentPart{key, uses});
    if (recent_.size() > static_cast<size_t>(MAX_RECENT)) recent_.resize(MAX_RECENT);
}

bool CPartHistory::RemoveRecent(const PartKey& key) {
    return std::erase_if(recent_, [&](const RecentPart& part) { return part.key == key; }) > 0;
}

bool CPartHistory::IsFavourite(const PartKey& key) const {
    return std::find(favourites_.begin(), favourites_.end(), key) != favourites_.end();
}

bool CPartHistory::AddFavourite(const PartKey& key) {
    if (IsFavourite(key) || favourites_.size() >= static_cast<size_t>(MAX_FAVOURITES)) {
        return false;
    }
    favourites_.push_back(key);
    return true;
}

bool CPartHistory::RemoveFavourite(const PartKey& key) {
    return std::erase(favourites_, key) > 0;
}

bool CPartHistory::MoveFavourite(int32_t from, int32_t to) {
    const auto n = static_cast<int32_t>(favourites_.size());
    if (from < 0 || from >= n || to < 0 || to >= n) return false;
    const auto first = favourites_.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else {
        std::rotate(first + to, first + from, first + from + 1);
    }
    return true;
}

int32_t CPartHistory::Preference(std::string_view libraryPath, std::string_view partName) const {
    // Names differ sooner than paths: compared first, as every search hit asks.
    const auto same = [&](const PartKey& key) {
        return key.partName == partName && key.libraryPath == libraryPath;
    };
    const auto n = static_cast<int32_t>(favourites_.size());
    for (int32_t i = 0; i < n; ++i) {
        if (same(favourites_[static_cast<size_t>(i)])) return i;
    }
    for (size_t i = 0; i < recent_.size(); ++i) {
        if (same(recent_[i].key)) return n + static_cast<int32_t>(i);
    }
    return MAX_FAVOURITES + MAX_RECENT;
}

std::string CPartHistory::Serialize() const {
    std::string out(HEADER);
    out += '\n';
    for (const RecentPart& part : recent_) {
        out += "R\t" + std::to_string(part.uses) + '\t';
        AppendEscaped(out, part.key.libraryPath);
        out += '\t';
        AppendEscaped(out, part.key.partName);
        out += '\n';
    }
    for (const PartKey& key : favourites_) {
        out += "F\t";
        AppendEscaped(out, key.libraryPath);
        out += '\t';
        AppendEscaped(out, key.partName);
        out += '\n';
    }
    return out;
}

bool CPartHistory::Parse(std::string_view bytes) {
    if (!bytes.starts_with(HEADER) || bytes.size() == HEADER.size() ||
        (bytes[HEADER.size()] != '\n' && bytes[HEADER.size()] != '\r')) {
        return false;
    }
    CPartHistory parsed;
    size_t start = bytes.find('\n') + 1;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        // A file an editor saved with CR LF reads the same.
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty()) continue;
        const std::vector<std::string_view> fields = SplitTabs(line);
        PartKey key;
        if (fields[0] == "R" && fields.size() == 4) {
            int32_t uses = 0;
            const auto [end, error] =
                std::from_chars(fields[1].data(), fields[1].data() + fields[1].size(), uses);
            if (error != std::errc() || end != fields[1].data() + fields[1].size() || uses < 1) {
                return false;
            }
            if (!Unescape(fields[2], key.libraryPath) || !Unescape(fields[3], key.partName)) {
                return false;
            }
            // A part listed twice keeps its first (newest) place.
            if (parsed.recent_.size() < static_cast<size_t>(MAX_RECENT) &&
                std::none_of(parsed.recent_.begin(), parsed.recent_.end(),
                             [&](const RecentPart& p) { return p.key == key; })) {
                parsed.recent_.push_back({std::move(key), std::min(uses, MAX_USES)});
            }
        } else if (fields[0] == "F" && fields.size() == 3) {
            if (!Unescape(fields[1], key.libraryPath) || !Unescape(fields[2], key.partName)) {
                return false;
            }
            parsed.AddFavourite(key);
        } else {
            return false;
        }
    }
    *this = std::move(parsed);
    return true;
}

CPartHistory::LoadResult CPartHistory::Load(const std::string& path) {
    recent_.clear();
    favourites_.clear();
    if (path.empty() || IsMissingFile(path)) return LoadResult::Missing;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return LoadResult::Damaged;
    return Parse(bytes) ? LoadResult::Loaded : LoadResult::Damaged;
}

bool CPartHistory::Save(const std::string& path) const {
    if (path.empty()) return false;
    const std::string folder = FolderOfPath(path);
    // The per-user folder itself may not exist yet on a fresh account.
    if (!folder.empty() && !IsFolder(folder) && !MakeFolders(folder)) return false;
    const std::string bytes = Serialize();
    for (int attempt = 0; attempt < SAVE_ATTEMPTS; ++attempt) {
        FileSnapshot snapshot;
        if (ReadSnapshot(path, snapshot) == SnapshotRead::Failed) return false;
        // Changed under us: read it again and replace that.
        const ReplaceMethod method = ReplaceIfUnchanged(path, snapshot, bytes, ReplaceOptions{});
        if (method != ReplaceMethod::Changed) return method != ReplaceMethod::Failed;
    }
    return false;
}

std::string PartHistoryPath() {
    const std::string folder = PaletteDataFolder();
    return folder.empty() ? std::string() : CombinePath(folder, "parts-history.txt");
}

std::vector<ResolvedPart> ResolveRecent(const CPartHistory& history, const CLibrarySet& set) {
    return Resolve(history.Recent(), set);
}

std::vector<ResolvedPart> ResolveFavourites(const CPartHistory& history, const CLibrarySet& set) {
    std::vector<RecentPart> parts;
    parts.reserve(history.Favourites().size());
    for (const PartKey& key : history.Favourites()) parts.push_back({key, 0});
    return Resolve(parts, set);
}

const char* GoneReasonText(const ResolvedPart& part) {
    if (part.gone == ResolvedPart::Gone::Library) return texts::LIBRARY_GONE;
    return part.gone == ResolvedPart::Gone::Part ? texts::PART_GONE : nullptr;
}

}  // namespace qurix

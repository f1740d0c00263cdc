#include "palette/LibraryList.h"

#include <cctype>

#include "core/text/ByteText.h"

namespace qurix {

std::string LibraryDisplayName(const std::string& path) {
    // Shift-JIS names may hold 0x5C as the second byte of a character ("表" is 95 5C),
    // which is no separator; UTF-8 never does.
    const bool sjis = IsCp932Text(path);
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (sjis && IsCp932LeadByte(c)) {
            ++i;
            continue;
        }
        // A colon separates only a drive ("D:std.lib"); elsewhere it is part of the name.
        const bool drive = c == ':' && i == 1 && std::isalpha(static_cast<unsigned char>(path[0]));
        if (c == '/' || c == '\\' || drive) start = i + 1;
    }
    std::string name = path.substr(start);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

int32_t RestoredLibraryRow(const std::vector<std::string>& paths, int32_t remembered,
                           const std::string& placePath) {
    const auto n = static_cast<int32_t>(paths.size());
    for (int32_t row = 0; row < n && !placePath.empty(); ++row) {
        if (paths[static_cast<size_t>(row)] == placePath) remembered = row;
    }
    // A remembered row that no longer exists, or a negative one, becomes the first.
    return remembered < 0 || remembered >= n ? 0 : remembered;
}

LibraryRow LibraryRowAt(int32_t row, int32_t libraries, int32_t problems) {
    if (row == 0) return {LibraryRowKind::RecentParts, -1};
    if (row == 1) return {LibraryRowKind::Favourites, -1};
    const int32_t library = row - PART_LIST_ROWS;
    if (library < 0) return {};
    if (library < libraries) return {LibraryRowKind::Library, library};
    if (library - libraries < problems) return {LibraryRowKind::Problem, library - libraries};
    return {};
}

int32_t ReadLastLibrary(const CProfile& profile) {
    return profile.GetInt("qurix", "plib_last", 0);
}

bool WriteLastLibrary(const CProfile& profile, int32_t row) {
    return profile.WriteInt("qurix", "plib_last", row);
}

}  // namespace qurix

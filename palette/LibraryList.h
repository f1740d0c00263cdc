#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/profile/Profile.h"

namespace qurix {

// The library list's rules, whatever shows it.

// A library's row text: its file name without folder and extension ("D:\\lib\\std.lib"
// and "/lib/std.lib" both give "std"). Both kinds of separator count, since the INI
// may come from the editor on Windows; a colon only after a drive letter.
std::string LibraryDisplayName(const std::string& path);

// The row to select after a load, of the loaded libraries' paths: the library a reload
// puts back (placePath, when given and still there), else the remembered row, else 0.
int32_t RestoredLibraryRow(const std::vector<std::string>& paths, int32_t remembered,
                           const std::string& placePath);

// The list's rows: the recent parts and the favourites above the libraries, then the
// loaded libraries, then those that failed to load. The two part lists take no library
// number: "plib_last" and the cache count libraries only.
enum class LibraryRowKind { RecentParts, Favourites, Library, Problem, None };
inline constexpr int32_t PART_LIST_ROWS = 2;
struct LibraryRow {
    LibraryRowKind kind = LibraryRowKind::None;
    int32_t index = -1;  // the library's number or the problem's, else -1
};
LibraryRow LibraryRowAt(int32_t row, int32_t libraries, int32_t problems);
// The list row of a library's number.
inline int32_t LibraryListRow(int32_t library) {
    return library + PART_LIST_ROWS;
}

// The row selected last ("plib_last" in section "qurix").
int32_t ReadLastLibrary(const CProfile& profile);
bool WriteLastLibrary(const CProfile& profile, int32_t row);

}  // namespace qurix

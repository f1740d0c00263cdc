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

// The row selected last ("plib_last" in section "qurix").
int32_t ReadLastLibrary(const CProfile& profile);
bool WriteLastLibrary(const CProfile& profile, int32_t row);

}  // namespace qurix

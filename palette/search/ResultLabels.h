#pragma once
#include <string>
#include <vector>

#include "palette/PartsList.h"

namespace qurix {

// For each result, whether its label names its library: when another result has the same
// part name (the same part in two libraries), the name alone cannot tell them apart.
std::vector<bool> ResultsNamingLibrary(const std::vector<ListedPart>& results);

// What such a label adds to the part's name (UTF-8): the library's name on a second line
// under an icon, or " (library)" in a one-line list.
std::string LibrarySuffix(const CPartLibrary& library, bool oneLine);

}  // namespace qurix

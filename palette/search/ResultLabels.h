#pragma once
#include <vector>

#include "palette/PartsList.h"

namespace qurix {

// For each result, whether its label names its library: when another result has the same
// part name (the same part in two libraries), the name alone cannot tell them apart.
std::vector<bool> ResultsNamingLibrary(const std::vector<ListedPart>& results);

}  // namespace qurix

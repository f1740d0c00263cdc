#pragma once
#include <vector>

#include "core/search/SearchHit.h"

namespace qurix {

class CPartHistory;

// Within each rank of the hits, the favourites first (in their order), then the recent
// parts (newest first), then the rest in the order they came.
void PreferKeptParts(std::vector<SearchHit>& hits, const CPartHistory& history);

}  // namespace qurix

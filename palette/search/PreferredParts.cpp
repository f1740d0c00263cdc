#include "palette/search/PreferredParts.h"

#include <algorithm>
#include <utility>

#include "core/library/LibEntry.h"
#include "core/library/PartLibrary.h"
#include "palette/PartHistory.h"

namespace qurix {

void PreferKeptParts(std::vector<SearchHit>& hits, const CPartHistory& history) {
    if (history.Recent().empty() && history.Favourites().empty()) return;
    std::vector<std::pair<int32_t, SearchHit>> keyed;
    keyed.reserve(hits.size());
    for (const SearchHit& hit : hits) {
        const int32_t preference =
            hit.library != nullptr && hit.part != nullptr
                ? history.Preference(hit.library->Path(), hit.part->Name().View())
                : history.Preference({}, {});
        keyed.emplace_back(preference, hit);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.second.rank != b.second.rank) return a.second.rank < b.second.rank;
        return a.first < b.first;
    });
    for (size_t i = 0; i < hits.size(); ++i) hits[i] = keyed[i].second;
}

}  // namespace qurix

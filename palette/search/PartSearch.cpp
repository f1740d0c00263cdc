#include "palette/search/PartSearch.h"

#include "core/library/LibrarySet.h"

namespace qurix {

std::vector<SearchHit> CPartSearch::Find(const CLibrarySet& libraries, std::string_view query) {
    if (query.find_first_not_of(" \t\r\n") == std::string_view::npos) return {};
    if (!built_) {
        index_.Build(libraries);
        built_ = true;
    }
    return index_.Find(query);
}

void CPartSearch::Release() {
    index_.Clear();
    built_ = false;
}

}  // namespace qurix

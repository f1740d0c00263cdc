#pragma once
#include <string_view>
#include <vector>

#include "core/search/PartIndex.h"

namespace qurix {

class CLibrarySet;

// The search behind the search bar: an index of every part of the loaded libraries, made
// on the first search after a load and dropped with the libraries (it refers into them).
class CPartSearch {
public:
    // The parts matching query (UTF-8), best first; nothing for a blank query.
    std::vector<SearchHit> Find(const CLibrarySet& libraries, std::string_view query);
    // The libraries are about to go.
    void Release();
    // Whether the index of the loaded libraries is made (a search typed during a load is
    // run again once it is not).
    bool Ready() const { return built_; }

private:
    CPartIndex index_;
    bool built_ = false;
};

}  // namespace qurix

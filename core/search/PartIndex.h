#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/SearchHit.h"
#include "core/search/TextFolder.h"

namespace qurix {

class CLibrarySet;

// Every part of a library set with its name, alias names and note folded once, so that
// a query costs only comparisons. It refers into the set: build it again after the set
// is loaded again, and drop it before the set is released.
class CPartIndex {
public:
    // Folds every entry of every library, in slot order then entry order. A set stop ends
    // the build early, with the index cleared.
    void Build(const CLibrarySet& libraries, const std::atomic<bool>* stop = nullptr);
    void Clear();
    bool IsEmpty() const { return parts_.empty(); }
    int32_t PartCount() const { return static_cast<int32_t>(parts_.size()); }

    // The parts matching every term of query (bytes, decoded as library text is), best
    // rank first, ties in slot then entry order. Nothing for a query without terms.
    std::vector<SearchHit> Find(std::string_view query);

private:
    struct Part {
        int32_t slot;
        int32_t entry;
        const CPartLibrary* library;
        const CLibEntry* part;
        std::u16string name;
        int32_t group;  // the parts sharing this one's definition
    };
    struct Group {
        std::u16string note;
        std::vector<int32_t> members;
    };

    // The best rank one term has in the part; false when it matches nowhere.
    bool RankTerm(const Part& part, std::u16string_view term, SearchRank& rank) const;

    CTextFolder folder_;
    std::vector<Part> parts_;
    std::vector<Group> groups_;
};

}  // namespace qurix

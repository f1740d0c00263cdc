#pragma once
#include <cstdint>

namespace qurix {

class CLibEntry;
class CPartLibrary;

// How well a part matches a query, best first.
enum class SearchRank : int32_t {
    Exact,   // the whole name is the query
    Prefix,  // the name starts with the query
    Word,    // a term starts a word of the name
    Inside,  // a term is inside the name
    Alias,   // only alias names match
    Note,    // only the note matches
};
inline constexpr int32_t SEARCH_RANK_COUNT = 6;

// The word qurix-lib prints for a rank.
const char* SearchRankName(SearchRank rank);

// One part found, with where it lives. The pointers refer into the library set the
// index was built from.
struct SearchHit {
    int32_t slot = 0;   // the library's slot in the set
    int32_t entry = 0;  // the entry's position in its library
    const CPartLibrary* library = nullptr;
    const CLibEntry* part = nullptr;
    SearchRank rank = SearchRank::Note;
};

}  // namespace qurix

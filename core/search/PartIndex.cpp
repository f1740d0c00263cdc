#include "core/search/PartIndex.h"

#include <array>
#include <unordered_map>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"

namespace qurix {

const char* SearchRankName(SearchRank rank) {
    static constexpr std::array<const char*, SEARCH_RANK_COUNT> NAMES = {
        "exact", "prefix", "word", "inside", "alias", "note"};
    const auto i = static_cast<size_t>(rank);
    return i < NAMES.size() ? NAMES[i] : "note";
}

void CPartIndex::Clear() {
    parts_.clear();
    groups_.clear();
}

void CPartIndex::Build(const CLibrarySet& libraries, const std::atomic<bool>* stop) {
    Clear();
    // Entries sharing a definition are aliases of each other, within one library.
    std::unordered_map<const CComponentDef*, int32_t> groupOf;
    for (int32_t slot = 0; slot < libraries.Count(); ++slot) {
        const CPartLibrary* library = libraries.GetLibrary(slot);
        if (library == nullptr) continue;
        groupOf.clear();
        for (int32_t e = 0; e < library->EntryCount(); ++e) {
            if (stop != nullptr && e % 1024 == 0 && stop->load(std::memory_order_relaxed)) {
                Clear();
                return;
            }
            const CLibEntry* entry = library->Entry(e);
            if (entry == nullptr) continue;
            const CComponentDef* def = entry->ComponentDef();
            int32_t group = -1;
            if (def != nullptr) {
                const auto found = groupOf.find(def);
                if (found != groupOf.end()) group = found->second;
            }
            if (group < 0) {
                group = static_cast<int32_t>(groups_.size());
                groups_.push_back({folder_.Fold(entry->Note()), {}});
                if (def != nullptr) groupOf.emplace(def, group);
            }
            groups_[static_cast<size_t>(group)].members.push_back(
                static_cast<int32_t>(parts_.size()));
            parts_.push_back({slot, e, library, entry, folder_.Fold(entry->Name()), group});
        }
    }
}

bool CPartIndex::RankTerm(const Part& part, std::u16string_view term, SearchRank& rank) const {
    const std::u16string_view name = part.name;
    size_t at = name.find(term);
    if (at != std::u16string_view::npos) {
        for (; at != std::u16string_view::npos; at = name.find(term, at + 1)) {
            if (IsWordStart(name, at)) {
                rank = SearchRank::Word;
                return true;
            }
        }
        rank = SearchRank::Inside;
        return true;
    }
    const Group& group = groups_[static_cast<size_t>(part.group)];
    if (group.members.size() > 1) {
        for (const int32_t other : group.members) {
            const Part& alias = parts_[static_cast<size_t>(other)];
            if (&alias != &part && alias.name.find(term) != std::u16string::npos) {
                rank = SearchRank::Alias;
                return true;
            }
        }
    }
    if (group.note.find(term) != std::u16string::npos) {
        rank = SearchRank::Note;
        return true;
    }
    return false;
}

std::vector<SearchHit> CPartIndex::Find(std::string_view query) {
    const std::u16string whole = folder_.Fold(query);
    const std::vector<std::u16string> terms = SplitTerms(whole);
    if (terms.empty()) return {};

    // One list per rank keeps the index order within a rank without sorting.
    std::array<std::vector<SearchHit>, SEARCH_RANK_COUNT> byRank;
    for (const Part& part : parts_) {
        SearchRank best;
        if (part.name == whole) {
            best = SearchRank::Exact;
        } else if (part.name.starts_with(whole)) {
            best = SearchRank::Prefix;
        } else {
            best = SearchRank::Note;
        }
        bool all = true;
        for (const std::u16string& term : terms) {
            SearchRank rank;
            if (!RankTerm(part, term, rank)) {
                all = false;
                break;
            }
            if (rank < best) best = rank;
        }
        if (!all) continue;
        byRank[static_cast<size_t>(best)].push_back(
            {part.slot, part.entry, part.library, part.part, best});
    }
    std::vector<SearchHit> hits;
    size_t total = 0;
    for (const auto& list : byRank) total += list.size();
    hits.reserve(total);
    for (const auto& list : byRank) hits.insert(hits.end(), list.begin(), list.end());
    return hits;
}

}  // namespace qurix

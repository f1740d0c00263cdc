#include "palette/search/ResultLabels.h"

#include <string_view>
#include <unordered_map>

#include "core/library/LibEntry.h"
#include "core/library/PartLibrary.h"
#include "palette/LibraryList.h"
#include "palette/PartSummary.h"

namespace qurix {

std::vector<bool> ResultsNamingLibrary(const std::vector<ListedPart>& results) {
    std::unordered_map<std::string_view, int> seen;
    for (const ListedPart& r : results) {
        if (r.entry != nullptr) ++seen[r.entry->Name()];
    }
    std::vector<bool> naming;
    naming.reserve(results.size());
    for (const ListedPart& r : results) {
        naming.push_back(r.entry != nullptr && seen[r.entry->Name()] > 1);
    }
    return naming;
}

std::string LibrarySuffix(const CPartLibrary& library, bool oneLine) {
    const std::string name = ReadableText(LibraryDisplayName(library.Path()));
    return oneLine ? " (" + name + ")" : "\n" + name;
}

}  // namespace qurix

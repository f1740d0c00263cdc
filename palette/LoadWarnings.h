#pragma once
#include <string>
#include <vector>

#include "core/profile/Profile.h"

namespace qurix {

class CLibrarySet;
class CPartLibrary;

// Something a load that succeeded should still tell: it read less than the file or the
// INI holds. path is the library row it belongs to.
struct LoadWarning {
    std::string path;
    std::string text;  // a sentence for the note pane (UTF-8)
};

// "LIB" keys with a value after the first empty one: the list ends there, so they are
// not read. Empty when there is no gap.
std::vector<std::string> KeysAfterGap(const CProfile& profile);

// Whether the library's file stops before its closing line; name is then the part it
// stops inside ("" when it stops elsewhere, in a pattern for one).
bool EndsEarly(const CPartLibrary& library, std::string& name);

// Both, for every loaded library; the keys after a gap belong to the last library read.
std::vector<LoadWarning> CollectLoadWarnings(const CProfile& profile, const CLibrarySet& set);

}  // namespace qurix

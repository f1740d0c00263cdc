#pragma once
#include <cstdint>
#include <string>

#include "render/Scale.h"

namespace qurix {

// What the status bar's permanent fields tell, whatever shows them.
struct StatusFacts {
    bool searching = false;
    bool preparing = false;  // the search index is being made
    int32_t shown = 0;       // results while searching, else the parts listed
    int32_t problems = 0;    // libraries that did not load
    Scale zoom;              // the preview's
    bool fitted = false;     // the zoom follows the pane
};

struct StatusFields {
    std::string parts;     // "12 件" while searching, else "34 個のパーツ"
    std::string problems;  // "" when every library loaded
    std::string zoom;      // "1:2", with "(合わせる)" while fitted
};

StatusFields MakeStatusFields(const StatusFacts& facts);

}  // namespace qurix

#include "palette/StatusFields.h"

#include "palette/PreviewState.h"
#include "palette/Texts.h"

namespace qurix {

StatusFields MakeStatusFields(const StatusFacts& facts) {
    StatusFields fields;
    const std::string shown = std::to_string(facts.shown);
    if (facts.searching) {
        fields.parts = facts.preparing ? std::string(texts::SEARCH_PREPARING)
                                       : FormatText(texts::SEARCH_COUNT, shown);
    } else {
        fields.parts = FormatText(texts::STATUS_PARTS, shown);
    }
    if (facts.problems > 0) {
        fields.problems = FormatText(texts::STATUS_PROBLEMS, std::to_string(facts.problems));
    }
    fields.zoom = FormatText(facts.fitted ? texts::STATUS_ZOOM_FITTED : texts::STATUS_ZOOM,
                             FormatPreviewZoom(facts.zoom));
    return fields;
}

}  // namespace qurix

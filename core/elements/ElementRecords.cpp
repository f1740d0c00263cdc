#include "core/elements/ElementRecords.h"

#include "core/elements/ArcElement.h"
#include "core/elements/CircleElement.h"
#include "core/elements/LineElement.h"
#include "core/elements/PolygonElement.h"
#include "core/elements/TextElement.h"

namespace qurix {

std::unique_ptr<CPatternElement> CreateElementByTag(std::string_view tag) {
    if (tag == "+L") return std::make_unique<CLineElement>();
    if (tag == "+C") return std::make_unique<CCircleElement>();
    if (tag == "+PG") return std::make_unique<CPolygonElement>();
    if (tag == "+AR") return std::make_unique<CArcElement>();
    if (tag == "+TX") return std::make_unique<CTextElement>();
    return nullptr;
}

bool PenFields::Read(std::string_view key, std::string_view value, bool withFill) {
    if (key == "W") {
        width = ParseInt(value);
    } else if (key == "S") {
        style = ParseInt(value);
    } else if (withFill && key == "F") {
        fill = ParseInt(value);
    } else {
        return false;
    }
    return true;
}

}  // namespace qurix

#pragma once
// How element records are recognised and read: the one place that maps a start tag to an
// element kind, and the form every element's Read gives to the shared record loop.
#include <memory>
#include <string>
#include <string_view>

#include "core/elements/PatternElement.h"
#include "core/records/RecordLoop.h"

namespace qurix {

// A default-constructed element for "+L", "+C", "+PG", "+AR" or "+TX" (the whole token);
// null for any other token.
std::unique_ptr<CPatternElement> CreateElementByTag(std::string_view tag);

// The pen keys of the drawn elements: "W" width, "S" style and, where the element has a
// fill, "F"; reading starts from the reading defaults.
struct PenFields {
    int32_t width = CPatternElement::DEFAULT_WIDTH;
    int32_t style = CPatternElement::DEFAULT_STYLE;
    int32_t fill = CPatternElement::NOT_FILLED;

    // Takes the value when key is one of the pen's; false for any other key. Inline: it
    // sees every data token of every drawn element.
    bool Read(std::string_view key, std::string_view value, bool withFill) {
        if (key.size() != 1) return false;
        if (key[0] == 'W') {
            width = ParseInt(value);
        } else if (key[0] == 'S') {
            style = ParseInt(value);
        } else if (withFill && key[0] == 'F') {
            fill = ParseInt(value);
        } else {
            return false;
        }
        return true;
    }
};

// Element records take keys and values as NUL-terminated texts, skip nested records and
// give no reasons of their own: the pattern decides what a broken element means. A
// foreign end tag that ends the record is left in strayEndTag.
inline RecordSyntax ElementSyntax(const char* endTag, std::string& strayEndTag) {
    return RecordSyntax{endTag, DataForm::Element, &strayEndTag};
}

}  // namespace qurix

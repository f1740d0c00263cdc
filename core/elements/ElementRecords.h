#pragma once
// How element records are recognised and read: the one place that maps a start tag to an
// element kind, and the form every element's Read gives to the shared record loop.
#include <memory>
#include <string>

#include "core/elements/PatternElement.h"
#include "core/records/RecordLoop.h"

namespace qurix {

// A default-constructed element for "+L", "+C", "+PG", "+AR" or "+TX" (the whole token);
// null for any other token.
std::unique_ptr<CPatternElement> CreateElementByTag(const std::string& tag);

// Element records take keys and values as NUL-terminated texts, skip nested records and
// give no reasons of their own: the pattern decides what a broken element means. A
// foreign end tag that ends the record is left in strayEndTag.
inline RecordSyntax ElementSyntax(const char* endTag, std::string& strayEndTag) {
    return RecordSyntax{endTag, DataForm::Element, &strayEndTag};
}

}  // namespace qurix

#pragma once
// How element records are recognised and read: the one place that maps a start tag to an
// element kind and skips records nobody knows. Used by the pattern reader and by every
// element's Read.
#include <memory>
#include <string>

#include "core/elements/PatternElement.h"
#include "core/records/RecordReader.h"

namespace qurix {

// A default-constructed element for "+L", "+C", "+PG", "+AR" or "+TX" (the whole token);
// null for any other token.
std::unique_ptr<CPatternElement> CreateElementByTag(const std::string& tag);

// Skips a nested record whose start tag was just read: everything up to the first token
// equal to the tag with its '+' turned into '-' (nesting is not counted). False when the
// input ends first.
bool SkipNestedRecord(CRecordReader& reader, const std::string& startTag);

// Splits a data token the way the element and pattern readers use it: false (ignore the
// token) without a colon, with the colon first or last. The key and the value are cut at
// an embedded NUL, since the records keep NUL-terminated text; a value that becomes empty
// that way is ignored as well.
bool SplitElementData(const std::string& token, std::string& key, std::string& value);

// How an element record ended.
enum class RecordEnd {
    EndTag,      // its own end tag
    EndOfInput,  // the input ended first: the record counts as complete
    Failed,      // a foreign end tag, a nested record that never ends, or onData gave up
};

// The common reading loop of the element records: reads tokens up to endTag, skips
// nested records and hands every usable data token to onData(key, value). onData returns
// false to abandon the record, having positioned the reader itself. A foreign end tag
// that ends the record is left in strayEndTag (cleared first).
template <typename OnData>
RecordEnd ReadElementRecord(CRecordReader& reader, const char* endTag, std::string& strayEndTag,
                            OnData&& onData) {
    strayEndTag.clear();
    std::string token;
    std::string key;
    std::string value;
    for (;;) {
        if (reader.ReadToken(token) == -1) return RecordEnd::EndOfInput;
        if (IsEndTag(token)) {
            if (token == endTag) return RecordEnd::EndTag;
            strayEndTag = token;
            return RecordEnd::Failed;
        }
        if (IsStartTag(token)) {
            if (!SkipNestedRecord(reader, token)) return RecordEnd::Failed;
            continue;
        }
        if (!SplitElementData(token, key, value)) continue;
        if (!onData(key, value)) return RecordEnd::Failed;
    }
}

}  // namespace qurix

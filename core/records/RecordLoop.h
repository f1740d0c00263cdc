#pragma once
// The one loop by which every record of the library format is read: it handles the
// tags, the nesting, the data tokens and the reasons of failure; each record reader only
// states what its keys and its own nested records mean.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/records/RecordReader.h"

namespace qurix {

// How a record ended.
enum class RecordEnd {
    EndTag,      // its own end tag (or a nested record that closed it as well)
    EndOfInput,  // the input ended first
    Failed,      // a foreign end tag, a nested record that never ends, or the reader gave up
};

// How data tokens ("key:value") reach the reader; tokens without a key are never passed.
enum class DataForm {
    Text,     // the key as written, the value up to its first NUL (possibly empty)
    Element,  // key and value each up to its first NUL; a token where either is empty is dropped
    Whole,    // every token that is not a tag, whole, as the value (the key empty)
};

// What the reader made of a nested start tag.
enum class Nested {
    Skip,        // not the reader's own: skipped up to its end tag
    Read,        // read (or let pass) by the reader
    EndsRecord,  // it closed the enclosing record as well
    Failed,      // the reader gave up, having reported why
};

// The faults the loop meets by itself; the reader words them.
enum class RecordFault {
    StrayEndTag,      // a foreign end tag ended the record
    NestedNeverEnds,  // a skipped record (started on the line given) never ends
};

struct RecordSyntax {
    const char* endTag;
    DataForm data = DataForm::Text;
    // Receives the foreign end tag that ended the record (cleared first); may be null.
    std::string* strayEndTag = nullptr;
    // Null: the end of input completes the record (EndOfInput); else it fails the record
    // for this reason.
    const char* endOfInputReason = nullptr;
};

// Record values are NUL-terminated texts: an escaped %00 ends the value there.
inline std::string ValueText(const std::string& value) {
    return std::string(value.c_str());
}

// A token as a reason shows it: control bytes escaped ("\x1b") and more than
// MAX_REASON_TOKEN bytes cut with "…", so that a reason printed to a terminal cannot drive it.
inline constexpr size_t MAX_REASON_TOKEN = 80;
std::string ReasonToken(std::string_view token);

// Splits a data token as form says; false when the token is to be ignored.
bool SplitRecordData(DataForm form, const std::string& token, std::string& key, std::string& value);
// The same as views into token (inline: it runs for every data token of a library).
inline bool SplitRecordData(DataForm form, std::string_view token, std::string_view& key,
                            std::string_view& value) {
    if (form == DataForm::Whole) {
        key = {};
        value = token;
        return true;
    }
    // One pass for the colon and the NULs that end keys and values (tokens are short).
    const size_t n = token.size();
    size_t colon = 0;
    size_t keyEnd = n;  // the key's first NUL
    for (; colon < n && token[colon] != ':'; ++colon) {
        if (token[colon] == '\0' && keyEnd == n) keyEnd = colon;
    }
    if (colon == n || colon == 0) return false;
    size_t valueEnd = colon + 1;
    while (valueEnd < n && token[valueEnd] != '\0') ++valueEnd;
    value = token.substr(colon + 1, valueEnd - colon - 1);
    if (form == DataForm::Text) {
        key = token.substr(0, colon);
        return true;
    }
    key = token.substr(0, std::min(colon, keyEnd));
    return !key.empty() && !value.empty();
}

// The same for a token whose shape the reader found: without a NUL the colon alone
// decides, and the bytes are not read again.
inline bool SplitRecordData(DataForm form, std::string_view token, const TokenShape& shape,
                            std::string_view& key, std::string_view& value) {
    if (form == DataForm::Whole || shape.hasNul) {
        return SplitRecordData(form, token, key, value);
    }
    // One compare for a colon that is missing (npos) or first (0); views made without
    // substr's range checks, which the shape has made already.
    const size_t colon = shape.colon;
    if (colon - 1 >= token.size()) return false;
    key = std::string_view(token.data(), colon);
    value = std::string_view(token.data() + colon + 1, token.size() - colon - 1);
    return form == DataForm::Text || !value.empty();
}

// The reason for a record that fails the way the library records do: a nested record that
// never ends is named with the line it started on.
std::string NestedNeverEndsReason(const std::string& tag, int32_t line);

// Readers that know no nested records skip them all.
struct SkipAllNested {
    Nested operator()(std::string_view, int32_t) const { return Nested::Skip; }
};

// Calls f with the texts as views when it takes them, else as strings (readers off the
// hot path may keep taking strings).
template <typename F>
Nested CallWithTexts(F& f, std::string_view tag, int32_t line) {
    if constexpr (std::is_invocable_v<F&, std::string_view, int32_t>) {
        return f(tag, line);
    } else {
        return f(std::string(tag), line);
    }
}
template <typename F>
bool CallWithTexts(F& f, std::string_view a, std::string_view b) {
    if constexpr (std::is_invocable_v<F&, std::string_view, std::string_view>) {
        return f(a, b);
    } else {
        return f(std::string(a), std::string(b));
    }
}
// Readers whose failures are told by the enclosing record give no reason.
struct NoReason {
    std::string operator()(RecordFault, const std::string&, int32_t) const { return {}; }
};

// Reads tokens up to syntax.endTag; the reader stands just after the start tag.
// onNested(tag, line) decides about each nested start tag, onData(key, value) takes each
// data token and returns false to abandon the record (having positioned the reader
// itself), reason(fault, tag, line) words a fault for the listener (the tag as
// ReasonToken shows it). Tags, keys and values given as views are valid only until the
// callback reads on.
template <typename OnData, typename OnNested = SkipAllNested, typename Reason = NoReason>
RecordEnd ReadRecord(CRecordReader& reader, const RecordSyntax& syntax, OnData&& onData,
                     OnNested&& onNested = {}, Reason&& reason = {}) {
    constexpr bool SILENT = std::is_same_v<std::decay_t<Reason>, NoReason>;
    const auto fail = [&](RecordFault fault, const std::string& tag, int32_t line) {
        if constexpr (SILENT) {
            static_cast<void>(fault), static_cast<void>(tag), static_cast<void>(line);
        } else {
            reader.Fail([&] { return reason(fault, ReasonToken(tag), line); });
        }
        return RecordEnd::Failed;
    };
    if (syntax.strayEndTag) syntax.strayEndTag->clear();
    std::string_view token;
    TokenShape shape;
    std::string_view key;
    std::string_view value;
    for (;;) {
        if (!reader.NextToken(token, shape)) {
            if (!syntax.endOfInputReason) return RecordEnd::EndOfInput;
            reader.Fail(syntax.endOfInputReason);
            return RecordEnd::Failed;
        }
        if (IsEndTag(token)) {
            if (token == syntax.endTag) return RecordEnd::EndTag;
            const std::string tag(token);
            if (syntax.strayEndTag) *syntax.strayEndTag = tag;
            return fail(RecordFault::StrayEndTag, tag, reader.TokenLine());
        }
        if (IsStartTag(token)) {
            // Taken before the nested record is read on.
            const int32_t line = reader.TokenLine();
            switch (CallWithTexts(onNested, token, line)) {
                case Nested::Read:
                    continue;
                case Nested::EndsRecord:
                    return RecordEnd::EndTag;
                case Nested::Failed:
                    return RecordEnd::Failed;
                case Nested::Skip:
                    break;
            }
            // Held, since skipping reads past the token's bytes.
            const std::string tag(token);
            if (SkipNestedRecord(reader, tag)) continue;
            return fail(RecordFault::NestedNeverEnds, tag, line);
        }
        if (!SplitRecordData(syntax.data, token, shape, key, value)) continue;
        if (!CallWithTexts(onData, key, value)) return RecordEnd::Failed;
    }
}

}  // namespace qurix

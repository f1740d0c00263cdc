#pragma once
#include <string>

#include "core/elements/PatternElement.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"
#include "tests/core/TextReader.h"

namespace qurix::test {

// Reads one element record (the text after its start tag) into e; returns Read's answer.
inline bool ReadInto(CPatternElement& e, const std::string& body, std::string* after = nullptr) {
    TextReader m(body);
    const bool ok = e.Read(m.reader);
    if (after) *after = m.Next();
    return ok;
}

// What Write produces, with or without an origin.
inline std::string WriteOf(const CPatternElement& e, const Point* origin = nullptr) {
    std::string out;
    CRecordWriter w(&out);
    e.Write(w, origin);
    return out;
}

}  // namespace qurix::test

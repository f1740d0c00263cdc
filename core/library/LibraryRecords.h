#pragma once
// Small helpers shared by the record readers of the library format.
#include <cstdint>
#include <string>

#include "core/records/RecordReader.h"

namespace qurix {

// Skips a nested record the reader does not know ("+X" up to the first "-X").
// False, with the reason reported, when the input ends before the end tag.
inline bool SkipNestedRecord(CRecordReader& reader, const std::string& tag, int32_t line) {
    if (SkipRecord(reader, tag)) return true;
    if (!reader.Listening()) return false;
    return reader.Fail("record " + tag + " from line " + std::to_string(line) + " never ends");
}

// Values are NUL-terminated texts: an escaped %00 ends the value there.
inline std::string ValueText(const std::string& value) {
    return std::string(value.c_str());
}

}  // namespace qurix

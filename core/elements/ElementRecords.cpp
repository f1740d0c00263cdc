#include "core/elements/ElementRecords.h"

#include <cstring>

namespace qurix {

std::unique_ptr<CPatternElement> CreateElementByTag(const std::string& /*tag*/) {
    // The element kinds are being added; until then every element record is skipped.
    return nullptr;
}

bool SkipNestedRecord(CRecordReader& reader, const std::string& startTag) {
    return SkipRecord(reader, startTag);
}

bool SplitElementData(const std::string& token, std::string& key, std::string& value) {
    if (!SplitDataToken(token, key, value)) return false;
    key.resize(std::strlen(key.c_str()));
    value.resize(std::strlen(value.c_str()));
    return !key.empty() && !value.empty();
}

}  // namespace qurix

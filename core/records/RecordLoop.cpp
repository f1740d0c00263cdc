#include "core/records/RecordLoop.h"

#include <cstring>

namespace qurix {

bool SplitRecordData(DataForm form, const std::string& token, std::string& key,
                     std::string& value) {
    switch (form) {
        case DataForm::Whole:
            key.clear();
            value = token;
            return true;
        case DataForm::Text:
            if (!SplitDataToken(token, key, value)) return false;
            value.resize(std::strlen(value.c_str()));
            return true;
        case DataForm::Element:
            if (!SplitDataToken(token, key, value)) return false;
            key.resize(std::strlen(key.c_str()));
            value.resize(std::strlen(value.c_str()));
            return !key.empty() && !value.empty();
    }
    return false;
}

std::string NestedNeverEndsReason(const std::string& tag, int32_t line) {
    return "record " + tag + " from line " + std::to_string(line) + " never ends";
}

}  // namespace qurix

#include "core/records/RecordLoop.h"

#include <algorithm>
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

std::string ReasonToken(std::string_view token) {
    static const char HEX[] = "0123456789abcdef";
    const size_t shown = std::min(token.size(), MAX_REASON_TOKEN);
    std::string out;
    out.reserve(shown + 8);
    for (size_t i = 0; i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(token[i]);
        if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += HEX[c >> 4];
            out += HEX[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    if (shown < token.size()) out += "\xE2\x80\xA6";  // "…"
    return out;
}

std::string NestedNeverEndsReason(const std::string& tag, int32_t line) {
    return "record " + tag + " from line " + std::to_string(line) + " never ends";
}

}  // namespace qurix

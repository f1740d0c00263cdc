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

bool SplitRecordData(DataForm form, std::string_view token, std::string_view& key,
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

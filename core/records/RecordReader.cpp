#include "core/records/RecordReader.h"

#include <cctype>

namespace qurix {

namespace {

bool IsSeparator(int c) {
    return c == ',' || c == '\n' || c == '\r';
}

// One hexadecimal pair read the way strtoul(base 16) reads a two-character string:
// leading blanks and a sign are accepted, reading stops at the first non-digit.
int DecodeEscape(char a, char b) {
    const char s[2] = {a, b};
    size_t i = 0;
    while (i < 2 && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < 2 && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    unsigned long v = 0;
    for (; i < 2; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int d;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        } else {
            break;
        }
        v = v * 16 + static_cast<unsigned long>(d);
    }
    if (negative) v = 0ul - v;
    return static_cast<int>(v & 0xFF);
}

}  // namespace

int32_t CRecordReader::ReadToken(std::string& token) {
    token.clear();
    int c = Next();
    if (c == EOF) return -1;
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
        if (c == '\n') ++line_;
        c = Next();
        if (c == EOF) return -1;
    }
    const int32_t start = Reported(line_);
    tokenLine_ = line_;
    for (;;) {
        if (IsSeparator(c)) {
            if (c == '\n') ++line_;
            return start;
        }
        if (c == EOF) return start;
        if (token.size() >= MAX_TOKEN_LENGTH) return start;  // the byte just read is lost
        if (c == '%') {
            const int h = Next();
            if (IsSeparator(h)) {
                if (h == '\n') ++line_;
                token.clear();
                return -1;
            }
            // An escape cut by the end of input keeps the digits that arrived.
            if (h == EOF) return start;
            const int l = Next();
            if (IsSeparator(l)) {
                if (l == '\n') ++line_;
                token.clear();
                return -1;
            }
            if (l == EOF) {
                token.push_back(static_cast<char>(DecodeEscape(static_cast<char>(h), '\0')));
                return start;
            }
            token.push_back(
                static_cast<char>(DecodeEscape(static_cast<char>(h), static_cast<char>(l))));
        } else {
            token.push_back(static_cast<char>(c));
        }
        c = Next();
    }
}

bool CRecordReader::SkipToToken(const std::string& text) {
    std::string token;
    while (ReadToken(token) != -1) {
        if (token == text) return true;
    }
    return false;
}

bool SplitDataToken(const std::string& token, std::string& key, std::string& value) {
    const size_t colon = token.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    key.assign(token, 0, colon);
    value.assign(token, colon + 1, std::string::npos);
    return true;
}

bool SkipNestedRecord(CRecordReader& reader, const std::string& startTag) {
    std::string end = startTag;
    if (!end.empty()) end[0] = '-';
    return reader.SkipToToken(end);
}

int32_t ParseInt(const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    uint32_t v = 0;
    while (*p >= '0' && *p <= '9') {
        v = v * 10u + static_cast<uint32_t>(*p - '0');
        ++p;
    }
    if (negative) v = 0u - v;
    return static_cast<int32_t>(v);
}

}  // namespace qurix

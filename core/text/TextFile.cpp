#include "core/text/TextFile.h"

#include <algorithm>
#include <cstdint>

#include "core/text/ByteText.h"

namespace qurix {

namespace {

constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";
constexpr std::string_view UTF16LE_BOM = "\xFF\xFE";
constexpr std::string_view UTF16BE_BOM = "\xFE\xFF";

std::string_view MarkOf(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8Bom:
            return UTF8_BOM;
        case TextEncoding::Utf16Le:
            return UTF16LE_BOM;
        case TextEncoding::Utf16Be:
            return UTF16BE_BOM;
        case TextEncoding::Bytes:
            break;
    }
    return {};
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUnit(std::string& out, uint32_t unit, bool bigEndian) {
    const auto hi = static_cast<char>(unit >> 8);
    const auto lo = static_cast<char>(unit & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
}

// The code point of the valid UTF-8 sequence starting at s[i]; i moves past it.
uint32_t NextCodePoint(std::string_view s, size_t& i) {
    const auto b = [&](size_t k) {
        return static_cast<uint32_t>(static_cast<unsigned char>(s[k]));
    };
    const uint32_t c = b(i);
    if (c < 0x80) {
        i += 1;
        return c;
    }
    if (c < 0xE0) {
        i += 2;
        return ((c & 0x1F) << 6) | (b(i - 1) & 0x3F);
    }
    if (c < 0xF0) {
        i += 3;
        return ((c & 0x0F) << 12) | ((b(i - 2) & 0x3F) << 6) | (b(i - 1) & 0x3F);
    }
    i += 4;
    return ((c & 0x07) << 18) | ((b(i - 3) & 0x3F) << 12) | ((b(i - 2) & 0x3F) << 6) |
           (b(i - 1) & 0x3F);
}

}  // namespace

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.substr(0, 3) == UTF8_BOM) return TextEncoding::Utf8Bom;
    if (bytes.substr(0, 2) == UTF16LE_BOM) return TextEncoding::Utf16Le;
    if (bytes.substr(0, 2) == UTF16BE_BOM) return TextEncoding::Utf16Be;
    return TextEncoding::Bytes;
}

bool DecodeTextFile(std::string_view bytes, TextEncoding encoding, std::string& text, bool strict) {
    bytes.remove_prefix(std::min(bytes.size(), MarkOf(encoding).size()));
    text.clear();
    if (encoding == TextEncoding::Bytes || encoding == TextEncoding::Utf8Bom) {
        text.assign(bytes);
        return true;
    }
    bool wellFormed = bytes.size() % 2 == 0;
    bytes.remove_suffix(bytes.size() % 2);
    const bool bigEndian = encoding == TextEncoding::Utf16Be;
    const auto unitAt = [&](size_t k) {
        const auto a = static_cast<unsigned char>(bytes[k]);
        const auto b = static_cast<unsigned char>(bytes[k + 1]);
        return bigEndian ? static_cast<uint32_t>(a << 8 | b) : static_cast<uint32_t>(b << 8 | a);
    };
    text.reserve(bytes.size() / 2 * 3 / 2);
    for (size_t k = 0; k < bytes.size(); k += 2) {
        uint32_t u = unitAt(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 2 < bytes.size() && unitAt(k + 2) >= 0xDC00 &&
            unitAt(k + 2) <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (unitAt(k + 2) - 0xDC00);
            k += 2;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            wellFormed = false;
            u = 0xFFFD;
        }
        if (strict && !wellFormed) return false;
        AppendUtf8(text, u);
    }
    return wellFormed || !strict;
}

bool EncodeTextFile(std::string_view text, TextEncoding encoding, std::string& bytes) {
    bytes.assign(MarkOf(encoding));
    if (encoding == TextEncoding::Bytes || encoding == TextEncoding::Utf8Bom) {
        bytes.append(text);
        return true;
    }
    if (!IsValidUtf8(text)) return false;
    const bool bigEndian = encoding == TextEncoding::Utf16Be;
    bytes.reserve(bytes.size() + text.size() * 2);
    for (size_t i = 0; i < text.size();) {
        const uint32_t cp = NextCodePoint(text, i);
        if (cp >= 0x10000) {
            AppendUnit(bytes, 0xD800 + ((cp - 0x10000) >> 10), bigEndian);
            AppendUnit(bytes, 0xDC00 + ((cp - 0x10000) & 0x3FF), bigEndian);
        } else {
            AppendUnit(bytes, cp, bigEndian);
        }
    }
    return true;
}

}  // namespace qurix

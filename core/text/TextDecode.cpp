#include "core/text/TextDecode.h"

#include "core/text/ByteText.h"

namespace qurix {

namespace {

// One table on every platform (Windows builds have no iconv), made from the C library's
// converter so that the Linux palette decodes as it always did.
#include "core/text/Cp932Table.inc"

constexpr char16_t REPLACEMENT = 0xFFFD;
constexpr unsigned char FIRST_TRAIL = 0x40;

char16_t PairChar(unsigned char lead, unsigned char trail) {
    const int row = lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
    return CP932_PAIR[row][trail - FIRST_TRAIL];
}

// The character of valid UTF-8 (checked before) that starts at i; i moves past it.
char32_t NextUtf8(std::string_view bytes, size_t& i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 0 ? c : c & (0x3Fu >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3Fu);
    }
    i += extra + 1;
    return cp;
}

// The CP932 character that starts at i, U+FFFD for what does not decode; i moves past it.
char32_t NextCp932(std::string_view bytes, size_t& i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    char16_t u = c;
    if (StartsCp932Pair(bytes, i)) {
        u = PairChar(c, static_cast<unsigned char>(bytes[i + 1]));
        ++i;
    } else if (c >= 0x80) {
        u = CP932_SINGLE[c - 0x80];
    }
    ++i;
    return c < 0x80 || u != 0 ? u : REPLACEMENT;
}

// Calls put with each character of bytes: UTF-8 when they are valid UTF-8, else CP932.
template <typename Put>
void Decode(std::string_view bytes, Put put) {
    const bool utf8 = IsValidUtf8(bytes);
    size_t i = 0;
    while (i < bytes.size()) put(utf8 ? NextUtf8(bytes, i) : NextCp932(bytes, i));
}

}  // namespace

std::u16string DecodeToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    Decode(bytes, [&out](char32_t cp) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FFu)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    });
    return out;
}

std::string DecodeToUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    // CP932 decodes only to the basic plane: at most three bytes a character.
    std::string out;
    out.reserve(bytes.size() * 2);
    Decode(bytes, [&out](char32_t cp) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    });
    return out;
}

}  // namespace qurix

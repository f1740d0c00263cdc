#pragma once
#include <string_view>

namespace qurix {

// Byte-level facts about the two encodings the editor's files come in, for parsers that
// must not split a character: a Shift-JIS (CP932) trail byte may equal an ASCII
// '\\', ']', '[' or letter, a UTF-8 byte never does.

// The first byte of a two-byte CP932 character.
inline bool IsCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A byte that can follow a lead byte in a two-byte CP932 character.
inline bool IsCp932TrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// Whether bytes[i] starts a two-byte CP932 character (a lead byte with a trail byte after
// it).
inline bool StartsCp932Pair(std::string_view bytes, size_t i) {
    return i + 1 < bytes.size() && IsCp932LeadByte(static_cast<unsigned char>(bytes[i])) &&
           IsCp932TrailByte(static_cast<unsigned char>(bytes[i + 1]));
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Whether bytes are to be walked as CP932 (they are not valid UTF-8).
inline bool IsCp932Text(std::string_view bytes) {
    return !IsValidUtf8(bytes);
}

}  // namespace qurix

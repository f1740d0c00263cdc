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

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Whether bytes are to be walked as CP932 (they are not valid UTF-8).
inline bool IsCp932Text(std::string_view bytes) {
    return !IsValidUtf8(bytes);
}

}  // namespace qurix

#pragma once
#include <string>
#include <string_view>

namespace qurix {

// How a text file's bytes are laid out, as told by its byte-order mark. The platform's
// profile functions read a UTF-16 file with a mark; a UTF-8 mark is skipped the same way.
enum class TextEncoding { Bytes, Utf8Bom, Utf16Le, Utf16Be };

TextEncoding DetectTextEncoding(std::string_view bytes);

// The text the parsers take: the bytes without their mark, UTF-16 turned into UTF-8.
// False for UTF-16 that is not well formed (an odd length, an unpaired surrogate); unless
// strict, such a unit still becomes U+FFFD (and an odd last byte is dropped), as a reader
// that need not write the file back may take it.
bool DecodeTextFile(std::string_view bytes, TextEncoding encoding, std::string& text,
                    bool strict = true);

// The file's bytes for the text, mark included. False when the text cannot be written
// in that encoding (UTF-16 from text that is not valid UTF-8).
bool EncodeTextFile(std::string_view text, TextEncoding encoding, std::string& bytes);

}  // namespace qurix

#pragma once
#include <string>
#include <string_view>

namespace qurix {

// Bytes from a library or the INI as a person reads them: UTF-8 when the bytes are valid
// UTF-8 (plain ASCII is), otherwise Shift-JIS as the editor's platform extends it (CP932).
// A byte that does not decode becomes U+FFFD; a lead byte with a proper trail byte that
// names no character becomes one U+FFFD for both.
std::u16string DecodeToUtf16(std::string_view bytes);
std::string DecodeToUtf8(std::string_view bytes);

}  // namespace qurix

#pragma once
#include <QString>
#include <string>
#include <string_view>

#include "core/text/ByteText.h"

namespace qurix {

// Bytes from a library or the INI as a person reads them: UTF-8 when the bytes are valid
// UTF-8 (plain ASCII is), otherwise Shift-JIS as the editor's platform extends it (CP932).
// A byte that does not decode becomes U+FFFD.
QString DecodeText(std::string_view bytes);
inline QString DecodeText(const std::string& bytes) {
    return DecodeText(std::string_view(bytes));
}

}  // namespace qurix

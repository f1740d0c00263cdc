#pragma once
#include <QString>
#include <string_view>

namespace qurix {

// Bytes from a library or the INI as a person sees them: decoded, and with the
// editor's CR LF (or a lone CR) line breaks made plain line breaks.
QString DisplayText(std::string_view bytes);

}  // namespace qurix

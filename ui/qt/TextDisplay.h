#pragma once
#include <QString>
#include <string_view>

namespace qurix {

// Bytes from a library or the INI as a person sees them: decoded, and with the
// editor's CR LF (or a lone CR) line breaks made plain line breaks.
QString DisplayText(std::string_view bytes);

// A text of the palette's table (palette/Texts.h, UTF-8) as Qt shows it.
inline QString UiText(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace qurix

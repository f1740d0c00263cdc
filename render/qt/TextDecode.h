#pragma once
#include <QString>
#include <string_view>

#include "core/text/TextDecode.h"

namespace qurix {

// Library or INI bytes for Qt's text functions, decoded as everywhere else in the palette.
inline QString DecodeText(std::string_view bytes) {
    return QString::fromStdU16String(DecodeToUtf16(bytes));
}

}  // namespace qurix

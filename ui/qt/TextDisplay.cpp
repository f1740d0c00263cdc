#include "ui/qt/TextDisplay.h"

#include "render/qt/TextDecode.h"

namespace qurix {

QString DisplayText(std::string_view bytes) {
    QString text = DecodeText(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace qurix

#include "ui/qt/TextDisplay.h"

#include "palette/PartSummary.h"

namespace qurix {

QString DisplayText(std::string_view bytes) {
    return QString::fromStdString(ReadableText(bytes));
}

}  // namespace qurix

#include "app/InfoView.h"

#include <QApplication>
#include <QTextDocument>
#include <set>
#include <string>

#include "app/QurixDoc.h"
#include "app/TextDisplay.h"
#include "core/library/LibEntry.h"
#include "core/library/PinDef.h"

namespace qurix {

CInfoView::CInfoView(CQurixDoc& doc, QWidget* parent) : QPlainTextEdit(parent), CQurixView(doc) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Selected text can still be copied with the keyboard.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void CInfoView::OnInitialUpdate() {
    CQurixView::OnInitialUpdate();
    GetDocument().TakePending(this);
    // The desktop's small interface font, as a status bar would use it.
    setFont(QApplication::font("QStatusBar"));
    document()->setDocumentMargin(MARGIN);
    setReadOnly(true);
}

void CInfoView::OnUpdate(CQurixView* /*sender*/) {
    const CLibEntry* entry = GetDocument().currentEntry;
    if (!entry) return;
    QString text = DisplayText(entry->Note());
    const QString blocks = BlockLine(*entry);
    if (!blocks.isEmpty()) text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + blocks;
    setPlainText(text);
    viewport()->repaint();
}

QString CInfoView::BlockLine(const CLibEntry& entry) {
    const int32_t blocks = entry.BlockCount();
    if (blocks <= 1) return QString();
    std::set<std::string> numbers;
    for (int32_t i = 0; i < entry.PinCount(); ++i) {
        const CPinDef* pin = entry.Pin(i);
        if (pin == nullptr) continue;
        for (int32_t k = 0; k < pin->BlockCount(); ++k) {
            const char* number = pin->Number(k);
            if (number != nullptr && *number != '\0') numbers.insert(number);
        }
    }
    return QStringLiteral("ブロック数 %1 / ピン数 %2").arg(blocks).arg(numbers.size());
}

}  // namespace qurix

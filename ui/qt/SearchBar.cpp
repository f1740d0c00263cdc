#include "ui/qt/SearchBar.h"

#include <QKeyEvent>

namespace qurix {

CSearchBar::CSearchBar(QWidget* parent) : QLineEdit(parent) {
    setPlaceholderText(QString::fromUtf8(PLACEHOLDER));
    setClearButtonEnabled(true);
}

void CSearchBar::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Escape) {
            emit escapePressed();
            return;
        }
        if (event->key() == Qt::Key_Down) {
            emit downPressed();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace qurix

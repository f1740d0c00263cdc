#include "ui/qt/InfoView.h"

#include <QApplication>
#include <QTextDocument>

#include "core/library/LibEntry.h"
#include "palette/PartSummary.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

namespace {

constexpr int MARGIN = 4;

}  // namespace

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
    if (const LoadProblem* problem = GetDocument().CurrentProblem()) {
        ShowProblem(*problem);
        return;
    }
    const CLibEntry* entry = GetDocument().CurrentEntry();
    // Said before the note, or alone, while the library is current.
    const std::string warning = GetDocument().WarningFor(GetDocument().CurrentLibrary());
    const QString said = warning.empty() ? QString() : UiText(warning.c_str());
    if (!entry) {
        // No part is current: a note left from the last one would describe another part.
        setPlainText(said);
        return;
    }
    QString text = said.isEmpty() ? DisplayText(entry->Note())
                                  : said + QStringLiteral("\n\n") + DisplayText(entry->Note());
    // A part of several blocks says how many, and how many pins they share.
    if (entry->BlockCount() > 1) {
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) +
                QString::fromStdString(BlocksAndPinsText(*entry));
    }
    setPlainText(text);
    viewport()->repaint();
}

void CInfoView::ShowProblem(const LoadProblem& problem) {
    setPlainText(UiText(texts::LIBRARY_NOT_LOADED) + QLatin1Char('\n') +
                 DisplayText(ProblemText(problem)));
    viewport()->repaint();
}

}  // namespace qurix

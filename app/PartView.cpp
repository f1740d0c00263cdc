#include "app/PartView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "app/QurixDoc.h"
#include "core/library/LibEntry.h"
#include "render/DisplaySettings.h"
#include "render/Thumbnails.h"
#include "render/qt/QtBridge.h"
#include "render/qt/QtSurface.h"

namespace qurix {

namespace {

// Line steps as a scroll view takes them by default: a tenth of the page.
constexpr int LINE_DIVISOR = 10;

}  // namespace

CPartView::CPartView(CQurixDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent), CQurixView(doc) {
    setFocusPolicy(Qt::StrongFocus);
    // Every repaint fills what it exposes with the background itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
}

void CPartView::OnInitialUpdate() {
    CQurixView::OnInitialUpdate();
    SetExtent(QSize(INITIAL_EXTENT, INITIAL_EXTENT));
}

void CPartView::OnUpdate(CQurixView* /*sender*/) {
    CQurixDoc& doc = GetDocument();
    doc.TakePending(this);
    if (const CLibEntry* entry = doc.currentEntry) {
        const Point extent = PreviewExtent(entry);
        SetExtent(QSize(extent.x, extent.y));
    }
    viewport()->repaint();
}

void CPartView::SetExtent(QSize extent) {
    extent_ = QSize(std::max(0, extent.width()), std::max(0, extent.height()));
    UpdateScrollBars();
}

QPoint CPartView::ScrollOffset() const {
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void CPartView::UpdateScrollBars() {
    const QSize page = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, extent_.width() - page.width()));
    h->setPageStep(std::max(1, page.width()));
    h->setSingleStep(std::max(1, page.width() / LINE_DIVISOR));
    v->setRange(0, std::max(0, extent_.height() - page.height()));
    v->setPageStep(std::max(1, page.height()));
    v->setSingleStep(std::max(1, page.height() / LINE_DIVISOR));
}

QColor CPartView::Background() const {
    return ToQColor(GetDocument().Settings().colours.Get(ColourKey::BG));
}

void CPartView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    if (!exposed.isEmpty()) painter.fillRect(exposed, Background());
    DrawPart(painter, -ScrollOffset(), exposed);
}

void CPartView::DrawPart(QPainter& painter, QPoint origin, const QRect& exposed) {
    const CQurixDoc& doc = GetDocument();
    if (!doc.currentEntry || !doc.IsLoaded()) return;
    painter.save();
    painter.translate(origin);
    CQtSurface surface(painter, exposed.translated(-origin));
    DrawPartPreview(surface, doc.Settings(), doc.currentEntry);
    painter.restore();
}

void CPartView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CPartView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    viewport()->update();
}

QSize CPartView::viewportSizeHint() const {
    return extent_;
}

}  // namespace qurix

#include "ui/qt/PartView.h"
#include "palette/Texts.h"

#include <QAction>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTabBar>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>

#include "core/library/LibEntry.h"
#include "palette/QurixDoc.h"
#include "render/DisplaySettings.h"
#include "render/ShiftedSurface.h"
#include "render/qt/QtBridge.h"
#include "render/qt/QtCanvas.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

namespace {

// Line steps as a scroll view takes them by default: a tenth of the page.
constexpr int LINE_DIVISOR = 10;
constexpr int WHEEL_NOTCH = 120;

}  // namespace

CPartView::CPartView(CQurixDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent),
      CQurixView(doc),
      fitAction_(new QAction(UiText(texts::CMD_FIT), this)),
      blocks_(new QTabBar(this)) {
    setFocusPolicy(Qt::StrongFocus);
    // Every repaint fills what it exposes with the background itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    fitAction_->setCheckable(true);
    connect(fitAction_, &QAction::toggled, this, &CPartView::SetFitted);
    addAction(fitAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    blocks_->setDrawBase(false);
    blocks_->setExpanding(false);
    // Reached with Tab from the preview; the arrow keys then choose the block.
    blocks_->setFocusPolicy(Qt::StrongFocus);
    blocks_->hide();
    connect(blocks_, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0) SetBlock(index);
    });
}

void CPartView::OnInitialUpdate() {
    CQurixView::OnInitialUpdate();
    state_.Read(GetDocument().Profile());
    fitAction_->setChecked(state_.fit);
    SetExtent(QSize(INITIAL_EXTENT, INITIAL_EXTENT));
}

void CPartView::SaveSettings() const {
    state_.Save(GetDocument().Profile());
}

void CPartView::OnUpdate(CQurixView* /*sender*/) {
    CQurixDoc& doc = GetDocument();
    doc.TakePending(this);
    UpdateBlockSelector();
    if (doc.CurrentEntry()) Relayout();
    viewport()->repaint();
    emit partShown(doc.CurrentEntry(), Block());
}

void CPartView::UpdateBlockSelector() {
    const CLibEntry* entry = GetDocument().CurrentEntry();
    const int count = state_.TakeEntry(entry);
    const QSignalBlocker quiet(blocks_);
    while (blocks_->count() > 0) blocks_->removeTab(blocks_->count() - 1);
    if (count > 1) {
        for (int i = 0; i < count; ++i) {
            blocks_->addTab(QString::fromStdString(CPreviewState::BlockLabel(i)));
        }
        blocks_->setCurrentIndex(state_.view.block);
    }
    const bool show = count > 1;
    blocks_->setVisible(show);
    const int height = show ? blocks_->sizeHint().height() : 0;
    setViewportMargins(0, height, 0, 0);
    blocks_->setGeometry(0, 0, width(), height);
}

void CPartView::SetBlock(int block) {
    const CLibEntry* entry = GetDocument().CurrentEntry();
    if (entry == nullptr || block < 0 || block >= entry->BlockCount()) return;
    state_.view.block = block;
    if (blocks_->currentIndex() != block) {
        const QSignalBlocker quiet(blocks_);
        blocks_->setCurrentIndex(block);
    }
    Relayout();
    viewport()->update();
    emit partShown(entry, block);
}

void CPartView::MarkPin(int pin) {
    markedEntry_ = GetDocument().CurrentEntry();
    markedPin_ = pin;
    viewport()->update();
}

void CPartView::DrawPinMarker(QPainter& painter, QPoint origin) const {
    const CLibEntry* entry = GetDocument().CurrentEntry();
    if (markedPin_ < 0 || entry == nullptr || entry != markedEntry_) return;
    Point from;
    Point to;
    if (!PreviewPinEnds(entry, {Zoom(), state_.view.block}, markedPin_, from, to)) return;
    // Over the drawing, never part of it: a ring around the pin's outer end and the pin
    // itself drawn over, in the selection's colour.
    const QPoint tip = origin + QPoint(to.x, to.y);
    const QPoint base = origin + QPoint(from.x, from.y);
    const int radius = PIN_MARKER_RADIUS;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(base, tip);
    painter.drawEllipse(tip, radius, radius);
    painter.restore();
}

Scale CPartView::Zoom() const {
    return state_.fit ? fitZoom_ : state_.view.zoom;
}

Scale CPartView::FitZoom() const {
    const CQurixDoc& doc = GetDocument();
    if (doc.CurrentEntry() == nullptr || !doc.IsLoaded()) return Scale{};
    CQtCanvas measure(1, 1, Colour{});
    const Point plain =
        PreviewExtent(doc.Settings(), doc.CurrentEntry(), {Scale{}, state_.view.block}, &measure);
    const QSize room = maximumViewportSize();
    return FitPreviewZoom(plain, Point{room.width(), room.height()});
}

void CPartView::StepZoom(int steps) {
    const Scale from = Zoom();
    state_.fit = false;
    if (fitAction_->isChecked()) {
        const QSignalBlocker quiet(fitAction_);
        fitAction_->setChecked(false);
    }
    Scale to = StepPreviewZoom(from, steps);
    // A fitted zoom between two steps lands on a step.
    if (!IsPreviewZoomStep(to)) to = Scale{};
    state_.view.zoom = to;
    Relayout();
    viewport()->update();
    emit zoomChanged();
}

void CPartView::StepZoomAt(int steps, QPoint at) {
    const Scale from = Zoom();
    const QPoint offset = ScrollOffset();
    StepZoom(steps);
    const Point to =
        ZoomedScrollOffset(Point{offset.x(), offset.y()}, Point{at.x(), at.y()}, from, Zoom());
    horizontalScrollBar()->setValue(to.x);
    verticalScrollBar()->setValue(to.y);
}

void CPartView::ResetZoom() {
    state_.view.zoom = Scale{};
    SetFitted(false);
    Relayout();
    viewport()->update();
    emit zoomChanged();
}

void CPartView::SetFitted(bool fit) {
    if (fitAction_->isChecked() != fit) {
        const QSignalBlocker quiet(fitAction_);
        fitAction_->setChecked(fit);
    }
    if (state_.fit == fit) return;
    state_.fit = fit;
    Relayout();
    viewport()->update();
    emit zoomChanged();
}

void CPartView::Relayout() {
    const CQurixDoc& doc = GetDocument();
    if (doc.CurrentEntry() == nullptr || !doc.IsLoaded()) return;
    if (state_.fit) fitZoom_ = FitZoom();
    CQtCanvas measure(1, 1, Colour{});
    const Point extent =
        PreviewExtent(doc.Settings(), doc.CurrentEntry(), {Zoom(), state_.view.block}, &measure);
    SetExtent(QSize(extent.x, extent.y));
    emit zoomChanged();
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
    DrawPart(painter, -ScrollOffset(), exposed, DeviceRatio());
    DrawPinMarker(painter, -ScrollOffset());
}

Scale CPartView::DeviceRatio() const {
    return PreviewDeviceRatio(viewport()->devicePixelRatioF());
}

QImage CPartView::RenderVisible(Scale ratio) const {
    const QRect visible = viewport()->rect();
    const qreal dpr = qreal(ratio.num) / ratio.den;
    QImage image((QSizeF(visible.size()) * dpr).toSize(), QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.setDevicePixelRatio(dpr);
    image.fill(Background());
    QPainter painter(&image);
    DrawPart(painter, -ScrollOffset(), visible, ratio);
    return image;
}

void CPartView::DrawPart(QPainter& painter, QPoint origin, const QRect& exposed,
                         Scale ratio) const {
    const CQurixDoc& doc = GetDocument();
    if (!doc.CurrentEntry() || !doc.IsLoaded() || exposed.isEmpty()) return;
    const Scale zoom = Zoom();
    const Scale largest = PREVIEW_ZOOMS[std::size(PREVIEW_ZOOMS) - 1];
    // Drawn from the vectors at the device's scale rather than enlarged by the painter, up
    // to the largest zoom; beyond it the painter enlarges what the largest draws.
    const bool device =
        ratio.num > ratio.den && ratio.num <= MAX_DEVICE_RATIO * ratio.den &&
        int64_t{zoom.num} * ratio.num * largest.den <= int64_t{largest.num} * zoom.den * ratio.den;
    const Scale scale = device ? ratio : Scale{};
    // The device pixels the exposed part covers, whole pixels outward.
    const QRect area = exposed.translated(-origin);
    const auto outward = [&](int v, bool up) {
        const int64_t scaled = int64_t{v} * scale.num;
        return static_cast<int>(up ? (scaled + scale.den - 1) / scale.den : scaled / scale.den);
    };
    const int left = outward(area.left(), false);
    const int top = outward(area.top(), false);
    const int right = outward(area.left() + area.width(), true);
    const int bottom = outward(area.top() + area.height(), true);
    CQtCanvas canvas(right - left, bottom - top, doc.Settings().colours.Get(ColourKey::BG));
    if (!canvas.IsValid()) return;
    CShiftedSurface surface(canvas, Point{left, top});
    DrawPartPreview(surface, doc.Settings(), doc.CurrentEntry(),
                    {DevicePreviewZoom(zoom, scale), state_.view.block});
    QImage image = canvas.TakeImage();
    const qreal dpr = qreal(scale.num) / scale.den;
    image.setDevicePixelRatio(dpr);
    painter.drawImage(QPointF(left / dpr, top / dpr) + QPointF(origin), image);
}

void CPartView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (blocks_->isVisible()) blocks_->setGeometry(0, 0, width(), blocks_->height());
    if (state_.fit) Relayout();
    UpdateScrollBars();
}

void CPartView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // Fine-grained wheels send parts of a notch: a step is taken per whole notch.
    wheelRest_ += event->angleDelta().y();
    const int steps = wheelRest_ / WHEEL_NOTCH;
    wheelRest_ -= steps * WHEEL_NOTCH;
    if (steps != 0) StepZoomAt(steps, event->position().toPoint());
    event->accept();
}

void CPartView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        switch (event->key()) {
            case Qt::Key_Plus:
            case Qt::Key_Equal:
                StepZoom(1);
                return;
            case Qt::Key_Minus:
                StepZoom(-1);
                return;
            case Qt::Key_0:
                ResetZoom();
                return;
            default:
                break;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CPartView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    viewport()->update();
}

QSize CPartView::viewportSizeHint() const {
    return extent_;
}

}  // namespace qurix

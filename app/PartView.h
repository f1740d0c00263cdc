#pragma once
#include <QAbstractScrollArea>
#include <QColor>
#include <QSize>

#include "app/QurixView.h"

namespace qurix {

// The middle-left pane: the selected part at full size on the background colour,
// scrolling when it is larger than the pane.
class CPartView : public QAbstractScrollArea, public CQurixView {
    Q_OBJECT
public:
    // The scroll extent before any part has been selected.
    static constexpr int INITIAL_EXTENT = 50;

    CPartView(CQurixDoc& doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    // Takes the new part's extent when one is current; repaints in every case.
    void OnUpdate(CQurixView* sender) override;

    // The scrollable size in pixels.
    QSize Extent() const { return extent_; }
    void SetExtent(QSize extent);
    // The top-left of the visible part of the extent.
    QPoint ScrollOffset() const;
    // "BG" of the loaded settings.
    QColor Background() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    QSize viewportSizeHint() const override;

private:
    void UpdateScrollBars();
    // Draws the current part with its extent's origin at origin (in viewport pixels).
    void DrawPart(QPainter& painter, QPoint origin, const QRect& exposed);

    QSize extent_{INITIAL_EXTENT, INITIAL_EXTENT};
};

}  // namespace qurix

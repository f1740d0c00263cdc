#pragma once
#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>
#include <QSize>

#include "palette/PreviewState.h"
#include "palette/QurixView.h"
#include "render/Thumbnails.h"

class QAction;
class QPainter;
class QTabBar;

namespace qurix {

class CLibEntry;
class CProfile;

// The middle-left pane: the selected part on the background colour, at 1:1 unless zoomed
// or fitted to the pane, scrolling when it is larger than the pane. A part of several
// blocks gets a block selector above the drawing.
class CPartView : public QAbstractScrollArea, public CQurixView {
    Q_OBJECT
public:
    // The scroll extent before any part has been selected.
    static constexpr int INITIAL_EXTENT = 50;

    CPartView(CQurixDoc& doc, QWidget* parent = nullptr);

    // Reads the zoom and the fit toggle of section "qurix".
    void OnInitialUpdate() override;
    // Takes the new part's extent when one is current; repaints in every case.
    void OnUpdate(CQurixView* sender) override;
    // Writes "preview_zoom" ("N:D") and "preview_fit" (0 or 1).
    void SaveSettings() const;

    // The scrollable size in pixels.
    QSize Extent() const { return extent_; }
    void SetExtent(QSize extent);
    // The top-left of the visible part of the extent.
    QPoint ScrollOffset() const;
    // "BG" of the loaded settings.
    QColor Background() const;

    // --- Zoom and block ---
    // The zoom in use: the chosen step, or the fitted zoom while fitting.
    Scale Zoom() const;
    // Zooms by steps (negative: smaller) from the zoom in use and ends fitting.
    void StepZoom(int steps);
    // The same, keeping the point at (viewport pixels) of the part where it is.
    void StepZoomAt(int steps, QPoint at);
    // Back to 1:1, not fitted.
    void ResetZoom();
    bool Fitted() const { return state_.fit; }
    void SetFitted(bool fit);
    // The toggle "ウィンドウに合わせる", for the View menu.
    QAction* FitAction() const { return fitAction_; }
    int Block() const { return state_.view.block; }
    // Chooses the block whose pin numbers are drawn (out of range: ignored).
    void SetBlock(int block);
    // The device pixels per pixel the part is drawn at (PreviewDeviceRatio of the screen's).
    Scale DeviceRatio() const;
    // What the pane shows, drawn for a screen of ratio (device pixels; tests and tools).
    QImage RenderVisible(Scale ratio) const;
    // The selector's tab labels ("A", "B", …); hidden for a part of one block.
    QTabBar* BlockSelector() const { return blocks_; }

    // Marks pin (its index in the current part) over the drawing until another part is
    // current; -1 marks none.
    void MarkPin(int pin);
    int MarkedPin() const { return markedPin_; }

signals:
    // The zoom in use, or the fitting, changed.
    void zoomChanged();
    // After every update and block change: the part shown and its block.
    void partShown(const qurix::CLibEntry* entry, int block);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    QSize viewportSizeHint() const override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateScrollBars();
    // Recomputes the extent for the current part, zoom and block; repaints.
    void Relayout();
    void UpdateBlockSelector();
    // The zoom at which the current part fills the pane.
    Scale FitZoom() const;
    // Draws the current part with its extent's origin at origin (in viewport pixels), from
    // the vectors at ratio device pixels per pixel.
    void DrawPart(QPainter& painter, QPoint origin, const QRect& exposed, Scale ratio) const;

    QSize extent_{INITIAL_EXTENT, INITIAL_EXTENT};
    CPreviewState state_;
    Scale fitZoom_;      // kept by Relayout while fitting
    int wheelRest_ = 0;  // the part of a wheel notch not yet turned into a step
    QAction* fitAction_;
    QTabBar* blocks_;
    void DrawPinMarker(QPainter& painter, QPoint origin) const;
    const CLibEntry* markedEntry_ = nullptr;  // compared, never followed
    int markedPin_ = -1;
};

}  // namespace qurix

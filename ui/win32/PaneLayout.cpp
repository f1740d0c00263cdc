#include "ui/win32/PaneLayout.h"

#include <algorithm>

#include "ui/win32/Dpi.h"

namespace qurix::win32 {

PaneRects ComputePanes(int32_t width, int32_t top, int32_t bottom, const WindowLayout& layout,
                       uint32_t dpi) {
    const int32_t bar = ScaleToDpi(SPLITTER_BAR, dpi);
    const int32_t least = ScaleToDpi(LEAST_PANE, dpi);
    const int32_t height = std::max(0, bottom - top);
    width = std::max(0, width);
    const int32_t left = std::clamp(ScaleToDpi(PaneSize(layout.plvWidth), dpi), least,
                                    std::max(least, width - bar - least));
    const int32_t library = std::clamp(ScaleToDpi(PaneSize(layout.plvHeight), dpi), least,
                                       std::max(least, height - 2 * bar - 2 * least));
    const int32_t preview = std::clamp(ScaleToDpi(PaneSize(layout.prtHeight), dpi), least,
                                       std::max(least, height - library - 2 * bar - least));
    const int32_t right = left + bar;
    const int32_t search = ScaleToDpi(SEARCH_HEIGHT, dpi);
    const int32_t gap = ScaleToDpi(SEARCH_GAP, dpi);
    PaneRects r;
    r.library = Rect{0, top, left, top + library};
    r.preview = Rect{0, r.library.bottom + bar, left, r.library.bottom + bar + preview};
    r.note = Rect{0, r.preview.bottom + bar, left, std::max(r.preview.bottom + bar, bottom)};
    r.search = Rect{right, top, std::max(right, width), top + search};
    r.parts = Rect{right, r.search.bottom + gap, std::max(right, width),
                   std::max(r.search.bottom + gap, bottom)};
    return r;
}

int SplitterAt(const PaneRects& panes, Point p) {
    if (p.x >= panes.library.right && p.x < panes.search.left && p.y >= panes.library.top) return 0;
    if (p.x >= panes.library.right || p.x < 0) return -1;
    if (p.y >= panes.library.bottom && p.y < panes.preview.top) return 1;
    if (p.y >= panes.preview.bottom && p.y < panes.note.top) return 2;
    return -1;
}

}  // namespace qurix::win32

#pragma once
#include <cstdint>

#include "core/geometry/Geometry.h"
#include "palette/WindowLayout.h"

namespace qurix::win32 {

// Where the main window's panes go (client pixels, right and bottom excluded): the
// library list, preview and note stacked in the left column, the search field and the
// parts list on the right, splitter bars between them.
struct PaneRects {
    Rect library;
    Rect preview;
    Rect note;
    Rect search;
    Rect parts;
};

// Splitter bars and the least size of a pane, and the search field's height, at 96 DPI.
inline constexpr int32_t SPLITTER_BAR = 4;
inline constexpr int32_t LEAST_PANE = 24;
inline constexpr int32_t SEARCH_HEIGHT = 24;
inline constexpr int32_t SEARCH_GAP = 2;

// The panes between top and bottom of a client area width pixels wide, with the sizes of
// layout (at 96 DPI) scaled for dpi; every pane keeps at least LEAST_PANE where there is
// room, the note and the parts list take what is left.
PaneRects ComputePanes(int32_t width, int32_t top, int32_t bottom, const WindowLayout& layout,
                       uint32_t dpi);

// The splitter bar at p: 0 between the columns, 1 under the library list, 2 under the
// preview; -1 for none.
int SplitterAt(const PaneRects& panes, Point p);

}  // namespace qurix::win32

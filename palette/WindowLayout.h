#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "core/geometry/Geometry.h"
#include "core/profile/Profile.h"

namespace qurix {

// The main window's size, position and pane sizes, kept in section "qurix". The size and
// position are those of the normal (not maximised) window, without its frame.
struct WindowLayout {
    // Pane sizes beyond this come from a damaged file, not from a screen.
    static constexpr int32_t MAX_PANE = 65535;

    // The defaults are the layout when the configuration file has none.
    int32_t winWidth = 320;
    int32_t winHeight = 600;
    int32_t plvWidth = 160;   // the library list's width
    int32_t plvHeight = 200;  // the library list's height
    int32_t prtHeight = 200;  // the preview's height
    bool maximized = false;
    bool hasPosition = false;  // false: the window manager places the window
    int32_t winX = 0;
    int32_t winY = 0;
};

WindowLayout ReadWindowLayout(const CProfile& profile);
// Whether the file keeps a window size of its own (else the defaults would be read).
bool HasWindowLayout(const CProfile& profile);
void WriteWindowLayout(const CProfile& profile, const WindowLayout& layout);
// The close's write: the views' keys (saveViews writes them) and the layout in one write
// from one read, so that the editor's file is read and replaced once. When it fails the
// reason goes to stderr, where a starter of the program can see it: the window is going.
void SaveWindowSettings(const CProfile& profile, const WindowLayout& layout,
                        const std::function<void()>& saveViews);

// A pane size from the file brought within 0 .. MAX_PANE.
int32_t PaneSize(int32_t size);

// wanted (right and bottom excluded) moved onto the screen it overlaps most (else the
// first) and made no larger than that screen; unchanged when there are no screens.
Rect PlaceOnScreens(Rect wanted, const std::vector<Rect>& screens);

}  // namespace qurix

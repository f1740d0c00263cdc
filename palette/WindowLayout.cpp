#include "palette/WindowLayout.h"

#include <algorithm>
#include <cstdio>

#include "palette/Texts.h"

namespace qurix {

namespace {

constexpr const char* SECTION = "qurix";

int64_t Width(const Rect& r) {
    return int64_t{r.right} - r.left;
}

int64_t Height(const Rect& r) {
    return int64_t{r.bottom} - r.top;
}

// The area two rectangles share; 0 when they do not overlap.
int64_t CommonArea(const Rect& a, const Rect& b) {
    const int64_t width = int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
    const int64_t height = int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace

WindowLayout ReadWindowLayout(const CProfile& profile) {
    WindowLayout l;
    l.winWidth = profile.GetInt(SECTION, "win_width", l.winWidth);
    l.winHeight = profile.GetInt(SECTION, "win_height", l.winHeight);
    l.plvWidth = profile.GetInt(SECTION, "plv_width", l.plvWidth);
    l.plvHeight = profile.GetInt(SECTION, "plv_height", l.plvHeight);
    l.prtHeight = profile.GetInt(SECTION, "prt_height", l.prtHeight);
    l.maximized = profile.GetInt(SECTION, "win_maximized", 0) != 0;
    l.hasPosition = !profile.GetString(SECTION, "win_x").empty() &&
                    !profile.GetString(SECTION, "win_y").empty();
    l.winX = profile.GetInt(SECTION, "win_x", 0);
    l.winY = profile.GetInt(SECTION, "win_y", 0);
    return l;
}

bool HasWindowLayout(const CProfile& profile) {
    return !profile.GetString(SECTION, "win_width").empty();
}

void WriteWindowLayout(const CProfile& profile, const WindowLayout& layout) {
    profile.WriteInt(SECTION, "win_width", layout.winWidth);
    profile.WriteInt(SECTION, "win_height", layout.winHeight);
    profile.WriteInt(SECTION, "plv_width", layout.plvWidth);
    profile.WriteInt(SECTION, "plv_height", layout.plvHeight);
    profile.WriteInt(SECTION, "prt_height", layout.prtHeight);
    profile.WriteInt(SECTION, "win_maximized", layout.maximized ? 1 : 0);
    profile.WriteInt(SECTION, "win_x", layout.winX);
    profile.WriteInt(SECTION, "win_y", layout.winY);
}

int32_t PaneSize(int32_t size) {
    return std::clamp(size, 0, WindowLayout::MAX_PANE);
}

Rect PlaceOnScreens(Rect wanted, const std::vector<Rect>& screens) {
    if (screens.empty()) return wanted;
    Rect screen = screens.front();
    int64_t best = 0;
    for (const Rect& s : screens) {
        const int64_t area = CommonArea(s, wanted);
        if (area > best) {
            best = area;
            screen = s;
        }
    }
    const int64_t width = std::min(Width(wanted), Width(screen));
    const int64_t height = std::min(Height(wanted), Height(screen));
    const int64_t x = std::clamp<int64_t>(wanted.left, screen.left, screen.right - width);
    const int64_t y = std::clamp<int64_t>(wanted.top, screen.top, screen.bottom - height);
    return Rect{static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(x + width),
                static_cast<int32_t>(y + height)};
}

void SaveWindowSettings(const CProfile& profile, const WindowLayout& layout,
                        const std::function<void()>& saveViews) {
    const CProfile::CReadHold hold(profile);
    CProfile::CWriteBatch batch(profile);
    if (saveViews) saveViews();
    WriteWindowLayout(profile, layout);
    if (!batch.Commit()) std::fprintf(stderr, "qurix: %s\n", SettingsProblemText(profile).c_str());
}

}  // namespace qurix

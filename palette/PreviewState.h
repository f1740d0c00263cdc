#pragma once
#include <cstdint>
#include <string>

#include "core/profile/Profile.h"
#include "render/Thumbnails.h"

namespace qurix {

class CLibEntry;

// The ring around the outer end of a pin chosen in the pin table, in logical pixels.
inline constexpr int PIN_MARKER_RADIUS = 5;

// Whether zoom is one of the preview's steps (PREVIEW_ZOOMS).
bool IsPreviewZoomStep(Scale zoom);
// "N:D" with N and D among the preview's zoom steps; false for anything else.
bool ParsePreviewZoom(const std::string& text, Scale& zoom);
std::string FormatPreviewZoom(Scale zoom);
// The zoom the preview draws with at ratio device pixels per pixel, in lowest terms (2:2 is
// drawn as 1:1).
Scale DevicePreviewZoom(Scale zoom, Scale ratio);
inline Scale DevicePreviewZoom(Scale zoom, int32_t ratio) {
    return DevicePreviewZoom(zoom, Scale{ratio, 1});
}
// The device pixels per pixel the preview draws at on a screen of that ratio: whole and
// quarter ratios (1.25, 1.5 …) up to MAX_DEVICE_RATIO, in lowest terms; 1:1 for any other,
// which the window enlarges.
Scale PreviewDeviceRatio(double screenRatio);
// The scroll offset after zooming from one scale to another that keeps the point of the
// part at pointer (pane pixels) under the pointer (Ctrl + wheel). Never negative; the
// pane clamps it to its new extent.
Point ZoomedScrollOffset(Point offset, Point pointer, Scale from, Scale to);

// What the preview pane shows of the current part besides the part itself: the zoom (a
// step, or fitted to the pane) and the block whose pin numbers are drawn. The zoom and
// fitting persist in section "qurix" ("preview_zoom", "preview_fit").
class CPreviewState {
public:
    // The most blocks the selector offers ("A" .. "Z", "AA" .. "YZ").
    static constexpr int32_t MAX_BLOCKS = 26 * 26;

    void Read(const CProfile& profile);
    // Left out while never changed, so that a first start writes the same section as
    // before.
    void Save(const CProfile& profile) const;

    // The document's current part is now entry: another part starts at its first block,
    // other updates keep the choice. Returns how many blocks the selector offers (1 for
    // none or one).
    int32_t TakeEntry(const CLibEntry* entry);
    // "A" .. "Z", then "AA", "AB", …
    static std::string BlockLabel(int32_t block);

    PreviewView view;
    bool fit = false;

private:
    // The part the block choice belongs to (compared, never followed).
    const CLibEntry* blockEntry_ = nullptr;
};

}  // namespace qurix

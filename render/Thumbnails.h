#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/geometry/Geometry.h"
#include "core/library/LibEntry.h"
#include "render/ArgbImage.h"
#include "render/DisplaySettings.h"
#include "render/DrawSurface.h"

namespace qurix {

inline constexpr int32_t LARGE_THUMBNAIL_SIDE = 64;
inline constexpr int32_t SMALL_THUMBNAIL_SIDE = 32;
// The margin around the body on a thumbnail canvas and in the preview, in drawing units.
inline constexpr int32_t THUMBNAIL_MARGIN = 20;
inline constexpr int32_t PREVIEW_MARGIN = 40;
// A thumbnail canvas is never larger than this many pixels a side: a bigger part is drawn
// at the scale 1/n that makes it fit (parts up to 200 grid units are drawn at 1/1).
inline constexpr int32_t MAX_THUMBNAIL_CANVAS = 2048;
// Bodies beyond this many drawing units a side cannot be placed in 32-bit drawing space
// with room to spare; their thumbnails show the background only.
inline constexpr int64_t MAX_DRAWABLE_BODY = int64_t{1} << 26;

// Where one part goes on its thumbnail canvas.
struct ThumbnailGeometry {
    int32_t side = LARGE_THUMBNAIL_SIDE;  // canvas side in pixels
    int32_t margin = 0;                   // drawing units from the top-left edges to the body
    Point bodySize;                       // drawing units, direction 0
    Point position;  // where the placed component goes: the body's lower right corner
    int32_t num = 1;
    int32_t den = 1;
    bool drawable = true;  // false: the canvas stays blank
};

// s = max(bw, bh) + 40 with a margin of 20; a canvas smaller than 64 becomes 64 with the
// part moved in by half the difference. Sizes in drawing units (grid units times 10).
ThumbnailGeometry ComputeThumbnailGeometry(int64_t bodyWidth, int64_t bodyHeight);
// The same for an entry's definition (a missing definition counts as 0 x 0).
ThumbnailGeometry ComputeThumbnailGeometry(const CLibEntry& entry);

// Makes a width x height canvas whose pixels can be read back (render/qt: CQtCanvas); null
// when it cannot.
using CanvasMaker = std::function<std::unique_ptr<CDrawSurface>(int32_t width, int32_t height)>;

// The large and small thumbnails of one part: opaque where drawn, fully transparent
// where a pixel equals the background colour.
struct PartThumbnails {
    ArgbImage large;
    ArgbImage small;
    bool IsValid() const { return !large.IsNull() && !small.IsNull(); }
};

// Draws entry at full size on a canvas filled with the background colour ("BG") and
// shrinks it to 64 x 64 and 32 x 32 by area averaging. Invalid when no canvas could be
// made or a resampling failed.
PartThumbnails MakePartThumbnails(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                                  const CLibEntry& entry);

// An image list: the index of an image is its position.
using ImageList = std::vector<ArgbImage>;

// Renders entry's thumbnails and appends the large one to large and the small one to
// small; returns the index the large image received, or -1 when no image was made. Both
// lists get an image or neither does, so they stay in step.
int32_t RenderPartThumbnails(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                             const CLibEntry& entry, ImageList& large, ImageList& small);

// The scrollable size of the preview: the body plus 40 on every side; (0, 0) without an
// entry. Saturates rather than wrapping for absurd sizes.
Point PreviewExtent(const CLibEntry* entry);

// Draws entry for the preview: named after the entry, with its reference prefix, the body's
// top-left corner at (40, 40), normal colours, scale 1. Nothing without an entry. The
// caller fills the background.
void DrawPartPreview(CDrawSurface& surface, const CDisplaySettings& settings,
                     const CLibEntry* entry);

}  // namespace qurix

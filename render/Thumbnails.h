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
#include "render/Scale.h"

namespace qurix {

inline constexpr int32_t LARGE_THUMBNAIL_SIDE = 64;
inline constexpr int32_t SMALL_THUMBNAIL_SIDE = 32;
// The extra-large view's image: the large image's rules at twice the scale.
inline constexpr int32_t EXTRA_LARGE_THUMBNAIL_SIDE = 128;
// Device pixel ratios beyond this are drawn at it.
inline constexpr int32_t MAX_DEVICE_RATIO = 16;
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
// The same canvas and margin for a device pixel ratio (device pixels per logical pixel,
// num/den, 1:1 to 16:1; others are taken as the nearest of those): the part drawn at that
// scale on a canvas of ceil(s * ratio) pixels, drawn smaller again when that canvas would
// pass MAX_THUMBNAIL_CANVAS.
ThumbnailGeometry ComputeThumbnailGeometry(int64_t bodyWidth, int64_t bodyHeight, Scale ratio);

// A logical side in device pixels at ratio, rounded to the nearest pixel.
int32_t DeviceSide(int32_t logicalSide, Scale ratio);

// Makes a width x height canvas whose pixels can be read back (render/qt: CQtCanvas); null
// when it cannot.
using CanvasMaker = std::function<std::unique_ptr<CDrawSurface>(int32_t width, int32_t height)>;
// Makes the canvas makers of one background colour: the seam through which a front end
// (or a tool) gives the drawing code its canvas backend.
using CanvasFactory = std::function<CanvasMaker(Colour background)>;

// The large and small thumbnails of one part: opaque where drawn, fully transparent
// where a pixel equals the background colour.
struct PartThumbnails {
    ArgbImage large;
    ArgbImage smallImage;
    bool IsValid() const { return !large.IsNull() && !smallImage.IsNull(); }
};

// Draws entry at full size on a canvas filled with the background colour ("BG") and
// shrinks it to 64 x 64 and 32 x 32 by area averaging. At another device pixel ratio the
// part is drawn from its vectors at that scale and the images are 64 and 32 times the
// ratio. Invalid when no canvas could be made or a resampling failed.
PartThumbnails MakePartThumbnails(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                                  const CLibEntry& entry, Scale ratio = {});

// The extra-large image (128 x 128 times ratio): the large image's canvas and margin with
// the part drawn at twice the ratio, so it equals the large image at twice the ratio.
// Null when it cannot be made.
ArgbImage MakeExtraLargeThumbnail(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                                  const CLibEntry& entry, Scale ratio = {});

// An image list: the index of an image is its position.
using ImageList = std::vector<ArgbImage>;

// Renders entry's thumbnails and appends the large one to large and the small one to
// small; returns the index the large image received, or -1 when no image was made. Both
// lists get an image or neither does, so they stay in step.
int32_t RenderPartThumbnails(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                             const CLibEntry& entry, ImageList& large, ImageList& smallImage);

// The scrollable size of the preview: the body plus 40 on every side; (0, 0) without an
// entry. Saturates rather than wrapping for absurd sizes.
Point PreviewExtent(const CLibEntry* entry);

// How the preview shows a part: at a zoom (1:2 to 8:1) with the pin numbers of one block
// (gate). The default is the plain preview.
struct PreviewView {
    Scale zoom = {};
    int32_t block = 0;
};

// The zoom steps of the preview, smallest first.
inline constexpr Scale PREVIEW_ZOOMS[] = {{1, 2}, {2, 3}, {1, 1}, {3, 2}, {2, 1},
                                          {3, 1}, {4, 1}, {6, 1}, {8, 1}};
// Drawing units kept free beyond the preview's name and reference.
inline constexpr int32_t PREVIEW_LABEL_ROOM = 4;

// zoom within 1:2 .. 8:1 (a zero or negative part: 1:1).
Scale ValidPreviewZoom(Scale zoom);
// The zoom `steps` steps away from zoom (negative: smaller), stopping at the ends; a zoom
// between two steps (a fitted one) reaches the neighbouring step with the first step.
Scale StepPreviewZoom(Scale zoom, int32_t steps);
// The largest zoom, in eighths from 1:2 to 8:1, at which extent (drawing units, at 1:1)
// fits viewport (pixels); 1:1 for an empty extent.
Scale FitPreviewZoom(Point extent, Point viewport);

// The preview's scrollable size in pixels at view's zoom: PreviewExtent grown to hold the
// part's name and reference with PREVIEW_LABEL_ROOM to spare, their sizes measured by
// drawing them on measure (which is otherwise left alone by the caller: it only needs the
// preview's fonts) or, without one, estimated from their lengths.
Point PreviewExtent(const CDisplaySettings& settings, const CLibEntry* entry,
                    const PreviewView& view, CDrawSurface* measure);

// Draws entry for the preview: named after the entry, with its reference prefix, the body's
// top-left corner at (40, 40), normal colours, at view's zoom and with the pin numbers of
// view's block (out of range: block 0). Nothing without an entry. The caller fills the
// background.
void DrawPartPreview(CDrawSurface& surface, const CDisplaySettings& settings,
                     const CLibEntry* entry, const PreviewView& view = {});

// Where DrawPartPreview draws pin number pin of entry, in pixels at view's zoom: from its
// point on the body outline (from) to its outer end (to). False when there is no such
// pin or the body is not drawn.
bool PreviewPinEnds(const CLibEntry* entry, const PreviewView& view, int32_t pin, Point& from,
                    Point& to);

}  // namespace qurix

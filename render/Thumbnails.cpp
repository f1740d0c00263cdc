#include "render/Thumbnails.h"

#include <algorithm>
#include <limits>

#include "core/component/PlacedComponent.h"
#include "render/ComponentRenderer.h"
#include "render/Resample.h"

namespace qurix {

namespace {

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Body size of an entry in drawing units, without wrapping.
void EntryBodySize(const CLibEntry& entry, int64_t& width, int64_t& height) {
    const Point grid = entry.Size();
    width = int64_t{grid.x} * GRID_UNIT;
    height = int64_t{grid.y} * GRID_UNIT;
}

// A placed component showing a deep copy of entry's definition, direction 0, block 0.
void PlaceEntry(CPlacedComponent& component, const CLibEntry& entry, Point position) {
    component.SetPart(&entry);
    const char* prefix = entry.ReferencePrefix();
    component.SetReference(prefix ? prefix : "");
    component.SetPosition(position);
}

}  // namespace

ThumbnailGeometry ComputeThumbnailGeometry(int64_t bodyWidth, int64_t bodyHeight) {
    ThumbnailGeometry g;
    bodyWidth = std::max<int64_t>(bodyWidth, 0);
    bodyHeight = std::max<int64_t>(bodyHeight, 0);
    if (bodyWidth > MAX_DRAWABLE_BODY || bodyHeight > MAX_DRAWABLE_BODY) {
        g.drawable = false;
        g.margin = THUMBNAIL_MARGIN;
        return g;
    }
    g.bodySize = Point{static_cast<int32_t>(bodyWidth), static_cast<int32_t>(bodyHeight)};
    int64_t s = std::max(bodyWidth, bodyHeight) + 2 * THUMBNAIL_MARGIN;
    int64_t m = THUMBNAIL_MARGIN;
    if (s < LARGE_THUMBNAIL_SIDE) {
        m = (LARGE_THUMBNAIL_SIDE - s) / 2 + THUMBNAIL_MARGIN;
        s = LARGE_THUMBNAIL_SIDE;
    }
    g.margin = static_cast<int32_t>(m);
    g.position = Point{static_cast<int32_t>(m + bodyWidth), static_cast<int32_t>(m + bodyHeight)};
    if (s > MAX_THUMBNAIL_CANVAS) {
        // Drawn at 1/den so that the canvas stays within bounds.
        g.den = static_cast<int32_t>((s + MAX_THUMBNAIL_CANVAS - 1) / MAX_THUMBNAIL_CANVAS);
        s = (s + g.den - 1) / g.den;
    }
    g.side = static_cast<int32_t>(s);
    return g;
}

ThumbnailGeometry ComputeThumbnailGeometry(const CLibEntry& entry) {
    int64_t w = 0, h = 0;
    EntryBodySize(entry, w, h);
    return ComputeThumbnailGeometry(w, h);
}

PartThumbnails MakePartThumbnails(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                                  const CLibEntry& entry) {
    PartThumbnails out;
    if (!makeCanvas) return out;
    const ThumbnailGeometry g = ComputeThumbnailGeometry(entry);
    const std::unique_ptr<CDrawSurface> canvas = makeCanvas(g.side, g.side);
    if (!canvas) return out;
    const Colour background = settings.colours.Get(ColourKey::BG);
    canvas->FillRect(Rect{0, 0, g.side, g.side}, background);
    if (g.drawable) {
        CPlacedComponent component;
        PlaceEntry(component, entry, g.position);
        DrawComponent(*canvas, settings, component, DRAW_NORMAL, g.num, g.den, nullptr);
    }
    CanvasPixels pixels;
    if (!canvas->ReadPixels(pixels)) return out;
    out.large = ResamplePixels(pixels, LARGE_THUMBNAIL_SIDE, LARGE_THUMBNAIL_SIDE);
    out.small = ResamplePixels(pixels, SMALL_THUMBNAIL_SIDE, SMALL_THUMBNAIL_SIDE);
    if (!out.IsValid()) return PartThumbnails{};
    ApplyKeyColour(out.large, background);
    ApplyKeyColour(out.small, background);
    return out;
}

int32_t RenderPartThumbnails(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                             const CLibEntry& entry, ImageList& large, ImageList& small) {
    PartThumbnails images = MakePartThumbnails(makeCanvas, settings, entry);
    if (!images.IsValid()) return -1;
    const auto index = static_cast<int32_t>(large.size());
    large.push_back(std::move(images.large));
    small.push_back(std::move(images.small));
    return index;
}

Point PreviewExtent(const CLibEntry* entry) {
    if (entry == nullptr) return Point{0, 0};
    int64_t w = 0, h = 0;
    EntryBodySize(*entry, w, h);
    return Point{Saturate(w + 2 * PREVIEW_MARGIN), Saturate(h + 2 * PREVIEW_MARGIN)};
}

void DrawPartPreview(CDrawSurface& surface, const CDisplaySettings& settings,
                     const CLibEntry* entry) {
    if (entry == nullptr) return;
    int64_t w = 0, h = 0;
    EntryBodySize(*entry, w, h);
    if (w > MAX_DRAWABLE_BODY || h > MAX_DRAWABLE_BODY) return;
    CPlacedComponent component;
    PlaceEntry(
        component, *entry,
        Point{static_cast<int32_t>(w + PREVIEW_MARGIN), static_cast<int32_t>(h + PREVIEW_MARGIN)});
    component.SetName(entry->Name());
    DrawComponent(surface, settings, component, DRAW_NORMAL, 1, 1, nullptr);
}

}  // namespace qurix

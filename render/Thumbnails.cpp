#include "render/Thumbnails.h"

#include <algorithm>
#include <limits>
#include <numeric>

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

// Ratios from 1:1 to MAX_DEVICE_RATIO:1, others taken as the nearest of those, with a
// denominator of at most 256 so that the canvas arithmetic cannot overflow.
Scale ValidRatio(Scale ratio) {
    constexpr int64_t MAX_DEN = 256;
    if (ratio.num <= 0 || ratio.den <= 0 || ratio.num <= ratio.den) return Scale{};
    if (ratio.num / ratio.den >= MAX_DEVICE_RATIO) return Scale{MAX_DEVICE_RATIO, 1};
    if (ratio.den > MAX_DEN) {
        const int64_t num = (int64_t{ratio.num} * MAX_DEN + ratio.den / 2) / ratio.den;
        ratio = Scale{static_cast<int32_t>(num), static_cast<int32_t>(MAX_DEN)};
    }
    const int32_t d = std::gcd(ratio.num, ratio.den);
    return Scale{ratio.num / d, ratio.den / d};
}

// ceil(length * ratio) without overflow for the lengths a thumbnail can have.
int64_t DeviceLength(int64_t length, Scale ratio) {
    return (length * ratio.num + ratio.den - 1) / ratio.den;
}

// Draws entry on one canvas laid out for ratio and shrinks it to each of sides; empty when
// any image cannot be made.
std::vector<ArgbImage> RenderImages(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                                    const CLibEntry& entry, Scale ratio,
                                    std::initializer_list<int32_t> sides) {
    if (!makeCanvas) return {};
    int64_t w = 0, h = 0;
    EntryBodySize(entry, w, h);
    const ThumbnailGeometry g = ComputeThumbnailGeometry(w, h, ratio);
    const std::unique_ptr<CDrawSurface> canvas = makeCanvas(g.side, g.side);
    if (!canvas) return {};
    const Colour background = settings.colours.Get(ColourKey::BG);
    canvas->FillRect(Rect{0, 0, g.side, g.side}, background);
    if (g.drawable) {
        CPlacedComponent component;
        PlaceEntry(component, entry, g.position);
        DrawComponent(*canvas, settings, component, DRAW_NORMAL, g.num, g.den, nullptr);
    }
    CanvasPixels pixels;
    if (!canvas->ReadPixels(pixels)) return {};
    std::vector<ArgbImage> images;
    for (const int32_t side : sides) {
        ArgbImage image = ResamplePixels(pixels, side, side);
        if (image.IsNull()) return {};
        ApplyKeyColour(image, background);
        images.push_back(std::move(image));
    }
    return images;
}

// The preview's component: named after the entry, its body's top-left corner at (40, 40),
// showing block (block 0 when out of range). The body must be drawable.
void PlacePreview(CPlacedComponent& component, const CLibEntry& entry, int32_t block) {
    int64_t w = 0, h = 0;
    EntryBodySize(entry, w, h);
    PlaceEntry(
        component, entry,
        Point{static_cast<int32_t>(w + PREVIEW_MARGIN), static_cast<int32_t>(h + PREVIEW_MARGIN)});
    component.SetName(entry.Name().str());
    component.SetBlock(block);
}

}  // namespace

int32_t DeviceSide(int32_t logicalSide, Scale ratio) {
    ratio = ValidRatio(ratio);
    return static_cast<int32_t>((int64_t{logicalSide} * ratio.num + ratio.den / 2) / ratio.den);
}

ThumbnailGeometry ComputeThumbnailGeometry(int64_t bodyWidth, int64_t bodyHeight) {
    return ComputeThumbnailGeometry(bodyWidth, bodyHeight, Scale{});
}

ThumbnailGeometry ComputeThumbnailGeometry(int64_t bodyWidth, int64_t bodyHeight, Scale ratio) {
    ratio = ValidRatio(ratio);
    ThumbnailGeometry g;
    bodyWidth = std::max<int64_t>(bodyWidth, 0);
    bodyHeight = std::max<int64_t>(bodyHeight, 0);
    if (bodyWidth > MAX_DRAWABLE_BODY || bodyHeight > MAX_DRAWABLE_BODY) {
        g.drawable = false;
        g.margin = THUMBNAIL_MARGIN;
        g.side = static_cast<int32_t>(DeviceLength(LARGE_THUMBNAIL_SIDE, ratio));
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
    g.num = ratio.num;
    g.den = ratio.den;
    int64_t device = DeviceLength(s, ratio);
    if (device > MAX_THUMBNAIL_CANVAS) {
        // Drawn smaller again so that the canvas stays within bounds.
        const int64_t extra = (device + MAX_THUMBNAIL_CANVAS - 1) / MAX_THUMBNAIL_CANVAS;
        g.den = static_cast<int32_t>(g.den * extra);
        device = (s * g.num + g.den - 1) / g.den;
        const int32_t d = std::gcd(g.num, g.den);
        g.num /= d;
        g.den /= d;
    }
    g.side = static_cast<int32_t>(device);
    return g;
}

ThumbnailGeometry ComputeThumbnailGeometry(const CLibEntry& entry) {
    int64_t w = 0, h = 0;
    EntryBodySize(entry, w, h);
    return ComputeThumbnailGeometry(w, h);
}

PartThumbnails MakePartThumbnails(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                                  const CLibEntry& entry, Scale ratio) {
    std::vector<ArgbImage> images = RenderImages(
        makeCanvas, settings, entry, ratio,
        {DeviceSide(LARGE_THUMBNAIL_SIDE, ratio), DeviceSide(SMALL_THUMBNAIL_SIDE, ratio)});
    if (images.size() != 2) return PartThumbnails{};
    return PartThumbnails{std::move(images[0]), std::move(images[1])};
}

ArgbImage MakeExtraLargeThumbnail(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                                  const CLibEntry& entry, Scale ratio) {
    ratio = ValidRatio(ratio);
    const Scale twice{WrapMul(ratio.num, 2), ratio.den};
    std::vector<ArgbImage> images = RenderImages(makeCanvas, settings, entry, twice,
                                                 {DeviceSide(EXTRA_LARGE_THUMBNAIL_SIDE, ratio)});
    return images.empty() ? ArgbImage{} : std::move(images[0]);
}

int32_t RenderPartThumbnails(const CanvasMaker& makeCanvas, const CDisplaySettings& settings,
                             const CLibEntry& entry, ImageList& large, ImageList& smallImage) {
    PartThumbnails images = MakePartThumbnails(makeCanvas, settings, entry);
    if (!images.IsValid()) return -1;
    const auto index = static_cast<int32_t>(large.size());
    large.push_back(std::move(images.large));
    smallImage.push_back(std::move(images.smallImage));
    return index;
}

Point PreviewExtent(const CLibEntry* entry) {
    if (entry == nullptr) return Point{0, 0};
    int64_t w = 0, h = 0;
    EntryBodySize(*entry, w, h);
    return Point{Saturate(w + 2 * PREVIEW_MARGIN), Saturate(h + 2 * PREVIEW_MARGIN)};
}

Scale ValidPreviewZoom(Scale zoom) {
    const Scale smallest = PREVIEW_ZOOMS[0];
    const Scale largest = PREVIEW_ZOOMS[std::size(PREVIEW_ZOOMS) - 1];
    if (zoom.num <= 0 || zoom.den <= 0) return Scale{};
    if (int64_t{zoom.num} * smallest.den < int64_t{smallest.num} * zoom.den) return smallest;
    if (int64_t{zoom.num} * largest.den > int64_t{largest.num} * zoom.den) return largest;
    return zoom;
}

Scale StepPreviewZoom(Scale zoom, int32_t steps) {
    zoom = ValidPreviewZoom(zoom);
    // Compares zoom with a step: negative below, 0 equal, positive above.
    auto compare = [&](Scale step) {
        const int64_t l = int64_t{zoom.num} * step.den;
        const int64_t r = int64_t{step.num} * zoom.den;
        return l < r ? -1 : (l > r ? 1 : 0);
    };
    const auto count = static_cast<int32_t>(std::size(PREVIEW_ZOOMS));
    // The first step not below zoom.
    int32_t at = 0;
    while (at < count - 1 && compare(PREVIEW_ZOOMS[at]) > 0) ++at;
    if (steps == 0) return compare(PREVIEW_ZOOMS[at]) == 0 ? PREVIEW_ZOOMS[at] : zoom;
    // Between two steps, the step above already counts as the first step up.
    if (steps > 0 && compare(PREVIEW_ZOOMS[at]) < 0) --steps;
    const int64_t target = std::clamp<int64_t>(int64_t{at} + steps, 0, count - 1);
    return PREVIEW_ZOOMS[target];
}

Scale FitPreviewZoom(Point extent, Point viewport) {
    constexpr int64_t EIGHTHS = 8;
    if (extent.x <= 0 || extent.y <= 0) return Scale{};
    const int64_t across = int64_t{std::max(viewport.x, 0)} * EIGHTHS / extent.x;
    const int64_t down = int64_t{std::max(viewport.y, 0)} * EIGHTHS / extent.y;
    const Scale smallest = PREVIEW_ZOOMS[0];
    const Scale largest = PREVIEW_ZOOMS[std::size(PREVIEW_ZOOMS) - 1];
    const int64_t eighths =
        std::clamp<int64_t>(std::min(across, down), EIGHTHS * smallest.num / smallest.den,
                            EIGHTHS * largest.num / largest.den);
    const auto num = static_cast<int32_t>(eighths);
    const int32_t d = std::gcd(num, static_cast<int32_t>(EIGHTHS));
    return Scale{num / d, static_cast<int32_t>(EIGHTHS) / d};
}

Point PreviewExtent(const CDisplaySettings& settings, const CLibEntry* entry,
                    const PreviewView& view, CDrawSurface* measure) {
    if (entry == nullptr) return Point{0, 0};
    const Scale zoom = ValidPreviewZoom(view.zoom);
    int64_t w = 0, h = 0;
    EntryBodySize(*entry, w, h);
    int64_t right = w + 2 * PREVIEW_MARGIN;
    int64_t bottom = h + 2 * PREVIEW_MARGIN;
    if (w <= MAX_DRAWABLE_BODY && h <= MAX_DRAWABLE_BODY) {
        CPlacedComponent component;
        PlacePreview(component, *entry, view.block);
        if (measure != nullptr) {
            // Drawing the texts alone reports their measured sizes to the component.
            DrawComponent(*measure, settings, component, DRAW_NORMAL | DRAW_NO_BODY, zoom.num,
                          zoom.den, nullptr);
        }
        const bool name = !component.Name().empty();
        const bool reference = !component.Reference().empty();
        for (const Rect& box : {name ? component.NameLabelRect() : Rect{},
                                reference ? component.ReferenceLabelRect() : Rect{}}) {
            right = std::max<int64_t>(right, int64_t{box.right} + PREVIEW_LABEL_ROOM);
            bottom = std::max<int64_t>(bottom, int64_t{box.bottom} + PREVIEW_LABEL_ROOM);
        }
    }
    auto scaled = [&](int64_t v) { return Saturate((v * zoom.num + zoom.den - 1) / zoom.den); };
    return Point{scaled(right), scaled(bottom)};
}

void DrawPartPreview(CDrawSurface& surface, const CDisplaySettings& settings,
                     const CLibEntry* entry, const PreviewView& view) {
    if (entry == nullptr) return;
    int64_t w = 0, h = 0;
    EntryBodySize(*entry, w, h);
    if (w > MAX_DRAWABLE_BODY || h > MAX_DRAWABLE_BODY) return;
    const Scale zoom = ValidPreviewZoom(view.zoom);
    CPlacedComponent component;
    PlacePreview(component, *entry, view.block);
    DrawComponent(surface, settings, component, DRAW_NORMAL, zoom.num, zoom.den, nullptr);
}

bool PreviewPinEnds(const CLibEntry* entry, const PreviewView& view, int32_t pin, Point& from,
                    Point& to) {
    if (entry == nullptr) return false;
    int64_t w = 0, h = 0;
    EntryBodySize(*entry, w, h);
    if (w > MAX_DRAWABLE_BODY || h > MAX_DRAWABLE_BODY) return false;
    const Scale zoom = ValidPreviewZoom(view.zoom);
    CPlacedComponent component;
    PlacePreview(component, *entry, view.block);
    const PlacedPin placed = component.PinPosition(pin);
    if (!placed) return false;
    const auto scaled = [&](Point p) {
        return Point{Saturate(int64_t{p.x} * zoom.num / zoom.den),
                     Saturate(int64_t{p.y} * zoom.num / zoom.den)};
    };
    from = scaled(placed.position);
    to = scaled(placed.tip);
    return true;
}

}  // namespace qurix

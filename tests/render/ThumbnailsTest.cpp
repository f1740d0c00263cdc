#include "render/Thumbnails.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/core/TextReader.h"
#include "tests/render/DrawingTestUtil.h"
#include "tests/render/RecordingSurface.h"

namespace qurix {
namespace {

TEST(ThumbnailsTest, CanvasSizeAndMargin) {
    struct Case {
        int64_t bw, bh;
        int32_t side, margin;
    };
    const Case cases[] = {
        {40, 20, 80, 20},  // 4 x 2 grid units
        {10, 10, 64, 27},  // 50 < 64: moved in by (64 - 50) / 2
        {0, 0, 64, 32},    // a definition cut short has no size at all
        {24, 10, 64, 20},  // exactly 64: no change
        {23, 23, 64, 20},  // 63: (64 - 63) / 2 = 0
        {300, 100, 340, 20}, {1000, 1040, 1080, 20},
    };
    for (const Case& c : cases) {
        const ThumbnailGeometry g = ComputeThumbnailGeometry(c.bw, c.bh);
        EXPECT_EQ(g.side, c.side) << c.bw << "x" << c.bh;
        EXPECT_EQ(g.margin, c.margin) << c.bw << "x" << c.bh;
        EXPECT_EQ(g.position, (Point{c.margin + static_cast<int32_t>(c.bw),
                                     c.margin + static_cast<int32_t>(c.bh)}));
        EXPECT_EQ(g.num, 1);
        EXPECT_EQ(g.den, 1);
        EXPECT_TRUE(g.drawable);
    }
}

TEST(ThumbnailsTest, HugePartsAreScaledOrLeftBlank) {
    // 300 grid units: 3040 would not fit a 2048 canvas, so it is drawn at 1/2.
    ThumbnailGeometry g = ComputeThumbnailGeometry(3000, 100);
    EXPECT_EQ(g.den, 2);
    EXPECT_EQ(g.side, 1520);
    EXPECT_EQ(g.position, (Point{3020, 120}));
    EXPECT_TRUE(g.drawable);
    g = ComputeThumbnailGeometry(2008, 10);  // 2048 exactly still fits
    EXPECT_EQ(g.den, 1);
    EXPECT_EQ(g.side, 2048);
    // Beyond what drawing space can hold with room to spare: a blank 64 x 64 canvas.
    g = ComputeThumbnailGeometry(int64_t{2147483647} * 10, 10);
    EXPECT_FALSE(g.drawable);
    EXPECT_EQ(g.side, 64);
    EXPECT_LE(ComputeThumbnailGeometry(MAX_DRAWABLE_BODY, 10).side, MAX_THUMBNAIL_CANVAS);
}

// A recording surface that also keeps pixels for its fills, so thumbnails can be made
// from it.
class FillCanvas : public CRecordingSurface {
public:
    FillCanvas(int32_t w, int32_t h) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, 0) {}
    void FillRect(const Rect& r, Colour c) override {
        CRecordingSurface::FillRect(r, c);
        for (int32_t y = std::max(r.top, 0); y < std::min(r.bottom, h_); ++y) {
            for (int32_t x = std::max(r.left, 0); x < std::min(r.right, w_); ++x) {
                px_[static_cast<size_t>(y) * w_ + x] = c;
            }
        }
    }
    bool ReadPixels(CanvasPixels& out) const override {
        out.width = w_;
        out.height = h_;
        out.bgrx.clear();
        for (Colour c : px_) {
            out.bgrx.insert(out.bgrx.end(), {ColourBlue(c), ColourGreen(c), ColourRed(c), 0});
        }
        return true;
    }

private:
    int32_t w_, h_;
    std::vector<Colour> px_;
};

struct Fixture {
    CDisplaySettings settings;
    std::vector<Point> sizes;  // every canvas asked for
    CanvasMaker maker;

    Fixture() {
        LogFont f;
        f.height = 9;
        f.SetFaceName("Tahoma");
        settings.labelRenderer = std::make_unique<CTextRenderer>(f);
        settings.compNameRenderer = std::make_unique<CTextRenderer>(f);
        maker = [this](int32_t w, int32_t h) -> std::unique_ptr<CDrawSurface> {
            sizes.push_back(Point{w, h});
            return std::make_unique<FillCanvas>(w, h);
        };
    }
};

std::unique_ptr<drawtest::OwnedEntry> Body(int32_t gx, int32_t gy, const std::string& prefix) {
    return drawtest::EntryFrom("PART", "N:PART,X:" + std::to_string(gx) + ",Y:" +
                                           std::to_string(gy) + ",B:1,R:" + prefix + "\n-COMP\n");
}

TEST(ThumbnailsTest, BodySitsAtTheMargin) {
    auto part = Body(4, 2, "IC");
    ASSERT_TRUE(part);
    Fixture f;
    // Capture the calls through a wrapper that copies them out at destruction.
    struct Capturing : FillCanvas {
        Capturing(int32_t w, int32_t h, std::vector<std::string>& out)
            : FillCanvas(w, h), out_(out) {}
        ~Capturing() override { out_ = DrawLog(); }
        std::vector<std::string>& out_;
    };
    std::vector<std::string> log;
    f.maker = [&](int32_t w, int32_t h) -> std::unique_ptr<CDrawSurface> {
        f.sizes.push_back(Point{w, h});
        return std::make_unique<Capturing>(w, h, log);
    };
    ImageList large, smallImage;
    EXPECT_EQ(RenderPartThumbnails(f.maker, f.settings, part->entry, large, smallImage), 0);
    ASSERT_EQ(f.sizes, (std::vector<Point>{{80, 80}}));
    // Fill, frame around (20, 20)-(60, 40), nothing for the empty name, the reference on
    // its baseline at (62, 49), right of the body's lower right corner.
    EXPECT_EQ(log, (std::vector<std::string>{
                       "FillRect (0,0)-(80,80) rgb(255,255,255)",
                       "Polyline (20,20)-(60,20)-(60,40)-(20,40)-(20,20) solid/1 rgb(192,0,0)",
                       "DrawString (62,40) 'IC' rgb(0,0,0) h=-9 wt=0 'Tahoma'",
                   }));
    ASSERT_EQ(large.size(), 1u);
    ASSERT_EQ(smallImage.size(), 1u);
    EXPECT_EQ(large[0].width, 64);
    EXPECT_EQ(smallImage[0].width, 32);
    // The recording surface paints only the fill: every pixel is the background, so every
    // pixel is transparent.
    for (uint32_t p : large[0].pixels) ASSERT_EQ(p, 0x00FFFFFFu);
    // The next part takes the next index in both lists.
    EXPECT_EQ(RenderPartThumbnails(f.maker, f.settings, part->entry, large, smallImage), 1);
    EXPECT_EQ(smallImage.size(), 2u);
}

TEST(ThumbnailsTest, NoCanvasNoImages) {
    auto part = Body(4, 2, "U");
    ASSERT_TRUE(part);
    Fixture f;
    ImageList large, smallImage;
    const CanvasMaker none = [](int32_t, int32_t) { return std::unique_ptr<CDrawSurface>(); };
    EXPECT_EQ(RenderPartThumbnails(none, f.settings, part->entry, large, smallImage), -1);
    // A canvas without readable pixels gives no images either, and neither list grows.
    const CanvasMaker blind = [](int32_t, int32_t) -> std::unique_ptr<CDrawSurface> {
        return std::make_unique<CRecordingSurface>();
    };
    EXPECT_EQ(RenderPartThumbnails(blind, f.settings, part->entry, large, smallImage), -1);
    EXPECT_TRUE(large.empty());
    EXPECT_TRUE(smallImage.empty());
    EXPECT_EQ(RenderPartThumbnails(CanvasMaker(), f.settings, part->entry, large, smallImage), -1);
}

TEST(ThumbnailsTest, PreviewPlacesTheBodyAtForty) {
    auto part = Body(4, 2, "U");
    ASSERT_TRUE(part);
    EXPECT_EQ(PreviewExtent(&part->entry), (Point{120, 100}));
    EXPECT_EQ(PreviewExtent(nullptr), (Point{0, 0}));
    Fixture f;
    CRecordingSurface surface;
    DrawPartPreview(surface, f.settings, &part->entry);
    // Frame (40,40)-(80,60); the part's name stands on (82, 79), the reference on (82, 69).
    EXPECT_EQ(surface.DrawLog(),
              (std::vector<std::string>{
                  "Polyline (40,40)-(80,40)-(80,60)-(40,60)-(40,40) solid/1 rgb(192,0,0)",
                  "DrawString (82,70) 'PART' rgb(0,0,0) h=-9 wt=0 'Tahoma'",
                  "DrawString (82,60) 'U' rgb(0,0,0) h=-9 wt=0 'Tahoma'",
              }));
    surface.Clear();
    DrawPartPreview(surface, f.settings, nullptr);
    EXPECT_TRUE(surface.calls.empty());
    // An absurd size saturates instead of wrapping round to a small extent.
    CComponentDef def;
    test::TextReader in("N:BIG,X:2000000000,Y:1,B:1\n-COMP\n");
    std::string name, pattern;
    def.ReadComponent(in.reader, name, pattern);
    const CLibEntry big("BIG", &def);
    EXPECT_EQ(PreviewExtent(&big).x, 2147483647);
    DrawPartPreview(surface, f.settings, &big);
    EXPECT_TRUE(surface.calls.empty());
}

TEST(ThumbnailsTest, DeviceRatioScalesCanvasAndDrawing) {
    struct Case {
        int64_t bw, bh;
        Scale ratio;
        int32_t side, margin, num, den;
    };
    const Case cases[] = {
        {40, 20, {2, 1}, 160, 20, 2, 1},            // the 80 canvas twice over
        {10, 10, {2, 1}, 128, 27, 2, 1},            // the 64 minimum twice over
        {10, 10, {3, 2}, 96, 27, 3, 2},             // a fractional ratio, canvas rounded up
        {41, 41, {3, 2}, 122, 20, 3, 2},            // 81 * 1.5 = 121.5
        {3000, 100, {2, 1}, 2027, 20, 2, 3},        // 6080 pixels: drawn at 2/3 instead
        {1000, 1000, {2, 1}, 1040, 20, 1, 1},       // 2080: drawn at 2/2, that is 1:1
        {10, 10, {1, 2}, 64, 27, 1, 1},             // below 1: taken as 1:1
        {10, 10, {0, 0}, 64, 27, 1, 1},             // no ratio at all
        {10, 10, {100, 1}, 1024, 27, 16, 1},        // beyond 16: drawn at 16
        {10, 10, {2000, 1001}, 128, 27, 511, 256},  // a long fraction, cut to 256ths
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.bw << "x" << c.bh << " at " << c.ratio.num << "/" << c.ratio.den);
        const ThumbnailGeometry g = ComputeThumbnailGeometry(c.bw, c.bh, c.ratio);
        EXPECT_EQ(g.side, c.side);
        EXPECT_EQ(g.margin, c.margin);
        EXPECT_EQ(g.num, c.num);
        EXPECT_EQ(g.den, c.den);
        // The part's place in drawing units does not depend on the ratio.
        EXPECT_EQ(g.position, ComputeThumbnailGeometry(c.bw, c.bh).position);
    }
    EXPECT_EQ(DeviceSide(64, Scale{2, 1}), 128);
    EXPECT_EQ(DeviceSide(32, Scale{5, 4}), 40);
    EXPECT_EQ(DeviceSide(64, Scale{1, 3}), 64);
    EXPECT_EQ(ComputeThumbnailGeometry(int64_t{1} << 40, 10, Scale{2, 1}).side, 128);
}

TEST(ThumbnailsTest, ImagesAtARatioComeFromOneCanvasDrawnAtIt) {
    auto part = Body(4, 2, "IC");
    ASSERT_TRUE(part);
    Fixture f;
    const PartThumbnails t = MakePartThumbnails(f.maker, f.settings, part->entry, Scale{2, 1});
    ASSERT_TRUE(t.IsValid());
    EXPECT_EQ(t.large.width, 128);
    EXPECT_EQ(t.smallImage.width, 64);
    const ArgbImage extra = MakeExtraLargeThumbnail(f.maker, f.settings, part->entry);
    EXPECT_EQ(extra.width, 128);
    EXPECT_EQ(MakeExtraLargeThumbnail(f.maker, f.settings, part->entry, Scale{3, 2}).width, 192);
    // One canvas per set of images, twice the 80 canvas each time, then three times.
    EXPECT_EQ(f.sizes, (std::vector<Point>{{160, 160}, {160, 160}, {240, 240}}));
    const CanvasMaker none = [](int32_t, int32_t) { return std::unique_ptr<CDrawSurface>(); };
    EXPECT_TRUE(MakeExtraLargeThumbnail(none, f.settings, part->entry).IsNull());
}

TEST(ThumbnailsTest, ZoomStepsAndFit) {
    struct Step {
        Scale from;
        int32_t steps;
        Scale to;
    };
    const Step steps[] = {
        {{1, 1}, 1, {3, 2}},   {{1, 1}, -1, {2, 3}},
        {{1, 1}, 2, {2, 1}},   {{8, 1}, 1, {8, 1}},  // stops at the largest
        {{1, 2}, -1, {1, 2}},                        // and at the smallest
        {{1, 1}, 100, {8, 1}}, {{1, 1}, -100, {1, 2}},
        {{5, 4}, 1, {3, 2}},   // between 1:1 and 3:2: the first step up reaches 3:2
        {{5, 4}, -1, {1, 1}},  // and the first step down 1:1
        {{5, 4}, 0, {5, 4}},   {{2, 2}, 0, {1, 1}},
        {{0, 0}, 1, {3, 2}},  // no zoom is 1:1
        {{1, 5}, 1, {2, 3}},  // below the range: from 1:2
        {{50, 1}, -1, {6, 1}},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(StepPreviewZoom(s.from, s.steps), s.to)
            << s.from.num << "/" << s.from.den << " by " << s.steps;
    }
    struct Fit {
        Point extent, viewport;
        Scale zoom;
    };
    const Fit fits[] = {
        {{120, 100}, {480, 400}, {4, 1}},
        {{120, 100}, {480, 200}, {2, 1}},
        {{120, 100}, {130, 100}, {1, 1}},
        {{120, 100}, {180, 150}, {3, 2}},
        {{120, 100}, {60, 400}, {1, 2}},     // never below 1:2
        {{120, 100}, {9999, 9999}, {8, 1}},  // never above 8:1
        {{120, 100}, {0, 0}, {1, 2}},
        {{0, 0}, {100, 100}, {1, 1}},
        {{2147483647, 100}, {1000, 1000}, {1, 2}},
    };
    for (const Fit& c : fits) {
        EXPECT_EQ(FitPreviewZoom(c.extent, c.viewport), c.zoom)
            << c.viewport.x << "x" << c.viewport.y;
    }
}

TEST(ThumbnailsTest, PreviewAtAZoomAndABlock) {
    // Two blocks: pin 1 is numbered 1 in block A and 5 in block B.
    auto part = drawtest::EntryFrom("GATE",
                                    "N:GATE,X:4,Y:2,B:2,R:U\n"
                                    "+PIN,N:,L:L1,T:,M:1,M:5,-PIN\n-COMP\n");
    ASSERT_TRUE(part);
    Fixture f;
    auto numbers = [&](const PreviewView& view) {
        CRecordingSurface surface;
        DrawPartPreview(surface, f.settings, &part->entry, view);
        std::vector<std::string> texts;
        for (const DrawCall& c : surface.CallsOf(DrawCall::Kind::DrawString)) {
            texts.push_back(c.text);
        }
        return texts;
    };
    using Texts = std::vector<std::string>;
    EXPECT_EQ(numbers(PreviewView{}), (Texts{"1", "GATE", "U"}));
    EXPECT_EQ(numbers(PreviewView{.block = 1}), (Texts{"5", "GATE", "U"}));
    EXPECT_EQ(numbers(PreviewView{.block = 2}), (Texts{"1", "GATE", "U"}));  // out of range
    EXPECT_EQ(numbers(PreviewView{.block = -1}), (Texts{"1", "GATE", "U"}));
    // Below 1:1 pin texts are left out, as everywhere.
    EXPECT_EQ(numbers(PreviewView{.zoom = {1, 2}}), (Texts{"GATE", "U"}));

    // At 2:1 the frame is twice as far and as large, with a pen of 2.
    auto body = Body(4, 2, "U");
    ASSERT_TRUE(body);
    CRecordingSurface surface;
    DrawPartPreview(surface, f.settings, &body->entry, PreviewView{.zoom = {2, 1}});
    ASSERT_FALSE(surface.calls.empty());
    EXPECT_EQ(surface.DrawLog()[0],
              "Polyline (80,80)-(160,80)-(160,120)-(80,120)-(80,80) solid/2 rgb(192,0,0)");
}

// The preview marks a chosen pin where the drawing has it: from the body to its outer end.
TEST(ThumbnailsTest, PreviewPinEndsAreWhereThePinIsDrawn) {
    auto part = drawtest::EntryFrom("GATE",
                                    "N:GATE,X:4,Y:2,B:2,R:U\n"
                                    "+PIN,N:,L:L1,T:,M:1,M:5,-PIN\n"
                                    "+PIN,N:,L:B2,T:Z,M:2,M:6,-PIN\n-COMP\n");
    ASSERT_TRUE(part);
    struct Case {
        PreviewView view;
        int32_t pin;
        bool found;
        Point from, to;
    } const cases[] = {
        {{}, 0, true, {40, 50}, {30, 50}},                  // left, one grid unit down
        {{.zoom = {2, 1}}, 0, true, {80, 100}, {60, 100}},  // everything twice as far
        {{.zoom = {1, 2}}, 0, true, {20, 25}, {15, 25}},
        {{}, 1, true, {60, 60}, {60, 60}},  // "Z": its end on the outline
        {{}, 2, false, {}, {}},             // no such pin
        {{}, -1, false, {}, {}},
    };
    for (const Case& c : cases) {
        Point from{-1, -1};
        Point to{-1, -1};
        EXPECT_EQ(PreviewPinEnds(&part->entry, c.view, c.pin, from, to), c.found) << c.pin;
        if (!c.found) continue;
        EXPECT_EQ(from, c.from) << c.pin << " at " << c.view.zoom.num << ":" << c.view.zoom.den;
        EXPECT_EQ(to, c.to) << c.pin << " at " << c.view.zoom.num << ":" << c.view.zoom.den;
    }
    Point from;
    Point to;
    EXPECT_FALSE(PreviewPinEnds(nullptr, {}, 0, from, to));
}

TEST(ThumbnailsTest, PreviewExtentHoldsTheName) {
    Fixture f;
    auto named = [](const std::string& name) {
        return drawtest::EntryFrom(name, "N:" + name + ",X:4,Y:2,B:1,R:U\n-COMP\n");
    };
    auto shortName = named("PART");
    auto longName = named(std::string(40, 'W'));
    ASSERT_TRUE(shortName && longName);
    CRecordingSurface measure;
    // A name that fits keeps the plain extent, measured or estimated, at any zoom.
    EXPECT_EQ(PreviewExtent(f.settings, &shortName->entry, PreviewView{}, &measure),
              PreviewExtent(&shortName->entry));
    EXPECT_EQ(PreviewExtent(f.settings, &shortName->entry, PreviewView{}, nullptr),
              (Point{120, 100}));
    EXPECT_EQ(PreviewExtent(f.settings, &shortName->entry, PreviewView{.zoom = {3, 2}}, nullptr),
              (Point{180, 150}));
    // 40 characters of 4 units measured from x = 82: 82 + 160 + 4; estimated at 8 a byte.
    EXPECT_EQ(PreviewExtent(f.settings, &longName->entry, PreviewView{}, &measure),
              (Point{246, 100}));
    EXPECT_EQ(PreviewExtent(f.settings, &longName->entry, PreviewView{}, nullptr),
              (Point{406, 100}));
    // At 2:1 the text is measured in the larger font (advance 9, 4.5 units a character).
    EXPECT_EQ(PreviewExtent(f.settings, &longName->entry, PreviewView{.zoom = {2, 1}}, &measure),
              (Point{532, 200}));
    EXPECT_EQ(PreviewExtent(f.settings, nullptr, PreviewView{}, &measure), (Point{0, 0}));
}

}  // namespace
}  // namespace qurix

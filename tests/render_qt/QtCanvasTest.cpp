#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <set>

#include "render/qt/QtCanvas.h"
#include "tests/render_qt/PixelArt.h"

namespace qurix {
namespace {

constexpr Colour WHITE = COLOUR_WHITE;
constexpr Colour RED = MakeColour(255, 0, 0);
constexpr Colour BLUE = MakeColour(0, 0, 255);
constexpr Colour GREY = MakeColour(128, 128, 128);

using Art = std::vector<std::string>;

Art Picture(const CQtCanvas& canvas) {
    return PixelArt(canvas.Image(), 0, 0, canvas.Width(), canvas.Height(),
                    {{WHITE, '.'}, {RED, '#'}, {BLUE, 'o'}, {GREY, '-'}});
}

std::set<std::pair<int, int>> InkOf(const CQtCanvas& canvas, Colour ink) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (PixelColour(canvas.Image(), x, y) == ink) out.insert({x, y});
    return out;
}

TEST(QtCanvasTest, LineSetsItsStartPixelAndNotItsEnd) {
    struct Case {
        Point from, to;
        Art expected;
    };
    const Case cases[] = {
        {{2, 3},
         {9, 6},
         {"..........", "..........", "..........", "..##......", "....##....", "......##..",
          "........#.", ".........."}},
        // Backwards the halves round the other way: still from the start, without the end.
        {{9, 6},
         {2, 3},
         {"..........", "..........", "..........", "...#......", "....##....", "......##..",
          "........##", ".........."}},
        {{5, 1},
         {5, 5},
         {"..........", ".....#....", ".....#....", ".....#....", ".....#....", "..........",
          "..........", ".........."}},
        {{0, 7},
         {4, 7},
         {"..........", "..........", "..........", "..........", "..........", "..........",
          "..........", "####......"}},
        {{3, 3}, {3, 3}, Art(8, "..........")},
    };
    for (const Case& c : cases) {
        for (int32_t width : {0, 1}) {
            CQtCanvas canvas(10, 8, WHITE);
            canvas.Line(c.from, c.to, Pen::Solid(width, RED));
            EXPECT_EQ(Picture(canvas), c.expected)
                << c.from.x << "," << c.from.y << " - " << c.to.x << "," << c.to.y;
        }
    }
}

// Boxes exclude their right and bottom edges whichever way their corners are given; a
// null brush leaves the inside alone; an ellipse is inscribed in its box, an odd size
// centred on a pixel.
TEST(QtCanvasTest, BoxShapesFillTheirBox) {
    const struct Case {
        bool ellipse;
        Colour background;
        Rect box;
        int penWidth;
        Brush brush;
        Art expected;
    } cases[] = {
        {false,
         WHITE,
         Rect{2, 1, 8, 6},
         1,
         Brush::Solid(BLUE),
         {"..........", "..######..", "..#oooo#..", "..#oooo#..", "..#oooo#..", "..######..",
          ".........."}},
        {false,
         GREY,
         Rect{8, 6, 2, 1},
         0,
         Brush::Null(),
         {"----------", "--######--", "--#----#--", "--#----#--", "--#----#--", "--######--",
          "----------"}},
        {true,
         WHITE,
         Rect{1, 1, 9, 9},
         1,
         Brush::Solid(BLUE),
         {"..........", "...####...", "..#oooo#..", ".#oooooo#.", ".#oooooo#.", ".#oooooo#.",
          ".#oooooo#.", "..#oooo#..", "...####...", ".........."}},
        // The stock white brush fills white.
        {true,
         GREY,
         Rect{8, 6, 1, 1},
         0,
         Brush::StockWhite(),
         {"---------", "---###---", "--#...#--", "-#.....#-", "--#...#--", "---###---",
          "---------"}},
    };
    for (const Case& c : cases) {
        CQtCanvas canvas(static_cast<int>(c.expected[0].size()),
                         static_cast<int>(c.expected.size()), c.background);
        if (c.ellipse) {
            canvas.Ellipse(c.box, Pen::Solid(c.penWidth, RED), c.brush);
        } else {
            canvas.Rectangle(c.box, Pen::Solid(c.penWidth, RED), c.brush);
        }
        EXPECT_EQ(Picture(canvas), c.expected) << c.box.left << "," << c.box.top;
    }
}

TEST(QtCanvasTest, DegenerateRectangles) {
    // One pixel across is a bar; zero across is nothing.
    CQtCanvas thin(6, 4, WHITE);
    thin.Rectangle(Rect{1, 1, 2, 4}, Pen::Solid(1, RED), Brush::StockBlack());
    thin.Rectangle(Rect{3, 1, 6, 2}, Pen::Solid(1, RED), Brush::StockBlack());
    thin.Rectangle(Rect{3, 3, 3, 4}, Pen::Solid(1, RED), Brush::StockBlack());
    EXPECT_EQ(Picture(thin), (Art{"......", ".#.###", ".#....", ".#...."}));
}

TEST(QtCanvasTest, ArcRunsCounterClockwiseBetweenTheRays) {
    // The quarter from the right to the top of an 11 x 11 circle centred on (5, 5).
    CQtCanvas quarter(11, 11, WHITE);
    quarter.Arc(Rect{0, 0, 11, 11}, Point{10, 5}, Point{5, 0}, Pen::Solid(1, RED));
    EXPECT_EQ(Picture(quarter), (Art{
                                    ".....###...",
                                    "........#..",
                                    ".........#.",
                                    "..........#",
                                    "..........#",
                                    "..........#",
                                    "...........",
                                    "...........",
                                    "...........",
                                    "...........",
                                    "...........",
                                }));
    // Only the rays count, not how far out the points lie.
    CQtCanvas far(11, 11, WHITE);
    far.Arc(Rect{0, 0, 11, 11}, Point{500, 5}, Point{5, -70}, Pen::Solid(1, RED));
    EXPECT_EQ(Picture(far), Picture(quarter));

    // From the top round to the right: the other three quarters, both ends included.
    CQtCanvas rest(11, 11, WHITE);
    rest.Arc(Rect{0, 0, 11, 11}, Point{5, 0}, Point{10, 5}, Pen::Solid(1, RED));
    CQtCanvas full(11, 11, WHITE);
    full.Ellipse(Rect{0, 0, 11, 11}, Pen::Solid(1, RED), Brush::Null());
    std::set<std::pair<int, int>> expected = InkOf(full, RED);
    for (auto p : InkOf(quarter, RED))
        if (p != std::pair{5, 0} && p != std::pair{10, 5}) expected.erase(p);
    EXPECT_EQ(InkOf(rest, RED), expected);

    // The same ray twice is the whole ellipse.
    CQtCanvas round(11, 11, WHITE);
    round.Arc(Rect{0, 0, 11, 11}, Point{0, 0}, Point{0, 0}, Pen::Solid(1, RED));
    EXPECT_EQ(Picture(round), Picture(full));
}

TEST(QtCanvasTest, DottedPenThreeOnThreeOffAlongThePath) {
    CQtCanvas canvas(22, 3, WHITE);
    canvas.Line(Point{0, 1}, Point{20, 1}, Pen::Dotted(1, RED));
    EXPECT_EQ(Picture(canvas)[1], "###...###...###...##..");

    // The pattern runs on round a corner, and gaps leave the target alone.
    CQtCanvas corner(6, 6, GREY);
    const Point path[3] = {{0, 1}, {4, 1}, {4, 5}};
    corner.Polyline(path, Pen::Dotted(0, RED));
    EXPECT_EQ(Picture(corner), (Art{"------", "###---", "------", "----#-", "----#-", "------"}));
}

// Whether any pixel of column x differs from the background.
bool ColumnHasInk(const CQtCanvas& canvas, int x) {
    for (int y = 0; y < canvas.Height(); ++y)
        if (PixelColour(canvas.Image(), x, y) != WHITE) return true;
    return false;
}

TEST(QtCanvasTest, DashedGeometricPenRepeatsEveryFourWidths) {
    // Width 2: dash 4, gap 4, each dash with round caps; the pattern starts at the start.
    CQtCanvas canvas(60, 21, WHITE);
    canvas.Line(Point{2, 10}, Point{50, 10}, Pen::Dashed(2, RED));
    for (int k = 0; k < 5; ++k) {
        EXPECT_TRUE(ColumnHasInk(canvas, 4 + 8 * k)) << "dash " << k;
        EXPECT_FALSE(ColumnHasInk(canvas, 8 + 8 * k)) << "gap " << k;
    }
    for (int x = 3; x < 40; ++x)
        EXPECT_EQ(ColumnHasInk(canvas, x), ColumnHasInk(canvas, x + 8)) << x;
    int rows = 0;
    for (int y = 0; y < canvas.Height(); ++y) rows += PixelColour(canvas.Image(), 4, y) == RED;
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(PixelColour(canvas.Image(), 4, 10), RED);
    EXPECT_FALSE(ColumnHasInk(canvas, 0));

    // The pattern runs on from one segment to the next.
    CQtCanvas bent(60, 40, WHITE);
    const Point path[3] = {{2, 10}, {6, 10}, {6, 40}};
    bent.Polyline(path, Pen::Dashed(2, RED));
    EXPECT_EQ(PixelColour(bent.Image(), 6, 12), WHITE);  // in the gap that began on the first
    EXPECT_EQ(PixelColour(bent.Image(), 6, 16), RED);
}

TEST(QtCanvasTest, WidePensAreCentredOnThePath) {
    CQtCanvas canvas(40, 40, WHITE);
    canvas.Line(Point{5, 20}, Point{30, 20}, Pen::Solid(3, RED));
    std::vector<int> rows;
    for (int y = 0; y < 40; ++y)
        if (PixelColour(canvas.Image(), 15, y) == RED) rows.push_back(y);
    EXPECT_EQ(rows, (std::vector<int>{19, 20, 21}));
    // A dotted pen wider than one pixel draws solid.
    CQtCanvas dotted(40, 40, WHITE);
    dotted.Line(Point{5, 20}, Point{30, 20}, Pen::Dotted(3, RED));
    EXPECT_EQ(Picture(dotted), Picture(canvas));
}

TEST(QtCanvasTest, PolygonFillsByTheWindingRule) {
    // A five-pointed star drawn in one stroke: its centre is wound twice, so it is filled.
    CQtCanvas canvas(40, 40, WHITE);
    const Point star[5] = {{20, 3}, {30, 34}, {4, 14}, {36, 14}, {10, 34}};
    canvas.Polygon(star, Pen::Solid(1, RED), Brush::Solid(BLUE));
    EXPECT_EQ(PixelColour(canvas.Image(), 20, 20), BLUE);
    for (const Point& p : star) EXPECT_EQ(PixelColour(canvas.Image(), p.x, p.y), RED);
    EXPECT_EQ(PixelColour(canvas.Image(), 20, 36), WHITE);

    // The outline closes itself: the last point joins the first.
    CQtCanvas triangle(8, 6, WHITE);
    const Point corners[3] = {{1, 1}, {6, 1}, {1, 4}};
    triangle.Polygon(corners, Pen::Solid(1, RED), Brush::Null());
    EXPECT_EQ(Picture(triangle), (Art{
                                     "........",
                                     ".######.",
                                     ".#..##..",
                                     ".###....",
                                     ".#......",
                                     "........",
                                 }));
}

TEST(QtCanvasTest, StretchedBitmapSetBitsTakeTheColour) {
    // 2 x 2, a diagonal, blown up to 4 x 4 pixels each over grey.
    const uint8_t diagonal[4] = {0x80, 0x00, 0x40, 0x00};
    CQtCanvas big(10, 10, GREY);
    big.StretchMonoBitmap(Rect{1, 1, 9, 9}, MonoBitmap{diagonal, 2, 2, 2}, BLUE);
    EXPECT_EQ(Picture(big), (Art{
                                "----------",
                                "-oooo-----",
                                "-oooo-----",
                                "-oooo-----",
                                "-oooo-----",
                                "-----oooo-",
                                "-----oooo-",
                                "-----oooo-",
                                "-----oooo-",
                                "----------",
                            }));

    // 4 x 4 halved: each target pixel ORs the 2 x 2 it covers, so single set bits survive.
    const uint8_t sparse[8] = {0x80, 0, 0x00, 0, 0x10, 0, 0x00, 0};
    CQtCanvas half(3, 3, GREY);
    half.StretchMonoBitmap(Rect{0, 0, 2, 2}, MonoBitmap{sparse, 4, 4, 2}, RED);
    EXPECT_EQ(Picture(half), (Art{"#--", "-#-", "---"}));
    // One pixel more each way, as a shrunk pattern bitmap is drawn: 4 onto 3.
    CQtCanvas third(4, 4, GREY);
    third.StretchMonoBitmap(Rect{0, 0, 3, 3}, MonoBitmap{sparse, 4, 4, 2}, RED);
    EXPECT_EQ(Picture(third), (Art{"#---", "----", "--#-", "----"}));

    // Clipped at the canvas edge and nothing for an empty destination.
    CQtCanvas edge(3, 3, GREY);
    edge.StretchMonoBitmap(Rect{-2, -2, 2, 2}, MonoBitmap{diagonal, 2, 2, 2}, RED);
    edge.StretchMonoBitmap(Rect{0, 0, 0, 3}, MonoBitmap{diagonal, 2, 2, 2}, BLUE);
    EXPECT_EQ(Picture(edge), (Art{"##-", "##-", "---"}));
}

TEST(QtCanvasTest, FillRectAndPixels) {
    CQtCanvas canvas(4, 3, WHITE);
    canvas.FillRect(Rect{1, 0, 3, 2}, RED);
    canvas.FillRect(Rect{3, 3, 0, 2}, BLUE);  // corners swapped
    EXPECT_EQ(Picture(canvas), (Art{".##.", ".##.", "ooo."}));
    CanvasPixels pixels;
    ASSERT_TRUE(canvas.ReadPixels(pixels));
    EXPECT_EQ(pixels.width, 4);
    EXPECT_EQ(pixels.height, 3);
    ASSERT_EQ(pixels.bgrx.size(), 48u);
    EXPECT_EQ(std::vector<uint8_t>(pixels.bgrx.begin(), pixels.bgrx.begin() + 8),
              (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 255, 0}));
    EXPECT_EQ(std::vector<uint8_t>(pixels.bgrx.begin() + 32, pixels.bgrx.begin() + 36),
              (std::vector<uint8_t>{255, 0, 0, 0}));

    const QImage taken = canvas.TakeImage();
    EXPECT_EQ(PixelColour(taken, 1, 0), RED);
    canvas.FillRect(Rect{0, 0, 4, 3}, RED);  // finished: ignored
    EXPECT_FALSE(canvas.ReadPixels(pixels));
}

TEST(QtCanvasTest, CanvasTooLargeDrawsNothing) {
    CQtCanvas canvas(1 << 30, 1 << 30, WHITE);
    EXPECT_FALSE(canvas.IsValid());
    canvas.Line(Point{0, 0}, Point{10, 10}, Pen::Solid(1, RED));
    canvas.FillRect(Rect{0, 0, 10, 10}, RED);
    CanvasPixels pixels;
    EXPECT_FALSE(canvas.ReadPixels(pixels));
    CQtCanvas empty(0, 5, WHITE);
    EXPECT_FALSE(empty.IsValid());
}

TEST(QtCanvasTest, ExtremeCoordinatesAreDrawnQuicklyWhereTheyShow) {
    QElapsedTimer timer;
    timer.start();
    const int32_t lo = INT32_MIN;
    const int32_t hi = INT32_MAX;
    CQtCanvas canvas(64, 16, WHITE);
    canvas.Line(Point{lo, 5}, Point{hi, 5}, Pen::Solid(1, RED));
    for (int x = 0; x < 64; ++x) EXPECT_EQ(PixelColour(canvas.Image(), x, 5), RED) << x;

    CQtCanvas inside(16, 16, WHITE);
    inside.Rectangle(Rect{lo, lo, hi, hi}, Pen::Solid(1, RED), Brush::Solid(BLUE));
    EXPECT_EQ(InkOf(inside, BLUE).size(), 256u);

    // Whatever shows, none of these may fail or take long.
    CQtCanvas any(32, 32, WHITE);
    for (const Pen& pen : {Pen::Solid(1, RED), Pen::Dotted(1, RED), Pen::Solid(5, RED),
                           Pen::Dashed(3, RED), Pen::Dashed(hi, RED), Pen::Solid(lo, RED)}) {
        any.Line(Point{lo, lo}, Point{hi, hi}, pen);
        any.Line(Point{lo, 7}, Point{hi, 9}, pen);
        any.Rectangle(Rect{lo, 3, hi, 20}, pen, Brush::Null());
        any.Ellipse(Rect{lo, lo, hi, hi}, pen, Brush::Solid(BLUE));
        any.Ellipse(Rect{-100000, -3, 100000, 30}, pen, Brush::Null());
        any.Arc(Rect{lo, lo, hi, hi}, Point{hi, 0}, Point{0, lo}, pen);
        const Point poly[4] = {{lo, lo}, {hi, 3}, {5, hi}, {lo, hi}};
        any.Polygon(poly, pen, Brush::Solid(BLUE));
    }
    const uint8_t bit[2] = {0x80, 0};
    any.StretchMonoBitmap(Rect{lo, lo, hi, hi}, MonoBitmap{bit, 1, 1, 2}, RED);
    any.StretchMonoBitmap(Rect{hi, hi, lo, lo}, MonoBitmap{bit, 1, 1, 2}, RED);
    any.FillRect(Rect{hi, hi, lo, lo}, GREY);
    EXPECT_LT(timer.elapsed(), 60000);  // a guard against hanging, not a measurement
}

}  // namespace
}  // namespace qurix

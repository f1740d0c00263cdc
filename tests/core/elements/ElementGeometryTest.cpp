#include <gtest/gtest.h>

#include <climits>

#include "core/elements/ArcElement.h"
#include "core/elements/CircleElement.h"
#include "core/elements/LineElement.h"
#include "core/elements/PolygonElement.h"
#include "core/elements/TextElement.h"
#include "tests/core/elements/ElementTestUtil.h"

namespace qurix {
namespace {

TEST(SharedGeometryTest, QuarterTurnIsClockwiseOnScreen) {
    // Right of the centre goes below it; below goes left.
    EXPECT_EQ(RotateQuarter({10, 0}, {0, 0}), Point::Make(0, 10));
    EXPECT_EQ(RotateQuarter({0, 10}, {0, 0}), Point::Make(-10, 0));
    EXPECT_EQ(RotateQuarter({15, 20}, {10, 20}), Point::Make(10, 25));
    EXPECT_EQ(MirrorX(3, 10), 17);
}

TEST(SharedGeometryTest, SegmentHitTest) {
    struct Case {
        Point a, b, p;
        bool hit;
    } cases[] = {
        {{0, 0}, {100, 0}, {50, 0}, true},
        {{0, 0}, {100, 0}, {50, 1}, true},
        {{0, 0}, {100, 0}, {50, 2}, false},  // the tolerance is one unit
        {{0, 0}, {100, 0}, {50, 3}, false},
        {{0, 0}, {100, 0}, {101, 0}, true},
        {{0, 0}, {100, 0}, {102, 0}, false},
        {{0, 0}, {100, 100}, {50, 50}, true},
        {{0, 0}, {100, 100}, {50, 55}, false},
        {{5, 0}, {5, 10}, {6, 5}, true},  // vertical: any point of the widened box
        {{5, 0}, {5, 10}, {7, 5}, false},
        {{5, 0}, {5, 10}, {5, 12}, false},
        {{3, 3}, {3, 3}, {4, 4}, true},  // a point
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SegmentHitTest(c.a, c.b, c.p), c.hit)
            << c.a.x << "," << c.a.y << "-" << c.b.x << "," << c.b.y << " @ " << c.p.x << ","
            << c.p.y;
    }
}

TEST(LineGeometryTest, MoveMirrorRotateBounds) {
    CLineElement l;
    l.SetPoints({0, 0}, {100, 0});
    EXPECT_TRUE(l.IsValid());
    EXPECT_EQ(l.Bounds(), Rect::Make(0, 0, 100, 0));
    l.Move(5, -5);
    EXPECT_EQ(l.P1(), Point::Make(5, -5));
    l.MirrorAbout(0);
    EXPECT_EQ(l.P1(), Point::Make(-5, -5));
    EXPECT_EQ(l.P2(), Point::Make(-105, -5));
    EXPECT_EQ(l.Bounds(), Rect::Make(-105, -5, -5, -5));
    l.MirrorInPlace();  // about the mean x, -55
    EXPECT_EQ(l.P1(), Point::Make(-105, -5));
    l.SetPoints({0, 0}, {10, 0});
    l.RotateInPlace();  // about (5, 0)
    EXPECT_EQ(l.P1(), Point::Make(5, -5));
    EXPECT_EQ(l.P2(), Point::Make(5, 5));
    EXPECT_EQ(l.HandleCount(), 2);
    l.SetHandle(7, 1, 2);  // any index but 0 is the second point
    EXPECT_EQ(l.Handle(-3), Point::Make(1, 2));
    EXPECT_TRUE(l.IsInside(Rect::Make(0, -5, 5, 5)));
    EXPECT_FALSE(l.IsInside(Rect::Make(0, -4, 5, 5)));
}

TEST(CircleGeometryTest, RotateSwapsTheBoxMirrorInPlaceDoesNothing) {
    CCircleElement c;
    c.SetCorners({20, 10}, {0, 0});
    EXPECT_EQ(c.Bounds(), Rect::Make(0, 0, 20, 10));
    c.MirrorInPlace();
    EXPECT_EQ(c.P1(), Point::Make(20, 10));
    EXPECT_EQ(c.P2(), Point::Zero());
    c.RotateInPlace();  // about (10, 5): 20 wide, 10 high becomes 10 wide, 20 high
    EXPECT_EQ(c.Bounds(), Rect::Make(5, -5, 15, 15));
    c.MirrorAbout(0);
    EXPECT_EQ(c.Bounds(), Rect::Make(-15, -5, -5, 15));
    c.SetCorners({4, 4}, {4, 4});
    EXPECT_FALSE(c.IsValid());
}

TEST(CircleGeometryTest, HitTestFilledAndOutline) {
    CCircleElement c;
    c.SetCorners({0, 0}, {20, 10});
    c.SetFill(0);
    EXPECT_TRUE(c.HitTest({10, 5}));
    EXPECT_FALSE(c.HitTest({0, 0}));
    EXPECT_TRUE(c.HitTest({20, 5}));  // on the ellipse
    c.SetFill(-1);
    EXPECT_TRUE(c.HitTest({0, 5}));
    EXPECT_FALSE(c.HitTest({10, 5}));
    EXPECT_TRUE(c.HitTest({10, 1}));  // near the top of the outline
    EXPECT_FALSE(c.HitTest({10, -3}));
}

TEST(CircleGeometryTest, FlatBoxHitsLikeItsSegment) {
    CCircleElement c;
    c.SetCorners({0, 5}, {20, 5});  // zero height
    for (int32_t fill : {-1, 1}) {
        c.SetFill(fill);
        EXPECT_TRUE(c.HitTest({10, 5}));
        EXPECT_TRUE(c.HitTest({10, 6}));
        EXPECT_FALSE(c.HitTest({10, 9}));
        EXPECT_FALSE(c.HitTest({25, 5}));
    }
    c.SetCorners({7, 0}, {7, 30});  // zero width
    EXPECT_TRUE(c.HitTest({8, 15}));
    EXPECT_FALSE(c.HitTest({10, 15}));
    c.SetCorners({7, 7}, {7, 7});
    EXPECT_TRUE(c.HitTest({7, 7}));
    EXPECT_FALSE(c.HitTest({9, 7}));
}

CPolygonElement Square(int32_t fill) {
    CPolygonElement pg;
    pg.SetPoints({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    pg.SetFill(fill);
    return pg;
}

TEST(PolygonGeometryTest, HitTestOfSquare) {
    struct Case {
        Point p;
        bool filled, unfilled;
    } cases[] = {
        {{5, 5}, true, false},   {{15, 5}, false, false}, {{10, 5}, true, true},
        {{0, 0}, true, true},    {{2, 8}, true, false},   {{5, 10}, true, true},
        {{5, 11}, false, false}, {{5, -2}, false, false},
    };
    for (const auto& c : cases) {
        CPolygonElement f = Square(0);
        CPolygonElement u = Square(-1);
        EXPECT_EQ(f.HitTest(c.p), c.filled) << c.p.x << "," << c.p.y;
        EXPECT_EQ(u.HitTest(c.p), c.unfilled) << c.p.x << "," << c.p.y;
    }
}

TEST(PolygonGeometryTest, HitTestWithVerticesStraightAboveTheProbe) {
    // A diamond whose top vertex lies exactly above the probe, and a concave shape whose
    // notch vertex does: only true crossings count.
    CPolygonElement diamond;
    diamond.SetPoints({{10, 0}, {20, 10}, {10, 20}, {0, 10}});
    diamond.SetFill(1);
    EXPECT_TRUE(diamond.HitTest({10, 10}));
    EXPECT_TRUE(diamond.HitTest({10, 15}));
    EXPECT_FALSE(diamond.HitTest({3, 3}));  // inside the bounds, outside the shape
    CPolygonElement notch;                  // a V-shaped top edge dipping to (10, 10)
    notch.SetPoints({{0, 0}, {10, 10}, {20, 0}, {20, 30}, {0, 30}});
    notch.SetFill(1);
    EXPECT_TRUE(notch.HitTest({10, 20}));
    EXPECT_FALSE(notch.HitTest({10, 5}));
    EXPECT_TRUE(notch.HitTest({5, 20}));
    // A step whose two upper vertices lie above the probe, joined by a vertical edge.
    CPolygonElement step;
    step.SetPoints({{0, 0}, {10, 0}, {10, 3}, {20, 3}, {20, 20}, {0, 20}});
    step.SetFill(1);
    EXPECT_TRUE(step.HitTest({10, 10}));
    EXPECT_FALSE(step.HitTest({15, 1}));
    // A triangle with a rising edge crossed above the probe.
    CPolygonElement tri;
    tri.SetPoints({{0, 0}, {30, 10}, {0, 20}});
    tri.SetFill(0);
    EXPECT_TRUE(tri.HitTest({10, 10}));
    EXPECT_FALSE(tri.HitTest({25, 2}));
}

TEST(PolygonGeometryTest, RepeatedPointsAreRemovedByHitTestAndIsValid) {
    CPolygonElement pg;
    pg.SetPoints({{0, 0}, {0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 0}});
    EXPECT_TRUE(pg.IsValid());
    EXPECT_EQ(pg.PointList(), (std::vector<Point>{{0, 0}, {10, 0}, {10, 10}}));
    pg.SetPoints({{0, 0}, {10, 0}, {0, 0}});  // two distinct points: a segment
    EXPECT_TRUE(pg.HitTest({5, 0}));
    EXPECT_EQ(pg.Count(), 2);
    EXPECT_FALSE(pg.HitTest({5, 5}));
    pg.SetPoints({{3, 3}, {3, 3}});
    EXPECT_FALSE(pg.HitTest({3, 3}));
    EXPECT_EQ(pg.Count(), 0);
    EXPECT_FALSE(pg.IsValid());
}

TEST(PolygonGeometryTest, HandlesBoundsAndTransforms) {
    CPolygonElement pg;
    EXPECT_EQ(pg.Handle(0), Point::Zero());
    pg.SetHandle(0, 5, 5);  // nothing to move
    EXPECT_EQ(pg.Count(), 0);
    EXPECT_EQ(pg.Bounds(), Rect::Make(INT_MAX, INT_MAX, INT_MAX, INT_MAX));
    pg.SetPoints({{0, 0}, {10, 0}, {4, 6}});
    EXPECT_EQ(pg.HandleCount(), 3);
    EXPECT_EQ(pg.Handle(7), Point::Make(4, 6));
    EXPECT_EQ(pg.Handle(-1), Point::Make(0, 0));
    pg.SetHandle(-5, 1, 1);
    EXPECT_EQ(pg.Handle(0), Point::Make(1, 1));
    pg.SetHandle(0, 0, 0);
    EXPECT_EQ(pg.Bounds(), Rect::Make(0, 0, 10, 6));
    pg.MirrorInPlace();  // about x = 5
    EXPECT_EQ(pg.PointList(), (std::vector<Point>{{10, 0}, {0, 0}, {6, 6}}));
    pg.RotateInPlace();  // about (5, 3)
    EXPECT_EQ(pg.PointList(), (std::vector<Point>{{8, 8}, {8, -2}, {2, 4}}));
    EXPECT_TRUE(pg.IsInside(Rect::Make(2, -2, 8, 8)));
    EXPECT_FALSE(pg.IsInside(Rect::Make(3, -2, 8, 8)));
}

TEST(ArcGeometryTest, RayPoints) {
    CArcElement fresh;
    EXPECT_EQ(fresh.BeginRay(), Point::Make(510, 10));
    EXPECT_EQ(fresh.EndRay(), Point::Make(510, 10));
    CArcElement a;
    a.SetArc({0, 0}, 100, 1440, 2880);
    EXPECT_EQ(a.BeginRay(), Point::Make(0, -500));
    EXPECT_EQ(a.EndRay(), Point::Make(-500, 0));
    a.Move(10, 20);
    EXPECT_EQ(a.BeginRay(), Point::Make(10, -480));
    a.SetArc({0, 0}, 100, 720, 4320 + 720);  // 45 and 315 degrees: 353.55 truncated
    EXPECT_EQ(a.BeginRay(), Point::Make(353, -353));
    EXPECT_EQ(a.EndRay(), Point::Make(353, 353));
}

TEST(ArcGeometryTest, HandlesAndSetHandle) {
    CArcElement a;
    a.SetArc({100, 100}, 20, 0, 1440);
    EXPECT_EQ(a.HandleCount(), 7);
    EXPECT_EQ(a.Handle(0), Point::Make(120, 100));
    EXPECT_EQ(a.Handle(1), Point::Make(100, 80));
    EXPECT_EQ(a.Handle(2), Point::Make(100, 100));
    EXPECT_EQ(a.Handle(3), Point::Make(120, 100));
    EXPECT_EQ(a.Handle(4), Point::Make(100, 80));
    EXPECT_EQ(a.Handle(5), Point::Make(80, 100));
    EXPECT_EQ(a.Handle(6), Point::Make(100, 120));
    EXPECT_EQ(a.Handle(-1), Point::Make(100, 120));
    a.SetHandle(4, 0, 70);
    EXPECT_EQ(a.Radius(), 30);
    a.SetHandle(5, 143, 0);
    EXPECT_EQ(a.Radius(), 43);

    struct Case {
        Point p;
        int32_t angle;
    } cases[] = {
        {{100, 150}, 4320}, {{100, 50}, 1440},  {{150, 100}, 0}, {{50, 100}, 2880},
        {{150, 50}, 720},   {{150, 101}, 5742}, {{100, 100}, 0}};  // the centre itself has no
                                                                   // direction: taken as 0
    for (const auto& c : cases) {
        a.SetHandle(0, c.p.x, c.p.y);
        EXPECT_EQ(a.Begin(), c.angle) << c.p.x << "," << c.p.y;
        a.SetHandle(1, c.p.x, c.p.y);
        EXPECT_EQ(a.End(), c.angle) << c.p.x << "," << c.p.y;
    }
    a.SetHandle(2, 1, 2);
    EXPECT_EQ(a.Centre(), Point::Make(1, 2));
    EXPECT_EQ(a.EndRay(), a.PointAtAngle(a.End(), 500));  // rays follow the centre
}

TEST(ArcGeometryTest, MirrorAndRotate) {
    CArcElement a;
    a.SetArc({0, 0}, 100, 0, 1440);
    a.MirrorInPlace();
    EXPECT_EQ(a.Begin(), 1440);
    EXPECT_EQ(a.End(), 2880);
    EXPECT_EQ(a.Centre(), Point::Make(100, 0));
    EXPECT_EQ(a.BeginRay(), Point::Make(100, -500));

    a.SetArc({0, 0}, 100, 0, 1440);
    a.RotateAbout({0, 0});
    EXPECT_EQ(a.Begin(), 4320);
    EXPECT_EQ(a.End(), 0);
    a.SetArc({10, 0}, 100, 0, 1440);
    a.RotateAbout({0, 0});
    EXPECT_EQ(a.Centre(), Point::Make(0, 10));

    struct Case {
        int32_t b, e, nb, ne;
    } mirrors[] = {
        {0, 1440, 1440, 2880},   {3000, 4000, 4640, 5640},
        {5000, 500, 2380, 3640}, {6760, 7000, 1640, 1880},  // reduced first
        {-100, 200, 2680, 2980},  // a negative angle keeps its sign when reduced
    };
    for (const auto& m : mirrors) {
        a.SetArc({0, 0}, 10, m.b, m.e);
        a.MirrorAbout(0);
        EXPECT_EQ(a.Begin(), m.nb) << m.b << ".." << m.e;
        EXPECT_EQ(a.End(), m.ne) << m.b << ".." << m.e;
    }
    a.SetArc({0, 0}, 10, -6000, INT_MAX);
    a.RotateAbout({0, 0});
    EXPECT_EQ(a.Begin(), -1680);  // (-6000 + 4320) % 5760
    EXPECT_EQ(a.End(), static_cast<int32_t>((int64_t{INT_MAX} + 4320) % 5760));
}

TEST(ArcGeometryTest, Bounds) {
    struct Case {
        int32_t b, e;
        Rect r;
    } cases[] = {
        {0, 1440, {0, -100, 100, 0}},
        {5000, 500, {67, -51, 100, 73}},  // passes angle 0: reaches x = 100
        {1000, 5000, {-100, -100, 67, 100}},
        {0, 0, {-100, -100, 100, 100}},         // a full circle
        {5760, 11520, {-100, -100, 100, 100}},  // reduced to 0 .. 0
        {-1000, 500, {46, -51, 100, 88}},       // a negative begin also passes 0
    };
    for (const auto& c : cases) {
        CArcElement a;
        a.SetArc({0, 0}, 100, c.b, c.e);
        EXPECT_EQ(a.Bounds(), c.r) << c.b << ".." << c.e;
    }
    CArcElement a;
    a.SetArc({0, 0}, 100, 6000, 7000);
    a.Bounds();
    EXPECT_EQ(a.Begin(), 240);  // Bounds stores the reduced angles
    EXPECT_EQ(a.End(), 1240);
    EXPECT_TRUE(a.IsInside(Rect::Make(0, -100, 100, 0)));
    EXPECT_FALSE(a.IsInside(Rect::Make(0, -90, 100, 0)));
}

TEST(ArcGeometryTest, HitTest) {
    struct Case {
        int32_t b, e;
        Point p;
        bool hit;
    } cases[] = {
        {5000, 2000, {0, -100}, true},  {5000, 2000, {0, -102}, false},
        {5000, 2000, {0, -101}, true},  {5000, 2000, {-100, 0}, false},
        {0, 1440, {71, -71}, true},     {0, 1440, {71, 71}, false},
        {1440, 1440, {0, -100}, true},  {1440, 1440, {-100, 0}, false},
        {-1000, 500, {100, 0}, true},   {-1000, 500, {70, 71}, true},
        {-1000, 500, {-100, 0}, false}, {0, 1440, {100, 0}, true},
    };
    for (const auto& c : cases) {
        CArcElement a;
        a.SetArc({0, 0}, 100, c.b, c.e);
        EXPECT_EQ(a.HitTest(c.p), c.hit) << c.b << ".." << c.e << " @ " << c.p.x << "," << c.p.y;
    }
    CArcElement a;
    // Just below angle 0 the angle rule rounds up to 5760, which is still angle 0.
    a.SetArc({0, 0}, 2000, 0, 1440);
    EXPECT_EQ(a.AngleOf({2000, 1}), 5760);
    EXPECT_TRUE(a.HitTest({2000, 1}));
    a.SetArc({0, 0}, 0, 0, 0);
    EXPECT_FALSE(a.IsValid());
    EXPECT_TRUE(a.HitTest({0, 0}));  // a radius-0 arc at its centre, angle taken as 0
}

CTextElement TextAt(int32_t align, bool horizontal = true) {
    CTextElement t;
    t.SetPosition({10, 20});
    t.SetText("AB");
    t.SetAlign(align);
    t.SetHorizontal(horizontal);
    return t;
}

TEST(TextGeometryTest, EstimatedBox) {
    struct Case {
        int32_t align;
        bool horizontal;
        const char* font;
        Rect box;
    } cases[] = {
        {0, true, "", {10, 14, 26, 22}},  {4, true, "", {10, 20, 26, 28}},
        {2, true, "", {2, 14, 18, 22}},   {1, true, "", {-6, 14, 10, 22}},
        {3, true, "", {10, 14, 26, 22}},  {8, true, "", {10, 17, 26, 25}},
        {12, true, "", {10, 17, 26, 25}}, {0, true, "F", {10, 12, 26, 20}},
        {8, true, "F", {10, 16, 26, 24}}, {0, false, "", {4, 4, 12, 20}},
        {1, false, "", {4, 20, 12, 36}},  {2, false, "", {4, 12, 12, 28}},
        {4, false, "", {10, 4, 18, 20}},  {0, false, "F", {2, 4, 10, 20}},
    };
    for (const auto& c : cases) {
        CTextElement t = TextAt(c.align, c.horizontal);
        t.SetFontName(c.font);
        EXPECT_EQ(t.Bounds(), c.box) << c.align << " " << c.horizontal << " '" << c.font << "'";
    }
    CTextElement t = TextAt(0);
    t.SetDrawnSize(40, 12);
    EXPECT_TRUE(t.IsSizeKnown());
    EXPECT_EQ(t.Bounds(), Rect::Make(10, 11, 50, 23));
    EXPECT_TRUE(t.HitTest({50, 23}));
    EXPECT_FALSE(t.HitTest({51, 23}));
    t.SetFontSize(10);
    EXPECT_EQ(t.Bounds(), Rect::Make(10, 14, 26, 22));
    EXPECT_TRUE(t.IsInside(Rect::Make(10, 14, 26, 22)));
    EXPECT_FALSE(t.IsInside(Rect::Make(11, 14, 26, 22)));
}

TEST(TextGeometryTest, MirrorAndRotateKeepTheAnchorSide) {
    struct Case {
        int32_t align;
        bool horizontal;
        int32_t mirrored;
    } mirrors[] = {{0, true, 1},  {1, true, 0},  {2, true, 2},  {4, true, 5},
                   {0, false, 4}, {4, false, 0}, {8, false, 8}, {1, false, 5}};
    for (const auto& m : mirrors) {
        CTextElement t = TextAt(m.align, m.horizontal);
        t.MirrorAbout(0);
        EXPECT_EQ(t.Align(), m.mirrored) << m.align << " " << m.horizontal;
        EXPECT_EQ(t.Position(), Point::Make(-10, 20));
        EXPECT_EQ(t.IsHorizontal(), m.horizontal);
    }
    CTextElement t = TextAt(0);
    t.RotateAbout({0, 0});
    EXPECT_FALSE(t.IsHorizontal());
    EXPECT_EQ(t.Align(), 5);
    EXPECT_EQ(t.Position(), Point::Make(-20, 10));
    t.RotateAbout({0, 0});
    EXPECT_TRUE(t.IsHorizontal());
    EXPECT_EQ(t.Align(), 5);
    CTextElement c = TextAt(10);  // centred along, middle across: nothing to toggle
    c.RotateAbout({0, 0});
    EXPECT_EQ(c.Align(), 10);

    CTextElement m = TextAt(0);  // box (10, 14, 26, 22): mirrored about x = 18
    m.MirrorInPlace();
    EXPECT_EQ(m.Position(), Point::Make(26, 20));
    EXPECT_EQ(m.Bounds(), Rect::Make(10, 14, 26, 22));
    CTextElement r = TextAt(0);  // rotated about the box centre (18, 18)
    r.RotateInPlace();
    EXPECT_EQ(r.Position(), Point::Make(16, 10));
    EXPECT_EQ(r.Handle(3), Point::Make(16, 10));
    r.SetHandle(0, 1, 1);
    r.Move(1, 1);
    EXPECT_EQ(r.Position(), Point::Make(2, 2));
}

// Coordinates at the edges of the 32-bit range wrap instead of overflowing; the sanitizer
// build turns any overflow here into a failure.
TEST(HostileGeometryTest, ExtremeCoordinatesWrap) {
    const Point big{INT_MAX, INT_MIN};
    CLineElement l;
    l.SetPoints(big, {INT_MIN, INT_MAX});
    l.Move(INT_MAX, INT_MAX);
    l.MirrorAbout(INT_MAX);
    l.MirrorInPlace();
    l.RotateAbout(big);
    l.RotateInPlace();
    l.Bounds();
    l.HitTest(big);
    l.IsInside(Rect::Make(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    CLineElement m;
    m.SetPoints({INT_MAX, 0}, {0, 0});
    m.Move(1, 0);
    EXPECT_EQ(m.P1(), Point::Make(INT_MIN, 0));

    CCircleElement c;
    c.SetCorners(big, {INT_MIN, INT_MAX});
    for (int32_t fill : {-1, 0}) {
        c.SetFill(fill);
        c.HitTest({INT_MIN, INT_MAX});
        c.HitTest({0, 0});
    }
    c.RotateInPlace();
    c.MirrorAbout(INT_MIN);

    CPolygonElement pg;
    pg.SetPoints({big, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {0, INT_MAX}});
    pg.SetFill(0);
    for (Point p : {Point{0, 0}, Point{INT_MAX, 0}, Point{INT_MIN, INT_MAX}, Point{-1, 1}}) {
        pg.HitTest(p);
    }
    pg.MirrorInPlace();
    pg.RotateInPlace();
    pg.Move(INT_MIN, INT_MIN);

    CArcElement a;
    a.SetArc(big, INT_MAX, INT_MIN, INT_MAX);
    a.Bounds();
    a.HitTest({0, 0});
    a.HitTest(big);
    a.MirrorInPlace();
    a.RotateInPlace();
    for (int32_t i = 0; i < 7; ++i) a.Handle(i);
    a.SetHandle(3, INT_MIN, 0);
    a.SetHandle(6, 0, INT_MAX);
    a.SetHandle(0, INT_MIN, INT_MIN);
    a.SetArc({INT_MAX, INT_MAX}, 10, 0, 1440);
    EXPECT_EQ(a.BeginRay(), Point::Make(static_cast<int32_t>(INT_MIN + 499), INT_MAX));

    CTextElement t;
    t.SetText(std::string(1000, 'x'));
    t.SetPosition(big);
    t.SetDrawnSize(INT_MAX, INT_MIN);
    for (int32_t align : {0, 1, 2, 4, 8, 12, -1, INT_MIN}) {
        t.SetAlign(align);
        t.SetHorizontal(align % 2 == 0);
        t.Bounds();
        t.MirrorInPlace();
        t.RotateInPlace();
        t.HitTest(big);
    }
}

}  // namespace
}  // namespace qurix

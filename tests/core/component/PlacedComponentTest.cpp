#include "core/component/PlacedComponent.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "core/elements/PatternElement.h"
#include "tests/core/component/ComponentTestUtil.h"

namespace qurix {
namespace {

using component_test::MakeDef;

constexpr const char* DEF_4X2 = "N:A,X:4,Y:2,B:1,+PIN,N:P,L:L1,T:,M:1,-PIN,-COMP";
// 4 x 3 with a pin on every side, none in the middle of its side, and a zero-length
// pin, so that a wrong sign anywhere moves some pin.
constexpr const char* DEF_ALL_SIDES =
    "N:S,X:4,Y:3,B:1,+PIN,N:L,L:L1,T:,-PIN,+PIN,N:T,L:T1,T:,-PIN,+PIN,N:R,L:R2,T:,-PIN,"
    "+PIN,N:B,L:B3,T:,-PIN,+PIN,N:Z,L:L2,T:Z,-PIN,-COMP";

struct Placed {
    std::unique_ptr<CComponentDef> def;
    CLibEntry entry;
    CPlacedComponent comp;
};

std::unique_ptr<Placed> Place(const char* defText, Point position, int32_t direction = 0) {
    auto p = std::make_unique<Placed>();
    p->def = MakeDef(defText);
    p->entry = CLibEntry("PART", p->def.get());
    p->comp.SetPart(&p->entry);
    p->comp.SetPosition(position);
    EXPECT_TRUE(p->comp.SetDirection(direction));
    return p;
}

// The transform table written out independently: a point of the unturned W x H drawing,
// turned, mirrored, then moved by the placed body's upper left corner.
Point PlaceByTable(Point p, int32_t dir, int32_t W, int32_t H, Point position) {
    int32_t x = p.x, y = p.y, s = W;
    if ((dir & 3) == 1) x = H - p.y, y = p.x, s = H;
    if ((dir & 3) == 2) x = W - p.x, y = H - p.y;
    if ((dir & 3) == 3) x = p.y, y = W - p.x, s = H;
    if (dir & 4) x = s - x;
    return Point{position.x - ((dir & 1) ? H : W) + x, position.y - ((dir & 1) ? W : H) + y};
}

Point OutlinePoint(const CPinDef& pin, int32_t W, int32_t H) {
    const int32_t d = pin.Offset() * 10;
    const Point onSide[4] = {{0, d}, {d, 0}, {W, d}, {d, H}};
    return onSide[pin.Side()];
}

TEST(PlacedComponent, NewObjectAndTheDocumentedExample) {
    CPlacedComponent c;
    EXPECT_EQ(c.Kind(), ObjectKind::Component);
    EXPECT_EQ(c.PinCount(), 0);
    EXPECT_EQ(c.Bounds(), Rect::Make(-21, -21, -1, -1));
    EXPECT_FALSE(c.PinPosition(0));
    EXPECT_EQ(c.PinTip(0), Point::Make(0, 0));

    auto p = Place(DEF_4X2, Point{100, 100});
    EXPECT_EQ(p->comp.Bounds(), Rect::Make(60, 80, 100, 100));
    EXPECT_EQ(p->comp.PinPosition(0).position, Point::Make(60, 90));
    EXPECT_EQ(p->comp.PinTip(0), Point::Make(50, 90));
    EXPECT_EQ(p->comp.PinSideMask(), CPlacedComponent::SIDE_BIT_LEFT);
    EXPECT_EQ(p->comp.Area(), Rect::Make(50, 80, 100, 100));
    EXPECT_FALSE(p->comp.PinPosition(1));
    ASSERT_TRUE(p->comp.SetDirection(1));
    EXPECT_EQ(p->comp.Bounds(), Rect::Make(80, 60, 100, 100));
    EXPECT_EQ(p->comp.PinPosition(0).position, Point::Make(90, 60));
    ASSERT_TRUE(p->comp.SetDirection(4));
    EXPECT_EQ(p->comp.PinPosition(0).position, Point::Make(100, 90));
    EXPECT_FALSE(p->comp.SetDirection(8));
    EXPECT_EQ(p->comp.Direction(), 4);
}

// Every pin in every direction lies where the table puts its unturned outline point, on
// the body edge its placed side names, with its tip a stub outward from it.
TEST(PlacedComponent, PinsInAllDirectionsFollowTheTransformTable) {
    const Point position{1000, 2000};
    const Point outward[4] = {{-10, 0}, {0, -10}, {10, 0}, {0, 10}};
    for (int32_t dir = 0; dir < 8; ++dir) {
        auto p = Place(DEF_ALL_SIDES, position, dir);
        const Rect body = p->comp.Bounds();
        const int32_t onEdge[4] = {body.left, body.top, body.right, body.bottom};
        int32_t mask = 0;
        ASSERT_EQ(p->comp.PinCount(), 5);
        for (int32_t i = 0; i < 5; ++i) {
            SCOPED_TRACE(testing::Message() << "direction " << dir << " pin " << i);
            const PlacedPin pin = p->comp.PinPosition(i);
            ASSERT_TRUE(pin);
            const Point outline = OutlinePoint(*pin.pin, 40, 30);
            EXPECT_EQ(pin.position, PlaceByTable(outline, dir, 40, 30, position));
            EXPECT_EQ(p->comp.PlacePoint(outline), pin.position);
            ASSERT_TRUE(pin.side >= 0 && pin.side < 4);
            EXPECT_EQ((pin.side & 1) ? pin.position.y : pin.position.x, onEdge[pin.side]);
            const bool zero = pin.pin->HasFlag(CPinDef::PIN_ZERO_LENGTH);
            EXPECT_EQ(pin.tip, zero ? pin.position : pin.position + outward[pin.side]);
            EXPECT_EQ(p->comp.PinTip(i), pin.tip);
            if (!zero) mask |= 1 << pin.side;
        }
        EXPECT_EQ(p->comp.PinSideMask(), mask) << dir;
    }
}

// About the body's centre every pin turns or reflects exactly with the body, and the
// pin-side mask turned along matches a fresh placement's.
TEST(PlacedComponent, PinsTurnAndMirrorWithTheBody) {
    const int32_t afterTurn[8] = {1, 2, 3, 0, 7, 4, 5, 6};
    for (int32_t dir = 0; dir < 8; ++dir) {
        SCOPED_TRACE(testing::Message() << "direction " << dir);
        auto p = Place(DEF_ALL_SIDES, Point{300, 400}, dir);
        auto m = Place(DEF_ALL_SIDES, Point{300, 400}, dir);
        const CPlacedComponent before(p->comp);
        const Rect body = p->comp.Bounds();
        p->comp.RotateAbout(body.Center());
        m->comp.MirrorInPlace();
        EXPECT_EQ(p->comp.Direction(), afterTurn[dir]);
        EXPECT_EQ(m->comp.Direction(), dir ^ 4);
        EXPECT_EQ(p->comp.Bounds().Center(), body.Center());
        EXPECT_EQ(m->comp.Bounds(), body);
        for (int32_t i = 0; i < 5; ++i) {
            const Point old = before.PinPosition(i).position;
            EXPECT_EQ(p->comp.PinPosition(i).position, RotateQuarter(old, body.Center()));
            EXPECT_EQ(m->comp.PinPosition(i).position,
                      Point::Make(body.left + body.right - old.x, old.y));
        }
        EXPECT_EQ(p->comp.PinSideMask(),
                  Place(DEF_ALL_SIDES, Point{}, p->comp.Direction())->comp.PinSideMask());
        EXPECT_EQ(m->comp.PinSideMask(),
                  Place(DEF_ALL_SIDES, Point{}, m->comp.Direction())->comp.PinSideMask());
    }
}

TEST(PlacedComponent, FourTurnsAndTwoMirrorsGiveTheStartBack) {
    for (int32_t dir = 0; dir < 8; ++dir) {
        auto p = Place(DEF_ALL_SIDES, Point{123, 456}, dir);
        const Rect bounds = p->comp.Bounds();
        const int32_t mask = p->comp.PinSideMask();
        for (int k = 0; k < 4; ++k) p->comp.RotateInPlace();
        EXPECT_EQ(p->comp.Bounds(), bounds);
        for (int k = 0; k < 4; ++k) p->comp.RotateAbout(Point{-17, 33});
        EXPECT_EQ(p->comp.Bounds(), bounds);
        EXPECT_EQ(p->comp.Direction(), dir);

        p->comp.SetName("NAME");
        p->comp.ReportNameSize(30, 12);
        p->comp.SetNameOffset(Point{-14, 6});
        p->comp.SetReferenceOffset(Point{8, -4});
        p->comp.SetReferenceHorizontal(false);
        for (int k = 0; k < 2; ++k) p->comp.MirrorAbout(77);
        EXPECT_EQ(p->comp.Direction(), dir);
        EXPECT_EQ(p->comp.Bounds(), bounds);
        EXPECT_EQ(p->comp.PinSideMask(), mask);
        EXPECT_EQ(p->comp.NameOffset(), Point::Make(-14, 6));
        EXPECT_EQ(p->comp.ReferenceOffset(), Point::Make(8, -4));

        // A turn puts the labels back in their default places; drawn sizes stay.
        p->comp.RotateInPlace();
        EXPECT_EQ(p->comp.NameOffset(), Point::Make(2, 20));
        EXPECT_EQ(p->comp.ReferenceOffset(), Point::Make(2, 10));
        EXPECT_TRUE(p->comp.ReferenceHorizontal());
        EXPECT_TRUE(p->comp.NameSizeKnown());
        EXPECT_EQ(p->comp.Position(), Point::Make(123, 456));
    }
}

TEST(PlacedComponent, RotateAndMirrorAboutOtherPoints) {
    auto p = Place(DEF_4X2, Point{100, 100});  // body (60, 80, 100, 100), centre (80, 90)
    p->comp.RotateAbout(Point{0, 0});          // the centre turns to (-90, 80)
    EXPECT_EQ(p->comp.Bounds(), Rect::Make(-100, 60, -80, 100));
    auto m = Place(DEF_4X2, Point{100, 100});
    m->comp.MirrorAbout(0);
    EXPECT_EQ(m->comp.Bounds(), Rect::Make(-100, 80, -60, 100));
    EXPECT_EQ(m->comp.PinSideMask(), CPlacedComponent::SIDE_BIT_RIGHT);
}

TEST(PlacedComponent, LabelRectangles) {
    struct Case {
        const char* text;
        bool horizontal, known;
        Point drawn, offset;
        Rect expected;  // at position (100, 100)
    };
    const Case cases[] = {
        // Two bytes, no drawn size: 16 by 10 standing on the anchor.
        {"AB", true, false, {}, {2, 20}, {102, 110, 118, 120}},
        {"", true, false, {}, {2, 20}, {102, 110, 102, 120}},
        {"ABC", true, true, {24, 14}, {-10, 5}, {90, 91, 114, 105}},
        // Vertical: runs upward from the anchor, to its left.
        {"AB", false, false, {}, {2, 20}, {92, 104, 102, 120}},
        {"ABC", false, true, {24, 14}, {0, 0}, {86, 76, 100, 100}},
    };
    for (const Case& c : cases) {
        CPlacedComponent comp;
        comp.SetPosition(Point{100, 100});
        comp.SetName(c.text);
        comp.SetReference(c.text);
        comp.SetNameHorizontal(c.horizontal);
        comp.SetReferenceHorizontal(c.horizontal);
        comp.SetNameOffset(c.offset);
        comp.SetReferenceOffset(c.offset);
        if (c.known) comp.ReportNameSize(c.drawn.x, c.drawn.y);
        if (c.known) comp.ReportReferenceSize(c.drawn.x, c.drawn.y);
        EXPECT_EQ(comp.NameLabelRect(), c.expected) << c.text << c.horizontal << c.known;
        EXPECT_EQ(comp.ReferenceLabelRect(), c.expected) << c.text << c.horizontal << c.known;

        // Mirroring reflects the label about the body's centre line.
        const Rect body = comp.Bounds();
        comp.MirrorInPlace();
        const int32_t twice = body.left + body.right;
        EXPECT_EQ(comp.NameLabelRect(), Rect::Make(twice - c.expected.right, c.expected.top,
                                                   twice - c.expected.left, c.expected.bottom));
    }
}

TEST(PlacedComponent, HitTestScores) {
    auto p = Place(DEF_4X2, Point{100, 100});  // body (60, 80, 100, 100)
    p->comp.SetName("ABCD");                   // (102, 110, 134, 120)
    p->comp.SetReference("AB");
    p->comp.SetReferenceOffset(Point{-38, -5});  // (62, 85, 78, 95), over the body
    const int32_t BODY = CPlacedComponent::HIT_BODY;
    const int32_t REF = CPlacedComponent::HIT_REFERENCE;
    const struct {
        Point at;
        int32_t expected;
    } cases[] = {
        {{80, 90}, BODY + 65},  // the body's middle
        {{61, 81}, BODY + 1},   // just inside a corner
        {{90, 90}, BODY + 8 * 4 + 1},
        {{60, 90}, 0},  // on an edge
        {{80, 100}, 0},
        {{50, 90}, 0},
        {{118, 115}, CPlacedComponent::HIT_NAME + 65},
        {{102, 115}, 0},
        {{70, 90}, BODY + REF + 65},  // both hit: the better score
        {{77, 94}, BODY + REF + 25},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(p->comp.HitTest(c.at), c.expected) << c.at.x << "," << c.at.y;
    }
    EXPECT_EQ(p->comp.TouchTest(Rect::Make(100, 100, 110, 110)), 3);
    EXPECT_EQ(p->comp.TouchTest(Rect::Make(110, 110, 101, 100)), 0);
    EXPECT_EQ(p->comp.InnerTouchTest(Rect::Make(0, 0, 63, 83)), 3);
    EXPECT_EQ(p->comp.InnerTouchTest(Rect::Make(0, 0, 62, 83)), 0);
}

TEST(PlacedComponent, SetPartCopiesAndKeepsTheBlockInRange) {
    auto four = MakeDef("N:F,X:2,Y:2,B:4,-COMP");
    auto two = MakeDef("N:T,X:2,Y:2,B:2,-COMP");
    const CLibEntry fourEntry("FOUR", four.get()), twoEntry("TWO", two.get());
    CPlacedComponent c;
    c.SetPart(&fourEntry);
    EXPECT_NE(c.Definition(), four.get());
    EXPECT_EQ(c.LibraryName(), "FOUR");
    EXPECT_TRUE(c.SetBlock(3));
    c.SetPart(&twoEntry);
    EXPECT_EQ(c.Block(), 0);
    c.SetPart(nullptr);
    EXPECT_EQ(c.LibraryName(), "TWO");
    c.SetPart(c.Part());  // its own part: copied before the old one goes
    ASSERT_NE(c.Definition(), nullptr);
    EXPECT_EQ(c.Definition()->BlockCount(), 2);
}

TEST(PlacedComponent, CopiesFollowTheOwnershipRules) {
    auto def = MakeDef(DEF_ALL_SIDES);
    const CLibEntry entry("ALL", def.get());
    CPlacedComponent owner;
    owner.SetPart(&entry);
    owner.SetDirection(5);
    owner.SetEditState(1);
    owner.ReportNameSize(20, 11);

    const std::unique_ptr<CSchematicObject> clone = owner.Clone();
    ASSERT_EQ(clone->Kind(), ObjectKind::Component);
    const auto& copy = static_cast<const CPlacedComponent&>(*clone);
    EXPECT_NE(copy.Definition(), owner.Definition());
    EXPECT_EQ(copy.EditState(), 1);
    EXPECT_TRUE(copy.NameSizeKnown());
    EXPECT_EQ(copy.LibraryName(), "ALL");
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(copy.PinTip(i), owner.PinTip(i));

    CPlacedComponent sharer;
    sharer.SetSharedPart(&entry);
    CPlacedComponent target(sharer);
    EXPECT_EQ(target.Part(), &entry);
    target = owner;  // replaces the shared part with a copy of its own
    EXPECT_TRUE(target.OwnsPart());
    EXPECT_NE(target.Definition(), owner.Definition());
    CPlacedComponent& self = target;
    target = self;
    EXPECT_EQ(target.PinCount(), 5);
    target = CPlacedComponent();
    EXPECT_EQ(target.Part(), nullptr);
}

// Hostile sizes and coordinates wrap; the sanitizer build turns any overflow into a
// failure.
TEST(PlacedComponent, ExtremeValuesDoNotOverflow) {
    auto def = MakeDef("N:H,X:2147483647,Y:2147483647,B:1,+PIN,L:R255,-PIN,+PIN,L:B255,-PIN,-COMP");
    const CLibEntry entry("H", def.get());
    for (const int32_t v : {INT32_MAX, INT32_MIN, 0, -1}) {
        for (int32_t dir = 0; dir < 8; ++dir) {
            CPlacedComponent c;
            c.SetPart(&entry);
            c.SetDirection(dir);
            c.SetPosition(Point{v, WrapSub(INT32_MIN, v / 2)});
            c.SetName(std::string(40, 'x'));
            c.SetNameOffset(Point{INT32_MAX, INT32_MIN});
            c.ReportReferenceSize(INT32_MIN, INT32_MAX);
            c.SetReferenceHorizontal(dir & 1);
            (void)c.Area();
            (void)c.PinTip(0);
            (void)c.PlacePoint(Point{INT32_MIN, INT32_MAX});
            (void)c.HitTest(Point{WrapNeg(v), v});
            (void)c.HitTest(Point{INT32_MAX, INT32_MIN});
            (void)c.InnerTouchTest(Rect::Make(v, v, v, v));
            c.Move(v, v);
            c.MirrorAbout(v);
            c.MirrorInPlace();
            c.RotateAbout(Point{v, WrapNeg(v)});
            c.RotateInPlace();
            std::string out;
            CRecordWriter writer(&out);
            const Point origin{INT32_MIN, INT32_MAX};
            EXPECT_TRUE(c.Write(writer, &origin));
        }
    }
}

// The base behaviours, seen through a minimal object of another kind.
class CTwoPointObject : public CSchematicObject {
public:
    ObjectKind Kind() const override { return ObjectKind::None; }
};

TEST(SchematicObject, BaseBehaviours) {
    CTwoPointObject o;
    EXPECT_EQ(o.Clone(), nullptr);
    EXPECT_EQ(o.PinTip(0), Point::Make(-1, -1));
    EXPECT_EQ(o.Area(), Rect::Make(-1, -1, -1, -1));
    EXPECT_FALSE(o.SetLayer(8));
    // Edit state bits choose what Move shifts: 1 the position, 2 the second point.
    const struct {
        int32_t state;
        Point position, point2;
    } moves[] = {
        {0, {9, 2}, {10, 3}}, {1, {9, 2}, {0, 0}}, {2, {-1, -1}, {10, 3}}, {3, {9, 2}, {10, 3}}};
    for (const auto& m : moves) {
        CTwoPointObject t;
        t.SetEditState(m.state);
        t.Move(10, 3);
        EXPECT_EQ(t.Position(), m.position) << m.state;
        EXPECT_EQ(t.Point2(), m.point2) << m.state;
    }
    CTwoPointObject r;
    r.SetPosition(Point{0, 0});
    r.SetPoint2(Point{10, 4});
    r.MirrorInPlace();  // about x = 5
    EXPECT_EQ(r.Position(), Point::Make(10, 0));
    EXPECT_EQ(r.Point2(), Point::Make(0, 4));
    r.RotateInPlace();  // about (5, 2)
    EXPECT_EQ(r.Position(), Point::Make(7, 7));
    EXPECT_EQ(r.Point2(), Point::Make(3, -3));
}

}  // namespace
}  // namespace qurix

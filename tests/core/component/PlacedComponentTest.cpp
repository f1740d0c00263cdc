#include "core/component/PlacedComponent.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "core/elements/PatternElement.h"
#include "tests/core/component/ComponentTestUtil.h"

namespace qurix {
namespace {

using component_test::MakeDef;

// 4 x 2 grid units, one left pin at offset 1.
constexpr const char* DEF_4X2 = "N:A,X:4,Y:2,B:1,+PIN,N:P,L:L1,T:,M:1,-PIN,-COMP";

// 4 x 3 grid units with a pin on every side, none in the middle of its side, and a
// zero-length pin, so that a wrong sign anywhere moves some pin.
constexpr const char* DEF_ALL_SIDES =
    "N:S,X:4,Y:3,B:1,"
    "+PIN,N:L,L:L1,T:,M:1,-PIN,"
    "+PIN,N:T,L:T1,T:,M:2,-PIN,"
    "+PIN,N:R,L:R2,T:,M:3,-PIN,"
    "+PIN,N:B,L:B3,T:,M:4,-PIN,"
    "+PIN,N:Z,L:L2,T:Z,M:5,-PIN,-COMP";

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

// The placement written out from the transform table, independently of the product:
// a point of the unturned drawing (W x H) turned, mirrored, then moved so that the
// body's upper left corner is where the placed body's is.
Point PlaceByTable(Point p, int32_t dir, int32_t W, int32_t H, Point position) {
    int32_t x = 0, y = 0, s = 0;
    switch (dir & 3) {
        case 0:
            x = p.x, y = p.y, s = W;
            break;
        case 1:
            x = H - p.y, y = p.x, s = H;
            break;
        case 2:
            x = W - p.x, y = H - p.y, s = W;
            break;
        case 3:
            x = p.y, y = W - p.x, s = H;
            break;
    }
    if (dir & 4) x = s - x;
    const int32_t bw = (dir & 1) ? H : W;
    const int32_t bh = (dir & 1) ? W : H;
    return Point{position.x - bw + x, position.y - bh + y};
}

// The unturned outline point of a pin.
Point OutlinePoint(const CPinDef& pin, int32_t W, int32_t H) {
    const int32_t d = pin.Offset() * 10;
    switch (pin.Side()) {
        case CPinDef::SIDE_LEFT:
            return Point{0, d};
        case CPinDef::SIDE_TOP:
            return Point{d, 0};
        case CPinDef::SIDE_RIGHT:
            return Point{W, d};
        default:
            return Point{d, H};
    }
}

TEST(PlacedComponent, NewObjectDefaults) {
    CPlacedComponent c;
    EXPECT_EQ(c.Kind(), ObjectKind::Component);
    EXPECT_EQ(c.PinCount(), 0);
    EXPECT_EQ(c.BodySize(), Point::Make(20, 20));
    EXPECT_EQ(c.Position(), Point::Make(-1, -1));
    EXPECT_EQ(c.Bounds(), Rect::Make(-21, -21, -1, -1));
    EXPECT_EQ(c.Area(), c.Bounds());
    EXPECT_EQ(c.NameOffset(), Point::Make(2, 20));
    EXPECT_EQ(c.ReferenceOffset(), Point::Make(2, 10));
    EXPECT_TRUE(c.NameHorizontal());
    EXPECT_TRUE(c.OwnsPart());
    EXPECT_EQ(c.Part(), nullptr);
    EXPECT_FALSE(c.PinPosition(0));
    EXPECT_EQ(c.PinTip(0), Point::Make(0, 0));
    EXPECT_TRUE(c.HasConnectableBody());
    EXPECT_TRUE(c.IsSelectable());
    EXPECT_TRUE(c.IsPart());
}

TEST(PlacedComponent, BodyAndPinsOfTheDocumentedExample) {
    auto p = Place(DEF_4X2, Point{100, 100});
    EXPECT_EQ(p->comp.Bounds(), Rect::Make(60, 80, 100, 100));
    PlacedPin pin = p->comp.PinPosition(0);
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin.side, CPinDef::SIDE_LEFT);
    EXPECT_EQ(pin.position, Point::Make(60, 90));
    EXPECT_EQ(pin.tip, Point::Make(50, 90));
    EXPECT_EQ(p->comp.PinTip(0), Point::Make(50, 90));
    EXPECT_EQ(p->comp.PinSideMask(), CPlacedComponent::SIDE_BIT_LEFT);
    EXPECT_EQ(p->comp.Area(), Rect::Make(50, 80, 100, 100));

    ASSERT_TRUE(p->comp.SetDirection(1));
    EXPECT_EQ(p->comp.Bounds(), Rect::Make(80, 60, 100, 100));
    pin = p->comp.PinPosition(0);
    EXPECT_EQ(pin.side, CPinDef::SIDE_TOP);
    EXPECT_EQ(pin.position, Point::Make(90, 60));
    EXPECT_EQ(p->comp.PinSideMask(), CPlacedComponent::SIDE_BIT_TOP);

    ASSERT_TRUE(p->comp.SetDirection(4));
    pin = p->comp.PinPosition(0);
    EXPECT_EQ(pin.side, CPinDef::SIDE_RIGHT);
    EXPECT_EQ(pin.position, Point::Make(100, 90));
    EXPECT_EQ(pin.tip, Point::Make(110, 90));

    EXPECT_FALSE(p->comp.PinPosition(1));
    EXPECT_FALSE(p->comp.PinPosition(-1));
    EXPECT_EQ(p->comp.PinTip(1), Point::Make(0, 0));
    EXPECT_FALSE(p->comp.SetDirection(8));
    EXPECT_FALSE(p->comp.SetDirection(-1));
    EXPECT_EQ(p->comp.Direction(), 4);
}

// Every pin in every direction lies where the transform table puts its unturned outline
// point, on the body edge its placed side names, with its tip a stub outward from it.
TEST(PlacedComponent, PinsInAllDirectionsFollowTheTransformTable) {
    const Point position{1000, 2000};
    const int32_t W = 40, H = 30;
    for (int32_t dir = 0; dir < 8; ++dir) {
        auto p = Place(DEF_ALL_SIDES, position, dir);
        const Rect body = p->comp.Bounds();
        ASSERT_EQ(body.Width(), (dir & 1) ? H : W) << dir;
        ASSERT_EQ(body.Height(), (dir & 1) ? W : H) << dir;
        ASSERT_EQ(p->comp.PinCount(), 5);
        int32_t mask = 0;
        for (int32_t i = 0; i < p->comp.PinCount(); ++i) {
            SCOPED_TRACE(testing::Message() << "direction " << dir << " pin " << i);
            const PlacedPin pin = p->comp.PinPosition(i);
            ASSERT_TRUE(pin);
            const Point expected = PlaceByTable(OutlinePoint(*pin.pin, W, H), dir, W, H, position);
            EXPECT_EQ(pin.position, expected);
            EXPECT_EQ(p->comp.PlacePoint(OutlinePoint(*pin.pin, W, H)), expected);

            // No test pin sits on a corner, so exactly one edge holds it.
            Point outward{0, 0};
            switch (pin.side) {
                case CPinDef::SIDE_LEFT:
                    EXPECT_EQ(pin.position.x, body.left);
                    outward = Point{-10, 0};
                    break;
                case CPinDef::SIDE_TOP:
                    EXPECT_EQ(pin.position.y, body.top);
                    outward = Point{0, -10};
                    break;
                case CPinDef::SIDE_RIGHT:
                    EXPECT_EQ(pin.position.x, body.right);
                    outward = Point{10, 0};
                    break;
                case CPinDef::SIDE_BOTTOM:
                    EXPECT_EQ(pin.position.y, body.bottom);
                    outward = Point{0, 10};
                    break;
                default:
                    ADD_FAILURE() << "side " << pin.side;
            }
            EXPECT_TRUE(body.Contains(pin.position));
            const bool zero = pin.pin->HasFlag(CPinDef::PIN_ZERO_LENGTH);
            EXPECT_EQ(pin.tip, zero ? pin.position : pin.position + outward);
            EXPECT_EQ(p->comp.PinTip(i), pin.tip);
            if (!zero) mask |= 1 << pin.side;
        }
        EXPECT_EQ(p->comp.PinSideMask(), mask) << dir;
    }
}

// The body's drawing lands in the body: its corners map onto the placed body's corners
// as the table says, in every direction.
TEST(PlacedComponent, PlacePointMapsTheDrawingOntoTheBody) {
    const Point position{-50, 70};
    for (int32_t dir = 0; dir < 8; ++dir) {
        auto p = Place(DEF_ALL_SIDES, position, dir);
        for (const Point local : {Point{0, 0}, Point{40, 0}, Point{0, 30}, Point{40, 30},
                                  Point{7, 3}, Point{-5, 100}}) {
            EXPECT_EQ(p->comp.PlacePoint(local), PlaceByTable(local, dir, 40, 30, position))
                << "direction " << dir << " point " << local.x << "," << local.y;
        }
    }
}

TEST(PlacedComponent, TurningChangesTheDirectionInItsOwnOrder) {
    const int32_t afterTurn[8] = {1, 2, 3, 0, 7, 4, 5, 6};
    for (int32_t dir = 0; dir < 8; ++dir) {
        auto p = Place(DEF_ALL_SIDES, Point{100, 100}, dir);
        p->comp.RotateInPlace();
        EXPECT_EQ(p->comp.Direction(), afterTurn[dir]);
        auto q = Place(DEF_ALL_SIDES, Point{100, 100}, dir);
        q->comp.MirrorInPlace();
        EXPECT_EQ(q->comp.Direction(), dir ^ 4);
    }
}

// Turning and mirroring move the pins with the body: about the body's centre every pin
// is turned or reflected exactly, and the turned pin-side mask matches the one a fresh
// placement computes.
TEST(PlacedComponent, PinsTurnAndMirrorWithTheBody) {
    for (int32_t dir = 0; dir < 8; ++dir) {
        SCOPED_TRACE(testing::Message() << "direction " << dir);
        auto p = Place(DEF_ALL_SIDES, Point{300, 400}, dir);
        auto before = std::make_unique<CPlacedComponent>(p->comp);
        const Point centre = p->comp.Bounds().Center();

        p->comp.RotateAbout(centre);
        EXPECT_EQ(p->comp.Bounds().Center(), centre);
        for (int32_t i = 0; i < 5; ++i) {
            EXPECT_EQ(p->comp.PinPosition(i).position,
                      RotateQuarter(before->PinPosition(i).position, centre));
            EXPECT_EQ(p->comp.PinPosition(i).tip,
                      RotateQuarter(before->PinPosition(i).tip, centre));
        }
        auto fresh = Place(DEF_ALL_SIDES, Point{300, 400}, p->comp.Direction());
        EXPECT_EQ(p->comp.PinSideMask(), fresh->comp.PinSideMask());

        auto m = Place(DEF_ALL_SIDES, Point{300, 400}, dir);
        const Rect body = m->comp.Bounds();
        m->comp.MirrorInPlace();
        EXPECT_EQ(m->comp.Bounds(), body);
        for (int32_t i = 0; i < 5; ++i) {
            const Point old = before->PinPosition(i).position;
            EXPECT_EQ(m->comp.PinPosition(i).position,
                      Point::Make(body.left + body.right - old.x, old.y));
        }
        auto freshMirror = Place(DEF_ALL_SIDES, Point{300, 400}, m->comp.Direction());
        EXPECT_EQ(m->comp.PinSideMask(), freshMirror->comp.PinSideMask());
    }
}

TEST(PlacedComponent, FourTurnsAndTwoMirrorsGiveTheStartBack) {
    for (int32_t dir = 0; dir < 8; ++dir) {
        auto p = Place(DEF_ALL_SIDES, Point{123, 456}, dir);
        p->comp.SetName("NAME");
        p->comp.ReportNameSize(30, 12);
        const Rect bounds = p->comp.Bounds();
        const int32_t mask = p->comp.PinSideMask();
        for (int k = 0; k < 4; ++k) p->comp.RotateInPlace();
        EXPECT_EQ(p->comp.Direction(), dir);
        EXPECT_EQ(p->comp.Bounds(), bounds);
        EXPECT_EQ(p->comp.PinSideMask(), mask);

        for (int k = 0; k < 4; ++k) p->comp.RotateAbout(Point{-17, 33});
        EXPECT_EQ(p->comp.Direction(), dir);
        EXPECT_EQ(p->comp.Bounds(), bounds);

        p->comp.SetNameOffset(Point{-14, 6});
        p->comp.SetReferenceOffset(Point{8, -4});
        p->comp.SetReferenceHorizontal(false);
        p->comp.SetReference("U1");
        for (int k = 0; k < 2; ++k) p->comp.MirrorAbout(77);
        EXPECT_EQ(p->comp.Direction(), dir);
        EXPECT_EQ(p->comp.Bounds(), bounds);
        EXPECT_EQ(p->comp.PinSideMask(), mask);
        EXPECT_EQ(p->comp.NameOffset(), Point::Make(-14, 6));
        EXPECT_EQ(p->comp.ReferenceOffset(), Point::Make(8, -4));
    }
}

TEST(PlacedComponent, TurningResetsTheLabelsButKeepsTheirSizes) {
    auto p = Place(DEF_4X2, Point{100, 100});
    p->comp.SetNameOffset(Point{50, 60});
    p->comp.SetNameHorizontal(false);
    p->comp.SetReferenceOffset(Point{-5, -6});
    p->comp.ReportReferenceSize(40, 14);
    p->comp.RotateInPlace();
    EXPECT_EQ(p->comp.NameOffset(), Point::Make(2, 20));
    EXPECT_TRUE(p->comp.NameHorizontal());
    EXPECT_EQ(p->comp.ReferenceOffset(), Point::Make(2, 10));
    EXPECT_TRUE(p->comp.ReferenceSizeKnown());
    EXPECT_EQ(p->comp.ReferenceDrawnSize(), Point::Make(40, 14));
    // The lower right corner stays where it was.
    EXPECT_EQ(p->comp.Position(), Point::Make(100, 100));
    EXPECT_EQ(p->comp.Bounds(), Rect::Make(80, 60, 100, 100));
}

TEST(PlacedComponent, RotateAboutMovesTheBodyCentre) {
    auto p = Place(DEF_4X2, Point{100, 100});  // body (60, 80, 100, 100), centre (80, 90)
    p->comp.RotateAbout(Point{0, 0});
    // The centre turns to (-90, 80); the body is now 20 wide and 40 high.
    EXPECT_EQ(p->comp.Bounds(), Rect::Make(-100, 60, -80, 100));
    EXPECT_EQ(p->comp.Position(), Point::Make(-80, 100));
}

TEST(PlacedComponent, MirrorAboutAnAxis) {
    auto p = Place(DEF_4X2, Point{100, 100});  // body (60, 80, 100, 100)
    p->comp.MirrorAbout(0);
    EXPECT_EQ(p->comp.Bounds(), Rect::Make(-100, 80, -60, 100));
    EXPECT_EQ(p->comp.PinSideMask(), CPlacedComponent::SIDE_BIT_RIGHT);
    EXPECT_EQ(p->comp.PinPosition(0).position, Point::Make(-60, 90));
}

struct LabelCase {
    const char* text;
    bool horizontal;
    bool known;
    Point drawn;
    Point offset;
    Rect expected;  // at position (100, 100)
};

TEST(PlacedComponent, LabelRectangles) {
    const LabelCase cases[] = {
        // Two bytes, no drawn size: 16 by 10 standing on the anchor.
        {"AB", true, false, {}, {2, 20}, {102, 110, 118, 120}},
        {"", true, false, {}, {2, 20}, {102, 110, 102, 120}},
        {"ABC", true, true, {25, 13}, {-10, 5}, {90, 92, 115, 105}},
        // Vertical: runs upward from the anchor, to its left.
        {"AB", false, false, {}, {2, 20}, {92, 104, 102, 120}},
        {"ABC", false, true, {25, 13}, {0, 0}, {87, 75, 100, 100}},
    };
    for (const LabelCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " h" << c.horizontal << " k" << c.known);
        CPlacedComponent comp;
        comp.SetPosition(Point{100, 100});
        comp.SetName(c.text);
        comp.SetReference(c.text);
        comp.SetNameHorizontal(c.horizontal);
        comp.SetReferenceHorizontal(c.horizontal);
        comp.SetNameOffset(c.offset);
        comp.SetReferenceOffset(c.offset);
        if (c.known) {
            comp.ReportNameSize(c.drawn.x, c.drawn.y);
            comp.ReportReferenceSize(c.drawn.x, c.drawn.y);
        }
        EXPECT_EQ(comp.NameLabelRect(), c.expected);
        EXPECT_EQ(comp.ReferenceLabelRect(), c.expected);
        EXPECT_EQ(comp.NameAnchor(), Point::Make(100, 100) + c.offset);
    }
}

TEST(PlacedComponent, SettingATextForgetsItsDrawnSize) {
    CPlacedComponent comp;
    comp.ReportNameSize(50, 12);
    comp.ReportReferenceSize(30, 12);
    EXPECT_TRUE(comp.NameSizeKnown());
    comp.SetName("XY");
    EXPECT_FALSE(comp.NameSizeKnown());
    EXPECT_EQ(comp.NameExtent(), Point::Make(16, 10));
    EXPECT_TRUE(comp.ReferenceSizeKnown());
    comp.SetReference("Q");
    EXPECT_FALSE(comp.ReferenceSizeKnown());
}

// Mirroring reflects each label about the body's centre line.
TEST(PlacedComponent, MirroringReflectsTheLabels) {
    for (const bool horizontal : {true, false}) {
        for (const bool known : {true, false}) {
            auto p = Place(DEF_4X2, Point{100, 100});
            p->comp.SetName("ABCD");
            p->comp.SetNameHorizontal(horizontal);
            p->comp.SetNameOffset(Point{6, -4});
            if (known) p->comp.ReportNameSize(22, 14);
            const Rect before = p->comp.NameLabelRect();
            const Rect body = p->comp.Bounds();
            p->comp.MirrorInPlace();
            const Rect after = p->comp.NameLabelRect();
            const int32_t twiceCentre = body.left + body.right;
            EXPECT_EQ(after, Rect::Make(twiceCentre - before.right, before.top,
                                        twiceCentre - before.left, before.bottom))
                << horizontal << known;
        }
    }
}

TEST(PlacedComponent, HitTestScores) {
    auto p = Place(DEF_4X2, Point{100, 100});  // body (60, 80, 100, 100)
    struct Case {
        Point at;
        int32_t expected;
    };
    const Case bodyOnly[] = {
        {{80, 90}, CPlacedComponent::HIT_BODY + 65},  // the middle
        {{61, 81}, CPlacedComponent::HIT_BODY + 1},   // just inside a corner
        {{60, 90}, 0},                                // on the left edge
        {{80, 100}, 0},                               // on the bottom edge
        {{100, 100}, 0},
        {{50, 90}, 0},
        {{70, 90}, CPlacedComponent::HIT_BODY + 8 * 4 + 1},
    };
    for (const Case& c : bodyOnly) {
        EXPECT_EQ(p->comp.HitTest(c.at), c.expected) << c.at.x << "," << c.at.y;
    }

    p->comp.SetName("ABCD");  // (102, 110, 134, 120)
    EXPECT_EQ(p->comp.HitTest(Point{118, 115}), CPlacedComponent::HIT_NAME + 65);
    EXPECT_EQ(p->comp.HitTest(Point{102, 115}), 0);

    // A reference label over the body: both bits, the better score.
    p->comp.SetReference("AB");
    p->comp.SetReferenceOffset(Point{-30, -5});  // (70, 85, 86, 95)
    EXPECT_EQ(p->comp.HitTest(Point{78, 90}),
              CPlacedComponent::HIT_BODY + CPlacedComponent::HIT_REFERENCE + 65);
    EXPECT_EQ(p->comp.HitTest(Point{85, 94}),
              CPlacedComponent::HIT_BODY + CPlacedComponent::HIT_REFERENCE + 25);
}

TEST(PlacedComponent, TouchTests) {
    auto p = Place(DEF_4X2, Point{100, 100});  // body (60, 80, 100, 100)
    EXPECT_EQ(p->comp.TouchTest(Rect::Make(100, 100, 110, 110)), 3);
    EXPECT_EQ(p->comp.TouchTest(Rect::Make(101, 100, 110, 110)), 0);
    EXPECT_EQ(p->comp.TouchTest(Rect::Make(110, 110, 100, 100)), 3);  // drawn backwards
    EXPECT_EQ(p->comp.InnerTouchTest(Rect::Make(97, 97, 110, 110)), 3);
    EXPECT_EQ(p->comp.InnerTouchTest(Rect::Make(98, 90, 110, 110)), 0);
    EXPECT_EQ(p->comp.InnerTouchTest(Rect::Make(0, 0, 63, 83)), 3);
    EXPECT_EQ(p->comp.InnerTouchTest(Rect::Make(0, 0, 62, 83)), 0);
}

TEST(PlacedComponent, MoveShiftsThePositionWhateverTheEditState) {
    CPlacedComponent c;
    c.SetPosition(Point{10, 10});
    c.SetEditState(2);
    c.Move(5, -3);
    EXPECT_EQ(c.Position(), Point::Make(15, 7));
    EXPECT_EQ(c.EditState(), 2);
    c.ClearEditState();
    EXPECT_EQ(c.EditState(), 0);
    // The second point means nothing to a component.
    c.SetPoint2(Point{9, 9});
    c.SetX2(4);
    EXPECT_EQ(c.Point2(), Point::Make(0, 0));
}

TEST(PlacedComponent, SetPartCopiesAndKeepsTheBlockInRange) {
    auto four = MakeDef("N:F,X:2,Y:2,B:4,-COMP");
    auto two = MakeDef("N:T,X:2,Y:2,B:2,-COMP");
    const CLibEntry fourEntry("FOUR", four.get());
    const CLibEntry twoEntry("TWO", two.get());

    CPlacedComponent c;
    c.SetPart(&fourEntry);
    ASSERT_NE(c.Definition(), nullptr);
    EXPECT_NE(c.Definition(), four.get());  // its own copy
    EXPECT_EQ(c.Part()->Name(), "");
    EXPECT_EQ(c.LibraryName(), "FOUR");
    EXPECT_TRUE(c.SetBlock(3));
    c.SetPart(&fourEntry);
    EXPECT_EQ(c.Block(), 3);
    c.SetPart(&twoEntry);
    EXPECT_EQ(c.Block(), 0);
    EXPECT_EQ(c.LibraryName(), "TWO");
    EXPECT_FALSE(c.SetBlock(2));
    EXPECT_EQ(c.Block(), 0);

    c.SetPart(nullptr);  // changes nothing
    EXPECT_EQ(c.LibraryName(), "TWO");
    EXPECT_EQ(c.Definition()->BlockCount(), 2);

    // Its own part again: copied before the old one goes.
    c.SetPart(c.Part());
    ASSERT_NE(c.Definition(), nullptr);
    EXPECT_EQ(c.Definition()->BlockCount(), 2);
    EXPECT_EQ(c.LibraryName(), "");
}

TEST(PlacedComponent, CopiesFollowTheOwnershipRules) {
    auto def = MakeDef(DEF_ALL_SIDES);
    const CLibEntry entry("ALL", def.get());

    CPlacedComponent owner;
    owner.SetPart(&entry);
    owner.SetPosition(Point{5, 6});
    owner.SetLayer(3);
    owner.SetDirection(5);
    owner.SetName("N1");
    owner.ReportNameSize(20, 11);
    owner.SetNote("note");
    owner.SetEditState(1);

    std::unique_ptr<CSchematicObject> clone = owner.Clone();
    ASSERT_NE(clone, nullptr);
    ASSERT_EQ(clone->Kind(), ObjectKind::Component);
    const auto& copy = static_cast<const CPlacedComponent&>(*clone);
    ASSERT_NE(copy.Definition(), nullptr);
    EXPECT_NE(copy.Definition(), owner.Definition());
    EXPECT_EQ(copy.PinCount(), 5);
    EXPECT_TRUE(copy.OwnsPart());
    EXPECT_EQ(copy.Position(), Point::Make(5, 6));
    EXPECT_EQ(copy.Layer(), 3);
    EXPECT_EQ(copy.EditState(), 1);
    EXPECT_EQ(copy.Direction(), 5);
    EXPECT_EQ(copy.PinSideMask(), owner.PinSideMask());
    EXPECT_EQ(copy.LibraryName(), "ALL");
    EXPECT_TRUE(copy.NameSizeKnown());
    EXPECT_EQ(copy.NameDrawnSize(), Point::Make(20, 11));
    EXPECT_EQ(copy.Note(), "note");
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(copy.PinTip(i), owner.PinTip(i));

    CPlacedComponent sharer;
    sharer.SetSharedPart(&entry);
    EXPECT_FALSE(sharer.OwnsPart());
    EXPECT_EQ(sharer.Definition(), def.get());
    CPlacedComponent shareCopy(sharer);
    EXPECT_EQ(shareCopy.Part(), &entry);

    // Copying over a component replaces its part; copying onto itself changes nothing.
    shareCopy = owner;
    EXPECT_TRUE(shareCopy.OwnsPart());
    EXPECT_NE(shareCopy.Definition(), owner.Definition());
    EXPECT_NE(shareCopy.Definition(), def.get());
    CPlacedComponent& self = shareCopy;
    shareCopy = self;
    ASSERT_NE(shareCopy.Definition(), nullptr);
    EXPECT_EQ(shareCopy.PinCount(), 5);
    shareCopy = sharer;
    EXPECT_EQ(shareCopy.Part(), &entry);

    CPlacedComponent empty;
    shareCopy = empty;
    EXPECT_EQ(shareCopy.Part(), nullptr);
    EXPECT_EQ(shareCopy.PinCount(), 0);
}

// Hostile sizes and coordinates wrap; the sanitizer build turns any overflow into a
// failure.
TEST(PlacedComponent, ExtremeValuesDoNotOverflow) {
    auto def = MakeDef(
        "N:H,X:2147483647,Y:2147483647,B:1,+PIN,N:P,L:R255,T:,M:1,-PIN,"
        "+PIN,N:Q,L:B255,T:,M:1,-PIN,-COMP");
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
            (void)c.Bounds();
            (void)c.Area();
            (void)c.PinTip(0);
            (void)c.PinPosition(1);
            (void)c.PlacePoint(Point{INT32_MIN, INT32_MAX});
            (void)c.NameLabelRect();
            (void)c.ReferenceLabelRect();
            (void)c.HitTest(Point{WrapNeg(v), v});
            (void)c.HitTest(Point{INT32_MAX, INT32_MIN});
            (void)c.TouchTest(Rect::Make(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
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
    EXPECT_EQ(o.Position(), Point::Make(-1, -1));
    EXPECT_EQ(o.Point2(), Point::Make(0, 0));
    EXPECT_EQ(o.Clone(), nullptr);
    EXPECT_EQ(o.HitTest(Point{0, 0}), 0);
    EXPECT_EQ(o.TouchTest(Rect::Make(-5, -5, 5, 5)), 0);
    EXPECT_EQ(o.PinCount(), 0);
    EXPECT_EQ(o.PinTip(0), Point::Make(-1, -1));
    EXPECT_EQ(o.Area(), Rect::Make(-1, -1, -1, -1));
    EXPECT_EQ(o.Bounds(), Rect::Make(-1, -1, -1, -1));
    EXPECT_FALSE(o.HasConnectableBody());
    EXPECT_TRUE(o.IsSelectable());
    EXPECT_FALSE(o.IsPart());
    std::string out;
    CRecordWriter writer(&out);
    EXPECT_FALSE(o.Write(writer));
    EXPECT_TRUE(out.empty());

    EXPECT_FALSE(o.SetLayer(8));
    EXPECT_FALSE(o.SetLayer(-1));
    EXPECT_TRUE(o.SetLayer(7));
    EXPECT_EQ(o.Layer(), 7);

    struct MoveCase {
        int32_t state;
        Point position, point2;
    };
    const MoveCase moves[] = {
        {0, {9, 2}, {10, 3}}, {1, {9, 2}, {0, 0}},  {2, {-1, -1}, {10, 3}},
        {3, {9, 2}, {10, 3}}, {7, {9, 2}, {10, 3}},
    };
    for (const MoveCase& m : moves) {
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
    r.MirrorAbout(0);
    EXPECT_EQ(r.Position(), Point::Make(-10, 0));
    r.RotateInPlace();  // about (-5, 2)
    EXPECT_EQ(r.Position(), Point::Make(-3, -3));
    EXPECT_EQ(r.Point2(), Point::Make(-7, 7));
    r.RotateAbout(Point{0, 0});
    EXPECT_EQ(r.Position(), Point::Make(3, -3));
}

}  // namespace
}  // namespace qurix

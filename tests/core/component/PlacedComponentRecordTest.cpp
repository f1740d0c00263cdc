#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/component/PlacedComponent.h"
#include "core/library/LibrarySet.h"
#include "tests/core/TextReader.h"
#include "tests/core/component/ComponentTestUtil.h"

namespace qurix {
namespace {

using component_test::MakeDef;
using component_test::TempLibrarySet;
using test::TextReader;

constexpr const char* LIBRARY =
    "+KIVOX_LIB_V.1.0\n"
    "+PTN,N:PT,X:40,Y:30\n+L,W:1,S:0,X:0,Y:0,X:40,Y:30,-L\n-PTN\n"
    "+COMP,N:AMP\nX:4,Y:3,B:2\nR:U\nP:PT\n+PIN,N:IN,L:L1,T:,M:1,M:5,-PIN\nNOTE:amp,-COMP\n"
    "+COMP,N:RES\nX:2,Y:1,B:1\nR:R\nNOTE:,-COMP\n"
    "-KIVOX_LIB_V.1.0\n";

constexpr const char* EMBEDDED_4X3 =
    "+KIVOX_LIB_V.1.0,+COMP,N:EMB4,X:4,Y:3,B:1,+PIN,N:A,L:L1,T:,M:1,-PIN,-COMP,"
    "-KIVOX_LIB_V.1.0,";

std::string WriteOf(const CPlacedComponent& c, const Point* origin = nullptr) {
    return test::WrittenText([&](CRecordWriter& w) { return c.Write(w, origin); });
}

// Reads the record that follows "+COMPONENT" in text.
bool ReadInto(CPlacedComponent& c, const std::string& text, const Point* origin = nullptr) {
    TextReader in(text);
    std::string token;
    EXPECT_NE(in.reader.ReadToken(token), -1);
    EXPECT_EQ(token, "+COMPONENT");
    return c.Read(in.reader, origin);
}

TEST(ComponentRecord, WrittenForm) {
    CPlacedComponent c;
    c.SetLibraryName("GONE");
    EXPECT_EQ(WriteOf(c),
              "+COMPONENT,L:0,X:-1,Y:-1,LIB:GONE,DIR:0,BLK:0,N:,ND:1,NX:2,NY:20,R:,RD:1,RX:2,"
              "RY:10,NOTE:,-COMPONENT\n");

    auto def = MakeDef("N:A,X:4,Y:3,B:1,NOTE:x,-COMP");
    const CLibEntry unnamed("", def.get());
    c.SetPart(&unnamed);
    c.SetPosition(Point{150, 80});
    c.SetDirection(6);
    c.SetLayer(2);
    c.SetReference("U7");
    c.SetNameHorizontal(false);
    c.SetNote("a, b%");
    const Point origin{100, 50};
    EXPECT_EQ(WriteOf(c, &origin),
              "+COMPONENT\n+KIVOX_LIB_V.1.0\n+COMP,N:EMB\nX:4,Y:3,B:1\nR:U\nNOTE:x,-COMP\n"
              "-KIVOX_LIB_V.1.0\n"
              "L:2,X:50,Y:30,LIB:,DIR:6,BLK:0,N:,ND:0,NX:2,NY:20,R:U7,RD:1,RX:2,RY:10,"
              "NOTE:a%2C%20b%25,-COMPONENT\n");
    c.SetName("INST");
    EXPECT_NE(WriteOf(c).find("+COMP,N:INST\n"), std::string::npos);
    c.SetLibraryName("LIBNAME");
    EXPECT_NE(WriteOf(c).find("+COMP,N:LIBNAME\n"), std::string::npos);
}

// Write, read into a fresh object, write again: the same bytes.
TEST(ComponentRecord, EmbeddedRoundTripWithAndWithoutOrigin) {
    auto def = MakeDef(
        "N:Q,X:5,Y:2,B:2,R:IC,+PIN,N:\\CLK,L:T2,T:C,M:1,M:9,-PIN,"
        "+PIN,N:OUT,L:R1,T:ZN,M:2,M:,-PIN,NOTE:two blocks,-COMP");
    auto pattern = std::make_unique<CPattern>();
    TextReader ptn("N:X,X:16,Y:2,+BMP,@@OO,H@@A,-BMP,+L,W:1,S:0,X:0,Y:0,X:50,Y:20,-L,-PTN");
    ASSERT_TRUE(pattern->ReadPattern(ptn.reader));
    def->SetPattern(std::move(pattern));
    const CLibEntry entry("Odd, name%\x82\xA0", def.get());

    const Point origin{-7, 1000};
    for (const Point* o : {static_cast<const Point*>(nullptr), &origin}) {
        CPlacedComponent c;
        c.SetPart(&entry);
        ASSERT_TRUE(c.SetBlock(1));
        c.SetDirection(3);
        c.SetLayer(7);
        c.SetPosition(Point{-40, 90});
        c.SetName("N 1");
        c.SetNameOffset(Point{-3, 44});
        c.SetReference("IC3");
        c.SetReferenceHorizontal(false);
        c.SetNote("note");
        const std::string first = WriteOf(c, o);

        CPlacedComponent back;
        ASSERT_TRUE(ReadInto(back, first, o)) << first;
        EXPECT_EQ(WriteOf(back, o), first);
        EXPECT_EQ(back.Position(), Point::Make(-40, 90));
        EXPECT_EQ(back.LibraryName(), entry.Name());
        EXPECT_EQ(back.Block(), 1);
        ASSERT_NE(back.Definition(), nullptr);
        EXPECT_EQ(back.Definition()->Pattern()->BitmapByteCount(), 4);
        EXPECT_EQ(back.PinSideMask(), c.PinSideMask());
        for (int32_t i = 0; i < 2; ++i) EXPECT_EQ(back.PinTip(i), c.PinTip(i));
    }
}

TEST(ComponentRecord, AShortRecordHoldsOnlyTheBitmapColumnsThatCarryData) {
    // A declared width whose full rows would take 16 MiB: 501 rows of 64 bytes are held.
    CPlacedComponent c;
    ASSERT_TRUE(ReadInto(c,
                         "+COMPONENT,+KIVOX_LIB_V.1.0,+PTN,N:P,X:267000,Y:501,+BMP,OO,-BMP,-PTN,"
                         "+COMP,N:A,X:1,Y:1,B:1,P:P,-COMP,-KIVOX_LIB_V.1.0,X:0,Y:0,LIB:A,"
                         "-COMPONENT"));
    ASSERT_NE(c.Definition(), nullptr);
    ASSERT_NE(c.Definition()->Pattern(), nullptr);
    EXPECT_EQ(c.Definition()->Pattern()->BitmapByteCount(), 501 * 64);
}

TEST(ComponentRecord, LibraryNameIsLookedUpInTheLibrarySet) {
    TempLibrarySet libs({LIBRARY});
    ASSERT_EQ(libs.set.Count(), 1);
    CPlacedComponent c;
    c.SetLibrarySet(&libs.set);
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,L:1,X:100,Y:100,LIB:amp,DIR:2,BLK:1,-COMPONENT"));
    ASSERT_NE(c.Definition(), nullptr);
    EXPECT_NE(c.Definition(), libs.set.FindPartByName("AMP")->ComponentDef());
    EXPECT_NE(c.Definition()->Pattern(), nullptr);
    EXPECT_EQ(c.Block(), 1);
    // The left pin turned twice ends on the right.
    EXPECT_EQ(c.Area(), Rect::Make(60, 70, 110, 100));

    // Written again, the definition travels along and reads without the libraries.
    CPlacedComponent alone;
    ASSERT_TRUE(ReadInto(alone, WriteOf(c)));
    ASSERT_NE(alone.Definition(), nullptr);
    EXPECT_EQ(alone.LibraryName(), "amp");
    EXPECT_EQ(alone.Block(), 1);

    // A name no library knows leaves the component without a part, not failing.
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,X:1,Y:2,LIB:NONE,-COMPONENT"));
    EXPECT_EQ(c.Part(), nullptr);
    EXPECT_EQ(c.PinSideMask(), 0);

    // "BLK" needs the part first, and a later part resets a block it does not have.
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,BLK:1,X:0,Y:0,LIB:AMP,-COMPONENT"));
    EXPECT_EQ(c.Block(), 0);
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,X:0,Y:0,LIB:AMP,BLK:1,LIB:RES,-COMPONENT"));
    EXPECT_EQ(c.Block(), 0);

    // An embedded definition wins over a later "LIB", which only renames it.
    ASSERT_TRUE(
        ReadInto(c, std::string("+COMPONENT,") + EMBEDDED_4X3 + "X:0,Y:0,LIB:RES,-COMPONENT"));
    EXPECT_EQ(c.Definition()->Size(), Point::Make(4, 3));
    EXPECT_EQ(c.LibraryName(), "RES");
}

TEST(ComponentRecord, AcceptedRecords) {
    struct Case {
        const char* text;
        Point position;
        Point size;  // of the definition; (0, 0) for no part
    };
    const Case cases[] = {
        // Unknown records are skipped whole; their tokens do not count.
        {"+FOO,X:9,-FOO,X:1,Y:2,LIB:,-COMPONENT", {1, 2}, {}},
        // Tokens without a key are ignored; a value may be empty.
        {"X:3,junk,:7,Y:,LIB:,-COMPONENT", {3, 0}, {}},
        // Out-of-range layer and direction are ignored.
        {"L:9,DIR:8,L:-1,DIR:-1,X:0,Y:0,LIB:,-COMPONENT", {0, 0}, {}},
        // Data tokens of other records inside the block pass unnoticed; a pattern that
        // fails to read is dropped.
        {"+KIVOX_LIB_V.1.0,PROP:p,+PTN,N:P,-BAD,+COMP,N:A,X:1,Y:1,B:1,-COMP,"
         "-KIVOX_LIB_V.1.0,X:5,Y:6,LIB:A,-COMPONENT",
         {5, 6},
         {1, 1}},
        // A second pattern, component or block is skipped.
        {"+KIVOX_LIB_V.1.0,+PTN,N:P,X:10,Y:10,-PTN,+PTN,N:Q,-PTN,+COMP,N:A,X:2,Y:1,B:1,-COMP,"
         "+COMP,N:B,-COMP,-KIVOX_LIB_V.1.0,+KIVOX_LIB_V.1.0,+COMP,N:C,X:9,Y:9,B:1,-COMP,"
         "-KIVOX_LIB_V.1.0,X:0,Y:0,LIB:A,-COMPONENT",
         {0, 0},
         {2, 1}},
    };
    for (const Case& c : cases) {
        CPlacedComponent comp;
        comp.SetLayer(2);
        comp.SetDirection(3);
        ASSERT_TRUE(ReadInto(comp, std::string("+COMPONENT,") + c.text)) << c.text;
        EXPECT_EQ(comp.Position(), c.position) << c.text;
        EXPECT_EQ(comp.Definition() ? comp.Definition()->Size() : Point{}, c.size) << c.text;
        EXPECT_EQ(comp.Layer(), 2);
        EXPECT_EQ(comp.Direction(), 3);
        if (comp.Definition() && comp.Definition()->Pattern()) {
            EXPECT_EQ(comp.Definition()->Pattern()->Name(), "P");
        }
    }
}

TEST(ComponentRecord, FailingRecords) {
    const char* cases[] = {
        "",
        "L:0,X:1,Y:1,LIB:A",                  // the input ends first
        "Y:1,LIB:A,-COMPONENT",               // no X
        "X:1,LIB:A,-COMPONENT",               // no Y
        "X:1,Y:1,-COMPONENT",                 // no LIB
        "X:1,Y:1,LIB:A,-COMP,-COMPONENT",     // a foreign end tag
        "X:1,Y:1,LIB:A,+FOO,a:1,-COMPONENT",  // a record that never ends
        // Embedded blocks: no component, cut short, a failing component, the end tag of
        // another record, a second block that never ends.
        "+KIVOX_LIB_V.1.0,-KIVOX_LIB_V.1.0,X:1,Y:1,LIB:A,-COMPONENT",
        "+KIVOX_LIB_V.1.0,+COMP,N:A,X:1,Y:1,B:1,-COMP",
        "+KIVOX_LIB_V.1.0,+COMP,N:A,X:-1,-COMP,-KIVOX_LIB_V.1.0,X:1,Y:1,LIB:A,-COMPONENT",
        "+KIVOX_LIB_V.1.0,+ALIAS,N:A,A:B,-ALIAS,+COMP,N:A,X:1,Y:1,B:1,-COMP,-KIVOX_LIB_V.1.0,"
        "X:1,Y:1,LIB:A,-COMPONENT",
        "+KIVOX_LIB_V.1.0,+COMP,N:A,X:1,Y:1,B:1,-COMP,-COMPONENT",
        "+KIVOX_LIB_V.1.0,+COMP,N:A,X:1,Y:1,B:1,-COMP,-KIVOX_LIB_V.1.0,+KIVOX_LIB_V.1.0,X:1,"
        "Y:1,LIB:A,-COMPONENT",
    };
    for (const char* text : cases) {
        CPlacedComponent c;
        EXPECT_FALSE(ReadInto(c, std::string("+COMPONENT,") + text)) << text;
    }
}

TEST(ComponentRecord, ReadingReplacesASharedPartAndForgetsDrawnSizes) {
    auto def = MakeDef("N:S,X:1,Y:1,B:1,-COMP");
    const CLibEntry shared("S", def.get());
    CPlacedComponent c;
    c.SetSharedPart(&shared);
    c.ReportNameSize(99, 9);
    ASSERT_TRUE(ReadInto(
        c, std::string("+COMPONENT,") + EMBEDDED_4X3 + "X:0,Y:0,LIB:S,DIR:5,N:AB,-COMPONENT"));
    EXPECT_TRUE(c.OwnsPart());
    EXPECT_EQ(def->Width(), 1);  // the shared definition is untouched
    EXPECT_EQ(c.Definition()->Width(), 4);
    EXPECT_FALSE(c.NameSizeKnown());
    // Left pin, one turn (top), mirrored: still top.
    EXPECT_EQ(c.PinSideMask(), CPlacedComponent::SIDE_BIT_TOP);
}

// A definition that a cut library left without size or blocks would not read back, so
// it is not embedded; the record still names the part.
TEST(ComponentRecord, DefinitionThatCannotReadBackIsNotEmbedded) {
    TextReader in("N:A");
    auto def = std::make_unique<CComponentDef>();
    std::string name, pattern;
    ASSERT_TRUE(def->ReadComponent(in.reader, name, pattern));
    const CLibEntry entry("A", def.get());
    CPlacedComponent c;
    c.SetPart(&entry);
    const std::string text = WriteOf(c);
    EXPECT_EQ(text.rfind("+COMPONENT,L:0,X:-1,Y:-1,LIB:A,", 0), 0u) << text;
    CPlacedComponent back;
    EXPECT_TRUE(ReadInto(back, text));

    CRecordWriter nowhere;  // and a failed write says so
    EXPECT_FALSE(c.Write(nowhere));
}

}  // namespace
}  // namespace qurix

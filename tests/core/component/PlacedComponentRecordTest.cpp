#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/component/PlacedComponent.h"
#include "core/library/LibrarySet.h"
#include "tests/core/component/ComponentTestUtil.h"

namespace qurix {
namespace {

using component_test::MakeDef;
using component_test::TempLibrarySet;
using component_test::TextReader;

constexpr const char* LIBRARY =
    "+KIVOX_LIB_V.1.0\n"
    "+PTN,N:PT,X:40,Y:30\n"
    "+L,W:1,S:0,X:0,Y:0,X:40,Y:30,-L\n"
    "-PTN\n"
    "+COMP,N:AMP\n"
    "X:4,Y:3,B:2\n"
    "R:U\n"
    "P:PT\n"
    "+PIN,N:IN,L:L1,T:,M:1,M:5,-PIN\n"
    "NOTE:amp,-COMP\n"
    "+COMP,N:RES\n"
    "X:2,Y:1,B:1\n"
    "R:R\n"
    "NOTE:,-COMP\n"
    "-KIVOX_LIB_V.1.0\n";

std::string WriteOf(const CPlacedComponent& c, const Point* origin = nullptr) {
    std::string out;
    CRecordWriter writer(&out);
    EXPECT_TRUE(c.Write(writer, origin));
    return out;
}

// Reads the record that follows "+COMPONENT" in text.
bool ReadInto(CPlacedComponent& c, const std::string& text, const Point* origin = nullptr) {
    TextReader in(text);
    std::string token;
    EXPECT_NE(in.reader.ReadToken(token), -1);
    EXPECT_EQ(token, "+COMPONENT");
    return c.Read(in.reader, origin);
}

TEST(ComponentRecord, WithoutAPartEverythingIsOnOneLine) {
    CPlacedComponent c;
    c.SetLibraryName("GONE");
    EXPECT_EQ(WriteOf(c),
              "+COMPONENT,L:0,X:-1,Y:-1,LIB:GONE,DIR:0,BLK:0,N:,ND:1,NX:2,NY:20,R:,RD:1,RX:2,"
              "RY:10,NOTE:,-COMPONENT\n");
}

TEST(ComponentRecord, EmbeddedDefinitionIsNamedAfterTheLibraryNameThenTheInstance) {
    auto def = MakeDef("N:A,X:4,Y:3,B:1,NOTE:x,-COMP");
    const CLibEntry unnamed("", def.get());
    CPlacedComponent c;
    c.SetPart(&unnamed);
    c.SetPosition(Point{150, 80});
    c.SetDirection(6);
    c.SetLayer(2);
    c.SetReference("U7");
    c.SetNameHorizontal(false);
    c.SetNote("a, b%");
    EXPECT_EQ(WriteOf(c),
              "+COMPONENT\n"
              "+KIVOX_LIB_V.1.0\n"
              "+COMP,N:EMB\n"
              "X:4,Y:3,B:1\n"
              "R:U\n"
              "NOTE:x,-COMP\n"
              "-KIVOX_LIB_V.1.0\n"
              "L:2,X:150,Y:80,LIB:,DIR:6,BLK:0,N:,ND:0,NX:2,NY:20,R:U7,RD:1,RX:2,RY:10,"
              "NOTE:a%2C%20b%25,-COMPONENT\n");

    c.SetName("INST");
    EXPECT_NE(WriteOf(c).find("+COMP,N:INST\n"), std::string::npos);
    c.SetLibraryName("LIBNAME");
    EXPECT_NE(WriteOf(c).find("+COMP,N:LIBNAME\n"), std::string::npos);
}

TEST(ComponentRecord, OriginIsSubtractedAndAddedBack) {
    CPlacedComponent c;
    c.SetPosition(Point{150, 80});
    const Point origin{100, 50};
    const std::string text = WriteOf(c, &origin);
    EXPECT_NE(text.find(",X:50,Y:30,"), std::string::npos) << text;

    CPlacedComponent back;
    ASSERT_TRUE(ReadInto(back, text, &origin));
    EXPECT_EQ(back.Position(), Point::Make(150, 80));
    CPlacedComponent plain;
    ASSERT_TRUE(ReadInto(plain, text));
    EXPECT_EQ(plain.Position(), Point::Make(50, 30));
}

// Write, read into a fresh object, write again: the same bytes, and the same object.
TEST(ComponentRecord, EmbeddedRoundTrip) {
    auto def = MakeDef(
        "N:Q,X:5,Y:2,B:2,R:IC,"
        "+PIN,N:\\CLK,L:T2,T:C,M:1,M:9,-PIN,"
        "+PIN,N:OUT,L:R1,T:ZN,M:2,M:,-PIN,NOTE:two blocks,-COMP");
    auto pattern = std::make_unique<CPattern>();
    {
        TextReader in("N:X,X:16,Y:2,+BMP,@@OO,H@@A,-BMP,+L,W:1,S:0,X:0,Y:0,X:50,Y:20,-L,-PTN");
        ASSERT_TRUE(pattern->ReadPattern(in.reader));
    }
    def->SetPattern(std::move(pattern));
    const CLibEntry entry("Odd, name%\x82\xA0", def.get());

    for (const bool withOrigin : {false, true}) {
        SCOPED_TRACE(withOrigin);
        const Point origin{-7, 1000};
        const Point* o = withOrigin ? &origin : nullptr;
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
        c.SetReferenceOffset(Point{7, -9});
        c.SetNote("note");
        const std::string first = WriteOf(c, o);

        CPlacedComponent back;
        ASSERT_TRUE(ReadInto(back, first, o)) << first;
        EXPECT_EQ(WriteOf(back, o), first);
        ASSERT_NE(back.Definition(), nullptr);
        const CComponentDef& d = *back.Definition();
        EXPECT_EQ(d.Size(), Point::Make(5, 2));
        EXPECT_EQ(d.BlockCount(), 2);
        EXPECT_STREQ(d.ReferencePrefix(), "IC");
        ASSERT_EQ(d.PinCount(), 2);
        EXPECT_STREQ(d.Pin(1)->Number(0), "2");
        ASSERT_NE(d.Pattern(), nullptr);
        EXPECT_EQ(d.Pattern()->ElementCount(), 1);
        EXPECT_EQ(d.Pattern()->BitmapByteCount(), 4);
        EXPECT_EQ(back.LibraryName(), entry.Name());
        EXPECT_EQ(back.Block(), 1);
        EXPECT_EQ(back.Direction(), 3);
        EXPECT_EQ(back.Layer(), 7);
        EXPECT_EQ(back.Position(), Point::Make(-40, 90));
        EXPECT_EQ(back.Name(), "N 1");
        EXPECT_EQ(back.NameOffset(), Point::Make(-3, 44));
        EXPECT_FALSE(back.ReferenceHorizontal());
        EXPECT_EQ(back.ReferenceOffset(), Point::Make(7, -9));
        EXPECT_EQ(back.Note(), "note");
        EXPECT_EQ(back.PinSideMask(), c.PinSideMask());
        for (int32_t i = 0; i < 2; ++i) EXPECT_EQ(back.PinTip(i), c.PinTip(i));
    }
}

TEST(ComponentRecord, LibraryNameIsLookedUpInTheLibrarySet) {
    TempLibrarySet libs({LIBRARY});
    ASSERT_EQ(libs.set.Count(), 1);
    CPlacedComponent c;
    c.SetLibrarySet(&libs.set);
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,L:1,X:100,Y:100,LIB:amp,DIR:2,BLK:1,-COMPONENT"));
    ASSERT_NE(c.Definition(), nullptr);
    const CLibEntry* found = libs.set.FindPartByName("AMP");
    ASSERT_NE(found, nullptr);
    EXPECT_NE(c.Definition(), found->ComponentDef());  // a copy of its own
    EXPECT_EQ(c.Definition()->Size(), Point::Make(4, 3));
    ASSERT_NE(c.Definition()->Pattern(), nullptr);
    EXPECT_EQ(c.LibraryName(), "amp");
    EXPECT_EQ(c.Block(), 1);
    // The left pin turned twice ends on the right.
    EXPECT_EQ(c.PinSideMask(), CPlacedComponent::SIDE_BIT_RIGHT);
    EXPECT_EQ(c.Area(), Rect::Make(60, 70, 110, 100));

    // Written again, the definition travels with it and is read without the libraries.
    CPlacedComponent alone;
    ASSERT_TRUE(ReadInto(alone, WriteOf(c)));
    ASSERT_NE(alone.Definition(), nullptr);
    EXPECT_EQ(alone.Definition()->PinCount(), 1);
    EXPECT_EQ(alone.LibraryName(), "amp");
    EXPECT_EQ(alone.Block(), 1);

    // A name no library knows leaves the component without a part, not failing.
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,X:1,Y:2,LIB:NONE,-COMPONENT"));
    EXPECT_EQ(c.Part(), nullptr);
    EXPECT_EQ(c.PinSideMask(), 0);
    EXPECT_EQ(c.LibraryName(), "NONE");
}

TEST(ComponentRecord, BlockBeforeLibraryNameReadsZero) {
    TempLibrarySet libs({LIBRARY});
    CPlacedComponent c;
    c.SetLibrarySet(&libs.set);
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,BLK:1,X:0,Y:0,LIB:AMP,-COMPONENT"));
    ASSERT_NE(c.Definition(), nullptr);
    EXPECT_EQ(c.Block(), 0);
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,X:0,Y:0,LIB:AMP,BLK:2,-COMPONENT"));
    EXPECT_EQ(c.Block(), 0);
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,X:0,Y:0,LIB:AMP,BLK:1,LIB:RES,-COMPONENT"));
    EXPECT_EQ(c.Block(), 0);  // the second part has one block
}

TEST(ComponentRecord, OutOfRangeLayerAndDirectionAreIgnored) {
    CPlacedComponent c;
    c.SetLayer(2);
    c.SetDirection(3);
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,L:9,DIR:8,L:-1,DIR:-1,X:0,Y:0,LIB:,-COMPONENT"));
    EXPECT_EQ(c.Layer(), 2);
    EXPECT_EQ(c.Direction(), 3);
    ASSERT_TRUE(ReadInto(c, "+COMPONENT,L:7,DIR:7,X:0,Y:0,LIB:,-COMPONENT"));
    EXPECT_EQ(c.Layer(), 7);
    EXPECT_EQ(c.Direction(), 7);
}

constexpr const char* EMBEDDED_4X3 =
    "+KIVOX_LIB_V.1.0,+COMP,N:EMB4,X:4,Y:3,B:1,+PIN,N:A,L:L1,T:,M:1,-PIN,-COMP,"
    "-KIVOX_LIB_V.1.0,";

TEST(ComponentRecord, EmbeddedDefinitionWinsOverALaterLibraryName) {
    TempLibrarySet libs({LIBRARY});
    CPlacedComponent c;
    c.SetLibrarySet(&libs.set);
    ASSERT_TRUE(
        ReadInto(c, std::string("+COMPONENT,") + EMBEDDED_4X3 + "X:0,Y:0,LIB:RES,-COMPONENT"));
    ASSERT_NE(c.Definition(), nullptr);
    EXPECT_EQ(c.Definition()->Size(), Point::Make(4, 3));
    EXPECT_EQ(c.LibraryName(), "RES");

    // Without a "LIB" the block's own part name stays.
    CPlacedComponent d;
    ASSERT_FALSE(ReadInto(d, std::string("+COMPONENT,") + EMBEDDED_4X3 + "X:0,Y:0,-COMPONENT"));
    EXPECT_EQ(d.LibraryName(), "EMB4");
}

TEST(ComponentRecord, SecondEmbeddedBlockIsSkipped) {
    CPlacedComponent c;
    ASSERT_TRUE(ReadInto(c, std::string("+COMPONENT,") + EMBEDDED_4X3 +
                                "+KIVOX_LIB_V.1.0,+COMP,N:OTHER,X:9,Y:9,B:1,-COMP,"
                                "-KIVOX_LIB_V.1.0,X:0,Y:0,LIB:X,-COMPONENT"));
    ASSERT_NE(c.Definition(), nullptr);
    EXPECT_EQ(c.Definition()->Size(), Point::Make(4, 3));
}

TEST(ComponentRecord, EmbeddedBlockReplacesASharedPart) {
    auto def = MakeDef("N:S,X:1,Y:1,B:1,-COMP");
    const CLibEntry shared("S", def.get());
    CPlacedComponent c;
    c.SetSharedPart(&shared);
    ASSERT_TRUE(
        ReadInto(c, std::string("+COMPONENT,") + EMBEDDED_4X3 + "X:0,Y:0,LIB:S,-COMPONENT"));
    EXPECT_TRUE(c.OwnsPart());
    EXPECT_NE(c.Part(), &shared);
    EXPECT_EQ(def->Width(), 1);  // the shared definition is untouched
    EXPECT_EQ(c.Definition()->Width(), 4);
}

TEST(ComponentRecord, AcceptedRecords) {
    struct Case {
        const char* text;
        Point position;
        bool hasPart;
    };
    const Case cases[] = {
        // Unknown records are skipped whole; their tokens do not count.
        {"+COMPONENT,+FOO,X:9,-FOO,X:1,Y:2,LIB:,-COMPONENT", {1, 2}, false},
        // Tokens without a key are ignored; a value may be empty.
        {"+COMPONENT,X:3,junk,:7,Y:,LIB:,-COMPONENT", {3, 0}, false},
        // Data tokens of other records inside the block pass unnoticed.
        {"+COMPONENT,+KIVOX_LIB_V.1.0,PROP:p,+COMP,N:A,X:1,Y:1,B:1,-COMP,-KIVOX_LIB_V.1.0,"
         "X:5,Y:6,LIB:A,-COMPONENT",
         {5, 6},
         true},
        // A pattern that fails to read is dropped; the part stays.
        {"+COMPONENT,+KIVOX_LIB_V.1.0,+PTN,N:P,-BAD,+COMP,N:A,X:1,Y:1,B:1,-COMP,"
         "-KIVOX_LIB_V.1.0,X:5,Y:6,LIB:A,-COMPONENT",
         {5, 6},
         true},
        // A second pattern and a second component in one block are skipped.
        {"+COMPONENT,+KIVOX_LIB_V.1.0,+PTN,N:P,X:10,Y:10,-PTN,+PTN,N:Q,-PTN,"
         "+COMP,N:A,X:1,Y:1,B:1,P:P,-COMP,+COMP,N:B,-COMP,-KIVOX_LIB_V.1.0,"
         "X:0,Y:0,LIB:A,-COMPONENT",
         {0, 0},
         true},
    };
    for (const Case& c : cases) {
        CPlacedComponent comp;
        ASSERT_TRUE(ReadInto(comp, c.text)) << c.text;
        EXPECT_EQ(comp.Position(), c.position) << c.text;
        EXPECT_EQ(comp.Part() != nullptr, c.hasPart) << c.text;
    }
}

TEST(ComponentRecord, EmbeddedPatternsKeepOnlyTheFirst) {
    CPlacedComponent c;
    ASSERT_TRUE(ReadInto(c,
                         "+COMPONENT,+KIVOX_LIB_V.1.0,+PTN,N:P,X:10,Y:10,-PTN,+PTN,N:Q,-PTN,"
                         "+COMP,N:A,X:1,Y:1,B:1,-COMP,-KIVOX_LIB_V.1.0,X:0,Y:0,LIB:A,-COMPONENT"));
    ASSERT_NE(c.Definition()->Pattern(), nullptr);
    EXPECT_EQ(c.Definition()->Pattern()->Name(), "P");
}

TEST(ComponentRecord, FailingRecords) {
    const char* cases[] = {
        "+COMPONENT",
        "+COMPONENT,L:0,X:1,Y:1,LIB:A",                  // no end before the input ends
        "+COMPONENT,Y:1,LIB:A,-COMPONENT",               // no X
        "+COMPONENT,X:1,LIB:A,-COMPONENT",               // no Y
        "+COMPONENT,X:1,Y:1,-COMPONENT",                 // no LIB
        "+COMPONENT,X:1,Y:1,LIB:A,-COMP,-COMPONENT",     // a foreign end tag
        "+COMPONENT,X:1,Y:1,LIB:A,+FOO,a:1,-COMPONENT",  // a record that never ends
        // Embedded blocks: no component, cut short, a component that fails, the end
        // tag of another record, a second block that never ends.
        "+COMPONENT,+KIVOX_LIB_V.1.0,-KIVOX_LIB_V.1.0,X:1,Y:1,LIB:A,-COMPONENT",
        "+COMPONENT,+KIVOX_LIB_V.1.0,+COMP,N:A,X:1,Y:1,B:1,-COMP",
        "+COMPONENT,+KIVOX_LIB_V.1.0,+COMP,N:A,X:-1,-COMP,-KIVOX_LIB_V.1.0,X:1,Y:1,LIB:A,"
        "-COMPONENT",
        "+COMPONENT,+KIVOX_LIB_V.1.0,+COMP,N:A,X:1,Y:1,B:1,-COMP,-KIVOX_LIB_V.1.0,"
        "+KIVOX_LIB_V.1.0,X:1,Y:1,LIB:A,-COMPONENT",
        "+COMPONENT,+KIVOX_LIB_V.1.0,+ALIAS,N:A,A:B,-ALIAS,+COMP,N:A,X:1,Y:1,B:1,-COMP,"
        "-KIVOX_LIB_V.1.0,X:1,Y:1,LIB:A,-COMPONENT",
        "+COMPONENT,+KIVOX_LIB_V.1.0,+COMP,N:A,X:1,Y:1,B:1,-COMP,-COMPONENT",
    };
    for (const char* text : cases) {
        CPlacedComponent c;
        EXPECT_FALSE(ReadInto(c, text)) << text;
    }
}

TEST(ComponentRecord, FailureReasonIsReported) {
    TextReader in("X:1,Y:1,-COMPONENT");
    std::string reason;
    int32_t failedLine = 0;
    const CRecordReader::Listener listener = [&](int32_t line, const std::string& why) {
        failedLine = line;
        reason = why;
    };
    in.reader.SetListener(&listener);
    CPlacedComponent c;
    EXPECT_FALSE(c.Read(in.reader));
    EXPECT_EQ(failedLine, 1);
    EXPECT_NE(reason.find("LIB"), std::string::npos) << reason;
}

TEST(ComponentRecord, ReadingTextsForgetsDrawnSizesAndRecomputesPinSides) {
    CPlacedComponent c;
    c.ReportNameSize(99, 9);
    c.ReportReferenceSize(99, 9);
    ASSERT_TRUE(ReadInto(
        c, std::string("+COMPONENT,") + EMBEDDED_4X3 + "X:0,Y:0,LIB:,DIR:5,N:AB,R:R1,-COMPONENT"));
    EXPECT_FALSE(c.NameSizeKnown());
    EXPECT_FALSE(c.ReferenceSizeKnown());
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
    ASSERT_EQ(def->BlockCount(), 0);
    const CLibEntry entry("A", def.get());
    CPlacedComponent c;
    c.SetPart(&entry);
    const std::string text = WriteOf(c);
    EXPECT_EQ(text.rfind("+COMPONENT,L:0,X:-1,Y:-1,LIB:A,", 0), 0u) << text;
    CPlacedComponent back;
    EXPECT_TRUE(ReadInto(back, text));
}

TEST(ComponentRecord, WriteFailsWithoutATarget) {
    CPlacedComponent c;
    CRecordWriter nowhere;
    EXPECT_FALSE(c.Write(nowhere));
}

}  // namespace
}  // namespace qurix

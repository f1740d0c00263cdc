// Placed components copy a library's part but share its pattern, which lives in the
// library's arena: the pattern must stay whole after the library is gone. Under
// AddressSanitizer a pattern freed too early is a use after free here.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "core/component/PlacedComponent.h"
#include "core/elements/PolygonElement.h"
#include "core/elements/TextElement.h"
#include "core/library/PartLibrary.h"
#include "core/platform/TempFiles.h"
#include "tests/core/TextReader.h"

namespace qurix {
namespace {

constexpr const char* LIBRARY =
    "+KIVOX_LIB_V.1.0\nPROP:life\n"
    "+PTN,N:BODY,X:40,Y:30\n"
    "+PG,W:1,S:0,F:1,N:3,X:0,Y:0,X:10,Y:5,X:0,Y:10,-PG\n"
    "+TX,X:5,Y:5,A:0,D:1,S:a%20long%20label%20of%20the%20part,FN:Some Face,FS:8,FF:,-TX\n"
    "-PTN\n"
    "+COMP,N:GATE\nX:4,Y:3,B:2\nR:IC\nP:BODY\n"
    "+PIN,N:\\CLEAR,L:L1,T:N,M:1,M:14,-PIN\n"
    "NOTE:a note longer than any short text kept inside a string\n-COMP\n"
    "+ALIAS,N:GATE,A:GATE2,-ALIAS\n"
    "-KIVOX_LIB_V.1.0\n";

std::unique_ptr<CPartLibrary> Load(const std::string& text) {
    auto library = std::make_unique<CPartLibrary>();
    FILE* file = OpenBytesAsFile(text);
    EXPECT_TRUE(file && library->LoadStream(file, "life.lib"));
    if (file) std::fclose(file);
    return library;
}

std::string Written(const CPlacedComponent& component) {
    return test::WrittenText([&](CRecordWriter& w) { return component.Write(w); });
}

TEST(LibraryLifetime, APlacedPartOutlivesItsLibrary) {
    auto library = Load(LIBRARY);
    ASSERT_EQ(library->EntryCount(), 2);
    CPlacedComponent placed;
    placed.SetPart(library->Entry(1));  // the alias: its own name, the part's definition
    placed.SetBlock(1);
    const std::string before = Written(placed);
    std::shared_ptr<const CPattern> pattern = library->Entry(0)->ComponentDef()->SharedPattern();
    library.reset();

    // Everything copied or shared is still there, byte for byte.
    EXPECT_EQ(Written(placed), before);
    const CComponentDef* def = placed.Definition();
    ASSERT_NE(def, nullptr);
    EXPECT_STREQ(def->ReferencePrefix(), "IC");
    EXPECT_EQ(def->Note(), "a note longer than any short text kept inside a string");
    EXPECT_STREQ(def->Pin(0)->Number(1), "14");
    EXPECT_EQ(def->Pin(0)->EncodedName(), "\\CLEAR");
    ASSERT_EQ(def->Pattern(), pattern.get());
    EXPECT_EQ(pattern->Name(), "BODY");
    ASSERT_EQ(pattern->ElementCount(), 2);
    const auto& polygon = static_cast<const CPolygonElement&>(*pattern->Element(0));
    EXPECT_EQ(polygon.PointList(), (std::vector<Point>{{0, 0}, {10, 5}, {0, 10}}));
    const auto& text = static_cast<const CTextElement&>(*pattern->Element(1));
    EXPECT_EQ(text.Text(), "a long label of the part");
    EXPECT_EQ(text.FontName(), "Some Face");

    // A copy made after the library went shares the same pattern.
    const CPlacedComponent copy(placed);
    EXPECT_EQ(copy.Definition()->Pattern(), pattern.get());
    pattern.reset();
    EXPECT_EQ(Written(copy), before);
}

TEST(LibraryLifetime, EveryHolderOfThePatternKeepsItAlone) {
    // Placed parts given up in each order: whichever goes last still finds the pattern.
    for (const bool firstGoesFirst : {true, false}) {
        auto library = Load(LIBRARY);
        auto first = std::make_unique<CPlacedComponent>();
        auto second = std::make_unique<CPlacedComponent>();
        first->SetPart(library->Entry(0));
        second->SetPart(library->Entry(1));
        const std::string written = Written(*second);
        library.reset();
        (firstGoesFirst ? first : second).reset();
        const CPlacedComponent& last = firstGoesFirst ? *second : *first;
        EXPECT_EQ(last.Definition()->Pattern()->Name(), "BODY");
        if (firstGoesFirst) {
            EXPECT_EQ(Written(last), written);
        }
    }
}

TEST(LibraryLifetime, AFailedLoadLeavesNothingHeld) {
    // Cut inside the second part's pin: the load fails and the library is empty, with no
    // part of the first one left to reach.
    CPartLibrary library;
    const std::string text = LIBRARY;
    FILE* file = OpenBytesAsFile(text.substr(0, text.find("NOTE")) + "-PIN\n");
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(library.LoadStream(file, "cut.lib"));
    std::fclose(file);
    EXPECT_EQ(library.EntryCount(), 0);
    EXPECT_EQ(library.Entry(0), nullptr);
    EXPECT_EQ(library.MemoryBytes(), 0);
}

}  // namespace
}  // namespace qurix

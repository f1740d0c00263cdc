#include "core/library/PartLibrary.h"
#include "core/platform/TempFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/ScratchFolder.h"

namespace qurix {
namespace {

using test::ScratchFolder;

struct Failure {
    int32_t line = -1;
    std::string reason;
};

// Loads text from memory; the failure, if any, goes to *failure.
bool LoadText(CPartLibrary& lib, const std::string& text, Failure* failure = nullptr) {
    FILE* file = OpenBytesAsFile(text);
    if (!file) return false;
    const CPartLibrary::Listener listener = [&](int32_t line, const std::string& why) {
        if (failure) *failure = Failure{line, why};
    };
    const bool ok = lib.LoadStream(file, "mem.lib", failure ? &listener : nullptr);
    std::fclose(file);
    return ok;
}

std::vector<std::string> Names(const CPartLibrary& lib) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < lib.EntryCount(); ++i) names.push_back(lib.Entry(i)->Name().str());
    return names;
}

std::string Comp(const std::string& name, const std::string& extra = "") {
    return "+COMP,N:" + name + ",X:2,Y:1,B:1" + extra + ",-COMP\n";
}

std::string Lib(const std::string& body) {
    return "+KIVOX_LIB_V.1.0\n" + body + "-KIVOX_LIB_V.1.0\n";
}

TEST(PartLibrary, HeaderAndEmptyBodies) {
    struct Case {
        std::string text;
        bool ok;
    };
    const Case cases[] = {
        {"+KIVOX_LIB_V.1.0\n-KIVOX_LIB_V.1.0\n", true},
        {"+KIVOX_LIB_V.1.0", true},
        {"\n\n  +KIVOX_LIB_V.1.0\r\n", true},
        {"+KIVOX_DATA_V.1.0\n+SHEET,-SHEET\n", true},
        {"+KIVOX_DATA_V.1.0", true},
        {"", false},
        {" \n\t\r\n", false},
        {"+KIVOX_LIB_V.1.0 \n-KIVOX_LIB_V.1.0\n", false},
        {"+KIVOX_LIB_V.1.1\n", false},
        {"+kivox_lib_v.1.0\n", false},
        {"PROP:x\n+KIVOX_LIB_V.1.0\n", false},
        {"-KIVOX_LIB_V.1.0\n", false},
        {"%4\n+KIVOX_LIB_V.1.0\n", false},  // the broken escape ends the input
    };
    for (const Case& c : cases) {
        CPartLibrary lib;
        EXPECT_EQ(LoadText(lib, c.text), c.ok) << c.text;
        EXPECT_EQ(lib.EntryCount(), 0);
        EXPECT_EQ(lib.IsLoaded(), c.ok);
    }
}

TEST(PartLibrary, EntriesInFileOrderWithUniqueNames) {
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, Lib(Comp("AMP") + Comp("R") + Comp("AMP") + Comp("AMP") +
                                  Comp("amp") + Comp("AMP(1)"))));
    EXPECT_EQ(Names(lib),
              (std::vector<std::string>{"AMP", "R", "AMP(1)", "AMP(2)", "amp", "AMP(3)"}));
    EXPECT_EQ(lib.Entry(-1), nullptr);
    EXPECT_EQ(lib.Entry(6), nullptr);
    EXPECT_EQ(lib.Path(), "mem.lib");
    // Every entry has its own definition.
    EXPECT_NE(lib.Entry(0)->ComponentDef(), lib.Entry(2)->ComponentDef());
}

TEST(PartLibrary, MakeUniqueName) {
    CPartLibrary lib;
    ASSERT_TRUE(
        LoadText(lib, Lib(Comp("R1") + Comp("OP(7)") + Comp("X()") + Comp("A(b)") + Comp("(5)") +
                          Comp(")") + Comp("Q(1)") + Comp("Q(2)") + Comp("S1(1)") + Comp("Z(-3)") +
                          Comp("W(2147483647)") + Comp("V(01)"))));
    struct Case {
        const char* name;
        const char* unique;
    };
    const Case cases[] = {
        {"free", "free"},
        {"R1", "R1(1)"},
        {"S1(1)", "S1(2)"},
        {"OP(7)", "OP(8)"},
        {"X()", "X(1)"},
        {"A(b)", "A(b)(1)"},
        {"(5)", "(6)"},
        {")", ")(1)"},
        {"Q(1)", "Q(3)"},
        {"Z(-3)", "Z(-3)(1)"},
        {"r1", "r1"},
        {"W(2147483647)", "W(-2147483648)"},  // the number wraps instead of overflowing
        {"V(01)", "V(2)"},
    };
    for (const Case& c : cases) EXPECT_EQ(lib.MakeUniqueName(c.name), c.unique) << c.name;
}

TEST(PartLibrary, UniqueNamesKeepCountingPast4096Tries) {
    std::string body;
    for (int i = 0; i < 4099; ++i) body += Comp("R");
    // Every name listed twice: the second of each finds every one of the next 4096
    // numbers taken.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 1; i <= 20000; ++i) body += Comp("X(" + std::to_string(i) + ")");
    }
    body += Comp("W(2147483647)") + Comp("W(2147483647)");  // the number wraps
    body += Comp("Z(01)") + Comp("Z") + Comp("Z");          // "Z(01)" is not "Z(1)"
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, Lib(body)));
    ASSERT_EQ(lib.EntryCount(), 4099 + 40000 + 5);
    EXPECT_EQ(lib.Entry(4096)->Name(), "R(4096)");
    EXPECT_EQ(lib.Entry(4098)->Name(), "R(4098)");
    EXPECT_EQ(lib.Entry(4099 + 20000)->Name(), "X(20001)");
    EXPECT_EQ(lib.Entry(4099 + 39999)->Name(), "X(40000)");
    EXPECT_EQ(lib.Entry(4099 + 40001)->Name(), "W(-2147483648)");
    EXPECT_EQ(lib.Entry(4099 + 40004)->Name(), "Z(1)");
    std::set<std::string> names;
    for (int32_t i = 0; i < lib.EntryCount(); ++i) names.insert(lib.Entry(i)->Name().str());
    EXPECT_EQ(names.size(), static_cast<size_t>(lib.EntryCount()));  // a name is one part
    EXPECT_EQ(lib.MakeUniqueName("R(4090)"), "R(4099)");
    EXPECT_EQ(lib.MakeUniqueName("X(7)"), "X(40001)");
    EXPECT_EQ(lib.MakeUniqueName("W(2147483647)"), "W(-2147483647)");
}

TEST(PartLibrary, APatternReadAfterAnOlderLookupStillHidesItsName) {
    // A and B look up an older pattern each; X then gets a newer definition, looked up
    // after patterns of other names were read.
    const std::string text =
        Lib("+PTN,N:X,X:1,Y:1,-PTN\n+PTN,N:Y,X:1,Y:1,-PTN\n" + Comp("A", ",P:X") +
            "+PTN,N:X,X:3,Y:3,-PTN\n" + "+PTN,N:Z,X:1,Y:1,-PTN\n" + Comp("B", ",P:X") +
            Comp("C", ",P:Y") + Comp("D", ",P:Z"));
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, text));
    ASSERT_EQ(lib.EntryCount(), 4);
    const int32_t widths[] = {1, 3, 1, 1};
    for (int32_t i = 0; i < 4; ++i) {
        ASSERT_NE(lib.Entry(i)->Pattern(), nullptr) << i;
        EXPECT_EQ(lib.Entry(i)->Pattern()->Width(), widths[i]) << i;
    }
}

TEST(PartLibrary, PatternsMatchNewestFirstWithinTheirSection) {
    const std::string text =
        "+KIVOX_LIB_V.1.0\n"
        "+PTN,N:OLD,X:1,Y:1,-PTN\n"
        "-KIVOX_LIB_V.1.0\n"
        "+KIVOX_LIB_V.1.0\n" +
        Comp("EARLY", ",P:LATE") +
        "+PTN,N:LATE,X:1,Y:1,-PTN\n"
        "+PTN,N:TWICE,X:1,Y:1,-PTN\n"
        "+PTN,N:TWICE,X:2,Y:2,-PTN\n" +
        Comp("A", ",P:TWICE") + Comp("B", ",P:OLD") + Comp("C", ",P:LATE") + Comp("D", ",P:late") +
        Comp("E", ",P:TWICE") + "-KIVOX_LIB_V.1.0\n";
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, text));
    ASSERT_EQ(lib.EntryCount(), 6);
    EXPECT_EQ(lib.Entry(0)->Pattern(), nullptr);  // defined after the component
    ASSERT_NE(lib.Entry(1)->Pattern(), nullptr);
    EXPECT_EQ(lib.Entry(1)->Pattern()->Width(), 2);  // the later of two
    EXPECT_EQ(lib.Entry(2)->Pattern(), nullptr);     // from an earlier section
    ASSERT_NE(lib.Entry(3)->Pattern(), nullptr);
    EXPECT_EQ(lib.Entry(3)->Pattern()->Name(), "LATE");
    EXPECT_EQ(lib.Entry(4)->Pattern(), nullptr);  // names compare case-sensitively
    // Components naming one pattern share it.
    EXPECT_EQ(lib.Entry(5)->Pattern(), lib.Entry(1)->Pattern());
}

TEST(PartLibrary, Aliases) {
    const std::string text = Lib(std::string("+COMP,N:NAND,X:4,Y:3,B:0,B:4,R:IC,-COMP\n") +
                                 "+ALIAS,N:NAND,A:NAND2,-ALIAS\n"
                                 "+ALIAS,N:NAND2,A:NAND3,-ALIAS\n"  // an alias of an alias
                                 "+ALIAS,N:NOPE,A:GHOST,-ALIAS\n"   // no such part
                                 "+ALIAS,A:NAND,N:NAND,-ALIAS\n"    // named like a part
                                 "+ALIAS,N:X,N:NAND,A:Y,A:NAND4,N:,+FOO,-FOO,-ALIAS\n" +
                                 Comp("LAST"));
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, text));
    EXPECT_EQ(Names(lib),
              (std::vector<std::string>{"NAND", "NAND2", "NAND3", "NAND(1)", "NAND4", "LAST"}));
    const CComponentDef* def = lib.Entry(0)->ComponentDef();
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(lib.Entry(i)->ComponentDef(), def) << i;
    EXPECT_EQ(lib.Entry(3)->BlockCount(), 4);
}

TEST(PartLibrary, AliasAtTheEndOfInput) {
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, "+KIVOX_LIB_V.1.0\n" + Comp("R") + "+ALIAS,N:R,A:RES"));
    EXPECT_EQ(Names(lib), (std::vector<std::string>{"R", "RES"}));
}

TEST(PartLibrary, Property) {
    struct Case {
        std::string body;
        std::string property;
    };
    const Case cases[] = {
        {"", ""},
        {"PROP:Standard parts\n", "Standard parts"},
        {"PROP:first\nPROP:second\n", "second"},
        {"PROP:first\nPROP:\n", ""},
        {"PROP:a:b%2Cc\nPROPX:no\nprop:no\n", "a:b,c"},
    };
    for (const Case& c : cases) {
        CPartLibrary lib;
        ASSERT_TRUE(LoadText(lib, Lib(c.body)));
        EXPECT_EQ(lib.PropertyText(), c.property) << c.body;
    }
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, Lib("PROP:one\n") + "junk\n" + Lib("PROP:two\n")));
    EXPECT_EQ(lib.PropertyText(), "two");
}

TEST(PartLibrary, SectionsJoinOneLibrary) {
    const std::string text = Lib(Comp("A") + Comp("B")) +
                             "anything,+KIVOX_LIB,-FOO,between sections\n" +
                             Lib(Comp("A") + "+ALIAS,N:B,A:C,-ALIAS\n") + "trailing,-X\n";
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, text));
    EXPECT_EQ(Names(lib), (std::vector<std::string>{"A", "B", "A(1)", "C"}));
}

TEST(PartLibrary, ExchangeFileSkipsToItsLibrarySections) {
    const std::string text = "+KIVOX_DATA_V.1.0\n+SHEET,N:s,-SHEET\n+COMP,N:NOTME,-COMP\n" +
                             Lib("PROP:embedded\n" + Comp("U1")) + "+WIRE,-WIRE\n" +
                             Lib(Comp("U2"));
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, text));
    EXPECT_EQ(Names(lib), (std::vector<std::string>{"U1", "U2"}));
    EXPECT_EQ(lib.PropertyText(), "embedded");
}

TEST(PartLibrary, BrokenFilesSayWhereAndWhy) {
    struct Case {
        std::string text;
        int32_t line;
        std::string reason;
    };
    const Case cases[] = {
        {"", 1, "empty file"},
        {"HELLO\n", 1, "not a library file"},
        {"+KIVOX_LIB_V.1.0\n" + Comp("A") + "-COMP\n" + Comp("B"), 3, "unexpected end tag -COMP"},
        {"+KIVOX_LIB_V.1.0\n+FOO\nN:x\n", 3, "record +FOO from line 2 never ends"},
        {"+KIVOX_LIB_V.1.0\n+COMP,N:AMP,X:1,Y:1,B:300\n", 2,
         "component AMP: block count 300 out of range"},
        {"+KIVOX_LIB_V.1.0\n+COMP,N:A\nX:1,Y:1,B:1\n+PIN,N:x,-COMP\n", 4,
         "unexpected end tag -COMP in a pin"},
        {"+KIVOX_LIB_V.1.0\n+ALIAS,N:A\n-ALIAS\n", 3, "alias of A without a name"},
        {"+KIVOX_LIB_V.1.0\n+ALIAS,A:B,-ALIAS\n", 2, "alias without the name of its part"},
        {"+KIVOX_LIB_V.1.0\n+ALIAS,N:A,A:B,-PIN\n", 2, "alias: unexpected end tag -PIN"},
        {"+KIVOX_LIB_V.1.0\n+ALIAS,N:A,+Q\n", 2, "record +Q from line 2 never ends"},
    };
    for (const Case& c : cases) {
        CPartLibrary lib;
        Failure failure;
        EXPECT_FALSE(LoadText(lib, c.text, &failure)) << c.text;
        EXPECT_EQ(failure.reason, c.reason) << c.text;
        EXPECT_EQ(failure.line, c.line) << c.text;
        EXPECT_EQ(lib.EntryCount(), 0);
        EXPECT_FALSE(lib.IsLoaded());
        EXPECT_EQ(lib.Path(), "");
    }
}

TEST(PartLibrary, BrokenPatternFailsTheFile) {
    const std::string texts[] = {
        Lib("+PTN,N:P,X:8,Y:1,+BMP,@@\n"),  // bitmap cut by the end of input
        Lib("+PTN,N:P,X:8,Y:1,-COMP\n"),    // foreign end tag
        Lib("+PTN,N:P,+FOO,X:1\n"),         // nested record that never ends
    };
    for (const std::string& text : texts) {
        CPartLibrary lib;
        Failure failure;
        EXPECT_FALSE(LoadText(lib, text.substr(0, text.find("-KIVOX")), &failure)) << text;
        EXPECT_FALSE(failure.reason.empty()) << text;
    }
    // A pattern cut by the end of input outside a bitmap keeps what it had.
    CPartLibrary lib;
    EXPECT_TRUE(LoadText(lib, "+KIVOX_LIB_V.1.0\n+PTN,N:P,X:8,Y:1\n"));
}

TEST(PartLibrary, LoadingTwiceChangesNothing) {
    ScratchFolder dir;
    const std::string first = dir.Write("a.lib", Lib("PROP:a\n" + Comp("A")));
    const std::string second = dir.Write("b.lib", Lib("PROP:b\n" + Comp("B") + Comp("C")));
    CPartLibrary lib;
    ASSERT_TRUE(lib.LoadFile(first));
    Failure failure;
    const CPartLibrary::Listener listener = [&](int32_t line, const std::string& why) {
        failure = Failure{line, why};
    };
    EXPECT_FALSE(lib.LoadFile(second, &listener));
    EXPECT_EQ(failure.reason, "library already loaded");
    EXPECT_EQ(lib.Path(), first);
    EXPECT_EQ(lib.PropertyText(), "a");
    EXPECT_EQ(Names(lib), (std::vector<std::string>{"A"}));
}

TEST(PartLibrary, FilesThatCannotBeRead) {
    ScratchFolder dir;
    Failure failure;
    const CPartLibrary::Listener listener = [&](int32_t line, const std::string& why) {
        failure = Failure{line, why};
    };
    {
        CPartLibrary lib;
        EXPECT_FALSE(lib.LoadFile(dir.Path() + "/missing.lib", &listener));
        EXPECT_EQ(failure.line, 0);
        EXPECT_EQ(failure.reason.rfind("cannot open: ", 0), 0u) << failure.reason;
    }
    {
        // A folder is refused as no regular file on POSIX (on Windows it does not open);
        // either way it is no empty library.
        CPartLibrary lib;
        EXPECT_FALSE(lib.LoadFile(dir.Path(), &listener));
        EXPECT_TRUE(failure.reason == NOT_REGULAR_FILE ||
                    failure.reason.rfind("cannot open: ", 0) == 0)
            << failure.reason;
    }
    {
        // A path holding a NUL must not open the file named by its first part.
        const std::string good = dir.Write("good.lib", Lib(Comp("A")));
        CPartLibrary lib;
        EXPECT_FALSE(lib.LoadFile(good + std::string(1, '\0') + "x"));
        CPartLibrary ok;
        EXPECT_TRUE(ok.LoadFile(good));
        EXPECT_EQ(ok.EntryCount(), 1);
    }
}

TEST(PartLibrary, FileCutAtAnyLineKeepsWhatCameBefore) {
    const std::string full =
        Lib("PROP:cut test\n"
            "+PTN,N:BODY,X:20,Y:10\n+L,X1:0,Y1:0,X2:20,Y2:10,-L\n-PTN\n"
            "+COMP,N:U1\nX:2,Y:1,B:2\nR:IC\nP:BODY\n"
            "+PIN,N:\\A,L:L0,T:C,M:1,M:2,-PIN\n+PIN,N:B,L:R0,T:N,M:3,M:4,-PIN\n"
            "NOTE:first,-COMP\n"
            "+ALIAS,N:U1,A:U1A,-ALIAS\n" +
            Comp("U2") + "+FOO,x:1,-FOO\n" + Comp("U3"));
    CPartLibrary whole;
    ASSERT_TRUE(LoadText(whole, full));
    const std::vector<std::string> all = Names(whole);
    ASSERT_EQ(all.size(), 4u);

    size_t previous = 0;
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        const bool atLineEnd = cut == full.size() || (cut > 0 && full[cut - 1] == '\n');
        CPartLibrary lib;
        const bool ok = LoadText(lib, full.substr(0, cut));
        // Cut inside a tag or inside the skipped record, a load may fail; it must not
        // crash, and what loads is the start of the whole list.
        if (atLineEnd && cut > 0) {
            const bool insideFoo = full.rfind("+FOO", cut) != std::string::npos &&
                                   full.rfind("+FOO", cut) > full.rfind("-FOO", cut - 1);
            EXPECT_TRUE(ok || insideFoo) << cut;
        }
        if (!ok) continue;
        const std::vector<std::string> names = Names(lib);
        ASSERT_LE(names.size(), all.size()) << cut;
        for (size_t i = 0; i + 1 < names.size(); ++i) EXPECT_EQ(names[i], all[i]) << cut;
        if (atLineEnd) {
            EXPECT_GE(names.size(), previous) << cut;
            previous = names.size();
        }
    }
}

TEST(PartLibrary, CutInsideAComponentKeepsIt) {
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, "+KIVOX_LIB_V.1.0\n+COMP,N:A"));
    ASSERT_EQ(lib.EntryCount(), 1);
    EXPECT_EQ(lib.Entry(0)->BlockCount(), 0);
    EXPECT_EQ(lib.Entry(0)->Size(), Point::Make(0, 0));

    CPartLibrary unnamed;
    ASSERT_TRUE(LoadText(unnamed, "+KIVOX_LIB_V.1.0\n+COMP,X:1"));
    ASSERT_EQ(unnamed.EntryCount(), 1);
    EXPECT_EQ(unnamed.Entry(0)->Name(), "");
}

TEST(PartLibrary, StrayEndTagInAHugeLibraryFailsCleanly) {
    std::string text = "+KIVOX_LIB_V.1.0\n";
    const std::string part =
        "+COMP,N:PART\nX:4,Y:3,B:2\nR:U\n+PIN,N:IN,L:L1,T:,M:1,M:5,-PIN\n"
        "+PIN,N:\\OUT,L:R1,T:N,M:2,M:6,-PIN\nNOTE:a part of a large library,-COMP\n";
    while (text.size() < 8u << 20) text += part;
    text += "-COMP\n";
    while (text.size() < 16u << 20) text += part;
    text += "-KIVOX_LIB_V.1.0\n";
    CPartLibrary lib;
    Failure failure;
    EXPECT_FALSE(LoadText(lib, text, &failure));
    EXPECT_EQ(failure.reason, "unexpected end tag -COMP");
    EXPECT_GT(failure.line, 100000);
    EXPECT_EQ(lib.EntryCount(), 0);
}

TEST(PartLibrary, EntryAccessorsForwardToTheDefinition) {
    const std::string text =
        Lib("+PTN,N:P,X:30,Y:20,-PTN\n"
            "+COMP,N:A,X:3,Y:2,B:2,R:TR,P:P,+PIN,N:b,L:L1,M:1,M:2,-PIN,NOTE:npn,-COMP\n");
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, text));
    const CLibEntry* e = lib.Entry(0);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->ReferencePrefix(), "TR");
    EXPECT_EQ(e->Size(), Point::Make(3, 2));
    EXPECT_EQ(e->DrawingSize(), Point::Make(30, 20));
    ASSERT_NE(e->Pattern(), nullptr);
    EXPECT_EQ(e->Pattern()->Width(), 30);
    EXPECT_EQ(e->BlockCount(), 2);
    EXPECT_EQ(e->PinCount(), 1);
    EXPECT_STREQ(e->Pin(0)->Number(1), "2");
    EXPECT_EQ(e->Pin(1), nullptr);
    EXPECT_EQ(e->Note(), "npn");

    const CLibEntry bare("X", nullptr);
    EXPECT_EQ(bare.ReferencePrefix(), nullptr);
    EXPECT_EQ(bare.Size(), Point::Make(0, 0));
    EXPECT_EQ(bare.DrawingSize(), Point::Make(0, 0));
    EXPECT_EQ(bare.Pattern(), nullptr);
    EXPECT_EQ(bare.BlockCount(), 0);
    EXPECT_EQ(bare.PinCount(), 0);
    EXPECT_EQ(bare.Pin(0), nullptr);
    EXPECT_EQ(bare.Note(), "");
}

}  // namespace
}  // namespace qurix

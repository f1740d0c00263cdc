// The user's place (library path and part name) through reloads that break, delete and
// fix the current library.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/QurixDoc.h"
#include "palette/QurixView.h"
#include "render/DisplaySettings.h"
#include "tests/LibraryText.h"
#include "tests/ScratchFolder.h"

namespace qurix {
namespace {

using test::LibraryText;
const std::string& BROKEN = test::BROKEN_LIBRARY;

// Stands in for the parts list: records the top item when the items go, as it does.
class CListStandIn : public CQurixView {
public:
    using CQurixView::CQurixView;
    void OnUpdate(CQurixView* /*sender*/) override { GetDocument().TakePending(this); }
    void DeleteAllItems() override {
        CQurixDoc& doc = GetDocument();
        if (!doc.place.libraryPath.empty() && doc.CurrentLibrary() != nullptr) {
            doc.place.topItem = topItem;
        }
    }
    int topItem = -1;
};

class PlaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("a.lib", LibraryText({"A1"}));
        dir.Write("b.lib", LibraryText({"B1", "B2", "B3"}));
        dir.Write("c.lib", LibraryText({"C1"}));
        dir.Write("KIVOX.INI", "[Library]\nLIB0=a.lib\nLIB1=b.lib\nLIB2=c.lib\n");
        doc.OnNewDocument();
        doc.SendInitialUpdate();
    }
    const CPartLibrary* LibraryAt(const std::string& file) const {
        for (int32_t i = 0; i < doc.Libraries().Count(); ++i) {
            if (doc.Libraries().GetLibrary(i)->Path() == dir.File(file))
                return doc.Libraries().GetLibrary(i);
        }
        return nullptr;
    }
    // b.lib current with its part B2, scrolled to item 1.
    void StandOnB2() {
        const CPartLibrary* b = LibraryAt("b.lib");
        ASSERT_NE(b, nullptr);
        doc.SetCurrentLibrary(b);
        doc.SetCurrentEntry(b->Entry(1));
        list.topItem = 1;
    }
    // A reload that keeps the place, and what the parts list is told to put back.
    CQurixDoc::Place Reload() {
        CQurixDoc::Place told;
        probe = [&] { told = doc.place; };
        EXPECT_TRUE(doc.Reload(true));
        return told;
    }

    test::ScratchFolder dir;
    CDisplaySettings settings;
    CQurixDoc doc{settings, CProfile(dir.File("KIVOX.INI")), dir.Path() + "/"};
    CListStandIn list{doc};
    std::function<void()> probe;
    struct CProbe : CQurixView {
        CProbe(CQurixDoc& d, std::function<void()>& f) : CQurixView(d), f_(f) {}
        void OnUpdate(CQurixView* /*sender*/) override {
            if (f_) f_();
        }
        std::function<void()>& f_;
    } probeView{doc, probe};
};

TEST_F(PlaceTest, ABrokenOrDeletedCurrentLibraryStaysCurrentAndComesBackWithItsPart) {
    struct Case {
        const char* what;
        bool deleted;  // else broken in place
    };
    for (const Case c : {Case{"broken", false}, Case{"deleted", true}}) {
        SCOPED_TRACE(c.what);
        StandOnB2();
        if (c.deleted) {
            std::filesystem::remove(dir.File("b.lib"));
        } else {
            dir.Write("b.lib", BROKEN);
        }
        Reload();
        // The problem row is current, not the library that moved up into its index.
        EXPECT_EQ(doc.CurrentLibrary(), nullptr);
        EXPECT_EQ(doc.CurrentEntry(), nullptr);
        ASSERT_NE(doc.CurrentProblem(), nullptr);
        EXPECT_EQ(doc.CurrentProblem()->path, dir.File("b.lib"));
        EXPECT_EQ(doc.CurrentProblem()->line, c.deleted ? 0 : 3);
        // Still broken after another reload (an INI change, Ctrl+R): still there.
        Reload();
        ASSERT_NE(doc.CurrentProblem(), nullptr);
        // Mended: the library, its part and the scroll come back.
        dir.Write("b.lib", LibraryText({"B1", "B2", "B3"}));
        const CQurixDoc::Place told = Reload();
        EXPECT_EQ(doc.CurrentProblem(), nullptr);
        EXPECT_EQ(doc.CurrentLibrary(), LibraryAt("b.lib"));
        EXPECT_EQ(told.libraryPath, dir.File("b.lib"));
        EXPECT_EQ(told.entryName, "B2");
        EXPECT_EQ(told.topItem, 1);
    }
}

TEST_F(PlaceTest, ChoosingAnotherLibraryForgetsTheHeldPart) {
    StandOnB2();
    dir.Write("b.lib", BROKEN);
    Reload();
    ASSERT_NE(doc.CurrentProblem(), nullptr);
    doc.SetCurrentLibrary(LibraryAt("a.lib"));
    EXPECT_EQ(doc.CurrentProblem(), nullptr);
    // Back on the broken one by hand, then mended: the library, but no part from before.
    doc.SetCurrentProblem(&doc.Problems()[0]);
    dir.Write("b.lib", LibraryText({"B1", "B2", "B3"}));
    const CQurixDoc::Place told = Reload();
    EXPECT_EQ(doc.CurrentLibrary(), LibraryAt("b.lib"));
    EXPECT_EQ(told.entryName, "");
}

TEST_F(PlaceTest, ALibraryThatMovesToAnotherKeyIsFollowedByItsPath) {
    StandOnB2();
    // a.lib removed from the INI: b.lib is LIB0 now, c.lib took its old index.
    dir.Write("KIVOX.INI", "[Library]\nLIB0=b.lib\nLIB1=c.lib\n");
    const CQurixDoc::Place told = Reload();
    EXPECT_EQ(doc.CurrentLibrary(), LibraryAt("b.lib"));
    EXPECT_EQ(told.entryName, "B2");
    // Reload without keeping: nothing is current.
    EXPECT_TRUE(doc.Reload(false));
    EXPECT_EQ(doc.CurrentPath(), "");
}

TEST_F(PlaceTest, ACutShortLibraryAndKeysAfterAGapLoadButWarn) {
    // c.lib stops inside its second part; LIB3 is empty, so LIB4 is not read.
    dir.Write("c.lib", "+KIVOX_LIB_V.1.0\n+COMP,N:C1\nX:2,Y:1,B:1\n-COMP\n+COMP,N:C2\nX:2,");
    dir.Write("KIVOX.INI", "[Library]\nLIB0=a.lib\nLIB1=b.lib\nLIB2=c.lib\nLIB4=d.lib\n");
    ASSERT_TRUE(doc.Reload(false));
    EXPECT_TRUE(doc.Problems().empty());
    ASSERT_EQ(doc.Libraries().Count(), 3);
    EXPECT_EQ(doc.WarningFor(LibraryAt("a.lib")), "");
    EXPECT_EQ(doc.WarningFor(LibraryAt("b.lib")), "");
    const std::string c = doc.WarningFor(LibraryAt("c.lib"));
    EXPECT_NE(c.find("C2 の途中で終わって"), std::string::npos) << c;
    EXPECT_NE(c.find("LIB4 は読み込まれません"), std::string::npos) << c;
    // Mended: no warning is left.
    dir.Write("c.lib", LibraryText({"C1"}));
    dir.Write("KIVOX.INI", "[Library]\nLIB0=a.lib\nLIB1=b.lib\nLIB2=c.lib\n");
    ASSERT_TRUE(doc.Reload(false));
    EXPECT_TRUE(doc.Warnings().empty());
}

}  // namespace
}  // namespace qurix

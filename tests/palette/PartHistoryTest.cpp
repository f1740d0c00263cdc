#include "palette/PartHistory.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/KeptParts.h"
#include "palette/PinTable.h"
#include "tests/ScratchFolder.h"

namespace qurix {
namespace {

PartKey Key(const std::string& name, const std::string& lib = "/lib/a.lib") {
    return {lib, name};
}

// Drops the parts of drops in that order, then adds the favourites in theirs.
void Fill(CPartHistory& history, std::initializer_list<const char*> drops,
          std::initializer_list<const char*> favourites) {
    for (const char* name : drops) history.RecordDrop(Key(name));
    for (const char* name : favourites) history.AddFavourite(Key(name));
}

std::vector<std::string> RecentNames(const CPartHistory& history) {
    std::vector<std::string> names;
    for (const RecentPart& part : history.Recent()) {
        names.push_back(part.key.partName + ":" + std::to_string(part.uses));
    }
    return names;
}

TEST(PartHistoryTest, RecentNewestFirstWithCountsAndALimit) {
    CPartHistory history;
    history.RecordDrop(Key("R"));
    history.RecordDrop(Key("C"));
    history.RecordDrop(Key("R"));
    // The same name in another library is another part.
    history.RecordDrop(Key("R", "/lib/b.lib"));
    EXPECT_EQ(RecentNames(history), (std::vector<std::string>{"R:1", "R:2", "C:1"}));
    EXPECT_EQ(history.Recent()[0].key.libraryPath, "/lib/b.lib");
    for (int i = 0; i < CPartHistory::MAX_RECENT; ++i) history.RecordDrop(Key(std::to_string(i)));
    ASSERT_EQ(history.Recent().size(), static_cast<size_t>(CPartHistory::MAX_RECENT));
    EXPECT_EQ(history.Recent().front().key.partName, "29");
    EXPECT_EQ(history.Recent().back().key.partName, "0");  // the older four went
    EXPECT_TRUE(history.RemoveRecent(Key("5")));
    EXPECT_FALSE(history.RemoveRecent(Key("5")));
}

TEST(PartHistoryTest, FavouritesKeepTheUsersOrder) {
    CPartHistory history;
    for (const char* name : {"A", "B", "C", "D"}) EXPECT_TRUE(history.AddFavourite(Key(name)));
    EXPECT_FALSE(history.AddFavourite(Key("B")));
    struct Move {
        int from, to;
        const char* order;  // after the move
    } const moves[] = {
        {3, 0, "DABC"},   // up to the top
        {0, 3, "ABCD"},   // down to the bottom
        {1, 2, "ACBD"},   // one down
        {2, 1, "ABCD"},   // one up
        {0, 4, "ABCD"},   // out of range: nothing
        {-1, 0, "ABCD"},  // out of range: nothing
    };
    for (const Move& move : moves) {
        history.MoveFavourite(move.from, move.to);
        std::string order;
        for (const PartKey& key : history.Favourites()) order += key.partName;
        EXPECT_EQ(order, move.order) << move.from << "->" << move.to;
    }
    EXPECT_TRUE(history.RemoveFavourite(Key("C")));
    EXPECT_FALSE(history.IsFavourite(Key("C")));
    EXPECT_TRUE(history.IsFavourite(Key("D")));
}

// Which part commands apply: the favourites' moves at either end, the recent list's
// removal, a gone part (not there, still kept) and an item of no kept key.
TEST(PartHistoryTest, PartCommandsApplyByListAndPlace) {
    CPartHistory history;
    Fill(history, {"R1"}, {"A", "B", "C"});
    using K = LibraryRowKind;
    const struct {
        PartKey key;
        bool there;
        K shown;
        // place, favourite, isFavourite, up, down, remove, showMoves, showRemove
        std::array<bool, 8> want;
    } cases[] = {
        {Key("A"), true, K::Favourites, {true, true, true, false, true, false, true, false}},
        {Key("B"), true, K::Favourites, {true, true, true, true, true, false, true, false}},
        {Key("C"), false, K::Favourites, {false, true, true, true, false, false, true, false}},
        {Key("R1"), true, K::RecentParts, {true, true, false, false, false, true, false, true}},
        {Key("R1"), false, K::RecentParts, {false, true, false, false, false, true, false, true}},
        {Key("A"), true, K::None, {true, true, true, false, false, false, false, false}},
        {PartKey{}, false, K::RecentParts, {false, false, false, false, false, false, false, true}},
    };
    for (const auto& c : cases) {
        const PartCommandStates s = PartCommandsFor(history, c.key, c.there, c.shown);
        const std::array<bool, 8> got{s.place,    s.favourite,    s.isFavourite, s.moveUp,
                                      s.moveDown, s.removeRecent, s.showMoves,   s.showRemove};
        EXPECT_EQ(got, c.want) << c.key.partName << " " << static_cast<int>(c.shown);
    }
}

TEST(PartHistoryTest, PreferenceIsFavouritesThenRecentThenTheRest) {
    CPartHistory history;
    Fill(history, {"old", "new", "both"}, {"fav", "both"});
    const auto pref = [&](const char* name) { return history.Preference("/lib/a.lib", name); };
    EXPECT_LT(pref("fav"), pref("both"));
    EXPECT_LT(pref("both"), pref("new"));
    EXPECT_LT(pref("new"), pref("old"));
    EXPECT_LT(pref("old"), pref("other"));
    EXPECT_EQ(pref("other"), history.Preference("/lib/b.lib", "fav"));
}

TEST(PartHistoryTest, KeptAcrossRunsByteForByte) {
    test::ScratchFolder scratch;
    // Shift-JIS path bytes, a tab, a percent sign and a CR: each must come back unchanged.
    const PartKey odd{"C:\\\x95\x5C\\lib\t1%.lib", "R\r%41"};
    CPartHistory history;
    history.RecordDrop(Key("R"));
    history.RecordDrop(odd);
    history.RecordDrop(odd);
    history.AddFavourite(Key("C"));
    history.AddFavourite(odd);
    const std::string path = scratch.Path() + "/new-folder/parts-history.txt";
    ASSERT_TRUE(history.Save(path));
    CPartHistory again;
    ASSERT_EQ(again.Load(path), CPartHistory::LoadResult::Loaded);
    EXPECT_EQ(again.Serialize(), history.Serialize());
    ASSERT_EQ(again.Recent().size(), 2u);
    EXPECT_EQ(again.Recent()[0].key, odd);
    EXPECT_EQ(again.Recent()[0].uses, 2);
    EXPECT_EQ(again.Favourites()[1], odd);
    EXPECT_EQ(again.Load(scratch.File("none.txt")), CPartHistory::LoadResult::Missing);
    // A damaged file leaves nothing of what was loaded before.
    ASSERT_EQ(again.Load(path), CPartHistory::LoadResult::Loaded);
    EXPECT_EQ(again.Load(scratch.Write("bad.txt", "qurix-parts 1\nR\t1\n")),
              CPartHistory::LoadResult::Damaged);
    EXPECT_TRUE(again.Recent().empty() && again.Favourites().empty());
}

TEST(PartHistoryTest, DamagedFilesAreIgnoredWhole) {
    const char* const damaged[] = {
        "",                                      // no header
        "qurix-parts 2\n",                       // another version
        "qurix-parts 1\nR\t0\t/a.lib\tR\n",      // a use count below one
        "qurix-parts 1\nR\tx\t/a.lib\tR\n",      // no number
        "qurix-parts 1\nR\t1\t/a.lib\n",         // a field short
        "qurix-parts 1\nF\t/a.lib\tR\textra\n",  // a field too many
        "qurix-parts 1\nF\t/a.lib\t%4\n",        // a cut escape
        "qurix-parts 1\nF\t/a.lib\t%00\n",       // a NUL in a name
        "qurix-parts 1\nF\t\tR\n",               // no library
        "qurix-parts 1\nX\t/a.lib\tR\n",         // an unknown kind
    };
    for (const char* bytes : damaged) {
        CPartHistory history;
        history.AddFavourite(Key("kept"));
        EXPECT_FALSE(history.Parse(bytes)) << bytes;
        EXPECT_EQ(history.Favourites().size(), 1u) << bytes;
    }
    CPartHistory history;
    EXPECT_TRUE(history.Parse("qurix-parts 1\r\nR\t3\t/a.lib\tR\r\n\r\nR\t1\t/a.lib\tR\r\n"));
    ASSERT_EQ(history.Recent().size(), 1u);  // CR LF and a repeated part
    EXPECT_EQ(history.Recent()[0].uses, 3);
    // A favourite listed before the recent parts (a file edited by hand) is recent as well.
    EXPECT_TRUE(history.Parse("qurix-parts 1\nF\t/a.lib\tR\nR\t2\t/a.lib\tR\n"));
    EXPECT_EQ(history.Recent().size(), 1u);
}

// Two libraries of the set, a part gone from one and a library no longer configured.
TEST(PartHistoryTest, ResolvedAgainstTheLoadedLibraries) {
    test::ScratchFolder scratch;
    const std::string lib =
        "+KIVOX_LIB_V.1.0\nPROP:\n+COMP,N:R1\nX:2,Y:2,B:2\nR:U\n"
        "+PIN,N:\\R\\S\\T,L:L1,T:,M:10,M:2,-PIN\n+PIN,N:A,L:R1,T:,M:9,-PIN\n"
        "+PIN,N:OUT,L:B0,T:,M:1,M:3,-PIN\n-COMP\n";
    const std::string a = scratch.Write("a.lib", lib);
    scratch.Write("b.lib", lib);
    const std::string ini = scratch.Write("KIVOX.INI", "[Library]\nLIB0=a.lib\nLIB1=b.lib\n");
    CLibrarySet set;
    ASSERT_TRUE(set.LoadLibrarySet(CProfile(ini), scratch.Path() + "/"));
    ASSERT_EQ(set.Count(), 2);
    CPartHistory history;
    history.RecordDrop({set.GetLibrary(1)->Path(), "R1"});
    history.RecordDrop({set.GetLibrary(0)->Path(), "gone"});
    history.RecordDrop({scratch.File("c.lib"), "R1"});
    const std::vector<ResolvedPart> recent = ResolveRecent(history, set);
    ASSERT_EQ(recent.size(), 3u);
    EXPECT_EQ(recent[0].gone, ResolvedPart::Gone::Library);
    EXPECT_EQ(recent[0].library, nullptr);
    EXPECT_NE(GoneReasonText(recent[0]), nullptr);
    EXPECT_EQ(recent[1].gone, ResolvedPart::Gone::Part);
    EXPECT_EQ(recent[2].gone, ResolvedPart::Gone::None);
    EXPECT_EQ(recent[2].library, set.GetLibrary(1));
    ASSERT_NE(recent[2].entry, nullptr);
    EXPECT_EQ(GoneReasonText(recent[2]), nullptr);

    // The pin table of the two-block part: numbers of the chosen block, names, sides.
    struct Case {
        int block;
        PinColumn column;
        bool ascending;
        const char* rows;  // number/name/side, in order
    } const cases[] = {
        {0, PinColumn::Number, true, "1/OUT/3 9/A/2 10/RST/0 "},
        {1, PinColumn::Number, true, "/A/2 2/RST/0 3/OUT/3 "},  // none first
        {0, PinColumn::Name, false, "10/RST/0 1/OUT/3 9/A/2 "},
        {0, PinColumn::Side, true, "10/RST/0 9/A/2 1/OUT/3 "},
    };
    for (const Case& c : cases) {
        std::vector<PinRow> rows = PinRows(*recent[2].entry, c.block);
        SortPinRows(rows, c.column, c.ascending);
        std::string text;
        for (const PinRow& row : rows) {
            text += row.number + "/" + row.name + "/" + std::to_string(row.side) + " ";
            // Every letter of "\R\S\T" is overlined, none of "OUT".
            const char* marks = row.name == "RST" ? "---" : row.name == "OUT" ? "   " : " ";
            EXPECT_EQ(row.overline, marks) << row.name;
        }
        EXPECT_EQ(text, c.rows) << c.block << " " << static_cast<int>(c.column);
    }
}

}  // namespace
}  // namespace qurix

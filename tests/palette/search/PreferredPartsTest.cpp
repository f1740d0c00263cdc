#include "palette/search/PreferredParts.h"

#include <gtest/gtest.h>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/PartHistory.h"
#include "palette/QurixDoc.h"
#include "palette/search/PartSearch.h"
#include "render/DisplaySettings.h"

namespace qurix {
namespace {

TEST(PreferredPartsTest, FavouritesThenRecentFirstWithinEachRank) {
    CDisplaySettings settings;
    CQurixDoc doc(settings, CProfile(std::string(QURIX_SOURCE_DIR) + "/examples/KIVOX.INI"),
                  std::string(QURIX_SOURCE_DIR) + "/examples/");
    ASSERT_TRUE(doc.OnNewDocument());
    CPartSearch search;
    std::vector<SearchHit> hits;
    ASSERT_TRUE(search.Find(doc.Libraries(), "74hc", hits));
    ASSERT_GE(hits.size(), 4u);
    const std::string path = hits[0].library->Path();
    const auto name = [](const SearchHit& hit) { return std::string(hit.part->Name().View()); };
    const std::string first = name(hits[0]);
    const std::string third = name(hits[2]);
    const std::string last = name(hits.back());

    CPartHistory history;
    history.RecordDrop({path, third});
    history.RecordDrop({path, "no such part"});
    history.AddFavourite({path, last});
    std::vector<SearchHit> preferred = hits;
    PreferKeptParts(preferred, history);
    ASSERT_EQ(preferred.size(), hits.size());
    // Every hit is kept and no rank is passed over.
    for (size_t i = 1; i < preferred.size(); ++i) {
        EXPECT_LE(preferred[i - 1].rank, preferred[i].rank) << i;
    }
    if (hits.back().rank == hits.front().rank) {
        EXPECT_EQ(name(preferred[0]), last);
        EXPECT_EQ(name(preferred[1]), third);
        EXPECT_EQ(name(preferred[2]), first);  // then the rest, in their order
    }
    // A part of the same name in another library is not the one kept.
    CPartHistory elsewhere;
    elsewhere.AddFavourite({"/elsewhere.lib", last});
    preferred = hits;
    PreferKeptParts(preferred, elsewhere);
    EXPECT_EQ(name(preferred[0]), first);
}

}  // namespace
}  // namespace qurix

#include "palette/search/PartSearch.h"

#include <gtest/gtest.h>

#include <string>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "palette/QurixDoc.h"
#include "render/DisplaySettings.h"

namespace qurix {
namespace {

TEST(PartSearch, IndexMadeOnTheFirstSearchAndDroppedWithTheLibraries) {
    const std::string ini = std::string(QURIX_SOURCE_DIR) + "/examples/KIVOX.INI";
    CDisplaySettings settings;
    CQurixDoc doc(settings, CProfile(ini), std::string(QURIX_SOURCE_DIR) + "/examples/");
    ASSERT_TRUE(doc.OnNewDocument());
    CPartSearch search;
    EXPECT_TRUE(search.Find(doc.Libraries(), "  ").empty());  // blank: no index either
    EXPECT_FALSE(search.Ready());
    const std::vector<SearchHit> hits = search.Find(doc.Libraries(), "r_var");
    EXPECT_TRUE(search.Ready());
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits.front().part->Name(), "R_VAR");  // case folded, the exact name first
    EXPECT_TRUE(search.Find(doc.Libraries(), "no such part at all").empty());
    search.Release();
    EXPECT_FALSE(search.Ready());
    EXPECT_FALSE(search.Find(doc.Libraries(), "R_VAR").empty());  // made again
}

}  // namespace
}  // namespace qurix

#include "palette/search/PartSearch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/QurixDoc.h"
#include "palette/search/ResultLabels.h"
#include "render/DisplaySettings.h"

namespace qurix {
namespace {

class PartSearchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(doc_.OnNewDocument()); }

    std::vector<SearchHit> Find(CPartSearch& search, std::string_view query) {
        std::vector<SearchHit> hits;
        EXPECT_TRUE(search.Find(doc_.Libraries(), query, hits)) << query;
        return hits;
    }

    CDisplaySettings settings_;
    CQurixDoc doc_{settings_, CProfile(std::string(QURIX_SOURCE_DIR) + "/examples/KIVOX.INI"),
                   std::string(QURIX_SOURCE_DIR) + "/examples/"};
};

TEST_F(PartSearchTest, IndexMadeOnTheFirstSearchAndDroppedWithTheLibraries) {
    CPartSearch search;
    EXPECT_TRUE(Find(search, "  ").empty());  // blank: no index either
    EXPECT_FALSE(search.Ready());
    const std::vector<SearchHit> hits = Find(search, "r_var");
    EXPECT_TRUE(search.Ready());
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits.front().part->Name(), "R_VAR");  // case folded, the exact name first
    EXPECT_TRUE(Find(search, "no such part at all").empty());
    search.Release();
    EXPECT_FALSE(search.Ready());
    EXPECT_FALSE(Find(search, "R_VAR").empty());  // made again
}

// Results that would look alike name their library; the others keep the name alone.
TEST_F(PartSearchTest, ResultsOfTheSameNameNameTheirLibrary) {
    const CPartLibrary* passive = doc_.Libraries().GetLibrary(0);
    const CPartLibrary* logic = doc_.Libraries().GetLibrary(2);
    ASSERT_NE(passive, nullptr);
    ASSERT_NE(logic, nullptr);
    // The same part as two libraries would hold it, and one of its own.
    const std::vector<ListedPart> results = {
        {passive, passive->Entry(0)}, {logic, passive->Entry(0)}, {logic, logic->Entry(0)}};
    EXPECT_EQ(ResultsNamingLibrary(results), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(LibrarySuffix(*logic, true), " (logic)");
    EXPECT_EQ(LibrarySuffix(*logic, false), "\nlogic");
}

// A set larger than the at-once limit is indexed on a worker: the first search answers
// "not yet" and the worker says when the index is there; the same hits follow.
TEST_F(PartSearchTest, ALargeSetIsIndexedOnAWorker) {
    CPartSearch search(0);
    std::promise<void> done;
    std::vector<SearchHit> hits;
    EXPECT_FALSE(search.Find(doc_.Libraries(), "r_var", hits, [&] { done.set_value(); }));
    EXPECT_TRUE(hits.empty());
    // The bound only ends a test that would otherwise hang.
    ASSERT_EQ(done.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_TRUE(search.Ready());
    ASSERT_TRUE(search.Find(doc_.Libraries(), "r_var", hits));
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits.front().part->Name(), "R_VAR");
    // Released during a build, the worker stops before the libraries go.
    search.Release();
    EXPECT_FALSE(search.Find(doc_.Libraries(), "r", hits));
    search.Release();
    EXPECT_FALSE(search.Ready());
}

}  // namespace
}  // namespace qurix

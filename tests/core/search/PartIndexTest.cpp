#include "core/search/PartIndex.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"
#include "tests/core/search/SearchSamples.h"

namespace qurix {
namespace {

struct SearchCase {
    const char* query;
    // "slot name rank" per hit, best first.
    std::vector<std::string> hits;
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << '"' << c.query << '"';
}

class PartSearch : public ::testing::TestWithParam<SearchCase> {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<test::ScratchFolder>();
        const std::string ini = test::WriteSearchSamples(*dir_);
        set_ = std::make_unique<CLibrarySet>();
        set_->LoadLibrarySet(CProfile(ini), ConfigFolder(ini));
        index_ = std::make_unique<CPartIndex>();
        index_->Build(*set_);
    }
    static void TearDownTestSuite() {
        index_.reset();
        set_.reset();
        dir_.reset();
    }

    static inline std::unique_ptr<test::ScratchFolder> dir_;
    static inline std::unique_ptr<CLibrarySet> set_;
    static inline std::unique_ptr<CPartIndex> index_;
};

TEST_P(PartSearch, FindsAndRanks) {
    ASSERT_EQ(set_->Count(), 2);
    ASSERT_EQ(index_->PartCount(), 14);
    std::vector<std::string> got;
    for (const SearchHit& hit : index_->Find(GetParam().query)) {
        ASSERT_EQ(hit.part, set_->GetLibrary(hit.slot)->Entry(hit.entry));
        got.push_back(std::to_string(hit.slot) + " " + hit.part->Name().str() + " " +
                      SearchRankName(hit.rank));
    }
    EXPECT_EQ(got, GetParam().hits);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PartSearch,
    ::testing::Values(
        // Exact before prefix before inside; equal ranks in slot order.
        SearchCase{"ne555",
                   {"0 NE555 exact", "1 NE555 exact", "0 NE555A prefix", "0 XNE555 inside"}},
        // Full-width letters and digits are their ASCII forms.
        SearchCase{"ＮＥ５５５Ａ", {"0 NE555A exact"}},
        // Latin case does not matter.
        SearchCase{"74hc00", {"0 74HC00 exact"}},
        // Where digits meet letters a word starts, in both directions.
        SearchCase{"hc", {"0 74HC00 word"}}, SearchCase{"00", {"0 74HC00 word"}},
        // Inside a word is worse than starting one.
        SearchCase{"c0", {"0 74HC00 inside"}},
        // Half-width katakana (typed, and as CP932 bytes in a library) and hiragana
        // all find the full-width katakana name.
        SearchCase{"ｺﾝﾃﾞﾝｻ",
                   {"0 コンデンサ exact", "1 \xBA\xDD\xC3\xDE\xDD\xBB exact", "0 CAP alias"}},
        SearchCase{"こんでんさ",
                   {"0 コンデンサ exact", "1 \xBA\xDD\xC3\xDE\xDD\xBB exact", "0 CAP alias"}},
        SearchCase{"ていこう", {"1 \x83\x65\x83\x43\x83R\x83\x45 exact"}},
        // An alias's own entry matches by name, the part it aliases by alias.
        SearchCase{"cap", {"0 CAP exact", "0 コンデンサ alias"}},
        // The overbar marker is not part of what the name says.
        SearchCase{"rst", {"0 \\R\\S\\T exact"}}, SearchCase{"\\", {}},
        // Notes, also in CP932, and hiragana against a katakana note.
        SearchCase{"たいま", {"0 NE555 note", "1 NE555 note"}},
        SearchCase{"nand", {"0 74HC00 note"}},
        // Words start after "_", "-" and "/"; a digit after a digit starts none.
        SearchCase{"array", {"0 R_ARRAY-8 word"}}, SearchCase{"dc", {"0 AC/DC word"}},
        SearchCase{"8", {"0 R_ARRAY-8 word", "0 LM358 DUAL inside"}},
        // Every term must match; the best term decides the rank.
        SearchCase{"dual lm", {"0 LM358 DUAL word"}}, SearchCase{"74 nand", {"0 74HC00 word"}},
        SearchCase{"nand ne555", {}},
        // An ideographic space splits terms, and the terms together can be the name.
        SearchCase{"lm358\u3000dual", {"0 LM358 DUAL exact"}},
        SearchCase{"  LM358   DUAL ", {"0 LM358 DUAL exact"}},
        // A byte that does not decode is no obstacle to the rest of the name.
        SearchCase{"ab", {"1 AB\xFF prefix"}},
        // Nothing to look for finds nothing.
        SearchCase{"", {}}, SearchCase{"\u3000 ", {}}, SearchCase{"zzz", {}}));

}  // namespace
}  // namespace qurix

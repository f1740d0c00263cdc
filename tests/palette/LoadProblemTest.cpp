#include "palette/LoadProblem.h"

#include <gtest/gtest.h>

namespace qurix {
namespace {

TEST(ProblemReasonJa, SaysTheLoadersReasonsInTheWindowsLanguage) {
    struct Case {
        int32_t line;
        const char* reason;
        const char* japanese;
    };
    const Case cases[] = {
        // The part the reason is about stays named, the tag as it is.
        {3, "component X: unexpected end tag -PIN", "3 行目: 部品 X: 予期しない終了タグ -PIN"},
        {7, "unexpected end tag -COMP in a pin", "7 行目: 予期しない終了タグ -COMP"},
        {9, "record +COMP from line 2 never ends",
         "9 行目: 2 行目からの +COMP が終わらないままファイルが終わります"},
        {1, "not a library file", "1 行目: ライブラリ ファイルではありません"},
        // A shape the window does not know keeps the loader's words.
        {4, "block count 99 out of range", "4 行目: block count 99 out of range"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProblemReasonJa(LoadProblem{"LIB0", "/x/a.lib", c.line, c.reason}), c.japanese);
    }
    // A missing file, whatever the loader said; the command-line words stay English.
    const LoadProblem missing{"LIB1", "/nowhere/gone.lib", 0, "cannot open"};
    EXPECT_EQ(ProblemReasonJa(missing), "ファイルがありません");
    EXPECT_EQ(ProblemReason(missing), "file not found");
}

}  // namespace
}  // namespace qurix

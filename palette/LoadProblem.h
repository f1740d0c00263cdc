#pragma once
#include <cstdint>
#include <string>

namespace qurix {

// A configured library that did not load, as the loader told it.
struct LoadProblem {
    std::string key;   // "LIB3"
    std::string path;  // as opened (relative values resolved)
    int32_t line = 0;  // 0: the file could not be opened
    std::string reason;
};

// "line 212: unexpected end tag -PIN", or "file not found" when the file does not exist
// (the loader's own words otherwise, e.g. for a file that cannot be read).
std::string ProblemReason(const LoadProblem& problem);
// The reason in the window's language: "212 行目: 予期しない終了タグ -PIN". Shapes the
// window does not know stay in the loader's words.
std::string ProblemReasonJa(const LoadProblem& problem);
// The key, the path and the reason (in Japanese) on three lines, for a tool tip or the
// note pane.
std::string ProblemText(const LoadProblem& problem);

}  // namespace qurix

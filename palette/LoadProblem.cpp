#include "palette/LoadProblem.h"

#include <regex>

#include "core/library/PartLibrary.h"
#include "core/platform/FileIo.h"
#include "palette/Texts.h"

namespace qurix {

std::string ProblemReason(const LoadProblem& problem) {
    if (problem.line > 0) return "line " + std::to_string(problem.line) + ": " + problem.reason;
    if (problem.line == 0 && IsMissingFile(problem.path)) {
        return "file not found";
    }
    if (problem.line == 0 && problem.reason == NOT_REGULAR_FILE) return texts::NOT_REGULAR_FILE;
    if (problem.reason.starts_with(SET_BUDGET_EXCEEDED)) return texts::SET_BUDGET_EXCEEDED;
    return problem.reason;
}

namespace {

// The loader's reasons, by shape, and the window's sentence for each ($1, $2: the parts
// the pattern captures).
struct ReasonShape {
    const char* pattern;
    const char* japanese;
};
const ReasonShape REASON_SHAPES[] = {
    {"file not found", "ファイルがありません"},
    {"empty file", "空のファイルです"},
    {"not a library file", "ライブラリ ファイルではありません"},
    {"cannot read the file|read error", "ファイルを読めません"},
    {"record (\\S+) from line (\\d+) never ends",
     "$2 行目からの $1 が終わらないままファイルが終わります"},
    {"record (\\S+)( in bitmap)? never ends", "$1 が終わらないままファイルが終わります"},
    {"unexpected end tag (\\S+)( in a pin)?", "予期しない終了タグ $1"},
    {"unexpected (\\S+) in (bitmap|pattern)", "予期しない $1"},
    {"component record fails", "部品の記述が正しくありません"},
    {"pattern record fails", "パターンの記述が正しくありません"},
};

}  // namespace

std::string ProblemReasonJa(const LoadProblem& problem) {
    std::string reason = problem.reason;
    if (problem.line == 0 && IsMissingFile(problem.path)) reason = "file not found";
    if (problem.line == 0 && problem.reason == NOT_REGULAR_FILE) return texts::NOT_REGULAR_FILE;
    if (problem.reason.starts_with(SET_BUDGET_EXCEEDED)) return texts::SET_BUDGET_EXCEEDED;
    // "component X: …" names the part the reason is about.
    std::string part;
    std::smatch named;
    if (std::regex_match(reason, named, std::regex("component (.+?): (.*)"))) {
        part = "部品 " + named[1].str() + ": ";
        reason = named[2].str();
    }
    for (const ReasonShape& shape : REASON_SHAPES) {
        const std::regex re(shape.pattern);
        if (!std::regex_match(reason, re)) continue;
        reason = std::regex_replace(reason, re, shape.japanese);
        break;
    }
    if (problem.line > 0) return std::to_string(problem.line) + " 行目: " + part + reason;
    return part + reason;
}

std::string ProblemText(const LoadProblem& problem) {
    return problem.key + "\n" + problem.path + "\n" + ProblemReasonJa(problem);
}

}  // namespace qurix

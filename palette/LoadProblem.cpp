#include "palette/LoadProblem.h"

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

std::string ProblemText(const LoadProblem& problem) {
    return problem.key + "\n" + problem.path + "\n" + ProblemReason(problem);
}

}  // namespace qurix

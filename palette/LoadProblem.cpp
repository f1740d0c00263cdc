#include "palette/LoadProblem.h"

#include "core/platform/FileIo.h"

namespace qurix {

std::string ProblemReason(const LoadProblem& problem) {
    if (problem.line > 0) return "line " + std::to_string(problem.line) + ": " + problem.reason;
    if (problem.line == 0 && IsMissingFile(problem.path)) {
        return "file not found";
    }
    return problem.reason;
}

std::string ProblemText(const LoadProblem& problem) {
    return problem.key + "\n" + problem.path + "\n" + ProblemReason(problem);
}

}  // namespace qurix

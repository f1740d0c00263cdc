#include "palette/LoadProblem.h"

#include <filesystem>
#include <system_error>

namespace qurix {

std::string ProblemReason(const LoadProblem& problem) {
    if (problem.line > 0) return "line " + std::to_string(problem.line) + ": " + problem.reason;
    std::error_code ec;
    if (problem.line == 0 && !std::filesystem::exists(problem.path, ec) && !ec) {
        return "file not found";
    }
    return problem.reason;
}

std::string ProblemText(const LoadProblem& problem) {
    return problem.key + "\n" + problem.path + "\n" + ProblemReason(problem);
}

}  // namespace qurix

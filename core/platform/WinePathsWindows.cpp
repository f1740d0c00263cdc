#ifdef _WIN32
#include "core/platform/Paths.h"
#include "core/platform/WinePaths.h"

namespace qurix {

// On Windows the paths are the system's own: nothing to map.
CWinePaths::CWinePaths(std::string configFolder, int codePage, const std::string&,
                       const std::string&)
    : configFolder_(std::move(configFolder)), codePage_(codePage) {}

std::string CWinePaths::MatchName(const std::string&, const std::string& name) {
    return name;
}

std::string CWinePaths::Resolve(const std::string& value) {
    return IsRelativePath(value) ? CombinePath(configFolder_, value) : value;
}

CWinePaths::ToWindowsResult CWinePaths::ToWindows(const std::string& path,
                                                  std::string& windows) const {
    windows = path;
    return ToWindowsResult::Done;
}

}  // namespace qurix
#endif

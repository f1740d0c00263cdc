#include "core/platform/WinePaths.h"

namespace qurix {

bool CWinePaths::IsWindowsPath(std::string_view value) {
    const bool drive =
        value.size() >= 2 && value[1] == ':' &&
        ((value[0] >= 'A' && value[0] <= 'Z') || (value[0] >= 'a' && value[0] <= 'z'));
    return drive || value.find('\\') != std::string_view::npos;
}

std::vector<std::string> CWinePaths::UserDataFolders(const std::string& prefix,
                                                     const std::string& user) {
    if (prefix.empty() || user.empty()) return {};
    const std::string home = prefix + "/drive_c/users/" + user;
    return {home + "/AppData/Local", home + "/Local Settings/Application Data"};
}

}  // namespace qurix

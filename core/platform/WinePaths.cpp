#include "core/platform/WinePaths.h"

namespace qurix {

bool CWinePaths::IsWindowsPath(std::string_view value) {
    const bool drive =
        value.size() >= 2 && value[1] == ':' &&
        ((value[0] >= 'A' && value[0] <= 'Z') || (value[0] >= 'a' && value[0] <= 'z'));
    return drive || value.find('\\') != std::string_view::npos;
}

}  // namespace qurix

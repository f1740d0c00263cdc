#include "core/platform/UserFolders.h"

namespace qurix {

std::string XdgConfigFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/') return xdgConfigHome;
    if (!home || home[0] != '/') return std::string();
    std::string folder = home;
    if (folder.back() != '/') folder += '/';
    return folder + ".config";
}

}  // namespace qurix

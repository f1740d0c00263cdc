#ifndef _WIN32
#include <cstdlib>

#include "core/platform/UserFolders.h"

namespace qurix {

std::string PerUserDataFolder() {
    return XdgConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

}  // namespace qurix
#endif

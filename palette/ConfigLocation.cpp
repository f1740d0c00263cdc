#include "palette/ConfigLocation.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/platform/UserFolders.h"

namespace qurix {

bool CanOpenForReading(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return false;
    struct stat st {};
    const bool regular = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
    std::fclose(f);
    return regular;
}

ConfigLocationInputs RealConfigLocationInputs(const std::string& modulePath) {
    ConfigLocationInputs in;
    in.modulePath = modulePath;
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    // A current folder that cannot be had (it was removed) counts as the program's
    // folder, so only the per-user and program folders are candidates.
    in.currentDirectory = ec ? ConfigFolder(modulePath) : cwd.string();
    in.perUserFolder = PerUserDataFolder();
    in.canOpen = CanOpenForReading;
    return in;
}

}  // namespace qurix

#include "core/profile/ConfigFile.h"

namespace qurix {

namespace {

std::string WithSeparator(const std::string& folder) {
    return folder.empty() ? std::string(1, PathSeparator()) : CombinePath(folder, "");
}

}  // namespace

std::string ConfigFolder(const std::string& configPath) {
    return FolderOfPath(configPath);
}

std::string LocateConfigFile(const ConfigLocationInputs& in) {
    const std::string exeFolder = ConfigFolder(in.modulePath);
    const std::string currentFolder = WithSeparator(in.currentDirectory);
    const auto canOpen = [&](const std::string& p) { return in.canOpen && in.canOpen(p); };

    // Exact, case-sensitive comparison: folders that differ only in case differ.
    if (exeFolder != currentFolder) {
        const std::string candidate = currentFolder + CONFIG_FILE_NAME;
        if (canOpen(candidate)) return candidate;
    }
    if (!in.perUserFolder.empty()) {
        const std::string candidate =
            WithSeparator(in.perUserFolder) + "Tolmera" + PathSeparator() + CONFIG_FILE_NAME;
        if (canOpen(candidate)) return candidate;
    }
    return exeFolder + CONFIG_FILE_NAME;
}

}  // namespace qurix

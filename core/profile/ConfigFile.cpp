#include "core/profile/ConfigFile.h"

namespace qurix {

char PathSeparator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string WithSeparator(std::string folder) {
    if (folder.empty() || !IsSeparator(folder.back())) folder += PathSeparator();
    return folder;
}

}  // namespace

std::string ConfigFolder(const std::string& configPath) {
    const size_t last = configPath.find_last_of(
#ifdef _WIN32
        "\\/:"
#else
        "/"
#endif
    );
    if (last == std::string::npos) return std::string();
    return configPath.substr(0, last + 1);
}

bool IsRelativePath(const std::string& path) {
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':') return false;
    return path.empty() || !IsSeparator(path[0]);
#else
    return path.empty() || path[0] != '/';
#endif
}

std::string CombinePath(const std::string& folder, const std::string& relative) {
    if (folder.empty()) return relative;
    return WithSeparator(folder) + relative;
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

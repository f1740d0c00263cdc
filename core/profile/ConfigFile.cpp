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

std::vector<std::string> ConfigFileCandidates(const ConfigLocationInputs& in) {
    const std::string exeFolder = ConfigFolder(in.modulePath);
    const std::string currentFolder = WithSeparator(in.currentDirectory);
    std::vector<std::string> places;
    // Exact, case-sensitive comparison: folders that differ only in case differ.
    if (exeFolder != currentFolder) places.push_back(currentFolder + CONFIG_FILE_NAME);
    const auto tolmera = [](const std::string& folder) {
        return WithSeparator(folder) + "Tolmera" + PathSeparator() + CONFIG_FILE_NAME;
    };
    if (!in.perUserFolder.empty()) places.push_back(tolmera(in.perUserFolder));
    places.push_back(exeFolder + CONFIG_FILE_NAME);
    for (const std::string& folder : in.wineDataFolders) places.push_back(tolmera(folder));
    return places;
}

std::string LocateConfigFile(const ConfigLocationInputs& in) {
    for (const std::string& place : ConfigFileCandidates(in)) {
        if (in.canOpen && in.canOpen(place)) return place;
    }
    return ConfigFolder(in.modulePath) + CONFIG_FILE_NAME;
}

}  // namespace qurix

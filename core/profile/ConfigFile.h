#pragma once
#include <functional>
#include <string>
#include <vector>

#include "core/platform/Paths.h"

namespace qurix {

inline constexpr const char* CONFIG_FILE_NAME = "KIVOX.INI";

// What the configuration file's location depends on, so the rule can be tested
// without touching the real folders.
struct ConfigLocationInputs {
    std::string modulePath;        // full path of the running executable
    std::string currentDirectory;  // the process's working folder
    // The per-user application data folder ($XDG_CONFIG_HOME or ~/.config here,
    // %LOCALAPPDATA% on Windows); empty when it cannot be had.
    std::string perUserFolder;
    // Whether a file can be opened for reading.
    std::function<bool(const std::string&)> canOpen;
    // Where the editor under Wine keeps per-user data (Linux): the local application-data
    // folders of the user in the Wine prefix; empty elsewhere.
    std::vector<std::string> wineDataFolders;
};

// The working folder's KIVOX.INI when that folder differs from the program's,
// else the per-user Tolmera/KIVOX.INI, else the program folder's KIVOX.INI; where that
// is missing too, the editor's Tolmera/KIVOX.INI in a Wine prefix; else the program
// folder's (used whether or not it exists).
std::string LocateConfigFile(const ConfigLocationInputs& in);

// The places LocateConfigFile looks, in its order.
std::vector<std::string> ConfigFileCandidates(const ConfigLocationInputs& in);

// The folder of the configuration file, ending with the separator ("" when there is
// none): relative library paths are taken from it.
std::string ConfigFolder(const std::string& configPath);

}  // namespace qurix

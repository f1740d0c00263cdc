#pragma once
#include <functional>
#include <string>

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
};

// The working folder's KIVOX.INI when that folder differs from the program's,
// else the per-user Tolmera/KIVOX.INI, else the program folder's KIVOX.INI
// (used whether or not it exists).
std::string LocateConfigFile(const ConfigLocationInputs& in);

// The folder part of a path, ending with the separator ("" when there is none).
std::string ConfigFolder(const std::string& configPath);

// The platform's separator between folders.
char PathSeparator();

// Whether a path from the INI is relative (on POSIX: it does not start with '/').
bool IsRelativePath(const std::string& path);

// folder (ending with a separator or not) + relative path.
std::string CombinePath(const std::string& folder, const std::string& relative);

}  // namespace qurix

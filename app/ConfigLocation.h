#pragma once
#include <string>

#include "core/profile/ConfigFile.h"

namespace qurix {

// The per-user folder that may hold Tolmera/KIVOX.INI: %LOCALAPPDATA% on Windows,
// $XDG_CONFIG_HOME elsewhere, falling back to $HOME/.config. Relative values are
// ignored, as the XDG rules ask; "" when no folder can be had. Null means unset.
std::string PerUserConfigFolder(const char* xdgConfigHome, const char* home,
                                const char* localAppData);

// Whether path names a regular file that can be opened for reading (a folder named
// KIVOX.INI is not a configuration file).
bool CanOpenForReading(const std::string& path);

// The inputs of LocateConfigFile taken from the running process: the given executable
// path, the current folder and the environment.
ConfigLocationInputs RealConfigLocationInputs(const std::string& modulePath);

}  // namespace qurix

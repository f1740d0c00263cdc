#pragma once
#include <string>

namespace qurix {

// The per-user local application data folder, where Tolmera/KIVOX.INI may lie:
// %LOCALAPPDATA% on Windows (as the system reports it, not created when missing), else
// $XDG_CONFIG_HOME or $HOME/.config. "" when there is none.
std::string PerUserDataFolder();

// The rule off Windows, from the two variables (null when unset): relative values are
// ignored, as the XDG rules ask.
std::string XdgConfigFolder(const char* xdgConfigHome, const char* home);

}  // namespace qurix

#pragma once
#include <string>

#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"

namespace qurix {

// Whether path names a regular file that can be opened for reading (a folder named
// KIVOX.INI is not a configuration file).
bool CanOpenForReading(const std::string& path);

// The inputs of LocateConfigFile for a program at modulePath started in currentDirectory,
// with no per-user or Wine folders: a palette that keeps to folders of its own.
ConfigLocationInputs FolderConfigLocationInputs(const std::string& modulePath,
                                                const std::string& currentDirectory);

// The inputs of LocateConfigFile taken from the running process: the given executable
// path, the current folder and the environment.
ConfigLocationInputs RealConfigLocationInputs(const std::string& modulePath);

// The palette's own per-user folder (qurix in the per-user data folder), where what it
// keeps for itself lies; "" when there is no per-user folder.
std::string PaletteDataFolder();

// A front end's start: makes the configuration file found with where the profile's file,
// with its journal in the palette's own folder, undoes a write of ours that a kill cut
// short and removes the temporaries one left. True when such a write was undone (the
// front end says so once its status bar is there).
bool OpenPaletteProfile(CProfile& profile, const ConfigLocationInputs& where);

}  // namespace qurix

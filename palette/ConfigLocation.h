#pragma once
#include <string>
#include <vector>

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
// The same below a given per-user folder (a start's ConfigLocationInputs::perUserFolder).
std::string PaletteDataFolder(const std::string& perUserFolder);

// A front end's start: makes the configuration file found with where the profile's file,
// with its journal in the palette's own folder, undoes a write of ours that a kill cut
// short and removes the temporaries one left. True when such a write was undone (the
// front end says so once its status bar is there).
bool OpenPaletteProfile(CProfile& profile, const ConfigLocationInputs& where);
// The same for the file at path (a file given or chosen by the user).
bool OpenPaletteProfile(CProfile& profile, const std::string& path);

// The KIVOX.INI a start uses, and whether it is there.
struct ConfigChoice {
    std::string path;
    bool found = false;
    // Where the location rule looked, in its order (for the first-start page).
    std::vector<std::string> looked;
};

// The file given on the command line (--ini), else the one the user chose before while it
// can still be read, else the location rule's.
ConfigChoice ChooseConfigFile(const ConfigLocationInputs& in, const std::string& given,
                              const std::string& remembered);
// Where the first-start page says the palette looked: the path it settled on first when
// the rule does not name it (a given file that is not there), then the rule's places.
std::vector<std::string> FirstStartPlaces(const ConfigChoice& choice);

// The KIVOX.INI the user chose, kept in "qurix.ini" of the palette's own folder (never in
// KIVOX.INI, which the editor owns); "" when none or no folder.
std::string RememberedConfigFile(const std::string& paletteFolder);
bool RememberConfigFile(const std::string& paletteFolder, const std::string& path);
// A window's start: ChooseConfigFile with the file remembered in the palette's own folder
// below in.perUserFolder; a given file that is there is remembered for later starts.
ConfigChoice ChooseStartConfigFile(const ConfigLocationInputs& in, const std::string& given);

}  // namespace qurix

#include "palette/ConfigLocation.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/platform/FileIo.h"
#include "core/platform/FileReplace.h"
#include "core/platform/FileReplaceSteps.h"
#include "core/platform/Paths.h"
#include "core/platform/UserFolders.h"
#include "core/platform/WinePaths.h"
#include "core/profile/Profile.h"

namespace qurix {

bool CanOpenForReading(const std::string& path) {
    int64_t size = 0;
    int64_t time = 0;
    if (!RegularFileInfo(path, size, time)) return false;
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

ConfigLocationInputs FolderConfigLocationInputs(const std::string& modulePath,
                                                const std::string& currentDirectory) {
    ConfigLocationInputs in;
    in.modulePath = modulePath;
    in.currentDirectory = currentDirectory;
    in.canOpen = CanOpenForReading;
    return in;
}

ConfigLocationInputs RealConfigLocationInputs(const std::string& modulePath) {
    const std::string cwd = CurrentFolder();
    // A current folder that cannot be had (it was removed) counts as the program's
    // folder, so only the per-user and program folders are candidates.
    ConfigLocationInputs in =
        FolderConfigLocationInputs(modulePath, cwd.empty() ? ConfigFolder(modulePath) : cwd);
    in.perUserFolder = PerUserDataFolder();
#ifndef _WIN32
    // The editor under Wine keeps its INI in the default prefix's per-user folder.
    const char* prefix = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    const char* user = std::getenv("USER");
    const std::string winePrefix =
        prefix && *prefix ? prefix : (home && *home ? std::string(home) + "/.wine" : "");
    in.wineDataFolders = CWinePaths::UserDataFolders(winePrefix, user ? user : "");
#endif
    return in;
}

ConfigChoice ChooseConfigFile(const ConfigLocationInputs& in, const std::string& given,
                              const std::string& remembered) {
    ConfigChoice choice;
    choice.looked = ConfigFileCandidates(in);
    const auto canOpen = [&in](const std::string& path) { return in.canOpen && in.canOpen(path); };
    if (!given.empty()) {
        choice.path = given;
    } else if (!remembered.empty() && canOpen(remembered)) {
        choice.path = remembered;
    } else {
        choice.path = LocateConfigFile(in);
    }
    choice.found = canOpen(choice.path);
    return choice;
}

std::vector<std::string> FirstStartPlaces(const ConfigChoice& choice) {
    std::vector<std::string> places = choice.looked;
    if (std::find(places.begin(), places.end(), choice.path) == places.end())
        places.insert(places.begin(), choice.path);
    return places;
}

namespace {

constexpr const char* OWN_FILE = "qurix.ini";
constexpr const char* OWN_SECTION = "qurix";
constexpr const char* CONFIG_KEY = "config_file";

}  // namespace

std::string RememberedConfigFile(const std::string& paletteFolder) {
    if (paletteFolder.empty()) return std::string();
    return CProfile(CombinePath(paletteFolder, OWN_FILE)).GetString(OWN_SECTION, CONFIG_KEY, "");
}

bool RememberConfigFile(const std::string& paletteFolder, const std::string& path) {
    if (paletteFolder.empty() || !MakeFolders(paletteFolder)) return false;
    return CProfile(CombinePath(paletteFolder, OWN_FILE))
        .WriteString(OWN_SECTION, CONFIG_KEY, path);
}

ConfigChoice ChooseStartConfigFile(const ConfigLocationInputs& in, const std::string& given) {
    const std::string own = PaletteDataFolder(in.perUserFolder);
    ConfigChoice choice = ChooseConfigFile(in, given, RememberedConfigFile(own));
    if (!given.empty() && choice.found) RememberConfigFile(own, given);
    return choice;
}

std::string PaletteDataFolder() {
    return PaletteDataFolder(PerUserDataFolder());
}

std::string PaletteDataFolder(const std::string& perUserFolder) {
    return perUserFolder.empty() ? std::string() : CombinePath(perUserFolder, "qurix");
}

bool OpenPaletteProfile(CProfile& profile, const ConfigLocationInputs& where) {
    return OpenPaletteProfile(profile, LocateConfigFile(where));
}

bool OpenPaletteProfile(CProfile& profile, const std::string& path) {
    profile.SetPath(path);
    // A write of ours that a kill cut short is undone before anything reads the file.
    const std::string journalFolder = PaletteDataFolder();
    profile.SetJournalFolder(journalFolder);
    const Recovery recovery = RecoverInPlaceWrite(journalFolder, profile.Path());
    RemoveAbandonedTemporaries(profile.Path());
    return recovery == Recovery::Restored;
}

}  // namespace qurix

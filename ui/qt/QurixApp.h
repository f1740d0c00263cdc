#pragma once
#include <memory>
#include <string>

#include "QurixVersion.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"
#include "palette/ConfigLocation.h"

class QDialog;
class QWidget;

namespace qurix {

class CDisplaySettings;
class CEarlyListReader;
class CQurixDoc;
class CMainFrame;

// The palette's start-up: finds KIVOX.INI, makes it the profile, creates the document
// (which loads settings and libraries) and the main window with its views. Owns them,
// and the process-wide display settings, for the life of the process. Needs a
// QApplication to exist.
class CQurixApp {
public:
    static constexpr const char* PRODUCT_NAME = "Qurix";
    static constexpr const char* PRODUCT_VERSION = VERSION;
    // --help's first paragraph: where KIVOX.INI is looked for and the cache kept.
    static constexpr const char* PLACES =
        "Opens the parts palette of the Kivox schematic editor on the libraries named in\n"
        "KIVOX.INI. That file is the one given with --ini, else the one chosen before\n"
        "(kept in $XDG_CONFIG_HOME/qurix/qurix.ini), else taken from the working folder\n"
        "when it is not the program's folder, else from $XDG_CONFIG_HOME/Tolmera/\n"
        "(default ~/.config/Tolmera/), else from the program's folder. The palette\n"
        "writes only its own section [qurix] of that file. It keeps its thumbnails in\n"
        "./cache when that folder exists or the working folder is the INI's, else in\n"
        "$XDG_CACHE_HOME/qurix/ (default ~/.cache/qurix/).\n";

    CQurixApp();
    // The main window goes first (it saved the settings when it was closed), then the
    // document.
    ~CQurixApp();
    CQurixApp(const CQurixApp&) = delete;
    CQurixApp& operator=(const CQurixApp&) = delete;

    // Locates the configuration file with the given folders, loads, creates the
    // window and its views (initial updates done), checks that the settings can be
    // written (CMainFrame::CheckSettingsWritable) and shows it unless show is false.
    // Without a KIVOX.INI the window shows the first-start page instead of the parts.
    bool InitInstance(const ConfigLocationInputs& where, bool show = true);
    // The program's own start: when the parts list of the last close may be shown from the
    // cache (palette/EarlyList.h), InitInstance shows the window with it and returns; the
    // load follows the window's first paint. Without this (tests) everything is loaded
    // when InitInstance returns.
    void AllowEarlyList() { earlyList_ = true; }
    // The file of --ini: used instead of the location rule, and remembered.
    void SetGivenConfigFile(std::string path) { given_ = std::move(path); }
    // Closes the window and document and starts again on path, remembering it for later
    // starts (the first-start page's choice). Runs after the caller's event handler.
    void OpenConfigFile(const std::string& path);
    // No KIVOX.INI was found: nothing is written to the path the rule gave.
    bool FirstStart() const { return !choice_.found; }

    const std::string& ProfilePath() const { return profile_.Path(); }
    const CProfile& Profile() const { return profile_; }
    // The configuration file's folder, ending with a separator.
    const std::string& ConfigFolder() const { return configFolder_; }
    CQurixDoc* Document() const { return doc_.get(); }
    CMainFrame* MainFrame() const { return frame_.get(); }

    // The About box: title "バージョン情報", the icon, the version and product lines, the
    // KIVOX.INI in use and the cache folder, and OK.
    struct AboutFacts {
        std::string configPath;
        std::string cacheFolder;
    };
    static std::unique_ptr<QDialog> MakeAboutBox(QWidget* parent, const AboutFacts& facts = {});
    static void OnAppAbout(QWidget* parent, const AboutFacts& facts);

private:
    void Close();
    // Shows the window with the early list; false when there is none to show.
    bool ShowEarly();
    // The load, the views' first updates and the window's checks; shows the window.
    bool FinishStart(bool show);

    ConfigLocationInputs where_;
    std::string given_;
    ConfigChoice choice_;
    bool shown_ = true;
    bool earlyList_ = false;
    bool loadPending_ = false;
    // The early list's file, read while the window is built.
    std::unique_ptr<CEarlyListReader> earlyRead_;
    CProfile profile_;
    std::string configFolder_;
    std::unique_ptr<CDisplaySettings> settings_;
    std::unique_ptr<CQurixDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace qurix

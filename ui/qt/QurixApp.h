#pragma once
#include <memory>
#include <string>

#include "QurixVersion.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"

class QDialog;
class QWidget;

namespace qurix {

class CDisplaySettings;
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
    static constexpr const char* USAGE = "usage: qurix [--help | --version]";
    // For measuring a start (CShownProbe); not in USAGE.
    static constexpr const char* EXIT_WHEN_SHOWN = "--exit-when-shown";
    // Printed by --help after USAGE.
    static constexpr const char* HELP =
        "Opens the parts palette of the Kivox schematic editor on the libraries named in\n"
        "KIVOX.INI. That file is taken from the working folder when it is not the\n"
        "program's folder, else from $XDG_CONFIG_HOME/Tolmera/ (default\n"
        "~/.config/Tolmera/), else from the program's folder. The palette writes only\n"
        "its own section [qurix] of that file and keeps its thumbnails in ./cache.\n"
        "\n"
        "  --help     print this help and exit\n"
        "  --version  print the version and exit\n"
        "  --exit-when-shown\n"
        "             for measuring a start: print the time to the first shown parts list\n"
        "             and the memory held then, and close the window\n"
        "\n"
        "Exit status: 0 when the window is closed, 1 when start-up fails, 2 on any other\n"
        "argument.\n";

    CQurixApp();
    // The main window goes first (it saved the settings when it was closed), then the
    // document.
    ~CQurixApp();
    CQurixApp(const CQurixApp&) = delete;
    CQurixApp& operator=(const CQurixApp&) = delete;

    // Locates the configuration file with the given folders, loads, creates the
    // window and its views (initial updates done), checks that the settings can be
    // written (CMainFrame::CheckSettingsWritable) and shows it unless show is false.
    bool InitInstance(const ConfigLocationInputs& where, bool show = true);

    const std::string& ProfilePath() const { return profile_.Path(); }
    const CProfile& Profile() const { return profile_; }
    // The configuration file's folder, ending with a separator.
    const std::string& ConfigFolder() const { return configFolder_; }
    CQurixDoc* Document() const { return doc_.get(); }
    CMainFrame* MainFrame() const { return frame_.get(); }

    // The About box: title "バージョン情報", the icon, two lines and OK.
    static std::unique_ptr<QDialog> MakeAboutBox(QWidget* parent);
    static void OnAppAbout(QWidget* parent);

private:
    CProfile profile_;
    std::string configFolder_;
    std::unique_ptr<CDisplaySettings> settings_;
    std::unique_ptr<CQurixDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace qurix

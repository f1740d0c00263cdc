#pragma once
#include "ui/win32/WinApi.h"

#include <memory>
#include <string>

#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"
#include "palette/ConfigLocation.h"
#include "palette/WindowLayout.h"

namespace qurix {
class CDisplaySettings;
class CQurixDoc;
}  // namespace qurix

namespace qurix::win32 {

class CMainWindow;

// The palette's start: which KIVOX.INI (--ini, the one chosen before, else the location
// rule), the document on it and the window; and the switch to a file chosen in the window.
class CPaletteApp {
public:
    CPaletteApp();
    // The window goes first (it saved the settings when it closed), then the document.
    ~CPaletteApp();

    // The file of --ini (ANSI code page bytes): used instead of the rule, and remembered.
    void SetGivenConfigFile(std::string path) { given_ = std::move(path); }
    // Finds the file, loads, makes the window (the first-start page when there is no file)
    // and shows it with show (SW_HIDE: placed, not shown).
    // kept: the layout of the window before, for a file that has none of its own.
    bool InitInstance(const ConfigLocationInputs& where, int show,
                      const WindowLayout* kept = nullptr);
    // The window's choice, taken up by SwitchIfAsked once the window's handler is done.
    void OpenConfigFile(const std::string& path) { asked_ = path; }
    // Closes the window and document and starts again on the file asked for, remembering
    // it; false when nothing was asked or the new start failed.
    bool SwitchIfAsked();

    bool FirstStart() const { return !choice_.found; }
    CMainWindow* Frame() const { return frame_.get(); }
    CQurixDoc* Document() const { return doc_.get(); }
    const CProfile& Profile() const { return profile_; }

private:
    // Shows the window with the early list and loads after its paint; false when there
    // is none to show.
    bool ShowEarly(int show);
    // Loads and lists the libraries; shows the window with show unless it is up already.
    bool FinishStart(int show, bool shown);

    ConfigLocationInputs where_;
    std::string given_;
    std::string asked_;
    ConfigChoice choice_;
    int show_ = SW_SHOWNORMAL;
    CProfile profile_;
    std::unique_ptr<CDisplaySettings> settings_;
    std::unique_ptr<CQurixDoc> doc_;
    std::unique_ptr<CMainWindow> frame_;
};

}  // namespace qurix::win32

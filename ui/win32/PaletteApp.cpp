#include "ui/win32/WinApi.h"

#include "ui/win32/PaletteApp.h"

#include <utility>

#include "palette/KeptParts.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "render/DisplaySettings.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/StartTrace.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {

CPaletteApp::CPaletteApp() : settings_(std::make_unique<CDisplaySettings>()) {}

CPaletteApp::~CPaletteApp() {
    frame_.reset();
    doc_.reset();
}

bool CPaletteApp::InitInstance(const ConfigLocationInputs& where, int show,
                               const WindowLayout* kept) {
    where_ = where;
    show_ = show;
    choice_ = ChooseStartConfigFile(where, given_);
    const bool restored = OpenPaletteProfile(profile_, choice_.path);
    // The whole start is served from one read of the file.
    const CProfile::CReadHold hold(profile_);
    StartTraceMark("settings read");
    doc_ = std::make_unique<CQurixDoc>(*settings_, profile_, ConfigFolder(profile_.Path()));
    frame_ = std::make_unique<CMainWindow>(*doc_, choice_.found);
    if (!frame_->Create()) return false;
    StartTraceMark("window made");
    frame_->onOpenConfig = [this](const std::string& path) { OpenConfigFile(path); };
    if (!choice_.found) frame_->ShowFirstStart(FirstStartPlaces(choice_));
    // The path as the ANSI code page's bytes, the message in UTF-8.
    if (restored) {
        doc_->ShowStatus(FormatText(texts::SETTINGS_RESTORED, PathText(profile_.Path())));
    }
    LoadKeptParts(*doc_, PartHistoryPath());
    // The window stays where the user had it unless the file keeps a place of its own.
    if (kept != nullptr && !HasWindowLayout(profile_)) frame_->UseLayout(*kept);
    if (choice_.found && show != SW_HIDE && ShowEarly(show)) return true;
    return FinishStart(show, false);
}

bool CPaletteApp::ShowEarly(int show) {
    doc_->ReadDrawingSettings();
    if (!frame_->ShowEarlyList()) return false;
    frame_->Show(show);
    StartTraceMark("early list shown");
    frame_->LoadWhenPainted([this, show] {
        // The window cannot go on without its libraries: it closes, writing nothing.
        if (!FinishStart(show, true)) PostMessageW(frame_->Hwnd(), WM_CLOSE, 0, 0);
    });
    return true;
}

bool CPaletteApp::FinishStart(int show, bool shown) {
    // The whole load is served from one read of the file.
    const CProfile::CReadHold hold(profile_);
    if (!doc_->OnNewDocument()) return false;
    StartTraceMark("libraries loaded");
    doc_->SendInitialUpdate();
    StartTraceMark("views updated");
    // No library took the early items' place (the remembered one no longer loads).
    frame_->DropEarlyList();
    // Without the file the first-start page says what is wrong; a write would make one.
    if (choice_.found) frame_->CheckSettingsWritable();
    if (!shown) frame_->Show(show);
    StartTraceMark("window shown");
    return true;
}

bool CPaletteApp::SwitchIfAsked() {
    if (asked_.empty() || frame_ == nullptr) return false;
    const std::string path = std::exchange(asked_, std::string());
    RememberConfigFile(PaletteDataFolder(where_.perUserFolder), path);
    given_ = path;
    // The old window goes without ending the program; it keeps its settings in its own
    // file (none where the rule found nothing).
    const WindowLayout kept = frame_->CurrentLayout();
    frame_->Retire();
    frame_.reset();
    doc_.reset();
    profile_ = CProfile();
    return InitInstance(where_, show_, &kept);
}

}  // namespace qurix::win32

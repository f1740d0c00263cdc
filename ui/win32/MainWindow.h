#pragma once
#include "ui/win32/WinApi.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/profile/Profile.h"
#include "palette/ChangeDetector.h"
#include "palette/QurixDoc.h"
#include "palette/WindowLayout.h"
#include "ui/win32/FirstStartPage.h"
#include "ui/win32/OwnedGdi.h"
#include "ui/win32/PaneLayout.h"
#include "ui/win32/Panes.h"
#include "ui/win32/PartCommands.h"
#include "ui/win32/PinPage.h"
#include "ui/win32/StatusBar.h"
#include "ui/win32/UiHost.h"
#include "ui/win32/Watcher.h"
#include "ui/win32/Window.h"

namespace qurix::win32 {

// The palette's only window: menu, toolbar and status bar around four panes. The library
// list, preview and note stack in the left column, the search field and parts list fill
// the right; the splitters' sizes, the window's size and place persist in section "qurix"
// (pane sizes at 96 DPI, as the Linux palette keeps them in its logical pixels).
class CMainWindow : public CWindow, private CDocListener {
public:
    static constexpr const wchar_t* TITLE = L"Qurix";

    // configFound false: no KIVOX.INI is there (the title names none, the close writes
    // nothing).
    explicit CMainWindow(CQurixDoc& doc, bool configFound = true);
    ~CMainWindow() override;

    // Makes the window (hidden) and its panes, in the document's view order.
    bool Create();
    // Shows it with the remembered placement (SW_HIDE: only places it).
    void Show(int show);
    HACCEL Accelerators() const { return accelerators_; }
    // Writes "parts_style" once after start; a failure is told in the status bar.
    bool CheckSettingsWritable();
    void SaveSettings();
    void ShowStatus(const std::string& utf8);
    // The layout as the window has it now.
    WindowLayout CurrentLayout() const;
    // "Qurix - <the INI in use>" (ANSI code page bytes), or "Qurix" when none was found.
    static std::wstring TitleFor(const std::string& configPath, bool found);
    // The first-start page in the parts pane's place: where the palette looked
    // (FirstStartPlaces).
    void ShowFirstStart(const std::vector<std::string>& places);
    CFirstStartPage* FirstStartPage() const { return firstStart_.get(); }
    // Asks for a KIVOX.INI (ファイル → KIVOX.INI を開く…) and hands a readable one on.
    void OnOpenConfig();
    std::function<void(const std::string&)> onOpenConfig;
    // Closes for another KIVOX.INI: settings saved as at a close, the program goes on.
    void Retire();
    // Shown with this layout instead of the file's (before Show).
    void UseLayout(const WindowLayout& layout) { layout_ = layout; }
    // Before the start's load: lists the parts of the library shown at the last close from
    // the cache (false: there is none that may be shown), and runs load once the window
    // has painted it; a close before then writes nothing.
    bool ShowEarlyList() { return parts_->ShowEarlyList(); }
    void LoadWhenPainted(std::function<void()> load);
    // After the start's load: early items no library replaced go.
    void DropEarlyList() { parts_->DropEarlyList(); }
    // The permanent fields from the panes as they are now.
    void UpdateStatusFields();
    CStatusBar& StatusBar() { return *statusBar_; }
    const CPreviewPane& Preview() const { return *preview_; }

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnLoaded() override;
    void OnCloseAfterBusy() override;
    void CreateMenuBar();
    void CreateToolBar();
    void LoadToolBarImages();
    void ApplyFonts();
    void Layout();
    void OnCommand(int id, int code, HWND from);
    void OnInitMenu(HMENU menu);
    void UpdateToolBar();
    void OnClose();
    void ArmWatch();
    void OnSettled();
    void OnFilesChanged(const std::vector<std::string>& paths);
    void FocusPane(bool previous);
    int Unscaled(int pixels) const;

    CQurixDoc& doc_;
    CProfile profile_;
    WindowLayout layout_;
    PaneRects panes_;
    std::unique_ptr<CWin32UiHost> host_;
    std::unique_ptr<CPartsPane> parts_;
    std::unique_ptr<CLibraryPane> libraries_;
    std::unique_ptr<CPreviewPane> preview_;
    std::unique_ptr<CNotePane> note_;
    std::unique_ptr<CPinPage> pins_;
    std::unique_ptr<CPartCommands> commands_;
    HMENU partMenu_ = nullptr;
    HWND toolBar_ = nullptr;
    HWND status_ = nullptr;
    std::unique_ptr<CStatusBar> statusBar_;
    std::unique_ptr<CFirstStartPage> firstStart_;
    bool configFound_;
    bool quitOnDestroy_ = true;
    HIMAGELIST toolImages_ = nullptr;
    OwnedGdi<HFONT> font_;
    HACCEL accelerators_ = nullptr;
    bool toolBarShown_ = true;
    std::function<void()> earlyLoad_;
    // The splitter being dragged and where the drag started.
    int dragging_ = -1;
    POINT dragFrom_{};
    WindowLayout dragStart_;
    CChangeDetector detector_;
    CFolderWatch watch_;
};

}  // namespace qurix::win32

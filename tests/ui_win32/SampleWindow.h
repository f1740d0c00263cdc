#pragma once
// The main window on a copy of the samples, for the tests of the whole window. Needs a
// display (Xvfb): Open is false without one, and the test skips.
#include "ui/win32/WinApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/profile/Profile.h"
#include "palette/QurixDoc.h"
#include "render/DisplaySettings.h"
#include "tests/ScratchFolder.h"
#include "ui/win32/MainWindow.h"

namespace qurix::win32::test {

inline void Select(HWND list, int row) {
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

class SampleWindow : public ::testing::Test {
protected:
    // Loads the samples into a shown window; historyFile: where the kept parts go (in the
    // scratch folder; empty: kept in memory). settingsWritable: the start's check.
    bool Open(const std::string& historyFile = "") {
        std::filesystem::copy(std::string(QURIX_SOURCE_DIR) + "/examples", scratch.Path());
        profile.SetPath(scratch.File("KIVOX.INI"));
        doc = std::make_unique<CQurixDoc>(settings, profile, scratch.Path() + "/");
        if (!historyFile.empty()) doc->historyPath = scratch.File(historyFile);
        frame = std::make_unique<CMainWindow>(*doc);
        if (!frame->Create()) return false;
        if (!doc->OnNewDocument()) return false;
        doc->SendInitialUpdate();
        settingsWritable = frame->CheckSettingsWritable();
        frame->Show(SW_SHOWNOACTIVATE);
        return true;
    }
    // Closes the window as the user does.
    void Close() {
        SendMessageW(frame->Hwnd(), WM_CLOSE, 0, 0);
        // The close's WM_QUIT would end the next window's thumbnail build at its first check.
        for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) {
        }
    }

    qurix::test::ScratchFolder scratch;
    CProfile profile;
    CDisplaySettings settings;
    std::unique_ptr<CQurixDoc> doc;
    std::unique_ptr<CMainWindow> frame;
    bool settingsWritable = false;
};

}  // namespace qurix::win32::test

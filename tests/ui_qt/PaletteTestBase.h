#pragma once
// A palette started on files in a scratch folder: <root>/bin stands for the program
// folder, <root>/work is the working folder (and so holds KIVOX.INI and the cache).
#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "palette/ConfigLocation.h"
#include "palette/QurixDoc.h"
#include "tests/ScratchFolder.h"
#include "tests/ui_qt/TestApp.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/QurixApp.h"

namespace qurix {

class PaletteTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        ASSERT_FALSE(scratch_.Path().empty());
        std::filesystem::create_directories(root_ / "bin");
        std::filesystem::create_directories(root_ / "work");
        oldCwd_ = std::filesystem::current_path();
        std::filesystem::current_path(root_ / "work");
        // No Wine prefix of the user's decides the drive a drag names: Z:, Wine's root.
        setenv("WINEPREFIX", (root_ / "no-wine-prefix").c_str(), 1);
        // A cache away from the INI's folder goes to the user's cache folder: this one.
        setenv("XDG_CACHE_HOME", (root_ / "user-cache").c_str(), 1);
        // The palette's own per-user files (recent parts, favourites) stay in the scratch.
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        oldXdg_ = xdg != nullptr ? std::optional<std::string>(xdg) : std::nullopt;
        setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    }
    void TearDown() override {
        app_.reset();
        std::filesystem::current_path(oldCwd_);
        if (oldXdg_) {
            setenv("XDG_CONFIG_HOME", oldXdg_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
    }

    void Write(const std::string& rel, const std::string& bytes) { scratch_.Write(rel, bytes); }
    std::string Read(const std::string& rel) const { return scratch_.Read(rel); }
    ConfigLocationInputs Where() const {
        return FolderConfigLocationInputs((root_ / "bin" / "qurix").string(),
                                          (root_ / "work").string());
    }
    // As the user closing the window: the document closes, then the window goes.
    void Close() {
        if (!app_) return;
        app_->MainFrame()->close();
        app_.reset();
    }

    // A path as a drag names it for the editor under Wine.
    static std::string EditorPath(const std::filesystem::path& path) {
        std::string windows = "Z:" + path.string();
        std::replace(windows.begin(), windows.end(), '/', '\\');
        return windows;
    }

    CMainFrame& Frame() const { return *app_->MainFrame(); }
    CQurixDoc& Doc() const { return *app_->Document(); }

    test::ScratchFolder scratch_;
    std::filesystem::path root_{scratch_.Path()};
    std::filesystem::path oldCwd_;
    std::optional<std::string> oldXdg_;
    std::unique_ptr<CQurixApp> app_;
};

}  // namespace qurix

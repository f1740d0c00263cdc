#pragma once
// A palette started on files in a scratch folder: <root>/bin stands for the program
// folder, <root>/work is the working folder (and so holds KIVOX.INI and the cache).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/ConfigLocation.h"
#include "app/MainFrame.h"
#include "app/QurixApp.h"
#include "app/QurixDoc.h"
#include "tests/app/TestApp.h"

namespace qurix {

class PaletteTestBase : public ::testing::Test {
protected:
    explicit PaletteTestBase(const char* prefix) : prefix_(prefix) {}

    void SetUp() override {
        TestApp();
        root_ = std::filesystem::temp_directory_path() /
                (prefix_ + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "bin");
        std::filesystem::create_directories(root_ / "work");
        oldCwd_ = std::filesystem::current_path();
        std::filesystem::current_path(root_ / "work");
    }
    void TearDown() override {
        app_.reset();
        std::filesystem::current_path(oldCwd_);
        std::filesystem::remove_all(root_);
    }

    void Write(const std::filesystem::path& rel, const std::string& bytes) {
        std::ofstream(root_ / rel, std::ios::binary) << bytes;
    }
    std::string Read(const std::filesystem::path& rel) const {
        std::ifstream f(root_ / rel, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    ConfigLocationInputs Where() const {
        ConfigLocationInputs in;
        in.modulePath = (root_ / "bin" / "qurix").string();
        in.currentDirectory = (root_ / "work").string();
        in.canOpen = CanOpenForReading;
        return in;
    }
    // As the user closing the window: the document closes, then the window goes.
    void Close() {
        if (!app_) return;
        app_->MainFrame()->close();
        app_.reset();
    }

    CMainFrame& Frame() const { return *app_->MainFrame(); }
    CQurixDoc& Doc() const { return *app_->Document(); }

    std::string prefix_;
    std::filesystem::path root_;
    std::filesystem::path oldCwd_;
    std::unique_ptr<CQurixApp> app_;
};

}  // namespace qurix

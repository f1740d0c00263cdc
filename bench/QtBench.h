#pragma once
// The start of a benchmark program that runs the palette: Google Benchmark takes its
// arguments first, then a QApplication is made, on the offscreen platform unless
// QT_QPA_PLATFORM names another.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/GeneratedParts.h"
#include "palette/ConfigLocation.h"
#include "ui/qt/QurixApp.h"

namespace qurix::bench {

class CQtBench {
public:
    CQtBench(int& argc, char** argv) {
        benchmark::Initialize(&argc, argv);
        argumentsOk_ = !benchmark::ReportUnrecognizedArguments(argc, argv);
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qtArgv_[0] = argv[0];
        app_ = std::make_unique<QApplication>(qtArgc_, qtArgv_);
    }
    CQtBench(const CQtBench&) = delete;
    CQtBench& operator=(const CQtBench&) = delete;

    // False after an argument Google Benchmark does not know (it has said so).
    bool ArgumentsOk() const { return argumentsOk_; }

private:
    int qtArgc_ = 1;
    char* qtArgv_[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> app_;
    bool argumentsOk_ = false;
};

// The size of the palettes the window benchmarks run on.
inline constexpr int BENCH_LIBRARIES = 16;
inline constexpr int BENCH_PARTS = 1000;

// The palette started once on generated libraries of parts with notes, in a scratch
// working folder named after the benchmark; qurixKeys go into the INI's "qurix" section.
class CBenchPalette {
public:
    CBenchPalette(const std::string& name, const std::string& qurixKeys,
                  int libraries = BENCH_LIBRARIES, int parts = BENCH_PARTS)
        : folder_(std::filesystem::temp_directory_path() /
                  ("qurix-bench-" + name + "-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::string ini = "[Library]\n";
        for (int lib = 0; lib < libraries; ++lib) {
            std::ofstream(LibraryFile(lib), std::ios::binary) << SearchLibraryText(lib, parts);
            ini += "LIB" + std::to_string(lib) + "=" + LibraryFile(lib).string() + "\n";
        }
        std::ofstream(folder_ / "KIVOX.INI", std::ios::binary) << ini << "[qurix]\n" << qurixKeys;
        oldCwd_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
        app_ = std::make_unique<CQurixApp>();
        started_ = app_->InitInstance(
            FolderConfigLocationInputs((folder_ / "qurix").string(), folder_.string()));
    }
    ~CBenchPalette() {
        app_.reset();
        std::error_code ec;
        std::filesystem::current_path(oldCwd_, ec);
        std::filesystem::remove_all(folder_, ec);
    }
    CBenchPalette(const CBenchPalette&) = delete;
    CBenchPalette& operator=(const CBenchPalette&) = delete;

    bool Started() const { return started_; }
    CQurixApp& App() const { return *app_; }
    CMainFrame& Frame() const { return *app_->MainFrame(); }
    std::filesystem::path LibraryFile(int lib) const {
        return folder_ / ("lib" + std::to_string(lib) + ".lib");
    }

private:
    std::filesystem::path folder_;
    std::filesystem::path oldCwd_;
    std::unique_ptr<CQurixApp> app_;
    bool started_ = false;
};

}  // namespace qurix::bench

#pragma once
// The start of a benchmark program that runs the palette: Google Benchmark takes its
// arguments first, then a QApplication is made, on the offscreen platform unless
// QT_QPA_PLATFORM names another.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

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

}  // namespace qurix::bench

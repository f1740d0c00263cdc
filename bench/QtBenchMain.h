#pragma once
// The main() of a benchmark program that draws with Qt: fonts need a QGuiApplication,
// offscreen unless a platform is set.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace qurix::bench {

inline int RunWithGuiApplication(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace qurix::bench

// A keystroke in the palette's search field, on 16 generated libraries of 1000 parts
// with notes: the search, the list filled with the results and painted once. The
// palette starts once (drawing every thumbnail) before the timing. QURIX_BENCH_NEEDS_QT
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/ConfigLocation.h"
#include "app/MainFrame.h"
#include "app/PartsPane.h"
#include "app/PartsView.h"
#include "app/QurixApp.h"
#include "bench/GeneratedParts.h"
#include "bench/QtBench.h"

namespace {

using namespace qurix;
namespace fs = std::filesystem;

constexpr int LIBRARIES = 16;
constexpr int PARTS = 1000;

// The palette on the generated libraries, its working folder a temporary one.
class CPalette {
public:
    CPalette() {
        root_ =
            fs::temp_directory_path() / ("qurix-bench-search-window-" + std::to_string(getpid()));
        fs::create_directories(root_ / "bin");
        fs::create_directories(root_ / "work");
        std::string ini = "[Library]\n";
        for (int lib = 0; lib < LIBRARIES; ++lib) {
            const std::string file = "lib" + std::to_string(lib) + ".lib";
            std::ofstream(root_ / "work" / file, std::ios::binary)
                << bench::SearchLibraryText(lib, PARTS);
            ini += "LIB" + std::to_string(lib) + "=" + file + "\n";
        }
        std::ofstream(root_ / "work" / "KIVOX.INI", std::ios::binary)
            << ini + "[qurix]\nwin_width=800\nwin_height=600\n";
        oldCwd_ = fs::current_path();
        fs::current_path(root_ / "work");
        ConfigLocationInputs where;
        where.modulePath = (root_ / "bin" / "qurix").string();
        where.currentDirectory = (root_ / "work").string();
        where.canOpen = CanOpenForReading;
        app_ = std::make_unique<CQurixApp>();
        started_ = app_->InitInstance(where);
    }
    ~CPalette() {
        app_.reset();
        std::error_code ec;
        fs::current_path(oldCwd_, ec);
        fs::remove_all(root_, ec);
    }
    CPalette(const CPalette&) = delete;
    CPalette& operator=(const CPalette&) = delete;

    bool Started() const { return started_; }
    CPartsPane& Pane() const { return *app_->MainFrame()->PartsPane(); }

private:
    fs::path root_;
    fs::path oldCwd_;
    std::unique_ptr<CQurixApp> app_;
    bool started_ = false;
};

void Keystroke(benchmark::State& state, CPalette& palette, const char* query) {
    if (!palette.Started()) {
        state.SkipWithError("the palette did not start");
        return;
    }
    CPartsPane& pane = palette.Pane();
    CPartsView& parts = *pane.PartsView();
    // The index is made by the first search after a load; that one is not a keystroke.
    pane.Search(QStringLiteral("x"));
    for (auto _ : state) {
        pane.Search(QString::fromUtf8(query));
        parts.viewport()->repaint();
    }
    state.counters["results"] = pane.ResultCount();
    pane.Search(QString());
}

}  // namespace

int main(int argc, char** argv) {
    const bench::CQtBench qt(argc, argv);
    if (!qt.ArgumentsOk()) return 1;

    CPalette palette;
    for (const char* query : {"r", "hc", "ちっぷ", "74 nand"}) {
        benchmark::RegisterBenchmark(
            (std::string("BM_Keystroke/") + query).c_str(),
            [&palette, query](benchmark::State& s) { Keystroke(s, palette, query); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

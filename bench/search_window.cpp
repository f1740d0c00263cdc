// A keystroke in the palette's search field, on 16 generated libraries of 1000 parts
// with notes: the search, the list filled with the results and painted once. The
// palette starts once (drawing every thumbnail) before the timing. QURIX_BENCH_NEEDS_QT
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <string>

#include "bench/QtBench.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/PartsPane.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/QurixApp.h"

namespace {

using namespace qurix;

void Keystroke(benchmark::State& state, const bench::CBenchPalette& palette, const char* query) {
    if (!palette.Started()) {
        state.SkipWithError("the palette did not start");
        return;
    }
    CPartsPane& pane = *palette.Frame().PartsPane();
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

    const bench::CBenchPalette palette("search-window", "win_width=800\nwin_height=600\n");
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

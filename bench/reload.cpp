// A reload of 16 generated libraries of 1000 parts: every library saved again (every
// thumbnail drawn) against one library saved again (only its thumbnails drawn, the
// others kept). Each iteration marks the files as saved, then times Reload to the end of
// the thumbnail build. The ratio is printed at the end. QURIX_BENCH_NEEDS_QT
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/QtBench.h"
#include "palette/QurixDoc.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/QurixApp.h"

namespace {

using namespace qurix;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// As the editor saving the first `count` libraries unchanged: a newer time.
void Save(const bench::CBenchPalette& palette, int count) {
    for (int lib = 0; lib < count; ++lib) {
        const fs::path p = palette.LibraryFile(lib);
        fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(1));
    }
}

double TimeReloads(benchmark::State& state, const bench::CBenchPalette& palette, int saved) {
    if (!palette.Started()) {
        state.SkipWithError("the palette did not start");
        return -1;
    }
    double total = 0;
    for (auto _ : state) {
        Save(palette, saved);
        const Clock::time_point begin = Clock::now();
        if (!palette.App().Document()->Reload()) {
            state.SkipWithError("the reload was refused");
            return -1;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    const CPartsView& parts = *palette.Frame().PartsList();
    state.counters["rendered"] = parts.LastBuild().rendered;
    state.counters["reused"] = parts.LastBuild().reused;
    return total / static_cast<double>(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
    const bench::CQtBench qt(argc, argv);
    if (!qt.ArgumentsOk()) return 1;

    // No watching: the benchmark reloads by itself.
    const bench::CBenchPalette palette("reload", "auto_reload=0\n");
    double full = 0;
    double one = 0;
    benchmark::RegisterBenchmark(
        "BM_ReloadAllSaved",
        [&](benchmark::State& s) { full = TimeReloads(s, palette, bench::BENCH_LIBRARIES); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
    benchmark::RegisterBenchmark("BM_ReloadOneSaved",
                                 [&](benchmark::State& s) { one = TimeReloads(s, palette, 1); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (full > 0 && one > 0) {
        std::printf("%d libraries x %d parts: all saved %.0f ms, one saved %.0f ms, one/all %.3f\n",
                    bench::BENCH_LIBRARIES, bench::BENCH_PARTS, full * 1000, one * 1000,
                    one / full);
    }
    return 0;
}

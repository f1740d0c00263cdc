// Start-up of the palette up to the first painted parts list, on a configuration of 16
// generated libraries of 500 parts each: cold (no thumbnail cache, every part is drawn
// under the progress dialog) and warm (a valid cache, the images are read back). Both
// are timed from the creation of the application object to the first paint of the parts
// list showing the remembered library; closing and saving are not timed. The cold start
// runs drawing on one thread and on one per core ("render_threads"); the ratios are
// printed at the end. QURIX_BENCH_NEEDS_QT
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/GeneratedParts.h"
#include "bench/QtBench.h"
#include "core/profile/Profile.h"
#include "palette/ConfigLocation.h"
#include "render/ThumbnailPool.h"
#include "tests/ScratchFolder.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/QurixApp.h"

namespace {

using namespace qurix;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int LIBRARIES = 16;
constexpr int PARTS_PER_LIBRARY = 500;
constexpr auto MAX_WAIT = std::chrono::seconds(600);

// The generated configuration in a temporary folder, which is also the working folder
// (and so holds the cache). Removed at the end.
class CConfiguration {
public:
    CConfiguration() {
        fs::create_directories(root_ / "bin");
        fs::create_directories(root_ / "work");
        for (int lib = 0; lib < LIBRARIES; ++lib) {
            const std::string file = "lib" + std::to_string(lib) + ".lib";
            std::ofstream(root_ / "work" / file, std::ios::binary)
                << bench::StartupLibraryText(lib, PARTS_PER_LIBRARY);
        }
        std::ofstream(root_ / "work" / "KIVOX.INI", std::ios::binary)
            << bench::StartupIniText(LIBRARIES);
        oldCwd_ = fs::current_path();
        fs::current_path(root_ / "work");
    }
    ~CConfiguration() {
        std::error_code ec;
        fs::current_path(oldCwd_, ec);
    }
    CConfiguration(const CConfiguration&) = delete;
    CConfiguration& operator=(const CConfiguration&) = delete;

    ConfigLocationInputs Where() const {
        return FolderConfigLocationInputs((root_ / "bin" / "qurix").string(),
                                          (root_ / "work").string());
    }
    void DropCache() const {
        std::error_code ec;
        fs::remove_all(root_ / "work" / "cache", ec);
    }
    bool HasCache() const { return fs::exists(root_ / "work" / "cache" / "largeimage.cache"); }
    // 0: one per core.
    void SetRenderThreads(int32_t threads) const {
        CProfile((root_ / "work" / "KIVOX.INI").string())
            .WriteInt("qurix", "render_threads", threads);
    }

private:
    test::ScratchFolder scratch_;
    fs::path root_{scratch_.Path()};
    fs::path oldCwd_;
};

struct Results {
    double coldOneThread = 0;
    double coldPool = 0;
    double warmSeconds = 0;
};

// One start to the first painted parts list; the seconds it took, or a negative number
// when it failed. The palette is closed afterwards (saving its cache when it drew).
double StartOnce(const CConfiguration& config, int32_t& rendered, int32_t& reused) {
    const Clock::time_point begin = Clock::now();
    auto app = std::make_unique<CQurixApp>();
    if (!app->InitInstance(config.Where())) return -1;
    CPartsView& parts = *app->MainFrame()->PartsList();
    while (parts.PaintCount() == 0 || parts.ItemCount() == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (Clock::now() - begin > MAX_WAIT) return -1;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    rendered = parts.LastBuild().rendered;
    reused = parts.LastBuild().reused;
    app->MainFrame()->close();
    app.reset();
    return seconds;
}

// Times starts until the benchmark has enough; a cold start drops the cache before each.
// Returns the mean in seconds, or -1 when the palette did not start.
double TimeStarts(benchmark::State& state, const CConfiguration& config, bool cold) {
    int32_t rendered = 0;
    int32_t reused = 0;
    // A warm start needs a cache to find: the first start makes it.
    if (!cold && !config.HasCache() && StartOnce(config, rendered, reused) < 0) {
        state.SkipWithError("the palette did not start");
        return -1;
    }
    double total = 0;
    for (auto _ : state) {
        if (cold) config.DropCache();
        const double seconds = StartOnce(config, rendered, reused);
        if (seconds < 0) {
            state.SkipWithError("the palette did not start");
            return -1;
        }
        state.SetIterationTime(seconds);
        total += seconds;
    }
    state.counters["rendered"] = rendered;
    state.counters["reused"] = reused;
    return total / static_cast<double>(state.iterations());
}

// The argument is the number of drawing threads.
void ColdStart(benchmark::State& state, const CConfiguration& config, Results& results) {
    const auto threads = static_cast<int32_t>(state.range(0));
    config.SetRenderThreads(threads);
    (threads == 1 ? results.coldOneThread : results.coldPool) = TimeStarts(state, config, true);
    config.SetRenderThreads(0);
}

void WarmStart(benchmark::State& state, const CConfiguration& config, Results& results) {
    results.warmSeconds = TimeStarts(state, config, false);
}

}  // namespace

int main(int argc, char** argv) {
    const bench::CQtBench qt(argc, argv);
    if (!qt.ArgumentsOk()) return 1;

    const CConfiguration config;
    Results results;
    // One per core, and at least two so that the pool is measured on one core too.
    const int32_t poolThreads = std::max(CThumbnailPool::ThreadCount(0), 2);
    benchmark::RegisterBenchmark("BM_ColdStart",
                                 [&](benchmark::State& s) { ColdStart(s, config, results); })
        ->ArgName("threads")
        ->Arg(1)
        ->Arg(poolThreads)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("BM_WarmStart",
                                 [&](benchmark::State& s) { WarmStart(s, config, results); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (results.coldPool > 0 && results.warmSeconds > 0) {
        std::printf("%d libraries x %d parts: cold %.0f ms, warm %.0f ms, cold/warm %.1f\n",
                    LIBRARIES, PARTS_PER_LIBRARY, results.coldPool * 1000,
                    results.warmSeconds * 1000, results.coldPool / results.warmSeconds);
    }
    if (results.coldOneThread > 0 && results.coldPool > 0) {
        std::printf("cold start: one thread %.0f ms, %d threads %.0f ms, one/pool %.2f\n",
                    results.coldOneThread * 1000, poolThreads, results.coldPool * 1000,
                    results.coldOneThread / results.coldPool);
    }
    return 0;
}

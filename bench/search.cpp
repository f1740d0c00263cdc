// The part search on a large set: 16 libraries of 1000 parts, each with a note in
// Japanese or in English, one part in ten with an alias. Times one query as a keystroke
// makes it (1, 2 and 3 characters, and two terms), and the index build after a load.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/GeneratedParts.h"
#include "core/library/LibrarySet.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"
#include "core/search/PartIndex.h"

namespace {

constexpr int LIBRARIES = 16;
constexpr int PARTS = 1000;

// The libraries are written and loaded once for all benchmarks.
struct BenchSet {
    BenchSet() {
        folder = std::filesystem::temp_directory_path() /
                 ("qurix-bench-search-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        std::string ini = "[Library]\n";
        for (int lib = 0; lib < LIBRARIES; ++lib) {
            const std::string file = "lib" + std::to_string(lib) + ".lib";
            std::ofstream(folder / file, std::ios::binary)
                << qurix::bench::SearchLibraryText(lib, PARTS);
            ini += "LIB" + std::to_string(lib) + "=" + file + "\n";
        }
        const std::string iniPath = (folder / "KIVOX.INI").string();
        std::ofstream(iniPath, std::ios::binary) << ini;
        set.LoadLibrarySet(qurix::CProfile(iniPath), qurix::ConfigFolder(iniPath));
        index.Build(set);
    }
    ~BenchSet() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::filesystem::path folder;
    qurix::CLibrarySet set;
    qurix::CPartIndex index;
};

BenchSet& Shared() {
    static BenchSet set;
    return set;
}

void Query(benchmark::State& state, const char* query) {
    BenchSet& shared = Shared();
    size_t hits = 0;
    for (auto _ : state) {
        const auto found = shared.index.Find(query);
        hits = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["parts"] = shared.index.PartCount();
    state.counters["hits"] = static_cast<double>(hits);
}

void BM_IndexBuild(benchmark::State& state) {
    BenchSet& shared = Shared();
    for (auto _ : state) {
        qurix::CPartIndex index;
        index.Build(shared.set);
        benchmark::DoNotOptimize(index.PartCount());
    }
}

}  // namespace

BENCHMARK_CAPTURE(Query, OneChar, "r")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Query, TwoChars, "hc")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Query, ThreeKana, "ちっぷ")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Query, TwoTerms, "74 nand")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Query, TwoTermsJapanese, "おぺあんぷ 出力")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Query, NoHit, "zzz")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

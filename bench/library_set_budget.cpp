// Memory of a library set under its budget: sixteen copies of a 20 MB library of 79
// patterns that each declare a 16 MiB bitmap, and sixteen of a 5.8 MB library of 187 244
// tiny parts (the budget leaves all but two of those out). Reported with what the set
// keeps by the budget's count, the libraries loaded and the process's peak RSS.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/GeneratedParts.h"
#include "core/library/LibrarySet.h"
#include "core/platform/TempFiles.h"
#include "core/profile/Profile.h"

namespace {

// A folder with KIVOX.INI naming sixteen copies of text, removed with the object (the
// copies take hundreds of megabytes).
struct SetFolder {
    explicit SetFolder(const std::string& text)
        : folder(qurix::MakeTemporaryFolder("qurix-bench-budget")) {
        if (folder.empty()) return;
        for (int lib = 0; lib < 16; ++lib) {
            std::ofstream(folder + "/lib" + std::to_string(lib) + ".lib", std::ios::binary) << text;
        }
        std::ofstream(folder + "/KIVOX.INI", std::ios::binary) << qurix::bench::StartupIniText(16);
    }
    ~SetFolder() {
        std::error_code ec;
        if (!folder.empty()) std::filesystem::remove_all(folder, ec);
    }
    std::string folder;
};

void LoadSet(benchmark::State& state, const std::string& folder) {
    const qurix::CProfile profile(folder + "/KIVOX.INI");
    int64_t kept = 0;
    int32_t loaded = 0;
    for (auto _ : state) {
        qurix::CLibrarySet set;
        set.LoadLibrarySet(profile, folder + "/");
        kept = 0;
        loaded = set.Count();
        for (int32_t i = 0; i < loaded; ++i) kept += set.GetLibrary(i)->KeptBytes();
        benchmark::DoNotOptimize(kept);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["kept_MiB"] = static_cast<double>(kept) / (1024.0 * 1024.0);
    state.counters["libraries"] = loaded;
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_WideBitmapSet(benchmark::State& state) {
    static const SetFolder set(qurix::bench::WideBitmapLibraryText());
    LoadSet(state, set.folder);
}
BENCHMARK(BM_WideBitmapSet)->Unit(benchmark::kMillisecond);

void BM_TinyPartsSet(benchmark::State& state) {
    static const SetFolder set(qurix::bench::TinyPartsLibraryText());
    LoadSet(state, set.folder);
}
BENCHMARK(BM_TinyPartsSet)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

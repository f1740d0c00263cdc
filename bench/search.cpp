// The part search on a large set: 16 libraries of 1000 parts, each with a note in
// Japanese or in English, one part in ten with an alias. Times one query as a keystroke
// makes it (1, 2 and 3 characters, and two terms), and the index build after a load.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
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

constexpr std::array<const char*, 8> PREFIXES = {"R",  "C",     "74HC",      "NE",
                                                 "LM", "抵抗_", "コネクタ-", "TL0"};
constexpr std::array<const char*, 4> NOTES = {
    "汎用オペアンプ。%0D%0A1=出力、2=−入力、3=＋入力。",
    "Quad%202-input%20NAND%20gate%2C%2014%20pins.",
    "チップ抵抗%201/8W%20（誤差1%25）",
    "General%20purpose%20connector%2C%20straight.",
};

std::string LibraryText(int lib) {
    std::string text = "+KIVOX_LIB_V.1.0\nPROP:bench\n";
    for (int i = 0; i < PARTS; ++i) {
        const std::string name =
            PREFIXES[static_cast<size_t>((i + lib) % 8)] + std::to_string(lib * PARTS + i);
        std::string part = qurix::bench::PartText(name, i);
        // The note goes in as the last key of the record.
        part.insert(part.size() - 6, std::string("NOTE:") + NOTES[i % NOTES.size()] + "\n");
        text += part;
        if (i % 10 == 0) text += "+ALIAS,N:" + name + ",A:ALT" + name + ",-ALIAS\n";
    }
    return text + "-KIVOX_LIB_V.1.0\n";
}

// The libraries are written and loaded once for all benchmarks.
struct BenchSet {
    BenchSet() {
        folder = std::filesystem::temp_directory_path() /
                 ("qurix-bench-search-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        std::string ini = "[Library]\n";
        for (int lib = 0; lib < LIBRARIES; ++lib) {
            const std::string file = "lib" + std::to_string(lib) + ".lib";
            std::ofstream(folder / file, std::ios::binary) << LibraryText(lib);
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

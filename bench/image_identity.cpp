// What tying cached images to their parts costs a warm start: the identity of every part
// (its definition written out and hashed), against writing alone. QURIX_BENCH_NEEDS_QT
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/GeneratedParts.h"
#include "core/library/PartLibrary.h"
#include "palette/ImageCache.h"

namespace {

using namespace qurix;

constexpr int PART_COUNT = 8000;  // the start-up benchmark's 16 x 500

const CPartLibrary& Library() {
    static CPartLibrary library;
    if (library.EntryCount() == 0) {
        std::string text = "+KIVOX_LIB_V.1.0\n";
        for (int k = 0; k < PART_COUNT; ++k) {
            // Appended, not "P" + string: g++ 12 -O3 warns falsely on the latter.
            std::string name = "P";
            name.append(std::to_string(k));
            text += bench::PartText(name, k);
        }
        text += "-KIVOX_LIB_V.1.0\n";
        FILE* f = fmemopen(text.data(), text.size(), "r");
        if (f == nullptr || !library.LoadStream(f, "/bench/generated.lib")) std::exit(1);
        std::fclose(f);
    }
    return library;
}

void BM_ImageIdentity(benchmark::State& state) {
    const CPartLibrary& library = Library();
    for (auto _ : state) {
        uint64_t all = 0;
        for (int32_t e = 0; e < library.EntryCount(); ++e) {
            all ^= ImageIdentity(library.Path(), *library.Entry(e));
        }
        benchmark::DoNotOptimize(all);
    }
    state.SetItemsProcessed(state.iterations() * library.EntryCount());
}
BENCHMARK(BM_ImageIdentity)->Unit(benchmark::kMillisecond);

// The floor: the definitions written, nothing hashed.
void BM_WriteOnly(benchmark::State& state) {
    const CPartLibrary& library = Library();
    std::string written;
    for (auto _ : state) {
        size_t bytes = 0;
        for (int32_t e = 0; e < library.EntryCount(); ++e) {
            const CLibEntry& entry = *library.Entry(e);
            written.clear();
            CRecordWriter writer(&written);
            entry.ComponentDef()->WriteComponent(writer, entry.Name());
            bytes += written.size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * library.EntryCount());
}
BENCHMARK(BM_WriteOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

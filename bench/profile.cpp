// INI look-ups and writes on files the editor might leave behind: a typical KIVOX.INI
// and one whose sections hold long runs of lines without '=' (notes, pasted lists).
#include <benchmark/benchmark.h>

#include <string>

#include "core/profile/Profile.h"

namespace {

// The palette's own keys at the end of a file whose Library section carries `filler`
// bytes of short lines without '='.
std::string IniText(size_t filler) {
    std::string text = "[DefaultColor]\r\nBG=16777215\r\nComponent=255\r\n[Library]\r\n";
    while (text.size() < filler) text += "notes\r\n";
    for (int i = 0; i < 16; ++i)
        text += "LIB" + std::to_string(i) + "=lib" + std::to_string(i) + ".lib\r\n";
    text += "[qurix]\r\nparts_style=1\r\nplib_last=3\r\n";
    return text;
}

void BM_LookupLastKey(benchmark::State& state) {
    const std::string text = IniText(static_cast<size_t>(state.range(0)));
    std::string value;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qurix::CProfile::Lookup(text, "qurix", "plib_last", value));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LookupLastKey)->Arg(0)->Arg(64 << 10)->Arg(256 << 10)->Unit(benchmark::kMicrosecond);

void BM_UpdateLastKey(benchmark::State& state) {
    const std::string text = IniText(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(qurix::CProfile::Update(text, "qurix", "plib_last", "4"));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_UpdateLastKey)->Arg(0)->Arg(64 << 10)->Arg(256 << 10)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

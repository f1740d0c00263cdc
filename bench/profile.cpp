// INI look-ups and writes on files the editor might leave behind: a typical KIVOX.INI
// and one whose sections hold long runs of lines without '=' (notes, pasted lists).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "core/platform/TempFiles.h"
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

// A start and a close of the palette on a 50 MB KIVOX.INI (an editor that keeps long
// histories in it): about a hundred reads and one write at start, eleven writes at close.
// Arg 1 serves the start from one read and writes the close in one replace, as the palette
// does; arg 0 reads and replaces the file on every call.
void BM_LargeIniStartAndClose(benchmark::State& state) {
    const bool held = state.range(0) != 0;
    const std::string folder = qurix::MakeTemporaryFolder("qurix-bench-ini-");
    const std::string path = folder + "/KIVOX.INI";
    {
        std::string text = IniText(50 << 20);
        std::ofstream(path, std::ios::binary) << text;
    }
    const qurix::CProfile profile(path);
    const char* sections[] = {"DefaultColor", "Library", "Font", "qurix"};
    int round = 0;
    for (auto _ : state) {
        {
            std::optional<qurix::CProfile::CReadHold> hold;
            if (held) hold.emplace(profile);
            for (int i = 0; i < 96; ++i) {
                benchmark::DoNotOptimize(
                    profile.GetString(sections[i % 4], "LIB" + std::to_string(i % 16)));
            }
            profile.WriteInt("qurix", "parts_style", round % 4);
        }
        {
            std::optional<qurix::CProfile::CReadHold> hold;
            std::optional<qurix::CProfile::CWriteBatch> batch;
            if (held) {
                hold.emplace(profile);
                batch.emplace(profile);
            }
            for (const char* key :
                 {"win_width", "win_height", "plv_width", "plv_height", "prt_height",
                  "win_maximized", "win_x", "win_y", "plib_last", "preview_zoom", "preview_fit"}) {
                profile.WriteInt("qurix", key, round);
            }
        }
        ++round;
    }
    std::remove(path.c_str());
    std::remove(folder.c_str());
}
BENCHMARK(BM_LargeIniStartAndClose)->Arg(0)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

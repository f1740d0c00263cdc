// Tokenising speed of the library reader against the floor of reading the same
// bytes one at a time through the stream's buffer.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "core/records/RecordReader.h"

namespace {

// About 20 MB of library text shaped like real parts: pins, elements, escaped notes.
const std::string& LibraryFile() {
    static const std::string path = [] {
        std::string p = "/tmp/qurix-bench-records-" + std::to_string(getpid()) + ".lib";
        FILE* f = std::fopen(p.c_str(), "w");
        std::fputs("+KIVOX_LIB_V.1.0\nPROP:bench\n", f);
        size_t written = 0;
        for (int i = 0; written < 20u * 1024 * 1024; ++i) {
            char buf[1024];
            const int n = std::snprintf(
                buf, sizeof buf,
                "+PTN,N:P%d,X:40,Y:30\n+L,X:0,Y:0,X:40,Y:30,W:1,-L\n"
                "+AR,X:0,Y:0,X:40,Y:30,B:100,E:2000,-AR\n+TX,X:5,Y:5,T:Label%%20%d,-TX\n-PTN\n"
                "+COMP,N:PART%d\nX:4,Y:3,B:1\nR:U\nP:P%d\n"
                "+PIN,N:\\A\\B,L:L1,T:ZN,M:1,-PIN\n+PIN,N:OUT,L:R2,T:,M:2,-PIN\n"
                "NOTE:A%%20note%%2C%%20with%%20escapes\n-COMP\n",
                i, i, i, i);
            std::fwrite(buf, 1, static_cast<size_t>(n), f);
            written += static_cast<size_t>(n);
        }
        std::fputs("-KIVOX_LIB_V.1.0\n", f);
        std::fclose(f);
        std::atexit([] { std::remove(LibraryFile().c_str()); });
        return p;
    }();
    return path;
}

int64_t FileSize() {
    FILE* f = std::fopen(LibraryFile().c_str(), "r");
    std::fseek(f, 0, SEEK_END);
    const int64_t n = std::ftell(f);
    std::fclose(f);
    return n;
}

// Token is std::string (each token copied) or std::string_view (tokens as views, the way
// the library readers take them).
template <typename Token>
void Tokenise(benchmark::State& state) {
    const int64_t size = FileSize();
    for (auto _ : state) {
        FILE* f = std::fopen(LibraryFile().c_str(), "r");
        qurix::CRecordReader reader(f);
        Token token;
        int64_t tokens = 0;
        while (reader.ReadToken(token) != -1) ++tokens;
        benchmark::DoNotOptimize(tokens);
        std::fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * size);
}

void BM_Tokenise(benchmark::State& state) {
    Tokenise<std::string>(state);
}
BENCHMARK(BM_Tokenise)->Unit(benchmark::kMillisecond);

void BM_TokeniseViews(benchmark::State& state) {
    Tokenise<std::string_view>(state);
}
BENCHMARK(BM_TokeniseViews)->Unit(benchmark::kMillisecond);

void BM_BareRead(benchmark::State& state) {
    const int64_t size = FileSize();
    for (auto _ : state) {
        FILE* f = std::fopen(LibraryFile().c_str(), "r");
        int64_t commas = 0;
        int c;
        while ((c = getc_unlocked(f)) != EOF) commas += c == ',';
        benchmark::DoNotOptimize(commas);
        std::fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_BareRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Loading speed of a large library: 50 000 parts, each with its own pattern and pins,
// one in ten with an alias, some drawn with a bitmap. Reported as bytes and parts per
// second, beside a bare byte-by-byte read of the same file, with the memory a load
// takes (RSS) and the ratios that the loader is held to.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

#include "core/library/PartLibrary.h"
#include "core/records/RecordWriter.h"

namespace {

constexpr int PARTS = 50000;

std::string PartText(int i) {
    char buf[2048];
    std::string text;
    if (i % 25 == 0) {
        // A 24 x 8 bitmap body.
        std::snprintf(buf, sizeof buf, "+PTN,N:P%d,X:24,Y:8\n+BMP\n", i);
        text += buf;
        for (int r = 0; r < 8; ++r) text += "OO@@OOH@@A@@\n";
        text += "-BMP\n-PTN\n";
    } else {
        std::snprintf(buf, sizeof buf,
                      "+PTN,N:P%d,X:40,Y:30\n"
                      "+L,W:1,S:0,X:0,Y:0,X:20,Y:0,-L\n"
                      "+L,W:1,S:0,X:0,Y:30,X:20,Y:30,-L\n"
                      "+AR,W:1,S:0,X:20,Y:15,R:15,B:-1440,E:1440,-AR\n"
                      "+C,W:1,S:0,F:0,X:35,Y:12,X:41,Y:18,-C\n"
                      "+PG,W:1,S:0,F:1,N:3,X:0,Y:0,X:10,Y:5,X:0,Y:10,-PG\n"
                      "+TX,X:5,Y:5,A:0,D:1,S:U%d,FN:,FS:8,FF:,-TX\n"
                      "-PTN\n",
                      i, i);
        text += buf;
    }
    std::snprintf(buf, sizeof buf,
                  "+COMP,N:PART%d\nX:4,Y:3,B:2\nR:U\nP:P%d\n"
                  "+PIN,N:A,L:L1,T:,M:1,M:4,-PIN\n"
                  "+PIN,N:B,L:L2,T:,M:2,M:5,-PIN\n"
                  "+PIN,N:\\Y,L:R1,T:N,M:3,M:6,-PIN\n"
                  "+PIN,N:CK,L:B2,T:C,M:7,M:7,-PIN\n"
                  "NOTE:Dual%%20gate%%2C%%20part%%20%d,-COMP\n",
                  i, i, i);
    text += buf;
    if (i % 10 == 0) {
        std::snprintf(buf, sizeof buf, "+ALIAS,N:PART%d,A:ALT%d,-ALIAS\n", i, i);
        text += buf;
    }
    return text;
}

struct BenchFile {
    std::string path;
    int64_t size = 0;
    int64_t entries = 0;
};

const BenchFile& LibraryFile() {
    static const BenchFile file = [] {
        BenchFile f;
        f.path = "/tmp/qurix-bench-library-" + std::to_string(getpid()) + ".lib";
        FILE* out = std::fopen(f.path.c_str(), "w");
        std::string text = "+KIVOX_LIB_V.1.0\nPROP:bench\n";
        for (int i = 0; i < PARTS; ++i) {
            text += PartText(i);
            if (text.size() > (1u << 20)) {
                std::fwrite(text.data(), 1, text.size(), out);
                text.clear();
            }
        }
        text += "-KIVOX_LIB_V.1.0\n";
        std::fwrite(text.data(), 1, text.size(), out);
        f.size = std::ftell(out);
        std::fclose(out);
        f.entries = PARTS + PARTS / 10;
        return f;
    }();
    // Registered once the file above is made, so that it runs before the file is destroyed
    // (registered inside its making, it ran after, and every run left the file behind).
    static const bool removed = [] {
        std::atexit([] { std::remove(file.path.c_str()); });
        return true;
    }();
    static_cast<void>(removed);
    return file;
}

// A "VmXXX:" figure of /proc/self/status in bytes, or -1.
int64_t StatusBytes(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) return std::atoll(line.c_str() + std::strlen(key)) * 1024;
    }
    return -1;
}

// In a child forked with a trimmed heap and its peak reset: the peak RSS of loading the
// library above what the child held before, in bytes, or -1.
int64_t LoadPeakBytes(const std::string& path) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        // What a load takes from the system: without the blocks earlier loads left.
        qurix::CArena::ReleaseSpareBlocks();
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak to the current RSS
        const int64_t before = StatusBytes("VmRSS:");
        qurix::CPartLibrary library;
        int64_t peak = -1;
        if (library.LoadFile(path) && before >= 0) peak = StatusBytes("VmHWM:") - before;
        const ssize_t n = write(fds[1], &peak, sizeof peak);
        _exit(n == sizeof peak ? 0 : 1);
    }
    close(fds[1]);
    int64_t peak = -1;
    if (child < 0 || read(fds[0], &peak, sizeof peak) != sizeof peak) peak = -1;
    close(fds[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return peak;
}

// CPU time of the process (one thread) in milliseconds, which other programs on the
// machine do not stretch the way they stretch the wall clock.
struct CpuClock {
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    }
};

// One load and one free timed by hand beside one bare read, and the peak memory of a
// load: the figures the loader's goals are stated in, as ratios of one run.
void BM_LoadRatios(benchmark::State& state) {
    const BenchFile& f = LibraryFile();
    double load = 0, free = 0, bare = 0;
    // The first load takes all its memory new from the system, the later ones mostly the
    // blocks the one before gave back: the first is reported on its own as well.
    qurix::CArena::ReleaseSpareBlocks();
    double coldLoad = -1, coldBare = -1;
    for (auto _ : state) {
        const double t0 = CpuClock::now();
        FILE* in = std::fopen(f.path.c_str(), "r");
        int64_t commas = 0;
        for (int c; (c = getc_unlocked(in)) != EOF;) commas += c == ',';
        benchmark::DoNotOptimize(commas);
        std::fclose(in);
        const double t1 = CpuClock::now();
        auto library = std::make_unique<qurix::CPartLibrary>();
        if (!library->LoadFile(f.path)) {
            state.SkipWithError("the generated library did not load");
            return;
        }
        const double t2 = CpuClock::now();
        library.reset();
        const double t3 = CpuClock::now();
        bare += t1 - t0;
        load += t2 - t1;
        free += t3 - t2;
        if (coldLoad < 0) {
            coldLoad = t2 - t1;
            coldBare = t1 - t0;
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["load_ms"] = load / n;
    state.counters["free_ms"] = free / n;
    state.counters["bare_ms"] = bare / n;
    state.counters["load_per_bare"] = bare / load;  // goal: at least 0.25
    state.counters["cold_load_ms"] = coldLoad;
    state.counters["cold_load_per_bare"] = coldBare / coldLoad;
    state.counters["free_per_load"] = free / load;  // goal: at most 0.1
    const int64_t peak = LoadPeakBytes(f.path);
    state.counters["rss_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["rss_per_file"] = static_cast<double>(peak) / static_cast<double>(f.size);
}
// First, while the process holds little.
BENCHMARK(BM_LoadRatios)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadLibrary(benchmark::State& state) {
    const BenchFile& f = LibraryFile();
    for (auto _ : state) {
        auto library = std::make_unique<qurix::CPartLibrary>();
        if (!library->LoadFile(f.path) || library->EntryCount() != f.entries) {
            state.SkipWithError("the generated library did not load whole");
            break;
        }
        benchmark::DoNotOptimize(library->Entry(0));
        // Freeing is measured on its own below.
        state.PauseTiming();
        library.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * f.size);
    state.SetItemsProcessed(state.iterations() * PARTS);
    state.counters["parts"] = PARTS;
    state.counters["MB"] = static_cast<double>(f.size) / 1e6;
}
BENCHMARK(BM_LoadLibrary)->Unit(benchmark::kMillisecond);

void BM_FreeLibrary(benchmark::State& state) {
    const BenchFile& f = LibraryFile();
    for (auto _ : state) {
        state.PauseTiming();
        auto library = std::make_unique<qurix::CPartLibrary>();
        if (!library->LoadFile(f.path)) {
            state.SkipWithError("the generated library did not load");
            break;
        }
        state.ResumeTiming();
        library.reset();
    }
    state.SetItemsProcessed(state.iterations() * PARTS);
}
BENCHMARK(BM_FreeLibrary)->Unit(benchmark::kMillisecond);

void BM_BareReadLibrary(benchmark::State& state) {
    const BenchFile& f = LibraryFile();
    for (auto _ : state) {
        FILE* in = std::fopen(f.path.c_str(), "r");
        int64_t commas = 0;
        int c;
        while ((c = getc_unlocked(in)) != EOF) commas += c == ',';
        benchmark::DoNotOptimize(commas);
        std::fclose(in);
    }
    state.SetBytesProcessed(state.iterations() * f.size);
}
BENCHMARK(BM_BareReadLibrary)->Unit(benchmark::kMillisecond);

void BM_WriteLibrary(benchmark::State& state) {
    const BenchFile& f = LibraryFile();
    qurix::CPartLibrary library;
    if (!library.LoadFile(f.path)) {
        state.SkipWithError("the generated library did not load");
        return;
    }
    int64_t bytes = 0;
    for (auto _ : state) {
        std::string out;
        out.reserve(static_cast<size_t>(f.size) * 2);
        qurix::CRecordWriter writer(&out);
        benchmark::DoNotOptimize(library.WriteLibrary(writer));
        bytes += static_cast<int64_t>(out.size());
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * library.EntryCount());
}
BENCHMARK(BM_WriteLibrary)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

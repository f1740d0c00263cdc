// What reading the thumbnail cache costs a start, for 2000 typical parts drawn once: the
// two image files taken packed (what a start does now) against decoding every image into
// a full image (what it did before), and the floor of checking the files' CRCs alone. The
// bytes each part holds in memory are printed as counters. QURIX_BENCH_NEEDS_QT
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/GeneratedParts.h"
#include "bench/QtBench.h"
#include "core/library/PartLibrary.h"
#include "palette/ImageCache.h"
#include "render/DisplaySettings.h"
#include "render/Thumbnails.h"
#include "render/qt/QtBridge.h"
#include "render/qt/QtCanvas.h"

namespace {

using namespace qurix;

constexpr int PART_COUNT = 2000;

// The two cache files of the generated parts, as bytes.
struct Files {
    std::string large;
    std::string smallImage;
};

const Files& CacheFiles() {
    static const Files files = [] {
        std::string text = bench::StartupLibraryText(0, PART_COUNT);
        CPartLibrary library;
        FILE* f = fmemopen(text.data(), text.size(), "r");
        if (f == nullptr || !library.LoadStream(f, "generated.lib")) std::exit(1);
        std::fclose(f);
        CDisplaySettings settings;
        settings.labelRenderer = std::make_unique<CTextRenderer>(settings.labelFont);
        settings.compNameRenderer = std::make_unique<CTextRenderer>(settings.compNameFont);
        const CanvasMaker maker = QtCanvasMaker(settings.colours.Get(ColourKey::BG));
        ThumbnailSet set;
        for (int32_t e = 0; e < library.EntryCount(); ++e) {
            const PartThumbnails t = MakePartThumbnails(maker, settings, *library.Entry(e));
            if (!t.IsValid()) continue;
            set.large.Append(t.large);
            set.smallImage.Append(t.smallImage);
            set.entries.push_back(e);
            set.identities.push_back(ImageIdentity(library.Path(), *library.Entry(e)));
        }
        const CacheStamp stamp{1, 2, 3};
        return Files{
            EncodeImageFile(set.large, set.entries, set.identities, LARGE_THUMB_SIZE, stamp),
            EncodeImageFile(set.smallImage, set.entries, set.identities, SMALL_THUMB_SIZE, stamp)};
    }();
    return files;
}

// Parts per second, and the bytes the images of one part hold.
void CountParts(benchmark::State& state, size_t held) {
    state.counters["bytes_per_part"] = static_cast<double>(held) / PART_COUNT;
    state.SetItemsProcessed(state.iterations() * PART_COUNT);
}

// Both files read as a start reads them: checked and kept packed.
void BM_ReadPacked(benchmark::State& state) {
    const Files& files = CacheFiles();
    size_t held = 0;
    for (auto _ : state) {
        ThumbnailSet set;
        std::vector<int32_t> entries;
        std::vector<uint64_t> identities;
        CacheStamp stamp;
        if (!DecodeImageFile(files.large, LARGE_THUMB_SIZE, set.large, set.entries, set.identities,
                             stamp) ||
            !DecodeImageFile(files.smallImage, SMALL_THUMB_SIZE, set.smallImage, entries,
                             identities, stamp)) {
            state.SkipWithError("the files did not read back");
            return;
        }
        held = set.large.HeldBytes() + set.smallImage.HeldBytes();
        benchmark::DoNotOptimize(set);
    }
    CountParts(state, held);
}
BENCHMARK(BM_ReadPacked)->Unit(benchmark::kMillisecond);

// Both files with every image decoded, as every start did before.
void BM_ReadDecoded(benchmark::State& state) {
    const Files& files = CacheFiles();
    size_t held = 0;
    for (auto _ : state) {
        std::vector<ArgbImage> large;
        std::vector<ArgbImage> smallImage;
        std::vector<int32_t> entries;
        std::vector<uint64_t> identities;
        CacheStamp stamp;
        if (!DecodeImageFile(files.large, LARGE_THUMB_SIZE, large, entries, identities, stamp) ||
            !DecodeImageFile(files.smallImage, SMALL_THUMB_SIZE, smallImage, entries, identities,
                             stamp)) {
            state.SkipWithError("the files did not read back");
            return;
        }
        held = 0;
        for (const ArgbImage& image : large) held += image.pixels.size() * 4;
        for (const ArgbImage& image : smallImage) held += image.pixels.size() * 4;
        benchmark::DoNotOptimize(large);
    }
    CountParts(state, held);
}
BENCHMARK(BM_ReadDecoded)->Unit(benchmark::kMillisecond);

// The floor: the CRCs of both files, nothing taken out of them.
void BM_CrcOnly(benchmark::State& state) {
    const Files& files = CacheFiles();
    for (auto _ : state) {
        uint32_t crc = Crc32(files.large.data(), files.large.size());
        crc ^= Crc32(files.smallImage.data(), files.smallImage.size());
        benchmark::DoNotOptimize(crc);
    }
    state.counters["file_bytes_per_part"] =
        static_cast<double>(files.large.size() + files.smallImage.size()) / PART_COUNT;
    state.SetItemsProcessed(state.iterations() * PART_COUNT);
}
BENCHMARK(BM_CrcOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    const qurix::bench::CQtBench qt(argc, argv);
    if (!qt.ArgumentsOk()) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

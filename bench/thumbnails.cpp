// Thumbnails per second over a generated library of 2000 typical parts, beside the floor
// of the same work without drawing: canvas, fill and the two resamplings only.
// QURIX_BENCH_NEEDS_QT
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/GeneratedParts.h"
#include "core/library/PartLibrary.h"
#include "render/DisplaySettings.h"
#include "render/Resample.h"
#include "render/Thumbnails.h"
#include "render/qt/QtBridge.h"

namespace {

using namespace qurix;

constexpr int PART_COUNT = 2000;

struct Setup {
    CPartLibrary library;
    CDisplaySettings settings;
    CanvasMaker maker;

    Setup() {
        std::string text = "+KIVOX_LIB_V.1.0\n";
        for (int k = 0; k < PART_COUNT; ++k) text += bench::PartText("PART" + std::to_string(k), k);
        text += "-KIVOX_LIB_V.1.0\n";
        FILE* f = fmemopen(text.data(), text.size(), "r");
        const bool ok = f != nullptr && library.LoadStream(f, "generated.lib");
        if (f != nullptr) std::fclose(f);
        if (!ok || library.EntryCount() != PART_COUNT) {
            std::fprintf(stderr, "generated library did not load (%d parts)\n",
                         library.EntryCount());
            std::exit(1);
        }
        settings.labelFont.height = 9;
        settings.labelFont.weight = 400;
        settings.labelFont.SetFaceName("Tahoma");
        settings.compNameFont = settings.labelFont;
        settings.labelRenderer = std::make_unique<CTextRenderer>(settings.labelFont);
        settings.compNameRenderer = std::make_unique<CTextRenderer>(settings.compNameFont);
        maker = QtCanvasMaker(settings.colours.Get(ColourKey::BG));
    }
};

Setup& Shared() {
    static Setup setup;
    return setup;
}

// The whole thumbnail: canvas, part drawn at full size, two resamplings, key colour.
void BM_Thumbnails(benchmark::State& state) {
    Setup& s = Shared();
    int k = 0;
    for (auto _ : state) {
        PartThumbnails t = MakePartThumbnails(s.maker, s.settings, *s.library.Entry(k));
        benchmark::DoNotOptimize(t);
        k = (k + 1) % PART_COUNT;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Thumbnails)->Unit(benchmark::kMicrosecond);

// The same canvases filled and shrunk twice, nothing drawn.
void BM_ThumbnailFloor(benchmark::State& state) {
    Setup& s = Shared();
    const Colour background = s.settings.colours.Get(ColourKey::BG);
    int k = 0;
    for (auto _ : state) {
        const ThumbnailGeometry g = ComputeThumbnailGeometry(*s.library.Entry(k));
        const std::unique_ptr<CDrawSurface> canvas = s.maker(g.side, g.side);
        canvas->FillRect(Rect{0, 0, g.side, g.side}, background);
        CanvasPixels pixels;
        canvas->ReadPixels(pixels);
        ArgbImage large = ResamplePixels(pixels, LARGE_THUMBNAIL_SIDE, LARGE_THUMBNAIL_SIDE);
        ArgbImage small = ResamplePixels(pixels, SMALL_THUMBNAIL_SIDE, SMALL_THUMBNAIL_SIDE);
        benchmark::DoNotOptimize(large);
        benchmark::DoNotOptimize(small);
        k = (k + 1) % PART_COUNT;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ThumbnailFloor)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

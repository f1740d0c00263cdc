// Thumbnails per second over a generated library of 2000 typical parts, beside the floor
// of the same work without drawing: canvas, fill and the two resamplings only, and all of
// them through the thumbnail pool on 1, 2 and 4 threads. Then the preview of a hostile
// part: 1000 one-pixel arcs (or circles) of radius 32000 around a 40 x 40 body, almost all
// of each outline far outside the canvas.
// QURIX_BENCH_NEEDS_QT
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/GeneratedParts.h"
#include "core/library/PartLibrary.h"
#include "render/DisplaySettings.h"
#include "render/Resample.h"
#include "render/ThumbnailPool.h"
#include "render/Thumbnails.h"
#include "render/qt/QtBridge.h"
#include "render/qt/QtCanvas.h"

namespace {

using namespace qurix;

constexpr int PART_COUNT = 2000;

// Loads text into library or ends the program: a benchmark without its data means nothing.
void LoadOrExit(CPartLibrary& library, std::string text, int32_t parts) {
    FILE* f = fmemopen(text.data(), text.size(), "r");
    const bool ok = f != nullptr && library.LoadStream(f, "generated.lib");
    if (f != nullptr) std::fclose(f);
    if (!ok || library.EntryCount() != parts) {
        std::fprintf(stderr, "generated library did not load (%d parts)\n", library.EntryCount());
        std::exit(1);
    }
}

struct Setup {
    CPartLibrary library;
    CDisplaySettings settings;
    CanvasMaker maker;

    explicit Setup(std::string text = {}, int32_t parts = PART_COUNT) {
        if (text.empty()) {
            text = "+KIVOX_LIB_V.1.0\n";
            for (int k = 0; k < PART_COUNT; ++k) {
                text += bench::PartText("PART" + std::to_string(k), k);
            }
            text += "-KIVOX_LIB_V.1.0\n";
        }
        LoadOrExit(library, std::move(text), parts);
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

// All the parts through the thumbnail pool, drawn by so many threads (1: the caller's).
void BM_ThumbnailPool(benchmark::State& state) {
    Setup& s = Shared();
    std::vector<const CLibEntry*> parts;
    for (int k = 0; k < PART_COUNT; ++k) parts.push_back(s.library.Entry(k));
    for (auto _ : state) {
        CThumbnailPool pool(s.settings, parts, static_cast<int32_t>(state.range(0)), QtCanvasMaker);
        for (int k = 0; k < PART_COUNT; ++k) benchmark::DoNotOptimize(pool.Next());
    }
    state.SetItemsProcessed(state.iterations() * PART_COUNT);
}
BENCHMARK(BM_ThumbnailPool)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
        ArgbImage smallImage = ResamplePixels(pixels, SMALL_THUMBNAIL_SIDE, SMALL_THUMBNAIL_SIDE);
        benchmark::DoNotOptimize(large);
        benchmark::DoNotOptimize(smallImage);
        k = (k + 1) % PART_COUNT;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ThumbnailFloor)->Unit(benchmark::kMicrosecond);

constexpr int FIGURES = 1000;
constexpr int RADIUS = 32000;

// One part named P whose pattern is FIGURES arcs (or circles) crossing the body.
std::string FarFiguresText(bool circles, bool dotted) {
    const std::string style = dotted ? "S:1" : "S:0";
    std::string text = "+KIVOX_LIB_V.1.0\n+PTN,N:P,X:400,Y:400\n";
    for (int k = 0; k < FIGURES; ++k) {
        // Centres spread to the left of the body so each outline runs through the canvas.
        const int cx = 200 - RADIUS + (k % 50);
        const int cy = 200 + (k / 50) - 10;
        if (circles) {
            text += "+C,W:1," + style + ",F:-1,X:" + std::to_string(cx - RADIUS) +
                    ",Y:" + std::to_string(cy - RADIUS) + ",X:" + std::to_string(cx + RADIUS) +
                    ",Y:" + std::to_string(cy + RADIUS) + ",-C\n";
        } else {
            text += "+AR,W:1," + style + ",X:" + std::to_string(cx) + ",Y:" + std::to_string(cy) +
                    ",R:" + std::to_string(RADIUS) + ",B:5400,E:360,-AR\n";
        }
    }
    text += "-PTN\n+COMP,N:P\nX:40,Y:40,B:1\nR:U\nP:P\n-COMP\n-KIVOX_LIB_V.1.0\n";
    return text;
}

void DrawFarFigures(benchmark::State& state, bool circles, bool dotted) {
    static Setup arcs(FarFiguresText(false, false), 1);
    static Setup rings(FarFiguresText(true, false), 1);
    static Setup dottedArcs(FarFiguresText(false, true), 1);
    static Setup dottedRings(FarFiguresText(true, true), 1);
    Setup& setup = dotted ? (circles ? dottedRings : dottedArcs) : (circles ? rings : arcs);
    const CLibEntry* entry = setup.library.Entry(0);
    const Point extent = PreviewExtent(entry);
    CQtCanvas canvas(extent.x, extent.y, setup.settings.colours.Get(ColourKey::BG));
    for (auto _ : state) {
        DrawPartPreview(canvas, setup.settings, entry);
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
    state.counters["figures/s"] = benchmark::Counter(
        FIGURES * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_PreviewOfFarArcs(benchmark::State& state) {
    DrawFarFigures(state, false, false);
}
void BM_PreviewOfFarCircles(benchmark::State& state) {
    DrawFarFigures(state, true, false);
}
// Dotted pens count their dots along the whole outline.
void BM_PreviewOfFarDottedArcs(benchmark::State& state) {
    DrawFarFigures(state, false, true);
}
void BM_PreviewOfFarDottedCircles(benchmark::State& state) {
    DrawFarFigures(state, true, true);
}
BENCHMARK(BM_PreviewOfFarArcs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOfFarCircles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOfFarDottedArcs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOfFarDottedCircles)->Unit(benchmark::kMillisecond);

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

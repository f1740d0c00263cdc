// Thumbnails per second over a generated library of 2000 typical parts, beside the floor
// of the same work without drawing: canvas, fill and the two resamplings only.
// QURIX_BENCH_NEEDS_QT
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string>

#include "core/library/PartLibrary.h"
#include "render/DisplaySettings.h"
#include "render/Resample.h"
#include "render/Thumbnails.h"
#include "render/qt/QtCanvas.h"

namespace {

using namespace qurix;

constexpr int PART_COUNT = 2000;

// Pins of one side: names with an overbar now and then, numbers counting up.
std::string Pins(char side, int count, int& number, const char* flags) {
    std::string s;
    for (int i = 0; i < count; ++i) {
        s += "+PIN,N:" + std::string(i % 5 == 4 ? "\\" : "") + "P" + std::to_string(number) +
             ",L:" + side + std::to_string(i + 1) + ",T:" + (i == 0 ? flags : "") +
             ",M:" + std::to_string(number) + ",-PIN\n";
        ++number;
    }
    return s;
}

// Four kinds of part, as a parts library holds them: two-pin passives with a small
// pattern, gates with arcs and a bubble, op-amps with a polygon and texts, and ICs of 8 to
// 40 pins drawn as a frame with named pins.
std::string PartText(int k) {
    const std::string name = "PART" + std::to_string(k);
    int number = 1;
    switch (k % 4) {
        case 0:
            return "+PTN,N:" + name + ",X:40,Y:20\n" +
                   "+L,X:0,Y:10,X:8,Y:10,-L\n+L,X:32,Y:10,X:40,Y:10,-L\n"
                   "+PG,N:4,X:8,Y:6,X:32,Y:6,X:32,Y:14,X:8,Y:14,-PG\n-PTN\n"
                   "+COMP,N:" +
                   name + "\nX:4,Y:2,B:1\nR:R\nP:" + name + "\n" + Pins('L', 1, number, "m") +
                   Pins('R', 1, number, "m") + "-COMP\n";
        case 1:
            return "+PTN,N:" + name + ",X:40,Y:40\n" +
                   "+L,X:0,Y:0,X:20,Y:0,-L\n+L,X:0,Y:0,X:0,Y:40,-L\n+L,X:0,Y:40,X:20,Y:40,-L\n"
                   "+AR,X:20,Y:20,R:20,B:4320,E:1440,-AR\n-PTN\n"
                   "+COMP,N:" +
                   name + "\nX:4,Y:4,B:4\nR:U\nP:" + name + "\n" + Pins('L', 2, number, "") +
                   Pins('R', 1, number, "N") + "-COMP\n";
        case 2:
            return "+PTN,N:" + name + ",X:40,Y:40\n" +
                   "+PG,N:3,X:0,Y:0,X:40,Y:20,X:0,Y:40,-PG\n"
                   "+TX,X:4,Y:14,A:8,S:-,-TX\n+TX,X:4,Y:28,A:8,S:+,-TX\n-PTN\n"
                   "+COMP,N:" +
                   name + "\nX:4,Y:4,B:2\nR:U\nP:" + name + "\n" + Pins('L', 2, number, "") +
                   Pins('R', 1, number, "") + Pins('T', 1, number, "") + Pins('B', 1, number, "") +
                   "-COMP\n";
        default: {
            const int perSide = 4 + (k / 4) % 17;  // 8 to 40 pins
            return "+COMP,N:" + name + "\nX:8,Y:" + std::to_string(perSide + 1) + ",B:1\nR:U\n" +
                   Pins('L', perSide, number, "C") + Pins('R', perSide, number, "N") + "-COMP\n";
        }
    }
}

struct Setup {
    CPartLibrary library;
    CDisplaySettings settings;
    CanvasMaker maker;

    Setup() {
        std::string text = "+KIVOX_LIB_V.1.0\n";
        for (int k = 0; k < PART_COUNT; ++k) text += PartText(k);
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
        const Colour background = settings.colours.Get(ColourKey::BG);
        maker = [background](int32_t w, int32_t h) -> std::unique_ptr<CDrawSurface> {
            return std::make_unique<CQtCanvas>(w, h, background);
        };
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

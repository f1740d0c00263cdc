// Preview of a part whose pattern holds 1000 one-pixel arcs (and, separately, circles) of
// radius 32000 drawing units around a 40 x 40 body: almost all of each outline lies far
// outside the canvas, so the time should follow the canvas, not the radius.
// QURIX_BENCH_NEEDS_QT
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/QtBenchMain.h"
#include "core/library/PartLibrary.h"
#include "render/DisplaySettings.h"
#include "render/Thumbnails.h"
#include "render/qt/QtCanvas.h"

namespace {

using namespace qurix;

constexpr int FIGURES = 1000;
constexpr int RADIUS = 32000;

// One part named P whose pattern is FIGURES arcs (or circles) crossing the body.
std::string LibraryText(bool circles, bool dotted) {
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

struct Setup {
    CPartLibrary library;
    CDisplaySettings settings;

    Setup(bool circles, bool dotted) {
        std::string text = LibraryText(circles, dotted);
        FILE* f = fmemopen(text.data(), text.size(), "r");
        const bool ok = f != nullptr && library.LoadStream(f, "hostile.lib");
        if (f != nullptr) std::fclose(f);
        if (!ok || library.EntryCount() != 1) {
            std::fprintf(stderr, "hostile library did not load\n");
            std::exit(1);
        }
        settings.labelFont.height = 9;
        settings.labelFont.SetFaceName("Tahoma");
        settings.compNameFont = settings.labelFont;
        settings.labelRenderer = std::make_unique<CTextRenderer>(settings.labelFont);
        settings.compNameRenderer = std::make_unique<CTextRenderer>(settings.compNameFont);
    }
};

void DrawPreview(benchmark::State& state, bool circles, bool dotted) {
    static Setup arcs(false, false);
    static Setup rings(true, false);
    static Setup dottedArcs(false, true);
    static Setup dottedRings(true, true);
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
    DrawPreview(state, false, false);
}
void BM_PreviewOfFarCircles(benchmark::State& state) {
    DrawPreview(state, true, false);
}
// Dotted pens count their dots along the whole outline.
void BM_PreviewOfFarDottedArcs(benchmark::State& state) {
    DrawPreview(state, false, true);
}
void BM_PreviewOfFarDottedCircles(benchmark::State& state) {
    DrawPreview(state, true, true);
}
BENCHMARK(BM_PreviewOfFarArcs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOfFarCircles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOfFarDottedArcs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOfFarDottedCircles)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return qurix::bench::RunWithGuiApplication(argc, argv);
}

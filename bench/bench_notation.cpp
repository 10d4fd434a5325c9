// The note glyph factory: installing a font (every note glyph read from its SVG file once), and the lookups
// that laying out notes makes for every unit and tone (a head outline, a flag, an accidental view, the
// drag preview), each a copy of a prototype. Lookups for a font that was never installed show the cost of
// falling back to "Default".
//
//   TOVRIN_RESOURCES=resources bench_notation
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVNoteViewFactory.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

TOVNoteViewFactory& factory() {
    static TOVNoteViewFactory* shared = [] {
        auto* f = new TOVNoteViewFactory();
        f->installPluginFontID("Default");
        return f;
    }();
    return *shared;
}

void BM_InstallDefaultFont(benchmark::State& state) {
    TOVNoteViewFactory f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.installPluginFontID("Default"));
    }
}
BENCHMARK(BM_InstallDefaultFont)->Unit(benchmark::kMillisecond);

void BM_HeadOutline(benchmark::State& state) {
    const std::string font = state.range(0) ? "NeverInstalled" : "Default";
    for (auto _ : state) {
        benchmark::DoNotOptimize(factory().bezierPathFromUnitLengthFontID(nullptr, 240, font));
    }
}
BENCHMARK(BM_HeadOutline)->Arg(0)->Arg(1);

void BM_FlippedFlag(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(factory().bezierPathFlagForLengthFlipFontID(60, true, "Default"));
    }
}
BENCHMARK(BM_FlippedFlag);

void BM_AccidentalView(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(factory().accidentalViewWithSymbolTypeFontID(TOVSymbolSharp, "Default"));
    }
}
BENCHMARK(BM_AccidentalView);

void BM_DragPreview(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(factory().tonePreviewForDraggingWithFontID("Default"));
    }
}
BENCHMARK(BM_DragPreview);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

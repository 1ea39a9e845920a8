// Drawing the whole play screen, and the paint's stretch of the logical
// picture onto the window in software.
#include "tests/bench/bench_game.h"

#include "render/draw.h"
#include "render/layout.h"
#include "render/surface.h"

#include <benchmark/benchmark.h>

namespace {
void DrawPlayfieldBench(benchmark::State& state) {
    OpenGame(320, 240);
    for (auto _ : state) DrawPlayfield();
    CloseGame();
}
BENCHMARK(DrawPlayfieldBench)->Name("DrawPlayfield");

// StretchToWindow into a window-sized surface, as PaintWindow shows it.
void Stretch(benchmark::State& state) {
    const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
    OpenGame(w, h);
    Surface window = CreateSurface(w, h);
    for (auto _ : state) {
        StretchToWindow(window);
        benchmark::DoNotOptimize(window.Pixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{w} * h * 4);
    ReleaseSurface(window);
    CloseGame();
}
BENCHMARK(Stretch)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
} // namespace

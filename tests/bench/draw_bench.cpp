// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the whole play screen, and the stretch every backend's present
// runs: the whole picture (the first frame, and after the window was
// uncovered), a tick in which the pair moved, and a tick with no change.
#include "tests/bench/bench_game.h"

#include "game/board.h"
#include "platform/stretch.h"
#include "render/draw.h"
#include "render/layout.h"
#include "render/surface.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {
void DrawPlayfieldBench(benchmark::State& state) {
    OpenGame(320, 240);
    for ([[maybe_unused]] auto _ : state) DrawPlayfield();
    CloseGame();
}
BENCHMARK(DrawPlayfieldBench)->Name("DrawPlayfield");

// The whole logical picture stretched over a window-sized surface.
void Stretch(benchmark::State& state) {
    const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
    OpenGame(w, h);
    Surface window = CreateSurface(w, h);
    for ([[maybe_unused]] auto _ : state) {
        StretchToWindow(window);
        benchmark::DoNotOptimize(window.Pixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{w} * h * 4);
    ReleaseSurface(window);
    CloseGame();
}
BENCHMARK(Stretch)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

// A present as the game makes one each tick: only the rows that changed
// since the last are stretched. range(2) 1: the pair moves a column every
// tick (its 32 logical rows and the Left button's); 0: nothing changed.
void PresentTick(benchmark::State& state) {
    const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
    const bool moving = state.range(2) != 0;
    OpenGame(w, h);
    StartPlaying();
    Surface window = CreateSurface(w, h);
    std::vector<uint32_t> last(static_cast<size_t>(Layout.LogicalWidth) * Layout.LogicalHeight);
    const StretchTarget target{window.Pixels, w, h, w};
    RowBand bands[16];
    StretchChanged(Layout.BackBuffer.Pixels, Layout.LogicalWidth, Layout.LogicalHeight,
                   Layout.BackBuffer.Width, last.data(), true, target, bands, 16);
    int32_t column = 0;
    for ([[maybe_unused]] auto _ : state) {
        if (moving) {
            state.PauseTiming();
            ErasePair();
            column = (column + 1) % 7;
            Board.Pair.PairColumn = column;
            DrawPair();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(StretchChanged(Layout.BackBuffer.Pixels, Layout.LogicalWidth,
                                                Layout.LogicalHeight, Layout.BackBuffer.Width,
                                                last.data(), false, target, bands, 16));
        benchmark::ClobberMemory();
    }
    ReleaseSurface(window);
    CloseGame();
}
BENCHMARK(PresentTick)
    ->Args({640, 480, 1})
    ->Args({1920, 1080, 1})
    ->Args({640, 480, 0})
    ->Args({1920, 1080, 0})
    ->Unit(benchmark::kMicrosecond);
} // namespace

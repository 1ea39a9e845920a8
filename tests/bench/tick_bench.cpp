// SPDX-License-Identifier: GPL-3.0-or-later
// The game's tick in each of its busy modes, with incremental drawing into
// the BackBuffer as the game does it.
#include "tests/bench/bench_game.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "input/input_state.h"
#include "render/draw.h"
#include "shell/app.h"

#include <benchmark/benchmark.h>

namespace {
void Tick() {
    LatchInput();
    GameTick();
}

// The pair back at the top of the well, still in play.
void NewPairAtTop() {
    ErasePair();
    Board.Pair.PairColumn = 3;
    Board.Pair.PairRow = 0;
    Board.FallCounter = 0;
    Flow.Mode = MODE_PLAY;
    DrawPair();
}

// A play tick over a partly filled well: mostly nothing but the fall
// counter, a row down every 21 ticks. When the pair locks it is put back at
// the top, untimed.
void PlayTick(benchmark::State& state) {
    OpenGame(320, 240);
    StartPlaying();
    FillWellPartly();
    for ([[maybe_unused]] auto _ : state) {
        Tick();
        if (Flow.Mode != MODE_PLAY) {
            state.PauseTiming();
            NewPairAtTop();
            state.ResumeTiming();
        }
    }
    CloseGame();
}
BENCHMARK(PlayTick)->Repetitions(9)->ReportAggregatesOnly(true);

// A play tick with a move on every tick (left and right in turn): the key,
// the pressed button drawn and released, the pair erased and drawn.
void PlayTickMoving(benchmark::State& state) {
    OpenGame(320, 240);
    StartPlaying();
    FillWellPartly();
    uint32_t n = 0;
    for ([[maybe_unused]] auto _ : state) {
        const uint32_t key = (++n & 1) != 0 ? VK_LEFT : VK_RIGHT;
        OnKeyDown(key);
        Tick();
        OnKeyUp(key);
        if (Flow.Mode != MODE_PLAY) {
            state.PauseTiming();
            NewPairAtTop();
            state.ResumeTiming();
        }
    }
    CloseGame();
}
BENCHMARK(PlayTickMoving)->Repetitions(9)->ReportAggregatesOnly(true);

// Ticks the loop slept through, as the shell runs them when it wakes: a
// thousand on a waiting title (the count a game's seed comes from), each
// with its latch, its checks of what to keep and of the screen's wake lock.
void SleptTitleTicks(benchmark::State& state) {
    OpenGame(320, 240);
    SetupTick(); // the title is drawn: from now on every tick is idle
    for ([[maybe_unused]] auto _ : state) TimerTicks(MainWindow, 999);
    state.counters["ticks/s"] = benchmark::Counter(1000.0 * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    CloseGame();
}
BENCHMARK(SleptTitleTicks)->Repetitions(5)->ReportAggregatesOnly(true);

// A well whose bottom row is seven equal arrows and whose left column ends
// in four: two passes' worth of lines crossing in a corner.
void LinesInTheWell() {
    for (int32_t i = 0; i < BoardCells; ++i) {
        Board.Cells[i] = 0;
        Match.Map[i] = 0;
    }
    for (int32_t col = 0; col < BoardColumns; ++col) {
        for (int32_t row = 0; row < BoardRows; ++row) EraseCell(col, row);
        BoardCell(col, BoardRows - 1) = ARROW_UP;
        DrawCell(col, BoardRows - 1, ARROW_UP);
    }
    for (int32_t row = BoardRows - 4; row < BoardRows - 1; ++row) {
        BoardCell(0, row) = ARROW_UP;
        DrawCell(0, row, ARROW_UP);
    }
    // Arrows above the lines, to fall.
    for (int32_t col = 1; col < BoardColumns; ++col) {
        const auto arrow = static_cast<uint8_t>(col % 4 + 1);
        BoardCell(col, BoardRows - 2) = arrow;
        DrawCell(col, BoardRows - 2, arrow);
    }
    Flow.Mode = MODE_RESOLVE;
    Flow.ResolvePhase = RESOLVE_MATCH;
    Match.ChainCount = 0;
    Match.ChainTotal = 0;
}

// The three ticks of a scoring pass: marking and clearing, gravity, scoring.
void ResolvePass(benchmark::State& state) {
    OpenGame(320, 240);
    StartPlaying();
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        LinesInTheWell();
        state.ResumeTiming();
        Tick();
        Tick();
        Tick();
    }
    state.counters["ticks/s"] = benchmark::Counter(3.0 * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    CloseGame();
}
BENCHMARK(ResolvePass);

// One of those ticks alone: 1 marking and clearing, 2 gravity, 3 scoring.
void ResolveTick(benchmark::State& state) {
    const auto phase = static_cast<int32_t>(state.range(0));
    OpenGame(320, 240);
    StartPlaying();
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        LinesInTheWell();
        while (Flow.ResolvePhase != phase) Tick();
        state.ResumeTiming();
        Tick();
    }
    CloseGame();
}
BENCHMARK(ResolveTick)->Arg(RESOLVE_MATCH)->Arg(RESOLVE_GRAVITY)->Arg(RESOLVE_SCORE);

// What pausing and resuming the clock costs by itself: the single resolve
// ticks above include it once per iteration.
void PauseResume(benchmark::State& state) {
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        state.ResumeTiming();
    }
}
BENCHMARK(PauseResume);

// A title tick waiting for a key.
void TitleTick(benchmark::State& state) {
    OpenGame(320, 240);
    for ([[maybe_unused]] auto _ : state) Tick();
    CloseGame();
}
BENCHMARK(TitleTick);

// The tick that draws the title screen (its picture decoded from the
// embedded bitmap each time).
void TitleDrawTick(benchmark::State& state) {
    OpenGame(320, 240);
    for ([[maybe_unused]] auto _ : state) {
        Flow.TitleDrawn = 0;
        Tick();
    }
    CloseGame();
}
BENCHMARK(TitleDrawTick);
} // namespace

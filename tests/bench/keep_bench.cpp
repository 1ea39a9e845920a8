// SPDX-License-Identifier: GPL-3.0-or-later
// What keeping the game costs: a checkpoint (the game encoded and written
// whole beside the old file, synced, renamed over it), beside the settings
// save it must not outlast, and the tick that deals a new pair with its
// checkpoint. The files go to a folder on the disk the game would use
// ($VANTLE_BENCH_DIR, else the current folder), not to memory.
#include "tests/bench/bench_game.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/snapshot.h"
#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/saved_game.h"
#include "shell/settings.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::string Folder() {
    const char* dir = std::getenv("VANTLE_BENCH_DIR");
    return dir != nullptr && dir[0] != 0 ? std::string(dir) : std::string(".");
}

struct Files {
    std::string settings, game;
    Files() : settings(Folder() + "/vantle-bench.dat"), game(Folder() + "/vantle-bench.sav") {
        SetSettingsPath(settings.c_str());
        SetGamePath(game.c_str());
    }
    ~Files() {
        SetGamePath("");
        SetSettingsPath("/dev/null/vantle.dat");
        std::remove(settings.c_str());
        std::remove(game.c_str());
    }
};

void EncodeOnly(benchmark::State& state) {
    OpenGame(320, 240);
    StartPlaying();
    FillWellPartly();
    uint8_t bytes[SnapshotSize];
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(EncodeGame(bytes));
    CloseGame();
}
BENCHMARK(EncodeOnly);

void DecodeOnly(benchmark::State& state) {
    OpenGame(320, 240);
    StartPlaying();
    FillWellPartly();
    uint8_t bytes[SnapshotSize];
    EncodeGame(bytes);
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(DecodeGame(bytes, sizeof bytes));
    CloseGame();
}
BENCHMARK(DecodeOnly);

void Checkpoint(benchmark::State& state) {
    OpenGame(320, 240);
    Files files;
    StartPlaying();
    FillWellPartly();
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(SaveGame());
    CloseGame();
}
BENCHMARK(Checkpoint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void SettingsSave(benchmark::State& state) {
    OpenGame(320, 240);
    Files files;
    for ([[maybe_unused]] auto _ : state) benchmark::DoNotOptimize(SaveSettings());
    CloseGame();
}
BENCHMARK(SettingsSave)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The timer tick that ends a landing with no line and deals the next pair,
// checkpoint and all, as the window's timer runs it.
void NewPairTick(benchmark::State& state) {
    OpenGame(320, 240);
    Files files;
    StartPlaying();
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        Flow.Mode = MODE_RESOLVE;
        Flow.ResolvePhase = RESOLVE_END;
        state.ResumeTiming();
        PlatformDispatchEvent(TimerEvent(GameTimerId, 0));
    }
    CloseGame();
}
BENCHMARK(NewPairTick)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
} // namespace
